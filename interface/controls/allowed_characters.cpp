#include "interface/controls/allowed_characters.h"

#include <cstring>

namespace {

bool IsControl(uint8_t c) { return c < 0x20 || c == 0x7F; }

}  // namespace

void read_allowed_characters(const char* allow, AllowedCharacters* allowed) {
  std::memset(allowed->flags, allow ? 0 : 1, sizeof allowed->flags);
  if (!allow) return;
  for (const char* c = allow; *c; ++c)
    if (std::strchr(kAllowableCharacters, *c)) allowed->flags[uint8_t(*c)] = 1;
}

bool character_admitted(const AllowedCharacters& allowed, uint8_t c) {
  return IsControl(c) || allowed.flags[c] != 0;
}

size_t filter_pasted_text(const AllowedCharacters& allowed, char* text, size_t length) {
  size_t kept = 0;
  for (size_t i = 0; i < length; ++i) {
    const uint8_t c = uint8_t(text[i]);
    const bool keep = IsControl(c) ? (c == '\r' || c == '\n' || c == '\t') : allowed.flags[c] != 0;
    if (keep) text[kept++] = char(c);
  }
  text[kept] = '\0';
  return kept;
}
