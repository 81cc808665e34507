// The test order: an order form table filled as the pages leave it for a card order of 12 copies.
#pragma once

#include <string>

#include "runtime/memory.h"
#include "runtime/value_table.h"

inline std::string HandleText(MemoryHandle handle) {
  return std::string(reinterpret_cast<const char*>(HandleData(handle)), HandleGetSize(handle));
}

// Fills the table with the entries of the test order.
inline void FillTestOrder(ValueTable* table) {
  static constexpr const char* kEntries[][2] = {
      {"user_name", "Ann Buyer"},        {"user_company", "Buyer & Co"},
      {"user_address", "12 High Street\r\nFlat 3\r\nSpringfield 12345"},
      {"user_email", "ann@example.com"}, {"user_phone", "555-0123"},
      {"user_fax", ""},                  {"card_kind", "VISA"},
      {"card_number", "4111 1111 1111 1111"},
      {"card_expire", "12/30"},          {"card_verify", "123"},
      {"card_name", "Ann Buyer"},        {"total_copies", "12"},
      {"total_discount", "$36.00"},      {"total_payment", "$329.00"},
      {"__is_using_card", ""},           {"comments", "Please hurry."},
  };
  for (const auto& [key, value] : kEntries) {
    remove_value(table, key);
    push_value(table, key, value);
  }
}
