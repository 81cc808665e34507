// The table of the walk's pages holds together: every page once, every framed page a page of the walk
// that is shown in no other way, names in the forms the pages use (controls and pages lower case,
// variables upper case), and each route with all its steps.
#include "app/walk_pages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

bool IsLowerName(const std::string& name) {
  for (char c : name)
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return !name.empty();
}

TEST(WalkPages, EveryPageOnceAndEveryFramedPageInTheTable) {
  std::set<std::string> pages, framed;
  for (const WalkPage& page : kWalkPages) {
    EXPECT_TRUE(pages.insert(page.name).second) << page.name << " twice";
    EXPECT_TRUE(IsLowerName(page.name)) << page.name;
    if (page.framedPage) framed.insert(page.framedPage);
  }
  for (const std::string& name : framed) {
    const WalkPage* page = FindWalkPage(name.c_str());
    ASSERT_TRUE(page) << name;
    EXPECT_EQ(page->framedPage, nullptr) << name << " is framed and frames another page itself";
  }
  EXPECT_EQ(FindWalkPage("Enter_name"), nullptr);  // page names are matched exactly
  EXPECT_EQ(FindWalkPage(nullptr), nullptr);
}

TEST(WalkPages, NamesAreWrittenAsThePagesWriteThem) {
  for (const WalkPage& page : kWalkPages) {
    std::set<std::string> names;
    for (std::span<const WalkName> group : page.names) {
      for (const WalkName& name : group) {
        EXPECT_TRUE(names.insert(name.name).second) << page.name << " lists " << name.name << " twice";
        if (name.kind == WalkNameKind::kParameter) {
          for (const char* c = name.name; *c; ++c) EXPECT_FALSE(*c >= 'a' && *c <= 'z') << name.name;
        } else {
          EXPECT_TRUE(IsLowerName(name.name)) << name.name;
        }
      }
    }
  }
}

TEST(WalkPages, EachRouteHasEveryStep) {
  for (const char* route : {"usmail", "email", "fax"}) {
    for (const char* step : {"_name", "_method", "_count", "_cd", "_comments"})
      EXPECT_TRUE(FindWalkPage((std::string(route) + step).c_str())) << route << step;
    EXPECT_TRUE(FindWalkPage((std::string("send_") + route).c_str())) << route;
  }
  // The postal route pays by check or money order too, so its method page is a page of its own.
  EXPECT_STREQ(FindWalkPage("usmail_method")->framedPage, "enter_method_usmail");
  EXPECT_STREQ(FindWalkPage("email_method")->framedPage, "enter_method_other");
}

}  // namespace
