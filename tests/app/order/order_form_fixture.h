// An order form table filled as the pages leave it for a card order of 12 copies, for the tests of the
// order's text, saving, mailing and printing.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/order_form_text.h"
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

class OrderFormFixture : public testing::Test {
 protected:
  static constexpr OrderDate kDate{3, 7, 2005};

  void SetUp() override { Reset(); }
  void TearDown() override { free_table(table_); }

  void Reset() {
    free_table(table_);
    table_ = create_table(0);
    ASSERT_NE(table_, nullptr);
    FillTestOrder(table_);
  }
  void Set(const char* key, const char* value) {
    remove_value(table_, key);
    ASSERT_EQ(push_value(table_, key, value), kOk);
  }
  void Remove(const char* key) { remove_value(table_, key); }
  ValueTable* table() { return table_; }

  // The order as text, or "<status>" when it cannot be written.
  std::string Text(bool withSaveBanners) {
    UniqueHandle text(HandleNew(0));
    const Status status = OrderWriteFormText(nullptr, text.get(), table_, kDate, withSaveBanners);
    return status == kOk ? HandleText(text.get()) : "<" + std::to_string(status) + ">";
  }

 private:
  ValueTable* table_ = nullptr;
};
