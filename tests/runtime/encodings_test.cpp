#include "runtime/encodings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "runtime/platform_routines.h"
#include "runtime/value_table.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

UniqueHandle Text(const std::string& bytes) { return UniqueHandle(HandleNewFromData(bytes.data(), bytes.size())); }
std::string Contents(MemoryHandle handle) {
  return std::string(reinterpret_cast<const char*>(HandleData(handle)), HandleGetSize(handle));
}

TEST(EncodingUnicodeDetection, EveryRowOfTheSignatureTable) {
  const struct {
    std::string bytes;
    const char* name;
    FourCC code;
    uint32_t signature;
  } rows[] = {
      {"\xEF\xBB\xBF<", "UTF-8", kEncodingUtf8, kSignatureUtf8},
      {std::string("\0\0\xFE\xFF", 4), "UTF-32", kEncodingUtf32, kSignatureUtf32BigEndian},
      {std::string("\xFF\xFE\0\0", 4), "UTF-32", kEncodingUtf32, kSignatureUtf32LittleEndian},
      {std::string("\0\0\xFF\xFE", 4), "UTF-32", kEncodingUtf32, kSignatureUtf32Order2143},
      {std::string("\xFE\xFF\0\0", 4), "UTF-32", kEncodingUtf32, kSignatureUtf32Order3412},
      {std::string("\xFE\xFF\0<", 4), "UTF-16", kEncodingUtf16, kSignatureUtf16BigEndian},
      {std::string("\xFF\xFE" "A\0", 4), "UTF-16", kEncodingUtf16, kSignatureUtf16LittleEndian},
      {std::string("\0<\0A", 4), "UTF-16", kEncodingUtf16, kSignatureUtf16BigEndian},
      {std::string("<\0A\0", 4), "UTF-16", kEncodingUtf16, kSignatureUtf16LittleEndian},
      {std::string("\0\0\0<", 4), "UTF-32", kEncodingUtf32, kSignatureUtf32BigEndian},
      {std::string("<\0\0\0", 4), "UTF-32", kEncodingUtf32, kSignatureUtf32LittleEndian},
      {std::string("<\0", 2), "UTF-32", kEncodingUtf32, kSignatureUtf32LittleEndian},  // missing bytes are 0
      {std::string("\0\0<\0", 4), "UTF-32", kEncodingUtf32, kSignatureUtf32Order2143},
      {std::string("\0<\0\0", 4), "UTF-32", kEncodingUtf32, kSignatureUtf32Order3412},
      {"<IN", nullptr, kEncodingUnknown, kSignatureNone},
      {"", nullptr, kEncodingUnknown, kSignatureNone},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.bytes));
    UniqueHandle text = Text(row.bytes);
    FourCC code = 0;
    uint32_t signature = 1;
    EXPECT_STREQ(EncodingDetectUnicode(text.get(), &code, &signature), row.name);
    EXPECT_EQ(code, row.code);
    EXPECT_EQ(signature, row.signature);
    EXPECT_EQ(EncodingIsUtf16LittleEndian(text.get()), row.signature == kSignatureUtf16LittleEndian);
  }
}

TEST(EncodingDetection, DeclarationsSignaturesAndByteScan) {
  const auto expect = [](const std::string& bytes, FourCC code, const char* name, int32_t characterClass) {
    SCOPED_TRACE(bytes);
    UniqueHandle text = Text(bytes);
    char detected[kEncodingNameSize];
    int32_t detectedClass = -1;
    EXPECT_EQ(EncodingDetect(text.get(), detected, &detectedClass, nullptr), code);
    EXPECT_STREQ(detected, name);
    EXPECT_EQ(detectedClass, characterClass);
  };
  expect("<INTERFACE>plain</INTERFACE>", kEncodingAscii, "US-ASCII", kTextAscii);
  expect("\xEF\xBB\xBF<FILE ENCODING=\"windows-1252\">", kEncodingUtf8, "UTF-8", kTextUnicode);
  expect("<FILE ENCODING=\"windows-1252\">\n\x81", kEncodingWindows, "Windows-1252", kTextEightBit);
  expect("<file encoding = 'Latin-1'>\r\xE9", kEncodingIso, "ISO-8859-1", kTextLatin);
  expect("<FILE Encoding=MacRoman>\n\x8E", kEncodingMac, "MacRoman", kTextEightBit);
  expect("<FILE ENCODING=\"KOI8-R\">\n\xE9", kEncodingUnknown, "KOI8-R", kTextLatin);
  // An 8-bit declaration on a text of pure ASCII: ASCII, but the declared name is kept.
  expect("<FILE ENCODING=MacRoman>", kEncodingAscii, "MacRoman", kTextAscii);
  expect("<INTERFACE>\n<FILE ENCODING=MacRoman>\xE9", kEncodingUnknown, "Unknown", kTextLatin);  // first line only
  // Without a declaration the scan names an encoding only when the bytes rule the others out.
  expect("Caf\x81", kEncodingMac, "MacRoman", kTextEightBit);
  expect(std::string("a\0b\xE9", 4), kEncodingUnknown, "Unknown", kTextEightBit);

  UniqueHandle text = Text("Caf\xE9");
  EXPECT_EQ(EncodingDetect(text.get(), nullptr, nullptr, nullptr), kEncodingUnknown);  // no scan asked for
  EXPECT_TRUE(EncodingIsNative(Text("<FILE ENCODING=CP1252>\n\xE9\x80").get()));
  EXPECT_FALSE(EncodingIsNative(Text("<FILE ENCODING=MacRoman>\n\x8E").get()));
  EXPECT_TRUE(EncodingNameOfText(Text("<FILE ENCODING=\"utf-16\">").get(), nullptr));
  EXPECT_FALSE(EncodingNameOfText(Text("<FILE ENCODING=latin1>").get(), nullptr));
}

TEST(EncodingConversion, MacRomanToWindowsRefusalsAndEntities) {
  UniqueHandle mac = Text("\x8E\xAD\xDB\xD2 A");
  ASSERT_EQ(EncodingConvertToSystem(mac.get(), "MacRoman"), kOk);
  EXPECT_EQ(Contents(mac.get()), "\xE9\x1A\x80\x93 A");  // e-acute, not-equal has no byte, euro, left quote

  UniqueHandle declared = Text("<FILE ENCODING=\"MacRoman\">\n\x8E");
  ASSERT_EQ(EncodingConvertToSystem(declared.get(), nullptr), kOk);
  EXPECT_EQ(Contents(declared.get()), "<FILE ENCODING=\"MacRoman\">\n\xE9");

  for (const std::string& bytes : {std::string("<A>plain ascii</A>"), std::string("\xEF\xBB\xBF\x8E")}) {
    UniqueHandle text = Text(bytes);
    EXPECT_EQ(EncodingConvertToSystem(text.get(), nullptr), kErrEncoding);
    EXPECT_EQ(Contents(text.get()), bytes);
  }
  UniqueHandle text = Text("\x8E");
  EXPECT_EQ(EncodingConvertToSystem(text.get(), "EBCDIC"), kErrEncoding);
  EXPECT_EQ(EncodingConvertToSystem(text.get(), "latin-1"), kOk);  // used as it is
  EXPECT_EQ(Contents(text.get()), "\x8E");
  EXPECT_STREQ(EncodingLookup("ms-ansi")->name, "Windows-1252");
  EXPECT_EQ(EncodingLookup("UTF-16"), nullptr);

  // Entity names are looked up as written, then upper-cased, then lower-cased.
  EXPECT_EQ(EntityToByte("&Eacute;"), 0xC9);
  EXPECT_EQ(EntityToByte("&eacute;"), 0xE9);
  EXPECT_EQ(EntityToByte("&EACUTE;"), 0xE9);
  EXPECT_EQ(EntityToByte("&AMP;"), '&');
  EXPECT_EQ(EntityToByte("&ne;"), kSubstitutionByte);  // MacRoman only
  EXPECT_EQ(EntityToByte("&bogus;"), 0);
  EXPECT_EQ(EntityToByte("&eacute;", 7), 0);  // counted: the ';' is cut off
}

// Unicode code point of one byte according to the system's own converter, or -1 when it has none.
long SystemCodePoint(uint8_t byte, bool mac) {
  char in = char(byte);
  wchar_t out = 0;
#ifdef _WIN32
  return MultiByteToWideChar(mac ? 10000 : 1252, MB_ERR_INVALID_CHARS, &in, 1, &out, 1) == 1 ? long(out) : -1;
#else
  iconv_t converter = iconv_open("WCHAR_T", mac ? "MACINTOSH" : "CP1252");
  if (converter == iconv_t(-1)) return -2;
  char *inPointer = &in, *outPointer = reinterpret_cast<char*>(&out);
  size_t inLeft = 1, outLeft = sizeof out;
  const bool converted = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) != size_t(-1);
  iconv_close(converter);
  return converted ? long(out) : -1;
#endif
}

// Where the system's MacRoman table is older than Apple's current mapping, which the table follows:
// byte, the system's code point, ours.
#ifdef _WIN32
constexpr long kMacDivergences[][3] = {{0xBD, 0x2126, 0x03A9}, {0xF0, -1, 0xF8FF}};  // ohm; no Apple logo
#else
constexpr long kMacDivergences[][3] = {{0xC6, 0x0394, 0x2206}, {0xF0, 0xE01E, 0xF8FF}};  // delta; Apple logo
#endif

TEST(EncodingCharacterTable, BytesAgreeWithTheSystemsOwnConverter) {
  const CharacterRow* mac = EncodingLookup("MacRoman")->table;
  const CharacterRow* windows = EncodingLookup("CP1252")->table;
  const CharacterRow* iso = EncodingLookup("ISO-8859-1")->table;
  for (int b = 0x80; b <= 0xFF; ++b) {
    SCOPED_TRACE(b);
    long expected = SystemCodePoint(uint8_t(b), true);
    ASSERT_NE(expected, -2) << "no MacRoman converter";
    for (const auto& d : kMacDivergences) {
      if (d[0] != b) continue;
      EXPECT_EQ(expected, d[1]) << "the system's table changed";
      expected = d[2];
    }
    EXPECT_EQ(mac[b].codePoint, expected) << "MacRoman";
    EXPECT_EQ(mac[b].mac, b);

    expected = SystemCodePoint(uint8_t(b), false);
#ifdef _WIN32
    if (expected == b && b < 0xA0) expected = -1;  // Windows maps the five unassigned bytes to C1 controls
#endif
    EXPECT_EQ(windows[b].codePoint, std::max(expected, 0L)) << "Windows-1252";  // 0: unassigned
    EXPECT_EQ(windows[b].windows, expected < 0 ? kSubstitutionByte : b);
    EXPECT_EQ(iso[b].codePoint, b >= 0xA0 ? b : 0) << "ISO-8859-1";
  }
  EXPECT_EQ(mac[0x8E].windows, 0xE9);
  EXPECT_EQ(mac[0xAD].windows, kSubstitutionByte);

  std::set<std::string> names;  // every entity name is unique and found
  for (const CharacterRow& row : kCharacterTable) {
    if (!row.entity[0]) continue;
    EXPECT_TRUE(names.insert(row.entity).second) << row.entity;
    EXPECT_NE(EntityToByte(("&" + std::string(row.entity) + ";").c_str()), 0) << row.entity;
  }
}

TEST(EncodingTables, ReleaseRunsAtPlatformExitAndTablesRebuildOnDemand) {
  ASSERT_EQ(EncodingTablesInit(), kOk);
  const size_t live = live_table_count();
  PlatformRunExitRoutines();
  EXPECT_EQ(live_table_count(), live - 2);
  EXPECT_EQ(EntityToByte("&eacute;"), 0xE9);  // builds them again
  EXPECT_EQ(EncodingTablesInit(), kOk);
  EXPECT_EQ(live_table_count(), live);
}

}  // namespace
