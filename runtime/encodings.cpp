#include "runtime/encodings.h"

#include <cstring>

#include "runtime/format.h"
#include "runtime/platform_routines.h"
#include "runtime/text.h"
#include "runtime/value_table.h"

namespace {

// Byte class bits, for bytes 128 to 255.
constexpr uint8_t kClassMac = 1;
constexpr uint8_t kClassWindows = 2;
constexpr uint8_t kClassIso = 4;
constexpr uint8_t kClassHigh = 64;  // 160 to 255
constexpr uint8_t kClassAsciiOnly = 128;

CharacterRow gIsoTable[256];
CharacterRow gWindowsTable[256];
CharacterRow gMacTable[256];
uint8_t gByteClass[256];
ValueTable* gAliases = nullptr;
ValueTable* gEntities = nullptr;
bool gBuilt = false;

struct AliasSource {
  const char* aliases[4];
  const char* name;
  FourCC code;
  const CharacterRow* table;
};

const AliasSource kAliasSources[] = {
    {{"US_ASCII", "ASCII"}, "US-ASCII", kEncodingAscii, gIsoTable},
    {{"MacRoman"}, "MacRoman", kEncodingMac, gMacTable},
    {{"Windows_1252", "MS_ANSI", "CP1252"}, "Windows-1252", kEncodingWindows, gWindowsTable},
    {{"ISO_8859_1", "Latin_1", "Latin1", "CP819"}, "ISO-8859-1", kEncodingIso, gIsoTable},
    {{"UTF_8"}, "UTF-8", kEncodingUtf8, nullptr},
};

void FillConversionTables() {
  for (int b = 0; b < 256; ++b) {
    const uint8_t column = (b >= 1 && b <= 127) ? uint8_t(b) : kSubstitutionByte;
    const CharacterRow row = {uint16_t(b >= 1 && b <= 127 ? b : 0), column, column, column, ""};
    gIsoTable[b] = gWindowsTable[b] = gMacTable[b] = row;
    gByteClass[b] = b == 0 ? 0 : b < 128 ? 255 : b >= 160 ? kClassHigh : 0;
  }
  for (size_t i = 1; i < kCharacterRowCount; ++i) {
    CharacterRow row = kCharacterTable[i];
    const uint8_t iso = row.iso, windows = row.windows, mac = row.mac;
    for (uint8_t* column : {&row.iso, &row.windows, &row.mac})
      if (*column == 0) *column = kSubstitutionByte;
    if (iso) gIsoTable[iso] = row;
    if (windows) gWindowsTable[windows] = row;
    if (mac) gMacTable[mac] = row;
    if (iso >= 128) gByteClass[iso] |= kClassIso;
    if (windows >= 128) gByteClass[windows] |= kClassWindows;
    if (mac >= 128) gByteClass[mac] |= kClassMac;
  }
}

Status FillAliases() {
  for (const AliasSource& source : kAliasSources) {
    EncodingAlias alias = {};
    TextCopyBounded(alias.name, source.name, sizeof alias.name);
    alias.code = source.code;
    alias.table = source.table;
    for (const char* key : source.aliases) {
      if (!key) break;
      const Status status = append_value(gAliases, key, &alias, sizeof alias, '=');
      if (status != kOk) return status;
    }
  }
  return kOk;
}

Status FillEntities() {
  for (size_t i = 1; i < kCharacterRowCount; ++i) {
    const CharacterRow& row = kCharacterTable[i];
    if (!row.entity[0]) continue;
    char key[16];
    FormatText(key, sizeof key, "&%s;", row.entity);
    const uint8_t index = uint8_t(i);
    const Status status = append_value(gEntities, key, &index, 1, '=');
    if (status != kOk) return status;
  }
  return kOk;
}

bool EnsureTables() { return gBuilt || EncodingTablesInit() == kOk; }

struct Bytes {
  const uint8_t* data;
  size_t size;
};

Bytes BytesOf(MemoryHandle text) { return {HandleData(text), HandleGetSize(text)}; }

// The autodetection table of the XML recommendation's appendix (0x3C is '<').
const char* DetectUnicode(Bytes text, FourCC* code, uint32_t* signature) {
  uint8_t b[4] = {};
  for (size_t i = 0; i < 4 && i < text.size; ++i) b[i] = text.data[i];
  struct Form {
    const char* name;
    FourCC code;
    uint32_t signature;
  };
  static constexpr Form kUtf8 = {"UTF-8", kEncodingUtf8, kSignatureUtf8};
  auto utf16 = [](uint32_t s) { return Form{"UTF-16", kEncodingUtf16, s}; };
  auto utf32 = [](uint32_t s) { return Form{"UTF-32", kEncodingUtf32, s}; };
  auto starts = [&](int n, uint8_t b0, uint8_t b1, uint8_t b2 = 0, uint8_t b3 = 0) {
    const uint8_t want[4] = {b0, b1, b2, b3};
    return std::memcmp(b, want, size_t(n)) == 0;
  };
  Form form = {nullptr, kEncodingUnknown, kSignatureNone};
  if (starts(3, 0xEF, 0xBB, 0xBF)) form = kUtf8;
  else if (starts(4, 0x00, 0x00, 0xFE, 0xFF)) form = utf32(kSignatureUtf32BigEndian);
  else if (starts(4, 0xFF, 0xFE, 0x00, 0x00)) form = utf32(kSignatureUtf32LittleEndian);
  else if (starts(4, 0x00, 0x00, 0xFF, 0xFE)) form = utf32(kSignatureUtf32Order2143);
  else if (starts(4, 0xFE, 0xFF, 0x00, 0x00)) form = utf32(kSignatureUtf32Order3412);
  else if (starts(2, 0xFE, 0xFF)) form = utf16(kSignatureUtf16BigEndian);
  else if (starts(2, 0xFF, 0xFE)) form = utf16(kSignatureUtf16LittleEndian);
  else if (starts(2, 0x00, 0x3C) && (b[2] || b[3])) form = utf16(kSignatureUtf16BigEndian);
  else if (starts(2, 0x3C, 0x00) && (b[2] || b[3])) form = utf16(kSignatureUtf16LittleEndian);
  else if (starts(4, 0x00, 0x00, 0x00, 0x3C)) form = utf32(kSignatureUtf32BigEndian);
  else if (starts(4, 0x3C, 0x00, 0x00, 0x00)) form = utf32(kSignatureUtf32LittleEndian);
  else if (starts(4, 0x00, 0x00, 0x3C, 0x00)) form = utf32(kSignatureUtf32Order2143);
  else if (starts(4, 0x00, 0x3C, 0x00, 0x00)) form = utf32(kSignatureUtf32Order3412);
  if (code) *code = form.code;
  if (signature) *signature = form.signature;
  return form.name;
}

bool IsDeclarationByte(uint8_t c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
}

// The encoding named on the first line: ... ENCODING = "name" ...; false when there is none.
bool FindDeclaration(Bytes text, char* declared) {
  size_t lineEnd = 0;
  while (lineEnd < text.size && text.data[lineEnd] != '\r' && text.data[lineEnd] != '\n') ++lineEnd;
  static const char kWord[] = "ENCODING";
  constexpr size_t kWordLength = sizeof kWord - 1;
  size_t p = 0;
  for (;; ++p) {
    if (p + kWordLength > lineEnd) return false;
    size_t i = 0;
    while (i < kWordLength && AsciiUpper(text.data[p + i]) == uint8_t(kWord[i])) ++i;
    if (i == kWordLength) break;
  }
  p += kWordLength;
  auto skipBlanks = [&] {
    while (p < lineEnd && (text.data[p] == ' ' || text.data[p] == '\t')) ++p;
  };
  skipBlanks();
  if (p == lineEnd || text.data[p] != '=') return false;
  ++p;
  skipBlanks();
  if (p < lineEnd && (text.data[p] == '"' || text.data[p] == '\'')) ++p;
  size_t length = 0;
  while (p < lineEnd && length < kEncodingNameSize - 1 && IsDeclarationByte(text.data[p]))
    declared[length++] = char(text.data[p++]);
  declared[length] = '\0';
  return length > 0;
}

constexpr int32_t kClassNotKnown = -1;

FourCC Detect(Bytes text, char* nameOut, int32_t* classOut, uint32_t* signatureOut) {
  char name[kEncodingNameSize] = "Unknown";
  FourCC code = kEncodingUnknown;
  int32_t characterClass = kClassNotKnown;
  uint32_t signature = kSignatureNone;
  bool declared = false;

  if (text.size == 0) {
    TextCopy(name, "US-ASCII");
    code = kEncodingAscii;
    characterClass = kTextAscii;
  } else if (const char* unicode = DetectUnicode(text, &code, &signature)) {
    TextCopy(name, unicode);
    characterClass = kTextUnicode;
  } else if (text.size >= 4) {
    char written[kEncodingNameSize];
    if (FindDeclaration(text, written)) {
      declared = true;
      if (const EncodingAlias* alias = EncodingLookup(written)) {
        TextCopy(name, alias->name);
        code = alias->code;
        if (code == kEncodingAscii) characterClass = kTextAscii;
        if (code == kEncodingUtf8) characterClass = kTextUnicode;
      } else {
        TextCopy(name, written);
      }
    }
  }

  if (classOut && characterClass == kClassNotKnown && EnsureTables()) {
    uint8_t mask = 255;
    for (size_t i = 0; i < text.size && mask; ++i) {
      const uint8_t b = text.data[i];
      if (b == 0) mask = 0;
      else if (b >= 128) mask &= gByteClass[b];
    }
    if (mask & kClassAsciiOnly) {
      code = kEncodingAscii;
      characterClass = kTextAscii;
      if (!declared) TextCopy(name, "US-ASCII");
    } else {
      characterClass = (mask & kClassHigh) ? kTextLatin : kTextEightBit;
      mask &= uint8_t(~kClassHigh);
      if (code == kEncodingUnknown) {
        switch (mask) {
          case kClassIso | kClassWindows: code = kEncodingIso; TextCopy(name, "ISO-8859-1"); break;
          case kClassWindows: code = kEncodingWindows; TextCopy(name, "Windows-1252"); break;
          case kClassMac: code = kEncodingMac; TextCopy(name, "MacRoman"); break;
          default: break;  // "Unknown", or the name a declaration gave
        }
      }
    }
  }

  if (nameOut) TextCopy(nameOut, name);
  if (classOut) *classOut = characterClass;
  if (signatureOut) *signatureOut = signature;
  return code;
}

bool IsUnicodeCode(FourCC code) {
  return code == kEncodingUtf8 || code == kEncodingUtf16 || code == kEncodingUtf32;
}

uint8_t LookUpEntity(const char* key, size_t length) {
  const char* value = get_value(gEntities, ValueKey(key, length));
  if (!value) return 0;
  const uint8_t windows = kCharacterTable[uint8_t(value[0])].windows;
  return windows ? windows : kSubstitutionByte;
}

}  // namespace

const char* EncodingDetectUnicode(MemoryHandle text, FourCC* code, uint32_t* signature) {
  return DetectUnicode(BytesOf(text), code, signature);
}

bool EncodingIsUtf16LittleEndian(MemoryHandle text) {
  uint32_t signature = kSignatureNone;
  DetectUnicode(BytesOf(text), nullptr, &signature);
  return signature == kSignatureUtf16LittleEndian;
}

bool EncodingNameOfText(MemoryHandle text, char* name) {
  char detected[kEncodingNameSize];
  const FourCC code = Detect(BytesOf(text), detected, nullptr, nullptr);
  // A declared UTF-16 or UTF-32 is not an alias, but it is a Unicode form all the same.
  char upper[kEncodingNameSize];
  TextToUpperCopy(upper, detected, sizeof upper);
  const bool unicode = IsUnicodeCode(code) || TextCompareBounded(upper, "UTF-16", 6) == 0 ||
                       TextCompareBounded(upper, "UTF-32", 6) == 0;
  if (name) TextCopy(name, unicode ? detected : "");
  return unicode;
}

FourCC EncodingDetect(MemoryHandle text, char* name, int32_t* characterClass, uint32_t* signature) {
  return Detect(BytesOf(text), name, characterClass, signature);
}

const EncodingAlias* EncodingLookup(const char* name) {
  if (!EnsureTables()) return nullptr;
  char key[kEncodingNameSize];
  size_t length = 0;
  for (; name[length]; ++length) {
    if (length == sizeof key - 1) return nullptr;
    key[length] = name[length] == '-' ? '_' : name[length];
  }
  const char* value = get_value(gAliases, ValueKey(key, length));
  return reinterpret_cast<const EncodingAlias*>(value);
}

Status EncodingConvertToSystem(MemoryHandle text, const char* declaredName) {
  if (!EnsureTables()) return kErrMemory;
  const CharacterRow* table = nullptr;
  if (declaredName && declaredName[0]) {
    const EncodingAlias* alias = EncodingLookup(declaredName);
    if (!alias || IsUnicodeCode(alias->code) || alias->code == kEncodingUnknown) return kErrEncoding;
    table = alias->table;
  } else {
    const FourCC code = Detect(BytesOf(text), nullptr, nullptr, nullptr);
    if (IsUnicodeCode(code) || code == kEncodingUnknown) return kErrEncoding;
    table = code == kEncodingMac ? gMacTable : code == kEncodingIso ? gIsoTable : nullptr;
  }
  if (!table || table == gIsoTable) return kOk;  // ISO-8859-1 and Windows-1252 bytes are used as they are
  uint8_t* data = HandleData(text);
  for (size_t i = 0, size = HandleGetSize(text); i < size; ++i) data[i] = table[data[i]].windows;
  return kOk;
}

bool EncodingIsNative(MemoryHandle text) {
  int32_t characterClass = kClassNotKnown;
  uint32_t signature = kSignatureNone;
  const FourCC code = Detect(BytesOf(text), nullptr, &characterClass, &signature);
  switch (characterClass) {
    case kTextAscii: return true;
    case kTextLatin:
    case kTextEightBit: return code == kEncodingWindows || code == kEncodingIso;
    case kTextUnicode: return signature == kSignatureUtf16LittleEndian;
    default: return false;
  }
}

uint8_t EntityToByte(const char* entity) { return EntityToByte(entity, std::strlen(entity)); }

uint8_t EntityToByte(const char* entity, size_t length) {
  if (!EnsureTables()) return 0;
  if (const uint8_t byte = LookUpEntity(entity, length)) return byte;
  char changed[16];
  if (length > sizeof changed) return 0;  // longer than any name in the table
  if (length > 1 && entity[1] >= 'A' && entity[1] <= 'Z') {
    for (size_t i = 0; i < length; ++i) changed[i] = char(AsciiUpper(uint8_t(entity[i])));
    if (const uint8_t byte = LookUpEntity(changed, length)) return byte;
  }
  for (size_t i = 0; i < length; ++i) changed[i] = char(AsciiLower(uint8_t(entity[i])));
  return LookUpEntity(changed, length);
}

Status EncodingTablesInit() {
  if (gBuilt) return kOk;
  Status status = PlatformAtExit(EncodingTablesRelease);
  if (status != kOk) return status;
  gAliases = create_table(kTableCaseInsensitive);
  gEntities = create_table(kTableBinaryKeys);
  status = gAliases && gEntities ? FillAliases() : kErrMemory;
  if (status == kOk) {
    FillConversionTables();
    status = FillEntities();
  }
  if (status != kOk) {
    EncodingTablesRelease();
    return status;
  }
  gBuilt = true;
  return kOk;
}

void EncodingTablesRelease() {
  free_table(gAliases);
  free_table(gEntities);
  gAliases = gEntities = nullptr;
  gBuilt = false;
}
