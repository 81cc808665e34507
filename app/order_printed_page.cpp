#include "app/order_printed_page.h"

#include <algorithm>

#include "app/form_lines.h"
#include "app/seller_settings.h"
#include "files/file_system.h"
#include "graphics/pixmap_device.h"
#include "graphics/port_draw.h"
#include "graphics/port_text.h"
#include "images/image.h"
#include "runtime/format.h"
#include "runtime/text.h"

namespace {

constexpr Colour kBlack{255, 0, 0, 0};
constexpr char kContactFaces[] = "Helvetica,Arial,Times,Verdana";
constexpr char kFormFaces[] = "Times,Palatino,Verdana,Helvetica";
constexpr int32_t kContactSize = 10, kFormSize = 12;
constexpr int32_t kRuleGap = 10, kFormGap = 20, kFormTop = 65;

// The seller's contact lines, from the top: the postal address, telephone, fax and e-mail. Empty
// details are left out.
class ContactLines {
 public:
  ContactLines() {
    for (const char* line = Seller().postalAddress; *line;) {
      const char* end = line;
      while (*end && *end != '\r' && *end != '\n') ++end;
      Add("", line, size_t(end - line));
      line = end;
      while (*line == '\r' || *line == '\n') ++line;
    }
    Add("Phone: ", Seller().telephone, TextLength(Seller().telephone));
    Add("Fax: ", Seller().fax, TextLength(Seller().fax));
    Add("", Seller().email, TextLength(Seller().email));
  }
  size_t count() const { return count_; }
  const char* operator[](size_t i) const { return lines_[i]; }

 private:
  void Add(const char* label, const char* text, size_t length) {
    if (length == 0 || count_ == kMaxLines) return;
    char detail[256];
    TextCopyBounded(detail, text, std::min(length + 1, sizeof detail));
    FormatText(lines_[count_++], sizeof lines_[0], "%s%s", label, detail);
  }
  static constexpr size_t kMaxLines = 16;
  char lines_[kMaxLines][256] = {};
  size_t count_ = 0;
};

// The logo, drawn and released; its right edge on the page goes to *right.
Status DrawLogo(GraphicsPort* printer, const Rect& page, PathSpec* archive, int32_t* right) {
  *right = page.left;
  MemoryHandle data = nullptr;
  Status status = FileReadAll(archive, kPrintedLogoName, UINT32_MAX, false, &data);
  UniqueHandle dataOwner(data);
  if (status != kOk) return status;
  Pixmap* logo = nullptr;
  Pixmap* mask = nullptr;
  MaskDescriptor transparency;
  status = ImageRead(data, &logo, &mask, &transparency, nullptr);
  if (status == kOk) {
    Rect bounds;
    status = PixmapBounds(logo, &bounds);
    const Rect quarter{page.left, page.top, page.left + (bounds.right - bounds.left) / 4,
                       page.top + (bounds.bottom - bounds.top) / 4};
    if (status == kOk) status = PortCopyPixmap(printer, logo, mask, nullptr, &transparency, &quarter);
    *right = quarter.right;
  }
  PixmapDispose(mask);
  PixmapDispose(logo);
  return status;
}

}  // namespace

Status OrderPrintedPageStart(GraphicsPort* printer, const Rect& page, PathSpec* archive) {
  int32_t logoRight = page.left;
  Status status = DrawLogo(printer, page, archive, &logoRight);
  if (status == kOk) status = PortSetFont(printer, &kBlack, kContactFaces, 0, kContactSize, kTextItalic, kAlignRight);
  if (status != kOk) return status;

  // The contact lines end at the column's right edge: the logo's, unless a line is wider than the logo,
  // which would otherwise run off the page's left edge.
  const ContactLines contact;
  int32_t columnRight = logoRight;
  for (size_t i = 0; i < contact.count(); ++i)
    columnRight = std::max(columnRight, page.left + PortTextWidth(printer, contact[i], int32_t(TextLength(contact[i]))));
  const int32_t lineHeight = FormLineHeight(printer);
  for (size_t i = contact.count(); i > 0 && status == kOk; --i) {
    const int32_t y = page.bottom - int32_t(contact.count() - i + 1) * lineHeight - printer->metrics.descent;
    status = PortDrawTextAt(printer, columnRight, y, contact[i - 1], int32_t(TextLength(contact[i - 1])));
  }
  const int32_t ruleX = columnRight + kRuleGap;
  if (status == kOk) status = PortLine(printer, ruleX, page.top, ruleX, page.bottom);
  if (status == kOk) {
    const int32_t tabX = columnRight + kFormGap + (page.right - columnRight - page.left - kFormGap) / 4;
    status = PortMoveTo(printer, tabX, page.top + kFormTop);
  }
  if (status == kOk) status = PortSetFont(printer, &kBlack, kFormFaces, 0, kFormSize, 0, kAlignRight);
  return status;
}
