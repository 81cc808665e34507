// The graphics world: one allocation holding the records that belong together - a port, a pixel map,
// or both (an offscreen port drawing into its pixel map), or a port with a print job. Callers hold a
// port handle (GraphicsPort*) or a pixel-map handle (Pixmap*); every record begins with the same three
// links, so each reaches its world and the other records of that world.
#pragma once

#include <cstddef>
#include <cstdint>

struct GraphicsWorld;
struct GraphicsPort;
struct Pixmap;  // the pixel-map record; only its own module needs its definition

struct GraphicsLinks {
  GraphicsWorld* world;
  GraphicsPort* port;  // none when the world holds no port
  Pixmap* pixmap;      // none when the world holds no pixel map
};

struct GraphicsWorld {
  GraphicsLinks links;
  void* record;       // the record after the port: a pixel map or another kind (a print job), or none
  size_t recordSize;  // in bytes
};

// What the record after the port is: a pixel map is linked as such from every record of the world.
enum class WorldRecord { kPixmap, kOther };

// Records in a world are placed at multiples of this; a record must not need more.
constexpr size_t kWorldRecordAlignment = 8;

// One zero-filled allocation: the header, a port of portSize bytes (sizeof(GraphicsPort), or 0 for a
// world without a port), then recordSize bytes for the other record (0 for none). Every record present
// gets its links, written over its first bytes. None when memory runs out. The records are plain data:
// the world is freed without running anything.
GraphicsWorld* WorldNew(size_t portSize, size_t recordSize, WorldRecord kind = WorldRecord::kPixmap);
void WorldDispose(GraphicsWorld* world);  // none is allowed

// The links that begin any record of a world.
template <class Record>
GraphicsLinks* LinksOf(Record* record) {
  return reinterpret_cast<GraphicsLinks*>(record);
}
