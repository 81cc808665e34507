#include "net/address.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/host_text.h"

namespace {

std::string TextOf(const NetAddress& address) {
  char text[kAddressTextSize];
  if (AddressToText(&address, text, sizeof text) != kOk) return "(refused)";
  return text;
}

NetAddress Internet(uint32_t ipv4, uint16_t port) {
  NetAddress address;
  AddressSetInternet(&address, NetOrder16(port), NetOrder32(ipv4));
  return address;
}

TEST(NetAddress, InternetAddressesKeepNetworkOrderAndFormatWithThePortOnlyWhenThereIsOne) {
  const NetAddress address = Internet(0x7F000001, 25);
  // The socket structure's own layout: family, then port and address in network order, then zeros.
  const uint8_t expected[16] = {2, 0, 0, 25, 127, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(address.length, 16u);
  EXPECT_EQ(0, memcmp(address.socketAddress, expected, sizeof expected));
  EXPECT_EQ(TextOf(address), "127.0.0.1:25");
  EXPECT_EQ(TextOf(Internet(0xC0A80A01, 0)), "192.168.10.1");
  EXPECT_EQ(TextOf(Internet(0xFFFFFFFF, 65535)), "255.255.255.255:65535");

  uint16_t port = 1;
  uint32_t ipv4 = 1;
  AddressGetInternet(&address, &port, &ipv4);
  EXPECT_EQ(HostOrder16(port), 25);
  EXPECT_EQ(HostOrder32(ipv4), 0x7F000001u);

  NetAddress copy;
  AddressClear(&copy);
  EXPECT_TRUE(AddressIsEmpty(&copy));
  AddressGetInternet(&copy, &port, &ipv4);  // not an Internet address: both zeroed
  EXPECT_EQ(port, 0);
  EXPECT_EQ(ipv4, 0u);
  AddressCopy(&copy, &address);
  EXPECT_FALSE(AddressIsEmpty(&copy));
  EXPECT_EQ(TextOf(copy), "127.0.0.1:25");

  char small[8];
  EXPECT_EQ(AddressToText(&address, small, sizeof small), kErrArgument);
  EXPECT_STREQ(small, "");
}

TEST(NetAddress, NodeNumbersFormatInHexadecimalAndOtherFamiliesAreRefused) {
  NetAddress address;
  AddressClear(&address);
  address.length = 6;
  const uint16_t family = kFamilyNodeNumber;
  memcpy(address.socketAddress, &family, 2);
  const uint8_t numbers[4] = {0x12, 0xAB, 0x0C, 0x00};  // network 0x12AB, node 0x0C, socket 0
  memcpy(address.socketAddress + 2, numbers, 4);
  EXPECT_EQ(TextOf(address), "12AB.0C");
  address.socketAddress[5] = 0xF1;
  EXPECT_EQ(TextOf(address), "12AB.0C:F1");
  address.socketAddress[2] = address.socketAddress[3] = 0;
  EXPECT_EQ(TextOf(address), "0.0C:F1");

  const uint16_t other = 23;
  memcpy(address.socketAddress, &other, 2);
  EXPECT_EQ(TextOf(address), "(refused)");
  address.length = 1;  // too short to hold a family: empty
  EXPECT_TRUE(AddressIsEmpty(&address));
}

struct DottedCase {
  const char* text;
  bool dotted;
  uint32_t ipv4;
  uint16_t port;
};

TEST(HostText, DottedAddressesAreReadWithTheirPortAndEverythingElseIsLeftToTheLookup) {
  const DottedCase cases[] = {
      {"127.0.0.1", true, 0x7F000001, 0},
      {"10.1.2.3:2525", true, 0x0A010203, 2525},
      {"10.1.2.3,25", true, 0x0A010203, 25},
      {"10.1.2.3 587", true, 0x0A010203, 587},
      {"1..2.", true, 0x01000200, 0},  // empty fields count as 0
      {"255.255.255.255:65535", true, 0xFFFFFFFF, 65535},
      {"007.0.0.1", true, 0x07000001, 0},
      {"1234.0.0.1", false, 0, 0},  // a field of four digits
      {"256.1.1.1", false, 0, 0},
      {"1.2.3", false, 0, 0},
      {"1.2.3.4.5", false, 0, 0},
      {"1.2.3.4x", false, 0, 0},
      {"1.2.3.4:65536", false, 0, 0},
      {"1.2.3.4:123456", false, 0, 0},
      {"1.2.3.4:25x", false, 0, 0},
      {"1.2.3.4;25", false, 0, 0},
      {"localhost", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const DottedCase& c : cases) {
    uint32_t ipv4 = 0xDEADBEEF;
    uint16_t port = 0xBEEF;
    EXPECT_EQ(HostTextParseDotted(c.text, &ipv4, &port), c.dotted) << c.text;
    if (!c.dotted) continue;
    EXPECT_EQ(ipv4, c.ipv4) << c.text;
    EXPECT_EQ(port, c.port) << c.text;
  }
}

TEST(HostText, NamesAreCutAtTheirFirstSeparatorAndOnlyWholePortsAreAccepted) {
  char name[kHostNameSize];
  uint16_t port = 1;
  ASSERT_TRUE(HostTextSplit("localhost:2525", name, &port));
  EXPECT_STREQ(name, "localhost");
  EXPECT_EQ(port, 2525);
  ASSERT_TRUE(HostTextSplit("mail.example.com", name, &port));
  EXPECT_STREQ(name, "mail.example.com");
  EXPECT_EQ(port, 0);
  ASSERT_TRUE(HostTextSplit("mail,587", name, &port));
  EXPECT_EQ(port, 587);
  ASSERT_TRUE(HostTextSplit("mail:", name, &port));
  EXPECT_EQ(port, 0);

  // A port that would wrap around or is not a number names no server; neither does an empty name.
  EXPECT_FALSE(HostTextSplit("mail:70000", name, &port));
  EXPECT_FALSE(HostTextSplit("mail:25:26", name, &port));
  EXPECT_FALSE(HostTextSplit("mail:smtp", name, &port));
  EXPECT_FALSE(HostTextSplit(":25", name, &port));
  EXPECT_FALSE(HostTextSplit("", name, &port));
  const std::string longest(255, 'a');
  EXPECT_TRUE(HostTextSplit(longest.c_str(), name, &port));
  EXPECT_EQ(std::string(name), longest);
  EXPECT_FALSE(HostTextSplit((longest + "a").c_str(), name, &port));
}

}  // namespace
