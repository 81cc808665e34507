// Fuzz target: the mail body writer and the address and subject checks on any bytes. The body is
// written line by line as the sender does, each line into a block of exactly the size the writer
// promises, and the data section is then read back the way a mail server does: lines end with CR LF,
// a line of one "." ends the data, a leading "." of any other line is a stuffed one and is removed.
// Re-joining the lines that a forced break made must give back every line of the body as it was
// written, cut at CR LF, a lone CR or a lone LF (a last line end adds no empty line). And a text the
// checks let through must make exactly one command or header line.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/mail/smtp_text.h"

namespace {

using Lines = std::vector<std::string>;

void Check(bool condition) {
  if (!condition) std::abort();
}

// The data section as the writer produces it for the whole body.
std::string WriteBody(const uint8_t* body, size_t length) {
  std::string data;
  size_t offset = 0;
  do {
    auto* out = static_cast<uint8_t*>(std::malloc(kSmtpBodyLineBytes));
    const size_t before = offset;
    const size_t written = SmtpBodyNextLine(body, length, &offset, out);
    Check(written <= kSmtpBodyLineBytes && (offset > before || length == 0) && offset <= length);
    data.append(reinterpret_cast<const char*>(out), written);
    std::free(out);
  } while (offset < length);
  return data;
}

// The lines of a data section as a server reads them, un-stuffed; aborts on anything a server would
// read otherwise (a bare CR or LF, a line too long, no end, bytes after the end).
Lines ReadDataSection(const std::string& data) {
  Lines lines;
  for (size_t at = 0;;) {
    const size_t end = data.find("\r\n", at);
    Check(end != std::string::npos);
    std::string line = data.substr(at, end - at);
    Check(line.find_first_of("\r\n") == std::string::npos);
    at = end + 2;
    if (line == ".") {
      Check(at == data.size());
      return lines;
    }
    if (!line.empty() && line[0] == '.') {
      line.erase(0, 1);
      Check(!line.empty() && line[0] == '.');  // only a line that began with a dot is stuffed
    }
    Check(line.size() <= kSmtpLongestLine);
    lines.push_back(line);
  }
}

// The body's own lines.
Lines BodyLines(const uint8_t* body, size_t length) {
  Lines lines;
  size_t start = 0;
  for (size_t i = 0; i < length; ++i) {
    if (body[i] != '\r' && body[i] != '\n') continue;
    lines.emplace_back(reinterpret_cast<const char*>(body + start), i - start);
    if (body[i] == '\r' && i + 1 < length && body[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < length) lines.emplace_back(reinterpret_cast<const char*>(body + start), length - start);
  return lines;
}

// Each body line was sent as pieces of the longest line, the last one shorter or as long (an empty
// line as one empty piece): joining them gives the line back.
void CheckJoinedLines(const Lines& sent, const Lines& body) {
  size_t next = 0;
  for (const std::string& line : body) {
    const size_t pieces = line.empty() ? 1 : (line.size() + kSmtpLongestLine - 1) / kSmtpLongestLine;
    Check(next + pieces <= sent.size());
    std::string joined;
    for (size_t i = 0; i < pieces; ++i) {
      const std::string& piece = sent[next + i];
      Check(i + 1 == pieces || piece.size() == kSmtpLongestLine);
      joined += piece;
    }
    Check(joined == line);
    next += pieces;
  }
  Check(next == sent.size());
}

// A text the check lets through stays inside its one line: wrapped as the sender wraps it, it holds one
// line end, at its end, and (for addresses) one pair of angle brackets.
void CheckOneLine(const std::string& line, bool bracketed) {
  Check(line.find_first_of("\r\n") == line.size() - 2 && line.size() <= kSmtpLongestLine + 2);
  Check(line.find('\0') == std::string::npos);
  if (bracketed) Check(line.find('<') == line.rfind('<') && line.find('>') == line.rfind('>'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Nothing changes with size but the time taken; a few hundred lines say everything.
  if (size > 1 << 18) return 0;
  const std::string section = WriteBody(data, size);
  CheckJoinedLines(ReadDataSection(section), BodyLines(data, size));

  const std::string text(reinterpret_cast<const char*>(data), size);
  if (SmtpAddressIsSafe(text.data(), text.size())) {
    CheckOneLine("RCPT TO: <" + text + ">\r\n", true);
    CheckOneLine("From: <" + text + ">\r\n", true);
  }
  if (SmtpSubjectIsSafe(text.data(), text.size())) CheckOneLine("Subject: " + text + "\r\n", false);
  return 0;
}
