// The test order in a table of each test's own, and its text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/order_form_text.h"
#include "tests/app/order/test_order.h"

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
