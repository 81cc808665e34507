#include "app/start_up_variables.h"

#include <array>

#include "app/product_names.h"
#include "app/seller_settings.h"
#include "interface/markup_escapes.h"
#include "interface/variables.h"
#include "runtime/format.h"
#include "runtime/text.h"

namespace {

constexpr int32_t kPriceDollars = 30, kPriceCents = 0;
constexpr UINT kPriceSummaryString = 1000;
constexpr size_t kShownSize = 1024;

// A variable's value is markup: the seller's texts are shown as they are written, and the lines of the
// postal address stay lines.
Status SetSellerVariable(const char* name, const char* text) {
  char shown[kShownSize] = "";
  size_t used = 0;
  for (const char* line = text; *line && used < sizeof shown;) {
    const char* end = TextFindAnyOf(line, "\r\n");
    const size_t length = end ? size_t(end - line) : TextLength(line);
    if (line != text) used += TextLength(TextCopyBounded(shown + used, "<BR>", sizeof shown - used));
    if (used < sizeof shown)
      used += EscapeForOutput(line, length, EscapeMode::kEntity, false, shown + used, sizeof shown - used);
    line += length;
    while (*line == '\r' || *line == '\n') ++line;
  }
  return set_variable(nullptr, name, shown);
}

}  // namespace

Status OrderSetStartUpVariables(HMODULE module) {
  char price[32];
  FormatText(price, sizeof price, "%ld.%.2ld", kPriceDollars, kPriceCents);
  const std::array<std::array<const char*, 2>, 6> variables{{{"TIER", kProductName},
                                                             {"PRODUCT", kProductName},
                                                             {"PLATFORM", kPlatformName},
                                                             {"PRICE", price},
                                                             {"UPGRADE", ""},
                                                             {"UPGRADE_PRICE", ""}}};
  for (const auto& [name, value] : variables) {
    if (const Status status = set_variable(nullptr, name, value); status != kOk) return status;
  }
  const SellerSettings& seller = Seller();
  const std::array<std::array<const char*, 2>, 5> sellerVariables{{{"SELLER", seller.company},
                                                                   {"SELLER_ADDRESS", seller.postalAddress},
                                                                   {"SELLER_TELEPHONE", seller.telephone},
                                                                   {"SELLER_FAX", seller.fax},
                                                                   {"SELLER_EMAIL", seller.email}}};
  for (const auto& [name, value] : sellerVariables) {
    if (const Status status = SetSellerVariable(name, value); status != kOk) return status;
  }
  // A seller may put a summary of his prices in the string table; as shipped it is empty and the pages
  // keep their own text.
  char summary[256] = "";
  LoadStringA(module, kPriceSummaryString, summary, sizeof summary);
  return summary[0] ? set_variable(nullptr, "PRICE_SUMMARY", summary) : kOk;
}
