#include "interface/variables.h"

#include <gtest/gtest.h>

#include "interface/parameters.h"
#include "tests/interface/markup_test_support.h"

namespace {

class Variables : public testing::Test {
 protected:
  void TearDown() override {
    free_process_variables();
    free_table(window_);
  }
  ValueTable* window_ = nullptr;
};

TEST_F(Variables, SettingReplacesEveryEntryAndWindowsComeFirst) {
  EXPECT_EQ(get_variable(nullptr, "PRICE"), nullptr);
  ASSERT_EQ(set_variable(nullptr, "PRICE", "$30.00"), kOk);
  ASSERT_EQ(set_variable(nullptr, "price", "$25.00"), kOk);
  EXPECT_STREQ(get_variable(nullptr, "Price"), "$25.00");

  ASSERT_EQ(set_variable(&window_, "ERROR", "-7105"), kOk);
  ASSERT_NE(window_, nullptr);
  ASSERT_EQ(set_variable(&window_, "PRICE", ""), kOk);  // empty, but set
  EXPECT_STREQ(get_variable(window_, "PRICE"), "");
  EXPECT_STREQ(get_variable(window_, "ERROR"), "-7105");
  EXPECT_EQ(get_variable(nullptr, "ERROR"), nullptr);

  append_value(window_, "ERROR", "stale");  // set_variable leaves one entry, however many there were
  push_value(window_, "ERROR", "staler");
  ASSERT_EQ(set_variable(&window_, "ERROR", "-7007"), kOk);
  int entries = 0;
  for (const ValueEntry* e = first_entry(window_); e; e = e->next) entries += std::string(e->key) == "ERROR";
  EXPECT_EQ(entries, 1);
  EXPECT_STREQ(get_variable(window_, "ERROR"), "-7007");

  EXPECT_EQ(set_variable(nullptr, "BAD-NAME", "x"), kErrState);
}

// Parses a page, substitutes its parameters and gives the tree's compact form.
std::string Substituted(const std::string& page, const ValueTable* window) {
  Parsed parsed(page);
  ParameterList list;
  EXPECT_EQ(collect_parameters(&list, parsed.tree), kOk);
  EXPECT_EQ(substitute_parameters(&list, window), kOk);
  EXPECT_TRUE(DepthsAreConsistent(parsed.tree));
  free_parameter_list(&list);
  return parsed.dump();
}

TEST_F(Variables, ParametersShowValuesAsMarkup) {
  const std::string page =
      "<PAGE><PARAMETER NAME=\"PRODUCT\">PRODUCT</PARAMETER> costs <PARAM NAME=PRICE>?</PARAM></PAGE>";
  EXPECT_EQ(Substituted(page, nullptr),
            "PAGE{PARAMETER[NAME=PRODUCT]{\"PRODUCT\"} \" costs \" PARAM[NAME=PRICE]{\"?\"}}");

  set_variable(nullptr, "PRODUCT", "<B>Skyward</B> &amp; more");
  set_variable(nullptr, "PRICE", "");
  EXPECT_EQ(Substituted(page, nullptr),
            "PAGE{PARAMETER[NAME=PRODUCT]{B{\"Skyward\"} \" & more\"} \" costs \" PARAM[NAME=PRICE]{\"\"}}");

  set_variable(&window_, "PRICE", "<I>free</I>");
  EXPECT_EQ(Substituted(page, window_),
            "PAGE{PARAMETER[NAME=PRODUCT]{B{\"Skyward\"} \" & more\"} \" costs \" PARAM[NAME=PRICE]{I{\"free\"}}}");
}

TEST_F(Variables, PriceSummaryReplacesTheParametersNestedInIt) {
  const std::string page =
      "<PAGE><PARAMETER NAME=PRICE_SUMMARY><PARAMETER NAME=PRODUCT>P</PARAMETER> for "
      "<PARAMETER NAME=PRICE>$</PARAMETER></PARAMETER></PAGE>";
  set_variable(nullptr, "PRODUCT", "Skyward");
  set_variable(nullptr, "PRICE", "$30");
  EXPECT_EQ(Substituted(page, nullptr),
            "PAGE{PARAMETER[NAME=PRICE_SUMMARY]{PARAMETER[NAME=PRODUCT]{\"Skyward\"} \" for \" "
            "PARAMETER[NAME=PRICE]{\"$30\"}}}");

  // Set, its own content goes, and the parameters it brings are substituted in their turn.
  set_variable(nullptr, "PRICE_SUMMARY", "<PARAMETER NAME=PRODUCT/>: <PARAMETER NAME=PRICE>x</PARAMETER> each");
  EXPECT_EQ(Substituted(page, nullptr),
            "PAGE{PARAMETER[NAME=PRICE_SUMMARY]{PARAMETER[NAME=PRODUCT]{\"Skyward\"} \": \" "
            "PARAMETER[NAME=PRICE]{\"$30\"} \" each\"}}");
}

TEST_F(Variables, AVariableThatShowsItselfStopsAtTheNestingLimit) {
  set_variable(nullptr, "LOOP", "x<PARAMETER NAME=LOOP>end</PARAMETER>");
  const std::string tree = Substituted("<PARAMETER NAME=LOOP></PARAMETER>", nullptr);
  size_t levels = 0;
  for (size_t at = 0; (at = tree.find("PARAMETER[", at)) != std::string::npos; ++at) ++levels;
  EXPECT_EQ(levels, kParameterNestingLimit + 2);
  EXPECT_NE(tree.find("{\"end\"}"), std::string::npos);
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++count;
  return count;
}

TEST_F(Variables, AVariableThatShowsItselfTwiceStopsAtTheSubstitutionLimit) {
  // Doubling at every level, the nesting limit alone would let it grow to 2^33 parameters.
  set_variable(nullptr, "TWICE", "<PARAMETER NAME=TWICE>a</PARAMETER><PARAMETER NAME=TWICE>b</PARAMETER>");
  const std::string tree = Substituted("<PARAMETER NAME=TWICE></PARAMETER>", nullptr);
  // Each value shown brings two parameters; those not shown keep their own text.
  EXPECT_EQ(Count(tree, "PARAMETER["), 1 + 2 * kParameterSubstitutionLimit);
  EXPECT_EQ(Count(tree, "{\"a\"}") + Count(tree, "{\"b\"}"), kParameterSubstitutionLimit + 1);
}

}  // namespace
