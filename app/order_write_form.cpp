#include "app/order_write_form.h"

#include <windows.h>

#include "app/form_lines.h"
#include "app/mail/smtp_sender.h"
#include "app/order_printed_page.h"
#include "app/order_state.h"
#include "app/product_names.h"
#include "app/seller_settings.h"
#include "files/file_system.h"
#include "graphics/print_job.h"
#include "interface/interface.h"
#include "runtime/fourcc.h"
#include "runtime/format.h"

namespace {

constexpr int32_t kWaitCursor = 32514;  // IDC_WAIT
constexpr int32_t kNormalCursor = 0;
constexpr char kSaveTitle[] = "Save registration as...";
constexpr char kSaveName[] = "registration.txt";
constexpr FourCC kSavedType = MakeFourCC("TEXT"), kSavedCreator = MakeFourCC("ttxt");

// The wait cursor for the scope's life.
class WaitCursor {
 public:
  WaitCursor() { set_cursor(kWaitCursor); }
  ~WaitCursor() { set_cursor(kNormalCursor); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

Status MailText(const OrderFormSources& sources, MemoryHandle text) {
  const char* sender = get_value(sources.table, "user_email");
  if (!sender) return kErrState;
  if (!*sender) sender = Seller().fallbackSender;
  char subject[256];
  FormatText(subject, sizeof subject, "%s registration", kProductName);
  return SmtpSendMail(sources.mailServer, sender, Seller().orderAddress, subject, HandleData(text),
                      HandleGetSize(text));
}

Status SaveText(MemoryHandle text) {
  PathSpec* folder = nullptr;
  bool exists = false;
  char name[kEscapedNameSize];
  Status status = FileSelectSave(kSaveTitle, kSaveName, &folder, &exists, name);
  // The dialog has asked before an existing file is replaced.
  if (status == kOk) status = FileWriteAll(folder, name, true, false, kSavedType, kSavedCreator, text);
  PathDispose(folder);
  return status;
}

Status WriteText(int32_t mode, const OrderFormSources& sources) {
  UniqueHandle text(HandleNew(0));
  if (!text) return kErrMemory;
  WaitCursor waiting;
  Status status = OrderWriteFormText(nullptr, text.get(), sources.table, sources.date, mode == kOrderSave);
  if (status == kOk) status = mode == kOrderMail ? MailText(sources, text.get()) : SaveText(text.get());
  return status;
}

Status Print(const OrderFormSources& sources) {
  GraphicsPort* printer = nullptr;
  PrintPageInfo page;
  Status status = PrintJobOpen(&printer, &page);
  if (status != kOk) return status;
  WaitCursor waiting;
  status = OrderPrintedPageStart(printer, page.page, sources.archive);
  if (status == kOk) status = OrderWriteFormText(printer, nullptr, sources.table, sources.date, false);
  // A failed page is aborted rather than printed.
  const Status closed = PrintJobClose(printer, status != kOk);
  return status != kOk ? status : closed;
}

}  // namespace

OrderDate OrderToday() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return OrderDate{now.wMonth, now.wDay, now.wYear};
}

OrderFormSources OrderRunningSources() {
  return OrderFormSources{OrderFormTable(), OrderArchiveVolume(), OrderToday(), Seller().mailServer};
}

Status OrderWriteForm(int32_t mode) { return OrderWriteForm(mode, OrderRunningSources()); }

Status OrderWriteForm(int32_t mode, const OrderFormSources& sources) {
  if (!sources.table) return kErrState;
  switch (mode) {
    case kOrderMail:
    case kOrderSave:
      return WriteText(mode, sources);
    case kOrderPrint:
      return Print(sources);
    default:
      return kErrArgument;
  }
}
