// The lines of the order, from the buyer's entries in the order form table: the same sequence is
// written as text (mailed or saved) and drawn on the printed page, through the line writer.
#pragma once

#include <cstdint>

#include "graphics/port.h"
#include "runtime/memory.h"
#include "runtime/value_table.h"

struct OrderDate {
  int32_t month;  // 1 to 12
  int32_t day;    // of the month
  int32_t year;   // in full
};

// The date as the order writes it: month/day/two-digit year. 16 bytes are enough.
void OrderDateText(const OrderDate& date, char* text, size_t size);

// "--->  Please send this registration text to: <order address>  <---": first and last in a saved
// file, so that whoever finds the file knows where it goes.
void OrderSaveBanner(char* text, size_t size);

// Writes the order's lines on the printer or into the text (exactly one is given), the saved file's
// banners too when asked. -7002 when an entry the order needs is absent from the table; the first
// failure ends the sequence.
Status OrderWriteFormText(GraphicsPort* printer, MemoryHandle text, const ValueTable* table, const OrderDate& date,
                          bool withSaveBanners);
