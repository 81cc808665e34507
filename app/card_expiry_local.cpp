#include "app/card_checks.h"
#include "runtime/clock.h"

bool CardExpiryIsValid(const char* text) { return CardExpiryIsValidAt(text, TimeLocalSeconds()); }
