// What the mail sender writes: addresses and subjects checked before they go into a command or a
// header, and the body turned into the lines of the data section. Plain data.
#pragma once

#include <cstddef>
#include <cstdint>

// RFC 5321 allows 256 bytes for a path with its angle brackets.
constexpr size_t kSmtpLongestAddress = 254;
// "Subject: " and CR LF around it stay within the longest line.
constexpr size_t kSmtpLongestSubject = 987;
constexpr size_t kSmtpLongestLine = 998;
// One body line as sent: a stuffed dot, the line, CR LF and the end-of-data line ".\r\n".
constexpr size_t kSmtpBodyLineBytes = 1 + kSmtpLongestLine + 2 + 3;

// An address must not end its command early or open a second one: no control bytes (CR, LF and NUL
// among them), no DEL and no angle brackets. Empty is allowed.
bool SmtpAddressIsSafe(const char* text, size_t length);
// A subject must not end its header line: no CR, LF or NUL. Empty is allowed.
bool SmtpSubjectIsSafe(const char* text, size_t length);

// Writes the next line of the body as it goes out after DATA into out (kSmtpBodyLineBytes bytes) and
// returns the bytes written; *offset moves past the line and its line end. CR LF, a lone CR and a lone
// LF all end a line and are sent as CR LF; a line of more than 998 bytes is broken after 998; a line
// that begins with "." gets a second one. After the last line ".\r\n" follows; an empty body is that
// line alone.
size_t SmtpBodyNextLine(const uint8_t* body, size_t length, size_t* offset, uint8_t* out);
