// Text encodings: which encoding a text is in, conversion of 8-bit texts to the working encoding
// (Windows-1252), and markup character entities. Unicode forms are recognised but never converted;
// only UTF-16 little-endian counts as native.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/character_table.h"
#include "runtime/fourcc.h"
#include "runtime/memory.h"
#include "runtime/status.h"

constexpr FourCC kEncodingAscii = 0;
constexpr FourCC kEncodingUtf8 = MakeFourCC("UTF8");
constexpr FourCC kEncodingUtf16 = MakeFourCC("UT16");
constexpr FourCC kEncodingUtf32 = MakeFourCC("UT32");
constexpr FourCC kEncodingIso = MakeFourCC("ISO ");
constexpr FourCC kEncodingWindows = MakeFourCC("WIN ");
constexpr FourCC kEncodingMac = MakeFourCC("MAC ");
constexpr FourCC kEncodingUnknown = 0xFFFFFFFF;

// Byte-order signatures: the Unicode form found at the start of a text.
constexpr uint32_t kSignatureNone = 0;
constexpr uint32_t kSignatureUtf8 = 0xEFBBBFFF;
constexpr uint32_t kSignatureUtf16BigEndian = 0xFEFFFFFF;
constexpr uint32_t kSignatureUtf16LittleEndian = 0xFFFEFFFF;
constexpr uint32_t kSignatureUtf32BigEndian = 0x0000FEFF;
constexpr uint32_t kSignatureUtf32LittleEndian = 0xFFFE0000;
constexpr uint32_t kSignatureUtf32Order2143 = 0x0000FFFE;
constexpr uint32_t kSignatureUtf32Order3412 = 0xFEFF0000;

// Character class of a text.
enum : int32_t {
  kTextAscii = 0,
  kTextLatin = 1,     // every byte of 128 or more is at least 160
  kTextEightBit = 2,  // some byte lies in 128 to 159
  kTextUnicode = 3,
};

constexpr uint8_t kSubstitutionByte = 26;  // ASCII SUB: written where a character has no byte
constexpr size_t kEncodingNameSize = 256;

// What an encoding name stands for. The conversion table has 256 rows indexed by a byte of the
// encoding; a byte column the character lacks holds the substitution byte. None for UTF-8.
struct EncodingAlias {
  char name[kEncodingNameSize];
  FourCC code;
  const CharacterRow* table;
};

// "UTF-8", "UTF-16" or "UTF-32" from the first four bytes, or none (code unknown, signature 0).
const char* EncodingDetectUnicode(MemoryHandle text, FourCC* code, uint32_t* signature);
bool EncodingIsUtf16LittleEndian(MemoryHandle text);
// True when the text is in a Unicode form, by signature or by its first-line declaration; `name`
// (kEncodingNameSize bytes, may be none) receives that name or an empty text.
bool EncodingNameOfText(MemoryHandle text, char* name);
// Signature, then a first-line ENCODING declaration, then (only when the class is asked for) a scan of
// the bytes. Every out argument may be none; `name` has room for kEncodingNameSize bytes.
FourCC EncodingDetect(MemoryHandle text, char* name, int32_t* characterClass, uint32_t* signature);
// By any alias, ignoring case, with '-' and '_' alike ("latin-1", "CP1252"); none when unknown.
const EncodingAlias* EncodingLookup(const char* name);
// Converts in place to Windows-1252. With no declared name only a signature or a declaration counts:
// an undeclared text is refused. -7009, text unchanged, for Unicode or unknown encodings.
Status EncodingConvertToSystem(MemoryHandle text, const char* declaredName);
bool EncodingIsNative(MemoryHandle text);

// "&eacute;" -> 0xE9: as written, then upper-cased (when its first letter is a capital), then
// lower-cased. A named character without a Windows-1252 byte gives the substitution byte; 0 when unknown.
uint8_t EntityToByte(const char* entity);
uint8_t EntityToByte(const char* entity, size_t length);

// Builds the tables once and registers EncodingTablesRelease with the platform's exit routines.
Status EncodingTablesInit();
void EncodingTablesRelease();
