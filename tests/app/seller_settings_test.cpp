// The seller's settings as the build compiles them in, from a settings file made to be awkward.
#include "app/seller_settings.h"

#include <gtest/gtest.h>

namespace {

TEST(SellerSettings, ValuesArriveExactlyInTheProgramsEncoding) {
  const SellerSettings& seller = Seller();
  EXPECT_STREQ(seller.company, "M\xFCller & \"Sons\" \\ S\xF6hne; Ltd");
  // One address line per "address" key, in order, with CR LF between them and no blanks around them.
  EXPECT_STREQ(seller.postalAddress, "Line one\r\nRue de l\x92\xC9glise 5\r\n75001 Paris");
  EXPECT_STREQ(seller.telephone, "555-0100");
  EXPECT_STREQ(seller.fax, "");
  EXPECT_STREQ(seller.email, "sales@example.com");
  EXPECT_STREQ(seller.taxIdentification, "\x80 12");
  EXPECT_STREQ(seller.orderAddress, "orders@example.com");
  EXPECT_STREQ(seller.fallbackSender, "nobody@example.com");
  EXPECT_STREQ(seller.mailServer, "localhost:2525");
}

}  // namespace
