#include "app/order_program.h"

#include <array>

#include "app/archive_listing.h"
#include "app/page_archive.h"
#include "files/file_system.h"
#include "files/resource_load.h"
#include "graphics/graphics_init.h"
#include "runtime/platform.h"
#include "runtime/value_table.h"

namespace {

using LayerStart = Status (*)();

// The layers start in this order: the platform layer, the graphics layer, the file layer, the
// interface engine. Each start-up does nothing when its layer runs already and registers its own
// release routine with the platform, so nothing here shuts them down. Each joins the list when it
// exists.
constexpr std::array<LayerStart, 3> kLayerStarts{PlatformStart, GraphicsInit, FileLayerStart};

// What the program makes and therefore cleans up.
struct OrderState {
  ValueTable* orderForm = nullptr;       // the buyer's entries between pages; case-sensitive keys
  MemoryHandle resourceBlock = nullptr;  // the copy of the page archive resource
  PathSpec* archiveVolume = nullptr;     // that copy, mounted: the root of its volume
};

Status StartUp(const OrderEnvironment& environment, OrderState* state) {
  for (LayerStart start : kLayerStarts) {
    if (const Status status = start(); status != kOk) return status;
  }
  state->orderForm = create_table(0);
  if (!state->orderForm) return kErrMemory;
  Status status = ResourceLoadBlock(environment.module, kPageArchiveResourceId, kPageArchiveResourceType,
                                    MakeFourCC("CHNK"), kPageArchiveMaximumSize, 1, &state->resourceBlock);
  if (status != kOk) return status;
  // Writable: pages may change their archive; the changes live in memory only. With the interface
  // engine follow: the variables the pages show, and the window on "classic.iml" with its title.
  return PathMountBlock(state->resourceBlock, true, &state->archiveVolume);
}

void CleanUp(OrderState* state) {
  PathDispose(state->archiveVolume);  // unmounts
  state->archiveVolume = nullptr;
  HandleDispose(state->resourceBlock);
  state->resourceBlock = nullptr;
  free_table(state->orderForm);
  state->orderForm = nullptr;
}

}  // namespace

Status OrderRun(const OrderEnvironment& environment) {
  OrderState state;
  Status status = StartUp(environment, &state);
  // Until the interface engine shows the pages, the program reports what its archive holds.
  if (status == kOk) status = ListPageArchive(state.archiveVolume->ownedVolume);
  CleanUp(&state);
  if (status != kOk && status != kErrCancelled) environment.beep();
  return status;
}
