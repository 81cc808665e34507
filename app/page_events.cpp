#include "app/page_events.h"

#include <span>

#include "app/order_form.h"
#include "app/order_pricing.h"
#include "app/order_state.h"
#include "app/order_write_form.h"
#include "app/walk_pages.h"
#include "interface/element_support.h"
#include "interface/markup_escapes.h"
#include "interface/markup_node.h"
#include "interface/variables.h"
#include "runtime/format.h"
#include "runtime/text.h"

namespace {

using Names = std::span<const WalkName>;

constexpr size_t kTargetSize = 256;   // "#" and a page name
constexpr size_t kAddressSize = 256;  // what the sender page shows of the buyer's address

bool Is(const char* name, const char* wanted) { return name && TextCompare(name, wanted) == 0; }
bool IsMethodPage(const char* page) { return Is(page, "enter_method_usmail") || Is(page, "enter_method_other"); }

// Click sounds: a press clicks, leaving the pressed control or letting go unclicks once.
bool gClickPending = false;

void Click() {
  play_sound("click.snd");
  gClickPending = true;
}

void Unclick() {
  play_sound("unclick.snd");
  gClickPending = false;
}

template <typename Operation>
Status ForEach(Names names, Operation operation) {
  for (const WalkName& name : names) {
    if (const Status status = operation(name.name); status != kOk) return status;
  }
  return kOk;
}

Status LoadFields(InterfaceWindow* page, Names names) {
  return ForEach(names, [page](const char* key) { return FieldLoad(page, key); });
}

Status StoreFields(InterfaceWindow* page, Names names) {
  return ForEach(names, [page](const char* key) { return FieldStore(page, key); });
}

Status StoreNameEntries(InterfaceWindow* page) {
  // The name stored before, to tell a card name that only ever was the default.
  UniqueHandle before(HandleNew(0));
  if (!before) return kErrMemory;
  const char* stored = get_value(OrderFormTable(), "user_name");
  Status status = text_buffer_append(before.get(), stored ? stored : "");
  if (status == kOk) status = StoreFields(page, kWalkNameEntries);
  return status == kOk ? OrderDefaultCardName(stored ? text_buffer_text(before.get()) : nullptr) : status;
}

// The message of a refused entry, in place of the other message of its page; then the sound.
Status Refuse(InterfaceWindow* page, const char* message, const char* other) {
  Status status = other ? ControlShow(page, other, false) : kOk;
  if (status == kOk) status = ControlShow(page, message, true);
  if (status != kOk) return status;
  if (play_sound("baduser.snd") != kOk) MessageBeep(0);
  return kErrRefused;
}

// The card's fields and labels, and the note on its verification number, for the method chosen.
Status ShowPaymentFields(InterfaceWindow* page, int32_t method) {
  const bool card = PaymentIsCard(method), longVerification = PaymentHasLongVerification(method);
  Status status = ForEach(kWalkCardEntries, [&](const char* name) {
    return Is(name, "card_kind") ? kOk : ControlShow(page, name, card);
  });
  if (status == kOk) status = ForEach(kWalkCardLabels, [&](const char* name) { return ControlShow(page, name, card); });
  if (status == kOk) status = ControlShow(page, "card_verify_desc", card && !longVerification);
  if (status == kOk) status = ControlShow(page, "card_verify_amex", card && longVerification);
  return status;
}

// The outer page of a step is "<route>_<step>"; the step after it is "#<route>_<next>", a page of the
// walk.
Status NextStepOf(const char* outerPage, const char* step, const char* next, char* target, size_t size) {
  const size_t length = TextLength(outerPage), stepLength = TextLength(step);
  if (length <= stepLength + 1 || !Is(outerPage + length - stepLength, step) || outerPage[length - stepLength - 1] != '_')
    return kErrState;
  char page[kPageNameSize];
  TextCopyBounded(page, outerPage, length - stepLength + 1 < sizeof page ? length - stepLength + 1 : sizeof page);
  TextAppendBounded(page, next, sizeof page);
  if (!FindWalkPage(page)) return kErrState;
  FormatText(target, size, "#%s", page);
  return kOk;
}

// The framed page of an outer page's FRAME.
Status FramedPage(InterfaceWindow* window, const char* frame, InterfaceWindow** page) {
  const int32_t index = find_element(window, frame);
  intptr_t nested = 0;
  if (index < 0 || element_instance(window, index, &nested) != kOk || !nested) return kErrState;
  *page = reinterpret_cast<InterfaceWindow*>(nested);
  return kOk;
}

// The "next" button of the framed page's outer page leads nowhere until the page's entries pass.
Status DisarmOuterButton(InterfaceWindow* page, const char* button) {
  InterfaceWindow* outer = interface_parent(page);
  return outer ? ButtonSetTarget(outer, button, nullptr) : kOk;
}

Status PageShown(InterfaceWindow* page, const char* name) {
  if (Is(name, "enter_name")) {
    Status status = ForEach(kWalkNameMessages, [page](const char* message) { return ControlShow(page, message, false); });
    if (status == kOk) status = LoadFields(page, kWalkNameEntries);
    return status == kOk ? DisarmOuterButton(page, "enter_method") : status;
  }
  if (IsMethodPage(name)) {
    Status status = ControlShow(page, "card_invalid", false);
    if (status == kOk) status = ControlShow(page, "card_payable_to", false);
    if (status == kOk) status = LoadFields(page, kWalkCardEntries);
    if (status != kOk) return status;
    const int32_t method = PaymentMethod(page);
    status = ShowPaymentFields(page, method);
    if (status == kOk) status = ControlShow(page, "card_payable_to", !PaymentIsCard(method));
    return status == kOk ? DisarmOuterButton(page, "enter_count") : status;
  }
  if (Is(name, "enter_count")) {
    Status status = FieldLoad(page, "total_copies");
    if (status == kOk) status = CheckLoad(page);
    return status == kOk ? OrderComputeTotals(page) : status;
  }
  if (Is(name, "enter_cd")) {
    const Status status = CheckLoad(page);
    return status == kOk ? OrderComputeTotals(page) : status;
  }
  if (Is(name, "enter_comments")) return FieldLoad(page, "comments");
  return kOk;
}

Status PageLeaving(InterfaceWindow* page, const char* name) {
  if (Is(name, "enter_name")) return StoreNameEntries(page);
  if (IsMethodPage(name)) return StoreFields(page, kWalkCardEntries);
  if (Is(name, "enter_count")) {
    Status status = FieldStore(page, "total_copies");
    if (status == kOk) status = FieldStore(page, "total_discount");
    if (status == kOk) status = CheckStore(page, "quillon_cd");
    return status == kOk ? FieldStore(page, "total_payment") : status;
  }
  if (Is(name, "enter_cd")) return CheckStore(page, "quillon_cd");
  if (Is(name, "enter_comments")) return FieldStore(page, "comments");
  return kOk;
}

// "next" of a name page: the name, the address and then the e-mail address must pass.
Status NameStepDone(InterfaceWindow* window, const char* outerPage) {
  InterfaceWindow* page = nullptr;
  Status status = FramedPage(window, "enter_name", &page);
  if (status == kOk) status = StoreNameEntries(page);
  if (status != kOk) return status;
  status = OrderCheckField(page, "user_name", kNameRule);
  if (status == kOk) {
    status = OrderCheckField(page, "user_address", kAddressLinesRule);
    if (status == kErrRefused) status = OrderCheckField(page, "user_address", kAddressLengthRule);
  }
  if (status == kErrRefused) return Refuse(page, "user_invalid_1", "user_invalid_2");
  if (status == kOk) status = OrderCheckField(page, "user_email", kEmailRule);
  if (status == kErrRefused) return Refuse(page, "user_invalid_2", "user_invalid_1");
  if (status != kOk) return status;
  char target[kTargetSize];
  status = NextStepOf(outerPage, "name", "method", target, sizeof target);
  return status == kOk ? ButtonSetTarget(window, "enter_method", target) : status;
}

// "next" of a payment page: the card's entries must pass when the method is a card.
Status MethodStepDone(InterfaceWindow* window, const char* outerPage) {
  InterfaceWindow* page = nullptr;
  Status status = FramedPage(window, "enter_method", &page);
  if (status == kOk) status = StoreFields(page, kWalkCardEntries);
  if (status != kOk) return status;
  ValueTable* table = OrderFormTable();
  if (!table) return kErrState;
  while (remove_value(table, "__is_using_card")) {
  }
  if (PaymentIsCard(PaymentMethod(page)) && (status = append_value(table, "__is_using_card", "")) != kOk)
    return status;
  status = OrderCheckPayment(page);
  if (status == kErrRefused) return Refuse(page, "card_invalid", nullptr);
  if (status != kOk) return status;
  char target[kTargetSize];
  status = NextStepOf(outerPage, "method", "count", target, sizeof target);
  return status == kOk ? ButtonSetTarget(window, "enter_count", target) : status;
}

Status PaymentChosen(InterfaceWindow* page) {
  const int32_t method = PaymentMethod(page);
  Status status = ShowPaymentFields(page, method);
  if (status == kOk && !PaymentIsCard(method)) status = ControlShow(page, "card_invalid", false);
  return status == kOk ? ControlShow(page, "card_payable_to", PaymentIsCheck(method)) : status;
}

Status CdToggled(InterfaceWindow* page) {
  const int32_t index = find_element(page, "quillon_cd");
  intptr_t checked = 0;
  if (index < 0) return kErrState;
  Status status = element_instance(page, index, &checked);
  if (status == kOk) status = set_element_state(page, index, checked ? 0 : 1);
  return status == kOk ? OrderComputeTotals(page) : status;
}

Status PriceShown(InterfaceWindow* page) {
  const int32_t index = find_element(page, "total_price");
  if (index < 0) return kErrState;
  char price[64];
  FormatText(price, sizeof price, "@ $%ld.%2.2ld each.", int32_t(kPricePerCopyCents / 100), int32_t(kPricePerCopyCents % 100));
  const Status status = set_element_value(page, index, price);
  return status == kOk ? OrderComputeTotals(page) : status;
}

// A failure of the finished order leads to its result page, with the code shown there.
Status OrderWritten(InterfaceWindow* window, const char* button, int32_t mode) {
  const Status written = OrderWriteForm(mode);
  if (written == kOk) return kOk;  // the button's own link leads to the done page
  char code[16];
  FormatText(code, sizeof code, "%ld", written);
  Status status = set_variable(window_variables(window), "ERROR", code);
  if (status != kOk) return status;
  const char* target = mode == kOrderMail ? "#enter_error_email" : mode == kOrderSave ? "#enter_error_save" : "#enter_error_print";
  if (written == kErrCancelled) {
    target = "#enter_cancel";
  } else if (mode == kOrderMail && written == kErrMailSender) {
    // The address is the buyer's typing, shown inside a page: as text, never as markup.
    const char* address = get_value(OrderFormTable(), "user_email");
    char shown[4 * kAddressSize];
    EscapeForOutput(address ? address : "", TextLength(address ? address : ""), EscapeMode::kEntity, false, shown,
                    sizeof shown);
    if ((status = set_variable(window_variables(window), "INVALID_EMAIL", shown)) != kOk) return status;
    target = "#enter_error_sender";
  }
  return ButtonSetTarget(window, button, target);
}

Status ControlUsed(InterfaceWindow* window, const char* page, const char* control) {
  if (Is(control, "enter_method")) return NameStepDone(window, page);
  if (Is(control, "enter_count")) return MethodStepDone(window, page);
  if (Is(control, "card_kind") && IsMethodPage(page)) return PaymentChosen(window);
  if (Is(control, "total_copies") && Is(page, "enter_count")) return OrderComputeTotals(window);
  if (Is(control, "total_popup") && Is(page, "enter_count")) return PriceShown(window);
  if (Is(control, "quillon_cd") && (Is(page, "enter_count") || Is(page, "enter_cd"))) return CdToggled(window);
  if (Is(control, "mail_form")) return OrderWritten(window, control, kOrderMail);
  if (Is(control, "save_form")) return OrderWritten(window, control, kOrderSave);
  if (Is(control, "print_form")) return OrderWritten(window, control, kOrderPrint);
  return kOk;
}

}  // namespace

Status ButtonSetTarget(InterfaceWindow* window, const char* button, const char* target) {
  MarkupNode* node = element_node(window, find_element(window, button));
  if (!node) return kErrState;
  ValueTable* attributes = node->attributes;
  while (remove_value(attributes, "HREF")) {
  }
  while (remove_value(attributes, "SCRIPT")) {
  }
  // An empty script reports the click to the page program and goes nowhere.
  return target ? append_value(attributes, "HREF", target) : append_value(attributes, "SCRIPT", "");
}

Status OrderPageEvent(InterfaceWindow* window, void*, int32_t event, const char* pageName, int32_t,
                      const char* elementName) {
  if (!pageName) return kOk;
  switch (event) {
    case kEventPageShown:
      return PageShown(window, pageName);
    case kEventPageLeaving:
      return PageLeaving(window, pageName);
    case kEventActivated:
      return elementName ? ControlUsed(window, pageName, elementName) : kOk;
    case kEventPressBegins:
    case kEventPressBack:
      Click();
      return kOk;
    case kEventPressLeft:
      Unclick();
      return kOk;
    case kEventPressEnds:
      if (gClickPending) Unclick();
      return kOk;
    default:
      return kOk;
  }
}
