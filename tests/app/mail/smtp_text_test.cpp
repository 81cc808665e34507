#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/mail/smtp_reply.h"
#include "app/mail/smtp_text.h"

namespace {

// The code of a reply made of these lines, and how many of them it used.
std::pair<int32_t, size_t> ReadReply(const std::vector<std::string>& lines) {
  SmtpReplyReader reader;
  SmtpReplyStart(&reader);
  for (size_t i = 0; i < lines.size(); ++i)
    if (SmtpReplyTakeLine(&reader, reinterpret_cast<const uint8_t*>(lines[i].data()), lines[i].size()))
      return {reader.code, i + 1};
  return {reader.code, lines.size()};
}

TEST(SmtpReply, MultiLineRepliesRunToTheirLastLineAndTheFirstCodeWins) {
  EXPECT_EQ(ReadReply({"220 ready\r\n"}), std::make_pair(220, size_t(1)));
  EXPECT_EQ(ReadReply({"250-first\r\n", "250-second\r\n", "250 last\r\n", "354 next\r\n"}), std::make_pair(250, size_t(3)));
  // Another code in the middle changes nothing, and the lines after it still belong to this reply.
  EXPECT_EQ(ReadReply({"250-first\r\n", "451-other\r\n", "250 last\r\n", "354 next\r\n"}), std::make_pair(250, size_t(3)));
  EXPECT_EQ(ReadReply({"250-first\r\n", "451 other\r\n", "354 next\r\n"}), std::make_pair(250, size_t(2)));
  // A short line ends the reply with what was read.
  EXPECT_EQ(ReadReply({"250-first\r\n", "\r\n", "354 next\r\n"}), std::make_pair(250, size_t(2)));
  EXPECT_EQ(ReadReply({"25\r\n"}), std::make_pair(0, size_t(1)));
}

TEST(SmtpReply, LinesThatDoNotStartWithThreeDigitsAreNeverAnExpectedCode) {
  // "24:" would add up to 250 if letters were taken for digits.
  EXPECT_EQ(ReadReply({"24: ok\r\n"}).first, kSmtpMalformedReply);
  EXPECT_EQ(ReadReply({"hello there\r\n"}).first, kSmtpMalformedReply);
  EXPECT_EQ(ReadReply({"2 0 ok\r\n"}).first, kSmtpMalformedReply);
  // "000" would read as no reply yet, and the next line's code would stand instead.
  EXPECT_EQ(ReadReply({"000-x\r\n", "250 ok\r\n"}), std::make_pair(kSmtpMalformedReply, size_t(2)));
}

std::string Wire(const std::string& body) {
  std::string wire;
  size_t offset = 0;
  const auto* bytes = reinterpret_cast<const uint8_t*>(body.data());
  uint8_t line[kSmtpBodyLineBytes];
  do {
    const size_t before = offset;
    wire.append(reinterpret_cast<const char*>(line), SmtpBodyNextLine(bytes, body.size(), &offset, line));
    if (offset == before && offset < body.size()) return "(stuck)";
  } while (offset < body.size());
  return wire;
}

TEST(SmtpBody, LineEndsBecomeCrLfDotsAreDoubledAndTheDataEndsWithADotLine) {
  EXPECT_EQ(Wire("one\r\ntwo\nthree\rfour"), "one\r\ntwo\r\nthree\r\nfour\r\n.\r\n");
  EXPECT_EQ(Wire("a\n"), "a\r\n.\r\n");
  EXPECT_EQ(Wire("a\n\n\r\rb"), "a\r\n\r\n\r\n\r\nb\r\n.\r\n");
  EXPECT_EQ(Wire(".\n..x\n y.\n."), "..\r\n...x\r\n y.\r\n..\r\n.\r\n");
  // Without the end line the server would wait for the data forever.
  EXPECT_EQ(Wire(""), ".\r\n");
  EXPECT_EQ(Wire(std::string("a\0b", 3)), std::string("a\0b\r\n.\r\n", 8));
}

TEST(SmtpBody, LongLinesAreBrokenAfter998BytesWithoutAddingEmptyLines) {
  const std::string long2500(2500, 'x');
  EXPECT_EQ(Wire(long2500 + "\r\nend"),
            std::string(998, 'x') + "\r\n" + std::string(998, 'x') + "\r\n" + std::string(504, 'x') + "\r\nend\r\n.\r\n");
  // A line of exactly 998 bytes keeps its own line end, whichever kind it is.
  for (const char* end : {"\r\n", "\n", "\r"})
    EXPECT_EQ(Wire(std::string(998, 'y') + end + "z"), std::string(998, 'y') + "\r\nz\r\n.\r\n") << end[0];
  EXPECT_EQ(Wire(std::string(999, 'y')), std::string(998, 'y') + "\r\ny\r\n.\r\n");
  // A dot that a break brings to the start of a line is doubled like any other.
  EXPECT_EQ(Wire(std::string(998, 'y') + ".x"), std::string(998, 'y') + "\r\n..x\r\n.\r\n");
}

TEST(SmtpFields, AnythingThatCouldEndACommandOrHeaderEarlyIsRefused) {
  const auto address = [](const std::string& text) { return SmtpAddressIsSafe(text.data(), text.size()); };
  const auto subject = [](const std::string& text) { return SmtpSubjectIsSafe(text.data(), text.size()); };
  EXPECT_TRUE(address(""));
  EXPECT_TRUE(address("buyer@example.com"));
  EXPECT_TRUE(address("\"odd name\"@example.com"));
  for (const std::string& bad : std::vector<std::string>{"a@b\r\nRCPT TO:<x@y>", "a@b\n", "a@b\r", std::string("a@b\0x", 5), "a@b>x",
                                "<a@b", "a\t@b", "a\x7f@b"})
    EXPECT_FALSE(address(bad)) << bad;
  EXPECT_TRUE(address(std::string(kSmtpLongestAddress, 'a')));
  EXPECT_FALSE(address(std::string(kSmtpLongestAddress + 1, 'a')));

  EXPECT_TRUE(subject("Order: 2 copies <urgent>\t!"));
  for (const std::string& bad : std::vector<std::string>{"x\r\nBcc: y", "x\n", "x\r", std::string("x\0y", 3)})
    EXPECT_FALSE(subject(bad)) << bad;
  EXPECT_FALSE(subject(std::string(kSmtpLongestSubject + 1, 's')));
}

}  // namespace
