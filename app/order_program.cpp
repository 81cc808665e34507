#include "app/order_program.h"
#include "app/order_state.h"

#include <array>

#include "app/page_archive.h"
#include "app/page_events.h"
#include "app/product_names.h"
#include "app/start_up_variables.h"
#include "files/file_system.h"
#include "files/resource_load.h"
#include "graphics/graphics_init.h"
#include "interface/interface.h"
#include "runtime/format.h"
#include "runtime/platform.h"
#include "runtime/value_table.h"

namespace {

using LayerStart = Status (*)();

// The layers start in this order: the platform layer, the graphics layer, the file layer, the
// interface engine. Each start-up does nothing when its layer runs already and registers its own
// release routine with the platform, so nothing here shuts them down.
constexpr std::array<LayerStart, 4> kLayerStarts{PlatformStart, GraphicsInit, FileLayerStart, start_interface_engine};

constexpr char kFirstPageFile[] = "classic.iml";

// What the program makes and therefore cleans up.
struct OrderState {
  ValueTable* orderForm = nullptr;       // the buyer's entries between pages; case-sensitive keys
  MemoryHandle resourceBlock = nullptr;  // the copy of the page archive resource
  PathSpec* archiveVolume = nullptr;     // that copy, mounted: the root of its volume
  InterfaceWindow* window = nullptr;     // the one interface window
};

// The state of the program while OrderRun runs, for the page handler and the order text.
OrderState* gRunning = nullptr;

Status StartUp(const OrderEnvironment& environment, OrderState* state) {
  for (LayerStart start : kLayerStarts) {
    if (const Status status = start(); status != kOk) return status;
  }
  state->orderForm = create_table(0);
  if (!state->orderForm) return kErrMemory;
  Status status = ResourceLoadBlock(environment.module, kPageArchiveResourceId, kPageArchiveResourceType,
                                    MakeFourCC("CHNK"), kPageArchiveMaximumSize, 1, &state->resourceBlock);
  if (status != kOk) return status;
  // Writable: pages may change their archive; the changes live in memory only.
  if ((status = PathMountBlock(state->resourceBlock, true, &state->archiveVolume)) != kOk) return status;
  if ((status = OrderSetStartUpVariables(environment.module)) != kOk) return status;
  char title[256];
  FormatText(title, sizeof title, "Register %s", kProductName);
  status = open_interface(title, true, true, nullptr, state->archiveVolume, kFirstPageFile, nullptr, nullptr,
                          OrderPageEvent, nullptr, &state->window);
  if (status != kOk) return status;
  HWND native = native_window_of(state->window);
  if (!native) return kErrState;
  return SetWindowTextA(native, title) ? kOk : kErrSystem;
}

// Every message is offered to the engine first (keyboard shortcuts, tab order); the loop ends when the
// interface window has gone, or with the code of a quit message.
Status RunMessageLoop(InterfaceWindow* window) {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return Status(message.wParam);
    if (got == -1) return kErrSystem;
    if (!pretranslate_message(&message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (!is_interface_open(window)) return kOk;
  }
}

void CleanUp(OrderState* state) {
  if (state->window && is_interface_open(state->window)) close_interface(state->window);
  state->window = nullptr;
  PathDispose(state->archiveVolume);  // unmounts
  state->archiveVolume = nullptr;
  HandleDispose(state->resourceBlock);
  state->resourceBlock = nullptr;
  free_table(state->orderForm);
  state->orderForm = nullptr;
}

}  // namespace

ValueTable* OrderFormTable() { return gRunning ? gRunning->orderForm : nullptr; }
PathSpec* OrderArchiveVolume() { return gRunning ? gRunning->archiveVolume : nullptr; }

Status OrderRun(const OrderEnvironment& environment) {
  OrderState state;
  gRunning = &state;
  Status status = StartUp(environment, &state);
  if (status == kOk) status = RunMessageLoop(state.window);
  CleanUp(&state);
  gRunning = nullptr;
  if (status != kOk && status != kErrCancelled) environment.beep();
  return status;
}
