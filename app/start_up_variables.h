// The variables the pages show through PARAMETER elements from the start: the product, its platform and
// price, the seller's company, postal address (its lines joined by BR), telephone, fax and e-mail
// address, and the seller's price summary. Set by the order program, and by the tools that show its pages
// as the buyer sees them.
#pragma once

#include <windows.h>

#include "runtime/status.h"

// Every variable that OrderSetStartUpVariables may set, in the order it sets them.
inline constexpr const char* kOrderStartUpVariables[] = {
    "TIER",   "PRODUCT",        "PLATFORM",         "PRICE",      "UPGRADE",      "UPGRADE_PRICE",
    "SELLER", "SELLER_ADDRESS", "SELLER_TELEPHONE", "SELLER_FAX", "SELLER_EMAIL", "PRICE_SUMMARY"};

// Sets the process-wide variables; PRICE_SUMMARY only when the module's string 1000 holds a text, so
// that the pages otherwise show their own. The first failure of set_variable is returned.
Status OrderSetStartUpVariables(HMODULE module);
