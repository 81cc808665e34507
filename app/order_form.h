// The order form's page side: the buyer's entries moved between the order form table and the controls
// of a page, the totals published on the count page, and the checks of the name and payment pages.
// Each operation takes the window showing the page (a frame's nested window for a framed page) and
// finds its controls by NAME. Load and store skip a control the page does not have; every other
// operation answers -7002 for a missing control.
#pragma once

#include "app/entry_rules.h"
#include "interface/interface.h"

// Shows the stored entry in the control of that name; without a stored text (or one that a pop-up
// menu does not list) the control stays as the page built it.
Status FieldLoad(InterfaceWindow* page, const char* key);
// Replaces the stored entry by the control's whole text; without the control the entry is gone.
Status FieldStore(InterfaceWindow* page, const char* key);
// The check box quillon_cd shows whether the CD is ordered.
Status CheckLoad(InterfaceWindow* page);
// The key is present, with no value, exactly while the check box of that name is checked.
Status CheckStore(InterfaceWindow* page, const char* key);
Status ControlShow(InterfaceWindow* page, const char* name, bool visible);

// The discount and the total of the count (the field total_copies on the count page, the stored entry
// elsewhere) and the CD: shown in total_discount and total_payment on the count page, and stored.
Status OrderComputeTotals(InterfaceWindow* page);

// The control's text must pass the rule; otherwise it takes the keyboard focus and the answer is -8404.
Status OrderCheckField(InterfaceWindow* page, const char* name, const EntryRule& rule);
// A card payment needs a number with a valid checksum, an expiry date not passed, a verification number
// of 3 or 4 characters and the name on the card: -8404 otherwise. Other methods pass unchecked.
Status OrderCheckPayment(InterfaceWindow* page);

// The name on the card is the buyer's until the buyer gives another: set to the buyer's name when there
// is none, and when it still is the name stored before (`previousName`, none when there was none), so
// that a name corrected after a refusal does not leave its first form on the card.
Status OrderDefaultCardName(const char* previousName);

// The payment method chosen in the pop-up card_kind, counted from 1 in the order of its items; 0 when
// it cannot be read.
int32_t PaymentMethod(InterfaceWindow* page);
// Methods 1 to 5 are cards; 3 has a four-digit verification number; 7 and 8 are a check or a money order.
inline bool PaymentIsCard(int32_t method) { return method < 6; }
inline bool PaymentHasLongVerification(int32_t method) { return method == 3; }
inline bool PaymentIsCheck(int32_t method) { return method == 7 || method == 8; }
