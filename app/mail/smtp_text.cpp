#include "app/mail/smtp_text.h"

#include "runtime/memory.h"

namespace {

bool IsLineEnd(uint8_t c) { return c == '\r' || c == '\n'; }

// Past the line end at body[at], if there is one: CR LF counts as one.
size_t SkipLineEnd(const uint8_t* body, size_t length, size_t at) {
  if (at >= length || !IsLineEnd(body[at])) return at;
  if (body[at] == '\r' && at + 1 < length && body[at + 1] == '\n') return at + 2;
  return at + 1;
}

void PutEnd(uint8_t* out, size_t& written, const char* text, size_t count) {
  BytesCopy(out + written, text, count);
  written += count;
}

}  // namespace

bool SmtpAddressIsSafe(const char* text, size_t length) {
  if (length > kSmtpLongestAddress) return false;
  for (size_t i = 0; i < length; ++i) {
    const uint8_t c = uint8_t(text[i]);
    if (c < 0x20 || c == 0x7F || c == '<' || c == '>') return false;
  }
  return true;
}

bool SmtpSubjectIsSafe(const char* text, size_t length) {
  if (length > kSmtpLongestSubject) return false;
  for (size_t i = 0; i < length; ++i)
    if (text[i] == '\r' || text[i] == '\n' || text[i] == '\0') return false;
  return true;
}

size_t SmtpBodyNextLine(const uint8_t* body, size_t length, size_t* offset, uint8_t* out) {
  size_t written = 0;
  const size_t start = *offset;
  if (start < length) {
    const size_t limit = length - start < kSmtpLongestLine ? length : start + kSmtpLongestLine;
    size_t end = start;
    while (end < limit && !IsLineEnd(body[end])) ++end;
    if (body[start] == '.') out[written++] = '.';
    BytesCopy(out + written, body + start, end - start);
    written += end - start;
    PutEnd(out, written, "\r\n", 2);
    // A line end right after a forced break belongs to the broken line: taken alone it would add an
    // empty line that the body never had.
    *offset = SkipLineEnd(body, length, end);
  }
  if (*offset >= length) PutEnd(out, written, ".\r\n", 3);
  return written;
}
