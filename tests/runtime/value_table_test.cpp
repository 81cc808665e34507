#include "runtime/value_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TableDeleter {
  void operator()(ValueTable* table) const { free_table(table); }
};
using Table = std::unique_ptr<ValueTable, TableDeleter>;

// "KEY=value" or "KEY" (no separator) for each entry, in insertion order.
std::vector<std::string> Entries(const ValueTable* table) {
  std::vector<std::string> out;
  for (const ValueEntry* e = first_entry(table); e; e = e->next) {
    std::string item(e->key, e->keyLength);
    if (e->separator) item += char(e->separator) + std::string(e->value(), e->valueLength);
    out.push_back(item);
  }
  return out;
}

using Strings = std::vector<std::string>;

TEST(ValueTableKeys, CaseInsensitiveTablesFoldAndExactTablesDoNot) {
  Table folded(create_table(kTableCaseInsensitive));
  ASSERT_EQ(push_value(folded.get(), "price", "$30.00"), kOk);
  EXPECT_STREQ(get_value(folded.get(), "PRICE"), "$30.00");
  EXPECT_STREQ(get_value(folded.get(), "Price"), "$30.00");
  EXPECT_EQ(Entries(folded.get()), Strings{"PRICE=$30.00"});  // stored upper-cased

  Table exact(create_table(0));
  ASSERT_EQ(push_value(exact.get(), "price", "1"), kOk);
  EXPECT_EQ(get_value(exact.get(), "PRICE"), nullptr);
  EXPECT_STREQ(get_value(exact.get(), "price"), "1");

  Table large(create_table(kTableLarge | kTableCaseInsensitive));
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(append_value(large.get(), ("k" + std::to_string(i)).c_str(), "v"), kOk);
  EXPECT_NE(get_value(large.get(), "K2999"), nullptr);
  EXPECT_EQ(get_value(large.get(), "K3000"), nullptr);
}

TEST(ValueTableKeys, KeyClassUniqueKeysAndBinaryKeys) {
  Table table(create_table(kTableCaseInsensitive));
  EXPECT_EQ(push_value(table.get(), "USER-EMAIL", "x"), kErrState);
  EXPECT_EQ(push_value(table.get(), "A$B", "x"), kErrState);
  EXPECT_EQ(first_entry(table.get()), nullptr);

  Table extended(create_table(kTableExtendedKeys));
  EXPECT_EQ(push_value(extended.get(), "a$b", "x"), kOk);
  EXPECT_STREQ(get_value(extended.get(), "A$B"), "x");  // flag 8 implies case folding

  Table unique(create_table(kTableUniqueKeys | kTableCaseInsensitive));
  EXPECT_EQ(append_value(unique.get(), "KEY", "1"), kOk);
  EXPECT_EQ(push_value(unique.get(), "key", "2"), kErrDuplicate);
  EXPECT_EQ(Entries(unique.get()), Strings{"KEY=1"});

  Table binary(create_table(kTableBinaryKeys));
  const char key[] = {'&', 0, 'x'};
  EXPECT_EQ(push_value(binary.get(), ValueKey(key, 3), "nul inside", 10, '='), kOk);
  EXPECT_STREQ(get_value(binary.get(), ValueKey(key, 3)), "nul inside");
  EXPECT_EQ(get_value(binary.get(), ValueKey(key, 2)), nullptr);
  EXPECT_EQ(push_value(binary.get(), "&Amp;", "x"), kOk);
  EXPECT_EQ(get_value(binary.get(), "&amp;"), nullptr);

  EXPECT_EQ(create_table(kTableBinaryKeys | kTableCaseInsensitive), nullptr);
  EXPECT_EQ(create_table(0x01000000), nullptr);
}

TEST(ValueTableOrder, PushShadowsAppendKeepsOlderAndAfterEnumerates) {
  Table pushed(create_table(kTableCaseInsensitive));
  push_value(pushed.get(), "K", "old");
  push_value(pushed.get(), "K", "new");
  EXPECT_STREQ(get_value(pushed.get(), "K"), "new");
  EXPECT_EQ(Entries(pushed.get()), (Strings{"K=new", "K=old"}));

  Table appended(create_table(kTableCaseInsensitive));
  append_value(appended.get(), "K", "old");
  append_value(appended.get(), "OTHER", "x");
  append_value(appended.get(), "K", "new");
  const char* first = get_value(appended.get(), "K");
  EXPECT_STREQ(first, "old");
  const char* second = get_value(appended.get(), "K", first);
  EXPECT_STREQ(second, "new");
  EXPECT_EQ(get_value(appended.get(), "K", second), nullptr);
  EXPECT_EQ(Entries(appended.get()), (Strings{"K=old", "OTHER=x", "K=new"}));

  EXPECT_TRUE(remove_value(appended.get(), "k"));
  EXPECT_STREQ(get_value(appended.get(), "K"), "new");
  EXPECT_TRUE(remove_value(appended.get(), "K"));
  EXPECT_FALSE(remove_value(appended.get(), "K"));
  EXPECT_EQ(Entries(appended.get()), Strings{"OTHER=x"});
}

TEST(ValueTableLife, CopyKeepsOrderAndSeparatorsAndFreeIgnoresDeadTables) {
  const size_t before = live_table_count();
  Table table(create_table(kTableCaseInsensitive));
  append_value(table.get(), "A", "1");
  append_value(table.get(), "EMPTY", "", 0, '=');
  append_value(table.get(), "FLAG", "");
  push_value(table.get(), "A", "0");
  Table copy(copy_table(table.get()));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(table_flags(copy.get()), kTableCaseInsensitive);
  EXPECT_EQ(Entries(copy.get()), (Strings{"A=0", "A=1", "EMPTY=", "FLAG"}));
  EXPECT_STREQ(get_value(copy.get(), "A"), "0");  // chains rebuilt in their old order too
  push_value(copy.get(), "A", "changed");
  EXPECT_STREQ(get_value(table.get(), "A"), "0");
  EXPECT_EQ(live_table_count(), before + 2);

  ValueTable* loose = create_table(0);
  free_table(loose);
  free_table(loose);  // not live any more: left alone
  free_table(nullptr);
  EXPECT_EQ(live_table_count(), before + 2);
}

TEST(ValueTableReader, KeysValuesQuotesAndPercentEscapes) {
  Table table(read_table_from_text(kTableCaseInsensitive, " A=1 B=\"x y\" C "));
  EXPECT_EQ(Entries(table.get()), (Strings{"A=1", "B=x y", "C"}));
  table.reset(read_table_from_text(kTableCaseInsensitive, "LI BR P"));
  EXPECT_EQ(Entries(table.get()), (Strings{"LI", "BR", "P"}));
  table.reset(read_table_from_text(kTableCaseInsensitive, "A=%41 B=%00x C=%4 D=%zz1 E='it''s' F=`a\"b`"));
  EXPECT_EQ(Entries(table.get()), (Strings{"A=A", "B= x", "C=%4", "D=%zz1", "E=it", "S", "F=a\"b"}));
  table.reset(read_table_from_text(kTableCaseInsensitive, "A = 1 B= two C==3 D=\"open"));
  EXPECT_EQ(Entries(table.get()), (Strings{"A=1", "B=two", "C=3", "D=open"}));
  table.reset(read_table_from_text(kTableCaseInsensitive, "A= B"));  // a blank before a value is skipped
  EXPECT_EQ(Entries(table.get()), Strings{"A=B"});
  table.reset(read_table_from_text(kTableCaseInsensitive, ""));
  EXPECT_EQ(Entries(table.get()), Strings{});
}

TEST(ValueTableReader, BadBytesAreReadAsBlanks) {
  Table table(read_table_from_text(kTableCaseInsensitive, "A-B=1 \"C\" =D 'E"));
  EXPECT_EQ(Entries(table.get()), (Strings{"A", "B=1", "C=D", "E"}));  // the quotes around C are blanks
  const char withNul[] = {'K', '=', 'v', 0, 'W'};
  table.reset(read_table_from_text(kTableCaseInsensitive, withNul, sizeof withNul));
  EXPECT_EQ(Entries(table.get()), Strings{std::string("K=v\0W", 5)});  // a NUL inside a value is kept
  table.reset(read_table_from_text(kTableCaseInsensitive, "X\x01Y\xFFZ=1"));
  EXPECT_EQ(Entries(table.get()), (Strings{"X", "Y", "Z=1"}));
}

TEST(ValueTableReader, OperatorsUnderExtendedKeysAndDuplicatesUnderUniqueKeys) {
  Table table(read_table_from_text(kTableExtendedKeys, "$x<5 y~abc z:1 w==2 v!"));
  EXPECT_EQ(Entries(table.get()), (Strings{"$X<5", "Y~abc", "Z:1", "W=2", "V"}));
  EXPECT_EQ(entry_of_value(get_value(table.get(), "W"))->separator, '=');

  table.reset(read_table_from_text(kTableCaseInsensitive, "a<5"));  // '<' is no operator here
  EXPECT_EQ(Entries(table.get()), (Strings{"A", "5"}));

  table.reset(read_table_from_text(kTableUniqueKeys | kTableCaseInsensitive, "A=1 a=2 B"));
  EXPECT_EQ(Entries(table.get()), (Strings{"A=1", "B"}));
  table.reset(read_table_from_text(kTableCaseInsensitive, "A=1 a=2"));
  EXPECT_EQ(Entries(table.get()), (Strings{"A=1", "A=2"}));
}

}  // namespace
