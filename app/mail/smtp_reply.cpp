#include "app/mail/smtp_reply.h"

namespace {

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

}  // namespace

void SmtpReplyStart(SmtpReplyReader* reader) { *reader = {}; }

bool SmtpReplyTakeLine(SmtpReplyReader* reader, const uint8_t* line, size_t length) {
  if (length < kSmtpShortestReplyLine) {
    reader->more = false;
    return true;
  }
  // Letters read as digits could add up to an expected code ("24:" would be 250): such a line is
  // malformed, not a reply. So is "000": a code of 0 means that no line was read, so a later line's
  // code would take the first one's place, and the sender would take the reply for a time-out.
  const bool digits = IsDigit(line[0]) && IsDigit(line[1]) && IsDigit(line[2]);
  const int32_t value = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
  const int32_t lineCode = digits && value != 0 ? value : kSmtpMalformedReply;
  reader->more = line[3] == '-';
  if (reader->code == 0)
    reader->code = lineCode;
  else if (lineCode != reader->code)
    reader->codeMismatch = true;
  return !reader->more;
}
