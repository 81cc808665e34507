// Reading one mail server reply from its received lines: "250 text" or the multi-line form
// "250-text" ... "250 text". Plain data, fed line by line by the sender.
#pragma once

#include <cstddef>
#include <cstdint>

// A line whose first three bytes are not digits, or are "000", has this code; no expected reply matches it.
constexpr int32_t kSmtpMalformedReply = -1;
// Three digits, a separator and CR LF.
constexpr size_t kSmtpShortestReplyLine = 6;

struct SmtpReplyReader {
  int32_t code;       // 0 until a line has been read
  bool more;          // the last line announced another ("250-")
  bool codeMismatch;  // a continuation line carried another code: the first one stands
};

void SmtpReplyStart(SmtpReplyReader* reader);
// Takes the next received line of the reply (its line end included); true when the reply is complete.
// A line shorter than kSmtpShortestReplyLine ends the reply with the code read so far. A later line
// with another code does not change the code, but the reply still runs to its last line, so that its
// remaining lines are not taken for the answer to the next command.
bool SmtpReplyTakeLine(SmtpReplyReader* reader, const uint8_t* line, size_t length);
