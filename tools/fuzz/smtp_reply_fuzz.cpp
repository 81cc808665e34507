// Fuzz target: the mail server reply reader on any received bytes. The first byte chooses how the rest
// is cut into lines: as the sender's line stream cuts it (CR LF framing into 1024-byte record buffers),
// or after every LF. The lines are read as one reply after the other, each line handed over in a
// buffer of exactly its size, so that a read past a line is caught. Every reply must come out as the
// rule says, worked out here line by line: a line shorter than three digits, a separator and CR LF ends
// the reply; three digits give the code, anything else there is malformed and never a code of 0 (which
// the sender keeps for "no reply"); the first line's code stands, a later different one is only noted;
// a '-' after the code announces another line.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/mail/smtp_reply.h"
#include "net/record_cutter.h"

namespace {

using Lines = std::vector<std::string>;

constexpr size_t kRecordBufferBytes = 1024;  // the sender's buffers

void Check(bool condition) {
  if (!condition) std::abort();
}

bool KeepLine(void* context, const uint8_t* record, size_t length) {
  static_cast<Lines*>(context)->emplace_back(reinterpret_cast<const char*>(record), length);
  return true;
}

Lines CutAsTheStreamDoes(const uint8_t* data, size_t size) {
  Lines lines;
  RecordCutter cutter;
  Check(RecordCutterInit(&cutter, kFramingCrLf, nullptr, nullptr));
  std::vector<uint8_t> buffer(kRecordBufferBytes);
  RecordCutterAttach(&cutter, buffer.data(), buffer.size());
  Check(RecordCutterFeed(&cutter, data, size, KeepLine, &lines) == size);
  Check(RecordCutterFinish(&cutter, KeepLine, &lines));
  return lines;
}

Lines CutAfterEveryLineFeed(const uint8_t* data, size_t size) {
  Lines lines;
  size_t start = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] != '\n') continue;
    lines.emplace_back(reinterpret_cast<const char*>(data + start), i + 1 - start);
    start = i + 1;
  }
  if (start < size) lines.emplace_back(reinterpret_cast<const char*>(data + start), size - start);
  return lines;
}

struct Expected {
  int32_t code = 0;
  bool coded = false;  // a line long enough to carry a code was read
  bool mismatch = false;
  bool complete = false;
};

// The next line of a reply, by the rule written out above.
void Follow(Expected* reply, const std::string& line) {
  if (line.size() < 6) {
    reply->complete = true;
    return;
  }
  int32_t code = 0;
  for (int i = 0; i < 3; ++i) code = code * 10 + (line[i] - '0');
  const bool digits = line[0] >= '0' && line[0] <= '9' && line[1] >= '0' && line[1] <= '9' && line[2] >= '0' &&
                      line[2] <= '9';
  if (!digits || code == 0) code = kSmtpMalformedReply;
  if (!reply->coded)
    reply->code = code;
  else if (code != reply->code)
    reply->mismatch = true;
  reply->coded = true;
  reply->complete = line[3] != '-';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const Lines lines = data[0] % 2 ? CutAfterEveryLineFeed(data + 1, size - 1) : CutAsTheStreamDoes(data + 1, size - 1);

  SmtpReplyReader reader;
  Expected expected;
  bool started = false;
  for (const std::string& line : lines) {
    if (!started) {
      SmtpReplyStart(&reader);
      Check(reader.code == 0 && !reader.more && !reader.codeMismatch);
      expected = {};
      started = true;
    }
    // The line alone in a block of its size: a read past it is caught.
    auto* copy = static_cast<uint8_t*>(std::malloc(line.size() ? line.size() : 1));
    std::memcpy(copy, line.data(), line.size());
    const bool complete = SmtpReplyTakeLine(&reader, copy, line.size());
    std::free(copy);

    Follow(&expected, line);
    Check(complete == expected.complete && reader.more == !complete);
    Check(reader.code == expected.code && reader.codeMismatch == expected.mismatch);
    if (complete) started = false;
  }
  return 0;
}
