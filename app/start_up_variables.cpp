#include "app/start_up_variables.h"

#include <array>

#include "app/product_names.h"
#include "interface/variables.h"
#include "runtime/format.h"

namespace {

constexpr int32_t kPriceDollars = 30, kPriceCents = 0;
constexpr UINT kPriceSummaryString = 1000;

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
  // A seller may put a summary of his prices in the string table; as shipped it is empty and the pages
  // keep their own text.
  char summary[256] = "";
  LoadStringA(module, kPriceSummaryString, summary, sizeof summary);
  return summary[0] ? set_variable(nullptr, "PRICE_SUMMARY", summary) : kOk;
}
