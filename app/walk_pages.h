// The pages of the ordering walk and the names the order program finds on each: the controls it reads,
// fills, shows and hides, the frames and "next" buttons of the outer pages, and the variables the
// result pages show. One table for the page program and for the tools that check a page file against
// it. Pure: no system calls.
#pragma once

#include <cstdint>
#include <span>

// What the order program expects an element of the name to be.
enum class WalkNameKind : uint8_t {
  kField,      // an editable TEXTBOX the buyer types into
  kText,       // a TEXTBOX the program writes into
  kCheckBox,   // a BUTTON of KIND CHECK
  kPopup,      // a POPUP
  kButton,     // a BUTTON
  kFrame,      // a FRAME
  kControl,    // any displayed element: the program only shows or hides it
  kParameter,  // a PARAMETER (or PARAM) showing the variable of that name
};

struct WalkName {
  const char* name;
  WalkNameKind kind;
};

// The entries of the order form, in the order the program stores them, and the controls it shows and
// hides with them.
inline constexpr WalkName kWalkNameEntries[] = {
    {"user_name", WalkNameKind::kField},  {"user_company", WalkNameKind::kField},
    {"user_address", WalkNameKind::kField}, {"user_email", WalkNameKind::kField},
    {"user_phone", WalkNameKind::kField}, {"user_fax", WalkNameKind::kField},
};
inline constexpr WalkName kWalkNameMessages[] = {
    {"user_invalid_1", WalkNameKind::kControl},  // name or address refused
    {"user_invalid_2", WalkNameKind::kControl},  // e-mail address refused
};
inline constexpr WalkName kWalkCardEntries[] = {
    {"card_kind", WalkNameKind::kPopup},   {"card_number", WalkNameKind::kField},
    {"card_expire", WalkNameKind::kField}, {"card_verify", WalkNameKind::kField},
    {"card_name", WalkNameKind::kField},
};
// Shown with the card fields exactly when the payment method is a card.
inline constexpr WalkName kWalkCardLabels[] = {
    {"card_number_label", WalkNameKind::kControl},   {"card_expire_label", WalkNameKind::kControl},
    {"card_expire_label_2", WalkNameKind::kControl}, {"card_verify_label", WalkNameKind::kControl},
    {"card_verify_label_2", WalkNameKind::kControl}, {"card_name_label", WalkNameKind::kControl},
};
inline constexpr WalkName kWalkCardNotes[] = {
    {"card_payable_to", WalkNameKind::kControl},   // payment by check or money order
    {"card_verify_desc", WalkNameKind::kControl},  // a three-digit verification number
    {"card_verify_amex", WalkNameKind::kControl},  // a four-digit one
    {"card_invalid", WalkNameKind::kControl},      // the payment was refused
};
inline constexpr WalkName kWalkCountEntries[] = {
    {"total_copies", WalkNameKind::kField},
    {"total_discount", WalkNameKind::kText},
    {"total_payment", WalkNameKind::kText},
    {"quillon_cd", WalkNameKind::kCheckBox},
};
inline constexpr WalkName kWalkCdEntries[] = {{"quillon_cd", WalkNameKind::kCheckBox}};
inline constexpr WalkName kWalkCommentEntries[] = {{"comments", WalkNameKind::kField}};

// The outer pages: a frame with the step's page and the "next" button that the program arms only
// after its check.
inline constexpr WalkName kWalkNameStep[] = {{"enter_name", WalkNameKind::kFrame},
                                             {"enter_method", WalkNameKind::kButton}};
inline constexpr WalkName kWalkMethodStep[] = {{"enter_method", WalkNameKind::kFrame},
                                               {"enter_count", WalkNameKind::kButton}};
inline constexpr WalkName kWalkEmailSending[] = {{"mail_form", WalkNameKind::kButton},
                                                 {"save_form", WalkNameKind::kButton}};
inline constexpr WalkName kWalkPrintSending[] = {{"print_form", WalkNameKind::kButton}};
inline constexpr WalkName kWalkErrorShown[] = {{"ERROR", WalkNameKind::kParameter}};
inline constexpr WalkName kWalkSenderShown[] = {{"INVALID_EMAIL", WalkNameKind::kParameter}};

struct WalkPage {
  const char* name;
  const char* framedPage;  // a FRAME of the page must show this page of the same file; none when none
  std::span<const WalkName> names[3];
};

// Every page of the walk: the outer pages of the three routes, the pages shown in their frames, the
// sending pages and the result pages.
inline constexpr WalkPage kWalkPages[] = {
    {"usmail_name", "enter_name", {kWalkNameStep}},
    {"email_name", "enter_name", {kWalkNameStep}},
    {"fax_name", "enter_name", {kWalkNameStep}},
    {"usmail_method", "enter_method_usmail", {kWalkMethodStep}},
    {"email_method", "enter_method_other", {kWalkMethodStep}},
    {"fax_method", "enter_method_other", {kWalkMethodStep}},
    {"usmail_count", "enter_count", {}},
    {"email_count", "enter_count", {}},
    {"fax_count", "enter_count", {}},
    {"usmail_cd", "enter_cd", {}},
    {"email_cd", "enter_cd", {}},
    {"fax_cd", "enter_cd", {}},
    {"usmail_comments", "enter_comments", {}},
    {"email_comments", "enter_comments", {}},
    {"fax_comments", "enter_comments", {}},
    {"send_usmail", nullptr, {kWalkPrintSending}},
    {"send_email", nullptr, {kWalkEmailSending}},
    {"send_fax", nullptr, {kWalkPrintSending}},
    {"enter_name", nullptr, {kWalkNameEntries, kWalkNameMessages}},
    {"enter_method_usmail", nullptr, {kWalkCardEntries, kWalkCardLabels, kWalkCardNotes}},
    {"enter_method_other", nullptr, {kWalkCardEntries, kWalkCardLabels, kWalkCardNotes}},
    {"enter_count", nullptr, {kWalkCountEntries}},
    {"enter_cd", nullptr, {kWalkCdEntries}},
    {"enter_comments", nullptr, {kWalkCommentEntries}},
    {"enter_done", nullptr, {}},
    {"enter_cancel", nullptr, {kWalkErrorShown}},
    {"enter_error_email", nullptr, {kWalkErrorShown}},
    {"enter_error_save", nullptr, {kWalkErrorShown}},
    {"enter_error_print", nullptr, {kWalkErrorShown}},
    {"enter_error_sender", nullptr, {kWalkSenderShown}},
};

// The walk's page of that name (compared exactly, like page names), or none.
const WalkPage* FindWalkPage(const char* name);
// The words for a kind in messages: "an editable TEXTBOX", "a FRAME", ...
const char* WalkNameKindWords(WalkNameKind kind);
