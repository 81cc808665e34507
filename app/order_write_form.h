// The finished order: mailed to the seller, saved as a text file the buyer chooses, or printed.
#pragma once

#include <cstdint>

#include "app/order_form_text.h"
#include "files/paths.h"
#include "runtime/status.h"
#include "runtime/value_table.h"

enum OrderFormMode : int32_t { kOrderMail = 0, kOrderSave = 1, kOrderPrint = 2 };

// What the order is made from.
struct OrderFormSources {
  const ValueTable* table;  // the buyer's entries
  PathSpec* archive;        // holds the printed logo
  OrderDate date;           // written on the order
  const char* mailServer;   // "host" or "host:port"
};

// The running program's: its order form table and page archive, today's date, the seller's server.
OrderFormSources OrderRunningSources();
OrderDate OrderToday();

// Mode 0 mails the order text to the seller's order address (the sender is the buyer's e-mail address
// or, without one, the seller's fallback sender); mode 1 asks for a file and saves the text there,
// with the banner naming the order address first and last; mode 2 prints the order after the print
// dialog. The wait cursor shows meanwhile. 0, or the first failure: -7002 for an entry the order needs
// that is absent, -7004 without memory, -7007 when the user cancels a dialog, -7001 for another mode,
// and the codes of the mail sender, the file layer, printing and drawing.
Status OrderWriteForm(int32_t mode);
Status OrderWriteForm(int32_t mode, const OrderFormSources& sources);
