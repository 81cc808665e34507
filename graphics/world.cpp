#include "graphics/world.h"

#include "runtime/memory.h"

namespace {

constexpr size_t AlignUp(size_t size) {
  return (size + kWorldRecordAlignment - 1) / kWorldRecordAlignment * kWorldRecordAlignment;
}

}  // namespace

GraphicsWorld* WorldNew(size_t portSize, size_t recordSize, WorldRecord kind) {
  const size_t portOffset = AlignUp(sizeof(GraphicsWorld));
  const size_t recordOffset = portOffset + AlignUp(portSize);
  auto* bytes = static_cast<uint8_t*>(BlockNewClear(recordOffset + recordSize));
  if (!bytes) return nullptr;

  auto* world = reinterpret_cast<GraphicsWorld*>(bytes);
  world->links.world = world;
  if (portSize > 0) world->links.port = reinterpret_cast<GraphicsPort*>(bytes + portOffset);
  if (recordSize > 0) {
    world->record = bytes + recordOffset;
    world->recordSize = recordSize;
    if (kind == WorldRecord::kPixmap) world->links.pixmap = static_cast<Pixmap*>(world->record);
  }
  if (portSize >= sizeof(GraphicsLinks)) *LinksOf(world->links.port) = world->links;
  if (recordSize >= sizeof(GraphicsLinks)) *LinksOf(world->record) = world->links;
  return world;
}

void WorldDispose(GraphicsWorld* world) { BlockDispose(world); }
