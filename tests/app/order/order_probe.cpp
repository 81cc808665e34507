// Mails and prints the test order for the driver that runs the peers (order_cases.py): a real SMTP
// server on loopback, a printer queue of a private print scheduler or none. Results go to standard
// output, one "name value" per line, since the exit code only carries 8 bits.
//   order_probe mail SERVER SAVED-FILE   mails the order, then saves it through the save dialog
//   order_probe mail-anonymous SERVER    mails an order without the buyer's e-mail address
//   order_probe print                    prints the order, the print dialog accepted
//   order_probe print-none               prints without a printer: no dialog may show
//   order_probe print-cancel             cancels the print dialog
//   order_probe print-abandon            accepts the dialog, draws, and closes the job cancelled
//   order_probe print-page               prints a frame around the page rectangle
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "app/order_write_form.h"
#include "app/page_archive.h"
#include "app/seller_settings.h"
#include "files/file_system.h"
#include "files/resource_load.h"
#include "graphics/graphics_init.h"
#include "graphics/port_draw.h"
#include "graphics/port_text.h"
#include "graphics/print_job.h"
#include "runtime/platform.h"
#include "runtime/platform_routines.h"
#include "runtime/value_table.h"
#include "tests/app/order/dialog_driver.h"
#include "tests/app/order/test_order.h"

namespace {

constexpr OrderDate kDate{3, 7, 2005};
constexpr char kPrintTitle[] = "Print";

void Report(const char* name, long long value) { printf("%s %lld\n", name, value); }

// The program's page archive, mounted as the program mounts it.
struct Pages {
  MemoryHandle block = nullptr;
  PathSpec* volume = nullptr;
  Status Mount() {
    const Status status = ResourceLoadBlock(GetModuleHandleA(nullptr), kPageArchiveResourceId, kPageArchiveResourceType,
                                            MakeFourCC("CHNK"), kPageArchiveMaximumSize, 1, &block);
    return status == kOk ? PathMountBlock(block, false, &volume) : status;
  }
  ~Pages() {
    PathDispose(volume);
    HandleDispose(block);
  }
};

// The cursor shown while the mail waits for the server, seen from the idle routine the waits run.
std::atomic<int> gWaitCursorSeen{0}, gOtherCursorSeen{0};
void WatchCursor() {
  (GetCursor() == LoadCursorA(nullptr, IDC_WAIT) ? gWaitCursorSeen : gOtherCursorSeen)++;
}

int Mail(const char* server, const char* savedFile, bool anonymous) {
  ValueTable* table = create_table(0);
  FillTestOrder(table);
  if (anonymous) {
    remove_value(table, "user_email");
    push_value(table, "user_email", "");
  }
  PlatformAddIdle(WatchCursor);
  const OrderFormSources sources{table, nullptr, kDate, server};
  Report("mail", OrderWriteForm(kOrderMail, sources));
  Report("wait-cursor-seen", gWaitCursorSeen);
  Report("other-cursor-seen", gOtherCursorSeen);
  Report("arrow-after", GetCursor() == LoadCursorA(nullptr, IDC_ARROW));
  if (savedFile) {
    DialogDriver driver("Save registration as...", IDOK, savedFile);
    Report("save", OrderWriteForm(kOrderSave, sources));
  }
  free_table(table);
  return 0;
}

// Counts the dialogs of this process that become visible while it runs.
class DialogWatch {
 public:
  DialogWatch() : thread_([this] {
      while (!stop_) {
        EnumWindows(Count, reinterpret_cast<LPARAM>(this));
        Sleep(20);
      }
    }) {}
  ~DialogWatch() { Stop(); }
  int Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

 private:
  static BOOL CALLBACK Count(HWND window, LPARAM self) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window)) reinterpret_cast<DialogWatch*>(self)->seen_++;
    return TRUE;
  }
  std::atomic<bool> stop_{false};
  std::atomic<int> seen_{0};
  std::thread thread_;
};

int PrintOrder(bool withPrinter) {
  Pages pages;
  if (pages.Mount() != kOk) return 3;
  ValueTable* table = create_table(0);
  FillTestOrder(table);
  push_value(table, "quillon_cd", "");
  const int32_t before = PrintJobOpenCount();
  DialogWatch watch;
  Status status;
  if (withPrinter) {
    DialogDriver driver(kPrintTitle, IDOK);
    status = OrderWriteForm(kOrderPrint, OrderFormSources{table, pages.volume, kDate, nullptr});
  } else {
    status = OrderWriteForm(kOrderPrint, OrderFormSources{table, pages.volume, kDate, nullptr});
  }
  const int windows = watch.Stop();
  Report("print", status);
  Report("jobs-before", before);
  Report("jobs-after", PrintJobOpenCount());
  if (!withPrinter) Report("windows-shown", windows);
  free_table(table);
  return 0;
}

int PrintCancelled() {
  const int32_t before = PrintJobOpenCount();
  GraphicsPort* port = nullptr;
  int32_t during = -1;
  Status status;
  {
    DialogDriver driver(kPrintTitle, IDCANCEL);
    std::thread counter([&] {  // the count while the dialog is up
      while (!FindWindowA("#32770", kPrintTitle)) Sleep(20);
      during = PrintJobOpenCount();
    });
    status = PrintJobOpen(&port, nullptr);
    counter.join();
    Report("dialog-shown", driver.shown());
  }
  Report("open", status);
  Report("port-given", port != nullptr);
  Report("jobs-before", before);
  Report("jobs-during", during);
  Report("jobs-after", PrintJobOpenCount());
  return 0;
}

// Opens a job with the dialog accepted; 0 when it is open.
Status OpenAccepted(GraphicsPort** port, PrintPageInfo* info) {
  DialogDriver driver(kPrintTitle, IDOK);
  const Status status = PrintJobOpen(port, info);
  Report("open", status);
  return status;
}

int PrintAbandoned() {
  GraphicsPort* port = nullptr;
  if (OpenAccepted(&port, nullptr) != kOk) return 0;
  const Colour black{255, 0, 0, 0};
  PortSetFont(port, &black, "Times", 0, 24, 0, kAlignLeft);
  PortDrawTextAt(port, 100, 100, "ABANDONED PAGE", 14);
  Report("close", PrintJobClose(port, true));
  Report("jobs-after", PrintJobOpenCount());
  return 0;
}

int PrintPage() {
  GraphicsPort* port = nullptr;
  PrintPageInfo info{};
  if (OpenAccepted(&port, &info) != kOk) return 0;
  printf("page %d %d %d %d\n", int(info.page.left), int(info.page.top), int(info.page.right), int(info.page.bottom));
  Report("page-number", info.pageNumber);
  Report("page-status", info.status);
  // A black square of one inch at (72, 72) points, and text under it.
  const Colour black{255, 0, 0, 0};
  PortSetFill(port, &black, nullptr, nullptr);
  PortPaintRect(port, Rect{72, 72, 144, 144});
  PortSetFont(port, &black, "Times", 0, 12, 0, kAlignLeft);
  PortDrawTextAt(port, 72, 200, "PAGE TEST", 9);
  Report("close", PrintJobClose(port, false));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (PlatformStart() != kOk || GraphicsInit() != kOk || FileLayerStart() != kOk) return 3;
  FileSetDialogModule(GetModuleHandleA(nullptr));
  const std::string command = argc > 1 ? argv[1] : "";
  int result = 2;
  if (command == "mail" && argc == 4) result = Mail(argv[2], argv[3], false);
  else if (command == "mail-anonymous" && argc == 3) result = Mail(argv[2], nullptr, true);
  else if (command == "print") result = PrintOrder(true);
  else if (command == "print-none") result = PrintOrder(false);
  else if (command == "print-cancel") result = PrintCancelled();
  else if (command == "print-abandon") result = PrintAbandoned();
  else if (command == "print-page") result = PrintPage();
  else fprintf(stderr, "usage: see the head of order_probe.cpp\n");
  printf("seller-order-address %s\nseller-fallback-sender %s\n", Seller().orderAddress, Seller().fallbackSender);
  fflush(stdout);
  return result;
}
