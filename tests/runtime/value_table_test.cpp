#include "runtime/value_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TableDeleter {
  void operator()(ValueTable* table) const { free_table(table); }
};
using Table = std::unique_ptr<ValueTable, TableDeleter>;

using Strings = std::vector<std::string>;

// "KEY=value" or "KEY" (no separator) for each entry, in insertion order.
Strings Entries(const ValueTable* table) {
  Strings out;
  for (const ValueEntry* e = first_entry(table); e; e = e->next) {
    std::string item(e->key, e->keyLength);
    if (e->separator) item += char(e->separator) + std::string(e->value(), e->valueLength);
    out.push_back(item);
  }
  return out;
}

Strings Read(uint32_t flags, const std::string& text) {
  return Entries(Table(read_table_from_text(flags, text.data(), text.size())).get());
}

TEST(ValueTableKeys, CaseFoldingKeyClassesUniqueAndBinaryKeys) {
  Table folded(create_table(kTableCaseInsensitive));
  ASSERT_EQ(push_value(folded.get(), "price", "$30.00"), kOk);
  EXPECT_STREQ(get_value(folded.get(), "Price"), "$30.00");
  EXPECT_EQ(Entries(folded.get()), Strings{"PRICE=$30.00"});  // stored upper-cased
  EXPECT_EQ(push_value(folded.get(), "A$B", "x"), kErrState);  // '$' only under extended keys

  Table exact(create_table(0));
  ASSERT_EQ(push_value(exact.get(), "price", "1"), kOk);
  EXPECT_EQ(get_value(exact.get(), "PRICE"), nullptr);

  Table large(create_table(kTableLarge | kTableCaseInsensitive));  // 997 buckets
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(append_value(large.get(), ("k" + std::to_string(i)).c_str(), "v"), kOk);
  EXPECT_TRUE(get_value(large.get(), "K2999") && !get_value(large.get(), "K3000"));

  Table extended(create_table(kTableExtendedKeys));
  EXPECT_EQ(push_value(extended.get(), "a$b", "x"), kOk);
  EXPECT_STREQ(get_value(extended.get(), "A$B"), "x");  // extended keys imply case folding

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
}

TEST(ValueTableOrder, PushShadowsAppendKeepsOlderAndAfterEnumerates) {
  Table table(create_table(kTableCaseInsensitive));
  append_value(table.get(), "K", "old");
  append_value(table.get(), "OTHER", "x");
  append_value(table.get(), "K", "new");
  const char* first = get_value(table.get(), "K");
  EXPECT_STREQ(first, "old");
  const char* second = get_value(table.get(), "K", first);
  EXPECT_STREQ(second, "new");
  EXPECT_EQ(get_value(table.get(), "K", second), nullptr);
  push_value(table.get(), "K", "newest");
  EXPECT_STREQ(get_value(table.get(), "K"), "newest");
  EXPECT_EQ(Entries(table.get()), (Strings{"K=newest", "K=old", "OTHER=x", "K=new"}));

  EXPECT_TRUE(remove_value(table.get(), "k"));
  EXPECT_STREQ(get_value(table.get(), "K"), "old");
  EXPECT_TRUE(remove_value(table.get(), "K"));
  EXPECT_TRUE(remove_value(table.get(), "K"));
  EXPECT_FALSE(remove_value(table.get(), "K"));
  EXPECT_EQ(Entries(table.get()), Strings{"OTHER=x"});
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

  ValueTable* loose = create_table(0);
  free_table(loose);
  free_table(loose);  // not live any more: left alone
  EXPECT_EQ(live_table_count(), before + 2);
}

// The live tables are kept in an open-addressed set keyed by their addresses. With thirty-odd tables in
// its 64 slots many keys collide and share probe runs; freeing any one of them, in any order, must
// leave every other one findable, or freeing it later would be ignored and the count would stay.
TEST(ValueTableLife, CollidingTablesFreedInEveryOrderLeaveTheLiveSetExact) {
  const size_t before = live_table_count();
  std::vector<ValueTable*> background;
  for (int i = 0; i < 26; ++i) background.push_back(create_table(i % 3 ? 0u : uint32_t(kTableLarge)));
  std::vector<int> order = {0, 1, 2, 3, 4};
  do {
    ValueTable* tables[5];
    for (int i = 0; i < 5; ++i) tables[i] = create_table(i % 2 ? kTableCaseInsensitive : kTableLarge);
    ASSERT_EQ(live_table_count(), before + 31);
    for (size_t n = 0; n < order.size(); ++n) {
      free_table(tables[order[n]]);
      free_table(tables[order[n]]);  // freed already: changes nothing
      ASSERT_EQ(live_table_count(), before + 30 - n) << "freeing table " << order[n] << " as number " << n;
    }
  } while (std::next_permutation(order.begin(), order.end()));
  for (size_t i = 0; i < background.size(); ++i) {
    free_table(background[i]);
    EXPECT_EQ(live_table_count(), before + 25 - i);
  }
}

TEST(ValueTableReader, KeysValuesQuotesEscapesOperatorsAndBadBytes) {
  const uint32_t folded = kTableCaseInsensitive;
  EXPECT_EQ(Read(folded, " A=1 B=\"x y\" C "), (Strings{"A=1", "B=x y", "C"}));
  EXPECT_EQ(Read(folded, "A=%41 B=%00x C=%4 D=%zz1 E='it''s' F=`a\"b`"),
            (Strings{"A=A", "B= x", "C=%4", "D=%zz1", "E=it", "S", "F=a\"b"}));
  EXPECT_EQ(Read(folded, "A = 1 B= two C==3 D=\"open"), (Strings{"A=1", "B=two", "C=3", "D=open"}));
  EXPECT_EQ(Read(folded, "A-B=1 \"C\" =D 'E"), (Strings{"A", "B=1", "C=D", "E"}));  // quotes around C: blanks
  EXPECT_EQ(Read(folded, std::string("K=v\0W", 5)), Strings{std::string("K=v\0W", 5)});  // a NUL is kept
  EXPECT_EQ(Read(folded, "X\x01Y\xFFZ=1"), (Strings{"X", "Y", "Z=1"}));
  EXPECT_EQ(Read(folded, ""), Strings{});

  EXPECT_EQ(Read(kTableExtendedKeys, "$x<5 y~abc z:1 w==2 v!"), (Strings{"$X<5", "Y~abc", "Z:1", "W=2", "V"}));
  EXPECT_EQ(Read(folded, "a<5"), (Strings{"A", "5"}));  // '<' is an operator under extended keys only
  EXPECT_EQ(Read(kTableUniqueKeys | folded, "A=1 a=2 B"), (Strings{"A=1", "B"}));
}

}  // namespace
