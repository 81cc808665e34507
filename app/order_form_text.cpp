#include "app/order_form_text.h"

#include "app/form_lines.h"
#include "app/order_pricing.h"
#include "app/product_names.h"
#include "app/seller_settings.h"
#include "graphics/port_draw.h"
#include "runtime/format.h"
#include "runtime/text.h"

namespace {

constexpr char kHeaderSuffix[] = "Electronic Mail Registration Form";
constexpr char kCdLine[] = "$5.00 -- Yes, send me the QuillonCD for %s!";

// The buyer's entries in the order they are written, each under its label.
struct EntryLine {
  const char* label;
  const char* key;
};
constexpr EntryLine kBuyerLines[] = {{"Name:", "user_name"},     {"Company:", "user_company"},
                                     {"Address:", "user_address"}, {"eMail:", "user_email"},
                                     {"Phone:", "user_phone"},   {"Fax:", "user_fax"}};
constexpr EntryLine kCardLines[] = {{"Please bill my:", "card_kind"},
                                    {"Account #: ", "card_number"},
                                    {"Verification #: ", "card_verify"},
                                    {"Expires: ", "card_expire"}};

// Where the lines go, and the paper's own steps that the text leaves out.
class FormWriter {
 public:
  FormWriter(GraphicsPort* printer, MemoryHandle text, const ValueTable* table)
      : printer_(printer), text_(text), table_(table) {}

  bool printing() const { return printer_ != nullptr; }
  Status status() const { return status_; }

  void Line(const char* label, const char* value) {
    if (status_ == kOk) status_ = FormWriteLine(printer_, text_, label, value);
  }
  void Entry(const char* label, const char* key) {
    if (status_ != kOk) return;
    const char* value = get_value(table_, key);
    if (!value) status_ = kErrState;
    Line(label, value);
  }
  void NewLine() {
    if (status_ == kOk) status_ = FormNewLine(printer_, text_);
  }
  // Paper only.
  void Type(int32_t size, int32_t style) {
    if (status_ == kOk && printer_) status_ = FormSetType(printer_, size, style);
  }
  void MovePen(int32_t dx) {
    if (status_ == kOk && printer_) status_ = PortMove(printer_, dx, 0);
  }
  // A line for the signature, from 5 to 220 points right of the pen, the pen staying where it was.
  void SignatureRule() {
    if (status_ != kOk || !printer_) return;
    Point pen;
    if ((status_ = PortGetPen(printer_, &pen)) == kOk) status_ = PortLine(printer_, pen.x + 5, pen.y, pen.x + 220, pen.y);
    if (status_ == kOk) status_ = PortMoveTo(printer_, pen.x, pen.y);
  }

 private:
  GraphicsPort* printer_;
  MemoryHandle text_;
  const ValueTable* table_;
  Status status_ = kOk;
};

void WritePayment(FormWriter& form, const ValueTable* table) {
  const char* copies = get_value(table, "total_copies");
  if (!copies) return form.Entry(nullptr, "total_copies");  // reports the absent entry
  if (TextParseUnsigned(copies) == 0) {
    form.Line("Just sending you a note!", nullptr);
    form.NewLine();
  } else if (get_value(table, "__is_using_card")) {
    form.MovePen(50);
    form.Type(12, kTextItalic);
    for (const EntryLine& line : kCardLines) form.Entry(line.label, line.key);
    const char* cardName = get_value(table, "card_name");
    const char* userName = get_value(table, "user_name");
    if (!cardName || !userName || TextCompare(cardName, userName) != 0) form.Entry("Name:", "card_name");
    form.MovePen(-50);
    form.Type(12, 0);
  } else {
    // Every way of paying that is not a card.
    form.Line("Purchase Order", nullptr);
  }
  form.NewLine();
}

}  // namespace

void OrderDateText(const OrderDate& date, char* text, size_t size) {
  FormatText(text, size, "%ld/%ld/%2.2ld", date.month, date.day, date.year % 100);
}

void OrderSaveBanner(char* text, size_t size) {
  FormatText(text, size, "--->  Please send this registration text to: %s  <---", Seller().orderAddress);
}

Status OrderWriteFormText(GraphicsPort* printer, MemoryHandle text, const ValueTable* table, const OrderDate& date,
                          bool withSaveBanners) {
  if (bool(printer) == bool(text) || !table) return kErrArgument;
  FormWriter form(printer, text, table);
  char banner[512];
  OrderSaveBanner(banner, sizeof banner);
  if (withSaveBanners) {
    form.Line(banner, nullptr);
    form.NewLine();
  }
  char line[512];
  FormatText(line, sizeof line, "%s %s", Seller().company, kHeaderSuffix);
  // On paper a label ends at the tab stop, and a line this long would run off the page's left edge:
  // the header starts where the values do instead.
  form.printing() ? form.Line(nullptr, line) : form.Line(line, nullptr);
  form.NewLine();

  form.Type(18, 0);
  form.Line("Product:", kProductName);
  form.Type(12, 0);
  if (!form.printing()) form.NewLine();

  for (const EntryLine& entry : kBuyerLines) form.Entry(entry.label, entry.key);
  form.NewLine();
  form.Entry("Comments:", "comments");
  form.NewLine();

  char price[kMoneyTextSize];
  MoneyText(kPricePerCopyCents, price, sizeof price);
  form.Line("Price per copy:", price);
  form.Entry("Number of copies:", "total_copies");
  form.Entry("Quantity discount:", "total_discount");
  if (get_value(table, "quillon_cd")) {
    FormatText(line, sizeof line, kCdLine, kPlatformName);
    form.Line("QuillonCD:", line);
  }
  form.NewLine();
  form.Entry("Total:", "total_payment");
  form.NewLine();

  WritePayment(form, table);

  form.MovePen(50);
  form.SignatureRule();
  if (form.printing()) form.Line("Signature: ", "");
  char today[16];
  OrderDateText(date, today, sizeof today);
  form.Line("Date: ", today);
  form.NewLine();

  form.MovePen(-110);
  FormatText(line, sizeof line, "%s %s", Seller().company, Seller().taxIdentification);
  form.Line(nullptr, line);

  form.Type(18, kTextItalic);
  form.NewLine();
  form.Line(nullptr, "Thank you for supporting shareware!");
  form.NewLine();
  form.Type(12, 0);

  if (withSaveBanners) {
    form.NewLine();
    form.Line(banner, nullptr);
  }
  return form.status();
}
