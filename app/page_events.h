// The page program: the rules of the ordering walk, run when the interface reports an event.
#pragma once

#include "interface/interface.h"

// Pages shown and left load and store the buyer's entries; the two checked "next" buttons store and
// check the entries of their framed page before they lead on; the payment pop-up shows the fields of
// the chosen method; the count and the CD keep the totals current; the three final buttons mail, save
// or print the order and lead to the result page. Refused entries answer -8404 with a message and a
// sound; presses on controls click.
Status OrderPageEvent(InterfaceWindow* window, void* userData, int32_t event, const char* pageName,
                      int32_t elementIndex, const char* elementName);

// Makes the button lead to the target ("#page"); without a target it reports its click and stays.
// -7002 when the page has no such button.
Status ButtonSetTarget(InterfaceWindow* window, const char* button, const char* target);
