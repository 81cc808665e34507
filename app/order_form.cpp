#include "app/order_form.h"

#include "app/card_checks.h"
#include "app/order_pricing.h"
#include "app/order_state.h"
#include "interface/element_support.h"
#include "runtime/text.h"

namespace {

constexpr char kCountPage[] = "enter_count";
constexpr char kCdPage[] = "enter_cd";
constexpr char kCdKey[] = "quillon_cd";
constexpr size_t kFieldTextSize = 256;  // what a check reads of a control

bool OnPage(InterfaceWindow* page, const char* name) {
  const PageRecord* shown = current_page(page);
  return shown && TextCompare(shown->name, name) == 0;
}

// Removes every entry of the key, so that the one stored next is the only one.
void Forget(ValueTable* table, const char* key) {
  while (remove_value(table, key)) {
  }
}

Status Replace(ValueTable* table, const char* key, const char* text) {
  Forget(table, key);
  return append_value(table, key, text);
}

Status ControlText(InterfaceWindow* page, const char* name, char* text) {
  const int32_t index = find_element(page, name);
  return index < 0 ? kErrState : element_value(page, index, text, kFieldTextSize);
}

Status ControlNumber(InterfaceWindow* page, const char* name, intptr_t* value) {
  const int32_t index = find_element(page, name);
  return index < 0 ? kErrState : element_instance(page, index, value);
}

Status SetControlText(InterfaceWindow* page, const char* name, const char* text) {
  const int32_t index = find_element(page, name);
  return index < 0 ? kErrState : set_element_value(page, index, text);
}

// The count as typed on the count page, whole; elsewhere as stored.
Status CountText(InterfaceWindow* page, bool onCountPage, MemoryHandle text) {
  if (!onCountPage) {
    const char* stored = get_value(OrderFormTable(), "total_copies");
    return text_buffer_append(text, stored ? stored : "");
  }
  const int32_t index = find_element(page, "total_copies");
  return index < 0 ? kErrState : element_value(page, index, text);
}

}  // namespace

Status FieldLoad(InterfaceWindow* page, const char* key) {
  ValueTable* table = OrderFormTable();
  if (!table) return kErrState;
  const char* stored = get_value(table, key);
  const int32_t index = find_element(page, key);
  if (!stored || !*stored || index < 0) return kOk;
  const Status status = set_element_value(page, index, stored);
  // A method that this page's pop-up does not offer (a check, chosen on the postal route) leaves the
  // page's own choice.
  return status == kErrNotFound ? kOk : status;
}

Status FieldStore(InterfaceWindow* page, const char* key) {
  ValueTable* table = OrderFormTable();
  if (!table) return kErrState;
  Forget(table, key);
  const int32_t index = find_element(page, key);
  if (index < 0) return kOk;
  UniqueHandle text(HandleNew(0));
  if (!text) return kErrMemory;
  Status status = element_value(page, index, text.get());
  if (status == kOk) status = append_value(table, key, text_buffer_text(text.get()));
  return status;
}

Status CheckLoad(InterfaceWindow* page) {
  const ValueTable* table = OrderFormTable();
  if (!table) return kErrState;
  const int32_t index = find_element(page, kCdKey);
  return index < 0 ? kOk : set_element_state(page, index, get_value(table, kCdKey) ? 1 : 0);
}

Status CheckStore(InterfaceWindow* page, const char* key) {
  ValueTable* table = OrderFormTable();
  if (!table) return kErrState;
  Forget(table, key);
  const int32_t index = find_element(page, key);
  if (index < 0) return kOk;
  intptr_t checked = 0;
  const Status status = element_instance(page, index, &checked);
  if (status != kOk || !checked) return status;
  return append_value(table, key, "");
}

Status ControlShow(InterfaceWindow* page, const char* name, bool visible) {
  const int32_t index = find_element(page, name);
  return index < 0 ? kErrState : show_element(page, index, visible);
}

Status OrderComputeTotals(InterfaceWindow* page) {
  ValueTable* table = OrderFormTable();
  if (!table) return kErrState;
  const bool countPage = OnPage(page, kCountPage);
  UniqueHandle count(HandleNew(0));
  if (!count) return kErrMemory;
  Status status = CountText(page, countPage, count.get());
  if (status != kOk) return status;
  bool withCd = get_value(table, kCdKey) != nullptr;
  if (countPage || OnPage(page, kCdPage)) {
    intptr_t checked = 0;
    if ((status = ControlNumber(page, kCdKey, &checked)) != kOk) return status;
    withCd = checked != 0;
  }
  const OrderTotals totals = OrderTotalsCompute(text_buffer_text(count.get()), withCd);
  char discount[kMoneyTextSize], total[kMoneyTextSize];
  DiscountText(totals, discount, sizeof discount);
  TotalText(totals, total, sizeof total);
  if (countPage && (status = SetControlText(page, "total_discount", discount)) != kOk) return status;
  if ((status = Replace(table, "total_discount", discount)) != kOk) return status;
  if (countPage && (status = SetControlText(page, "total_payment", total)) != kOk) return status;
  return Replace(table, "total_payment", total);
}

Status OrderCheckField(InterfaceWindow* page, const char* name, const EntryRule& rule) {
  const int32_t index = find_element(page, name);
  if (index < 0) return kErrState;
  char text[kFieldTextSize];
  if (const Status status = element_value(page, index, text, sizeof text); status != kOk) return status;
  if (EntryPasses(text, rule)) return kOk;
  focus_element(page, index);  // the refusal stands whether or not the focus could move
  return kErrRefused;
}

int32_t PaymentMethod(InterfaceWindow* page) {
  intptr_t method = 0;
  return ControlNumber(page, "card_kind", &method) == kOk ? int32_t(method) : 0;
}

Status OrderCheckPayment(InterfaceWindow* page) {
  if (find_element(page, "card_kind") < 0) return kErrState;
  if (!PaymentIsCard(PaymentMethod(page))) return kOk;
  char text[kFieldTextSize];
  Status status = ControlText(page, "card_number", text);
  if (status != kOk) return status;
  if (!CardNumberIsValid(text)) return kErrRefused;
  if ((status = ControlText(page, "card_expire", text)) != kOk) return status;
  if (!CardExpiryIsValid(text)) return kErrRefused;
  if ((status = ControlText(page, "card_verify", text)) != kOk) return status;
  const size_t digits = TextLength(text);
  if (digits < 3 || digits > 4) return kErrRefused;
  if ((status = ControlText(page, "card_name", text)) != kOk) return status;
  return *text ? kOk : kErrRefused;
}

Status OrderDefaultCardName(const char* previousName) {
  ValueTable* table = OrderFormTable();
  if (!table) return kErrState;
  const char* buyer = get_value(table, "user_name");
  const char* card = get_value(table, "card_name");
  if (!buyer || (card && !(previousName && TextCompare(card, previousName) == 0))) return kOk;
  Forget(table, "card_name");
  return append_value(table, "card_name", buyer);  // entries are blocks of their own: the text stays put
}
