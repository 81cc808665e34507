// The order as text: the exact bytes of the mailed and saved forms, the line writer's column rule, the
// payment block by count and card, and the entries the order cannot do without.
#include <gtest/gtest.h>

#include <string>

#include "app/form_lines.h"
#include "app/order_form_text.h"
#include "app/seller_settings.h"
#include "tests/app/order/order_form_fixture.h"

namespace {

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string Written(const char* label, const char* value) {
  UniqueHandle text(HandleNew(0));
  EXPECT_EQ(FormWriteLine(nullptr, text.get(), label, value), kOk);
  return HandleText(text.get());
}

TEST(FormWriteLineTest, LabelsEndInColumn18AndValueLinesContinueUnderTheFirst) {
  EXPECT_EQ(Written("Name:", "Ann Buyer"), "             Name: Ann Buyer\r\n");
  // 18 characters and more: no padding at all.
  EXPECT_EQ(Written("Quantity discount:", "$3.00"), "Quantity discount: $3.00\r\n");
  EXPECT_EQ(Written("A label of twenty ch", "x"), "A label of twenty ch x\r\n");
  // CR LF, a lone LF and a lone CR each break once; a break at the very end adds no line.
  EXPECT_EQ(Written("Address:", "1 Main St\r\nFlat 2\nSpringfield\rUSA\r\n"),
            "          Address: 1 Main St\r\n" + std::string(19, ' ') + "Flat 2\r\n" + std::string(19, ' ') +
                "Springfield\r\n" + std::string(19, ' ') + "USA\r\n");
  // Two breaks in a row leave an empty line in between.
  EXPECT_EQ(Written("Comments:", "a\n\nb"),
            "         Comments: a\r\n" + std::string(19, ' ') + "\r\n" + std::string(19, ' ') + "b\r\n");
  EXPECT_EQ(Written("Comments:", ""), "         Comments: \r\n");
  EXPECT_EQ(Written("Just sending you a note!", nullptr), "Just sending you a note!\r\n");
  EXPECT_EQ(Written(nullptr, "closing\r\nline"), std::string(19, ' ') + "closing\r\n" + std::string(19, ' ') + "line\r\n");
}

TEST(FormWriteLineTest, WritesToExactlyOneTarget) {
  UniqueHandle text(HandleNew(0));
  EXPECT_EQ(FormWriteLine(nullptr, nullptr, "Name:", "x"), kErrArgument);
  EXPECT_EQ(FormNewLine(nullptr, nullptr), kErrArgument);
  EXPECT_EQ(FormNewLine(nullptr, text.get()), kOk);
  EXPECT_EQ(HandleText(text.get()), "\r\n");
}

class OrderFormTextTest : public OrderFormFixture {};

TEST_F(OrderFormTextTest, ACardOrderWithTheCdIsWrittenLineForLine) {
  Set("card_name", "Bob Payer");
  Set("quillon_cd", "");
  const std::string blank19(19, ' ');
  const std::string expected = Lines({
      std::string(Seller().company) + " Electronic Mail Registration Form",
      "",
      std::string(10, ' ') + "Product: Skyward",
      "",
      std::string(13, ' ') + "Name: Ann Buyer",
      std::string(10, ' ') + "Company: Buyer & Co",
      std::string(10, ' ') + "Address: 12 High Street",
      blank19 + "Flat 3",
      blank19 + "Springfield 12345",
      std::string(12, ' ') + "eMail: ann@example.com",
      std::string(12, ' ') + "Phone: 555-0123",
      std::string(14, ' ') + "Fax: ",
      "",
      std::string(9, ' ') + "Comments: Please hurry.",
      "",
      std::string(3, ' ') + "Price per copy: $30.00",
      std::string(1, ' ') + "Number of copies: 12",
      std::string(0, ' ') + "Quantity discount: $36.00",
      std::string(8, ' ') + "QuillonCD: $5.00 -- Yes, send me the QuillonCD for Windows!",
      "",
      std::string(12, ' ') + "Total: $329.00",
      "",
      std::string(3, ' ') + "Please bill my: VISA",
      std::string(7, ' ') + "Account #:  4111 1111 1111 1111",
      std::string(2, ' ') + "Verification #:  123",
      std::string(9, ' ') + "Expires:  12/30",
      std::string(13, ' ') + "Name: Bob Payer",
      "",
      std::string(12, ' ') + "Date:  3/7/05",
      "",
      blank19 + std::string(Seller().company) + " " + Seller().taxIdentification,
      "",
      blank19 + "Thank you for supporting shareware!",
      "",
  });
  EXPECT_EQ(Text(false), expected);
}

TEST_F(OrderFormTextTest, PaymentBlockFollowsTheCountAndTheMethod) {
  // The name on the card is the buyer's: no second name line.
  Set("card_name", "Ann Buyer");
  std::string text = Text(false);
  EXPECT_NE(text.find("  Please bill my: VISA\r\n"), std::string::npos);
  EXPECT_EQ(text.find("Name: Ann Buyer"), text.rfind("Name: Ann Buyer"));
  EXPECT_EQ(text.find("QuillonCD"), std::string::npos) << "no CD ordered";

  // Any other method, whatever its name.
  Remove("__is_using_card");
  Set("card_kind", "Personal Check");
  text = Text(false);
  EXPECT_NE(text.find("\r\n\r\nPurchase Order\r\n\r\n"), std::string::npos);
  EXPECT_EQ(text.find("Please bill my:"), std::string::npos);

  // No copies: a note, two blank lines, no payment block even for a card.
  Set("__is_using_card", "");
  for (const char* none : {"0", "", "000"}) {
    Set("total_copies", none);
    text = Text(false);
    EXPECT_NE(text.find("\r\n\r\nJust sending you a note!\r\n\r\n\r\n            Date:  "), std::string::npos) << none;
    EXPECT_EQ(text.find("Please bill my:"), std::string::npos);
    EXPECT_EQ(text.find("Purchase Order"), std::string::npos);
  }
}

TEST_F(OrderFormTextTest, TheSavedTextBeginsAndEndsWithTheBanner) {
  char banner[512];
  OrderSaveBanner(banner, sizeof banner);
  EXPECT_EQ(std::string(banner), std::string("--->  Please send this registration text to: ") + Seller().orderAddress + "  <---");
  const std::string mailed = Text(false);
  EXPECT_EQ(Text(true), std::string(banner) + "\r\n\r\n" + mailed + "\r\n" + banner + "\r\n");
}

TEST_F(OrderFormTextTest, EveryLineEndsWithCrLf) {
  Set("user_address", "one\rtwo\nthree");
  Set("comments", "x\n\ny");
  const std::string text = Text(true);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
    if (text[i] == '\r') EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
  }
}

TEST_F(OrderFormTextTest, AnAbsentEntryIsMinus7002) {
  for (const char* key : {"user_name", "user_company", "user_address", "user_email", "user_phone", "user_fax",
                          "comments", "total_copies", "total_discount", "total_payment", "card_kind", "card_number",
                          "card_verify", "card_expire", "card_name"}) {
    Reset();
    Set("card_name", "Someone Else");
    Remove(key);
    UniqueHandle text(HandleNew(0));
    EXPECT_EQ(OrderWriteFormText(nullptr, text.get(), table(), kDate, false), kErrState) << key;
  }
  // Without a card the card entries are not needed.
  Reset();
  Remove("__is_using_card");
  for (const char* key : {"card_kind", "card_number", "card_verify", "card_expire", "card_name"}) Remove(key);
  EXPECT_NE(Text(false).find("Purchase Order"), std::string::npos);
}

TEST(OrderDateTextTest, MonthDayAndTwoDigitYear) {
  char text[16];
  OrderDateText({12, 31, 1999}, text, sizeof text);
  EXPECT_STREQ(text, "12/31/99");
  OrderDateText({1, 2, 2000}, text, sizeof text);
  EXPECT_STREQ(text, "1/2/00");
}

}  // namespace
