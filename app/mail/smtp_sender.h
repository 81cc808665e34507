// Sending the order as one e-mail over SMTP. The calling thread blocks for the whole exchange while
// the idle tasks keep running; the socket work happens on the network threads.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/buffer.h"
#include "runtime/format.h"
#include "runtime/status.h"

struct Endpoint;

constexpr uint16_t kSmtpPort = 25;
constexpr uint32_t kSmtpConnectMs = 5000;
constexpr uint32_t kSmtpGreetingMs = 22000;
constexpr uint32_t kSmtpReplyMs = 10000;
constexpr uint32_t kSmtpBufferBytes = 1024;
constexpr uint32_t kSmtpFirstBuffers = 8;
constexpr uint32_t kSmtpMoreBuffers = 2;

// Delivers one message to the server ("host" or "host:port"; port 25 when none is given). Sender,
// recipient and subject may be empty (none counts as empty); an empty sender gives "MAIL FROM: <>"
// and no From: header. 0 when the server accepted the message; -1607 when the server refused the
// sender, or before connecting when the sender could not be sent safely; -1605 for any other refusal
// or unexpected reply, and before connecting for an unsafe recipient or subject; -7008 when the server
// stopped answering; -7109 when it closed the connection; the network codes of the connection.
Status SmtpSendMail(const char* server, const char* sender, const char* recipient, const char* subject,
                    const uint8_t* body, size_t bodyLength);

// One reply: its three-digit code, or 0 when no line came within the time-out (counted afresh for each
// line of a multi-line reply) or the connection ended first. The lines go back to the pool.
int32_t SmtpReadReply(Endpoint* stream, ItemQueue* pool, ItemQueue* replies, uint32_t timeoutMs);

// Formats a command into a free buffer (the pool grows by two when it has none) and queues it. -7001
// when the command does not fit a buffer: a cut command must not go out.
Status SmtpSendCommandList(Endpoint* stream, ItemQueue* pool, const char* format, const FormatArg* args, size_t count);
template <class... Args>
Status SmtpSendCommand(Endpoint* stream, ItemQueue* pool, const char* format, const Args&... args) {
  const FormatArg list[sizeof...(Args) + 1] = {FormatArg(args)..., FormatArg()};
  return SmtpSendCommandList(stream, pool, format, list, sizeof...(Args));
}

// Queues the body as the data section, one buffer per line, ended by ".\r\n".
Status SmtpSendBody(Endpoint* stream, ItemQueue* pool, const uint8_t* body, size_t length);
