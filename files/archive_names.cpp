#include "files/archive_names.h"

#include <cstdint>

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsSeparator(char c) { return c == '/' || c == ':' || c == '\\'; }

bool NeedsEscape(uint8_t c) { return c == '\t' || c == '\n' || c == '\r' || c == '%' || IsSeparator(char(c)); }

}  // namespace

Status ArchiveNameDecode(const char* escaped, char* name) {
  size_t out = 0;
  for (const char* p = escaped; *p && out < kEscapedNameSize - 1; ++p) {
    if (IsSeparator(*p)) return kErrBadName;
    if (*p == '%') {
      const int high = HexValue(p[1]);
      const int low = high < 0 ? -1 : HexValue(p[2]);
      if (low >= 0) {
        const char byte = char(high << 4 | low);
        if (byte == 0) return kErrBadName;
        if (byte != ':' && byte != '\\') {
          name[out++] = byte;
          p += 2;
          continue;
        }
      }
    }
    name[out++] = *p;
  }
  name[out] = 0;
  return kOk;
}

void ArchiveNameEncode(const char* name, char* escaped) {
  static const char kDigits[] = "0123456789ABCDEF";
  size_t out = 0;
  for (const char* p = name; *p; ++p) {
    const uint8_t c = uint8_t(*p);
    if (!NeedsEscape(c)) {
      if (out + 1 > kEscapedNameSize - 1) break;
      escaped[out++] = char(c);
      continue;
    }
    if (out + 3 > kEscapedNameSize - 1) break;
    escaped[out++] = '%';
    escaped[out++] = kDigits[c >> 4];
    escaped[out++] = kDigits[c & 15];
  }
  escaped[out] = 0;
}
