#include "app/mail/smtp_sender.h"

#include <windows.h>

#include <initializer_list>

#include "app/mail/smtp_reply.h"
#include "app/mail/smtp_text.h"
#include "net/line_stream.h"
#include "net/net_start.h"
#include "net/queue_wait.h"
#include "net/resolver.h"
#include "runtime/platform_routines.h"
#include "runtime/text.h"

namespace {

bool ConnectionEnded(const Endpoint* stream) {
  const uint16_t state = EndpointState(stream);
  return state != kStateConnected && state != kStateSendingShut;
}

NetBuffer* TakeFreeBuffer(ItemQueue* pool) {
  NetBuffer* buffer = PoolTake(pool);
  if (!buffer && PoolAdd(pool, kSmtpMoreBuffers, kSmtpBufferBytes) == kOk) buffer = PoolTake(pool);
  return buffer;
}

// Everything one exchange owns; released in the right order whatever way the exchange ends.
class MailExchange {
 public:
  ~MailExchange() {
    if (stream_) EndpointDispose(stream_);
    if (waiter_) CloseHandle(waiter_);  // after the stream: its threads wake the waiter until then
    for (ItemQueue* queue : {&replies_, &pool_}) {
      if (!queue->mutex) continue;
      PoolFreeAll(queue);
      QueueDispose(queue);
    }
  }

  Status Open() {
    if (QueueCreate(&pool_) != kOk || QueueCreate(&replies_) != kOk) return kErrMemory;
    Status status = PoolAdd(&pool_, kSmtpFirstBuffers, kSmtpBufferBytes);
    if (status != kOk) return status;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &waiter_, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
      waiter_ = nullptr;
      return kErrSystem;
    }
    stream_ = LineStreamCreate(kFamilyInternet, this, OnStreamEvent, kFramingCrLf, nullptr, nullptr, &pool_, &pool_,
                               &replies_);
    return stream_ ? kOk : kErrMemory;
  }

  int32_t Reply(uint32_t timeoutMs) { return SmtpReadReply(stream_, &pool_, &replies_, timeoutMs); }

  template <class... Args>
  Status Command(const char* format, const Args&... args) {
    return SmtpSendCommand(stream_, &pool_, format, args...);
  }

  // What a reply that is missing means: the server went away, or it stopped answering.
  Status NoReply() const { return ConnectionEnded(stream_) ? kErrNotConnected : kErrTimeout; }

  // A reply must be one of the accepted codes.
  Status Expect(int32_t accepted) { return Expect(accepted, accepted); }
  Status Expect(int32_t accepted, int32_t alsoAccepted) {
    const int32_t code = Reply(kSmtpReplyMs);
    if (code == 0) return NoReply();
    return code == accepted || code == alsoAccepted ? kOk : kErrMailReply;
  }

  Endpoint* stream() const { return stream_; }
  ItemQueue* pool() { return &pool_; }

 private:
  // The reply waits sleep alertably in slices: a line that arrives, or the end of the connection,
  // ends the sleep at once instead of at the end of its slice.
  static void CALLBACK WakeUp(ULONG_PTR) {}
  static void OnStreamEvent(Endpoint*, void* owner, int32_t event, void*) {
    if (event == kEventReceived || event == kEventPeerClosed || event == kEventReset || event == kEventAborted)
      QueueUserAPC(WakeUp, static_cast<MailExchange*>(owner)->waiter_, 0);
  }

  ItemQueue pool_ = {};
  ItemQueue replies_ = {};
  Endpoint* stream_ = nullptr;
  HANDLE waiter_ = nullptr;  // the thread that waits for the replies
};

// The greeting, or after 22 silent seconds a NOOP that must be answered 220 and then 250.
Status AwaitGreeting(MailExchange& exchange) {
  const int32_t greeting = exchange.Reply(kSmtpGreetingMs);
  if (greeting == 220) return kOk;
  if (greeting != 0) return kErrMailReply;
  if (ConnectionEnded(exchange.stream())) return kErrNotConnected;
  Status status = exchange.Command("NOOP\r\n");
  if (status != kOk) return status;
  const int32_t first = exchange.Reply(kSmtpReplyMs);
  if (first == 0) return exchange.NoReply();
  if (first != 220) return kErrMailReply;
  const int32_t second = exchange.Reply(kSmtpReplyMs);
  if (second == 0) return exchange.NoReply();
  return second == 250 ? kOk : kErrMailReply;
}

Status SendHeader(MailExchange& exchange, const char* format, const char* value, bool* wrote) {
  if (value[0] == '\0') return kOk;
  *wrote = true;
  return exchange.Command(format, value);
}

// From HELO to the server's answer to the data.
Status Deliver(MailExchange& exchange, const char* helo, const char* sender, const char* recipient,
               const char* subject, const uint8_t* body, size_t bodyLength) {
  Status status = exchange.Command("HELO %s\r\n", helo);
  if (status == kOk) status = exchange.Expect(250);
  if (status == kOk) status = exchange.Command("RSET\r\n");
  if (status == kOk) status = exchange.Expect(250);
  if (status == kOk) status = exchange.Command("MAIL FROM: <%s>\r\n", sender);
  if (status == kOk) {
    const int32_t code = exchange.Reply(kSmtpReplyMs);
    if (code == 0) status = exchange.NoReply();
    else if (code == 501) status = kErrMailSender;
    else if (code != 250) status = kErrMailReply;
  }
  if (status == kOk) status = exchange.Command("RCPT TO: <%s>\r\n", recipient);
  if (status == kOk) status = exchange.Expect(250, 251);
  if (status == kOk) status = exchange.Command("DATA\r\n");
  if (status == kOk) status = exchange.Expect(354);
  if (status != kOk) return status;

  bool wroteHeader = false;
  status = SendHeader(exchange, "From: <%s>\r\n", sender, &wroteHeader);
  if (status == kOk) status = SendHeader(exchange, "To: <%s>\r\n", recipient, &wroteHeader);
  if (status == kOk) status = SendHeader(exchange, "Subject: %s\r\n", subject, &wroteHeader);
  if (status == kOk && wroteHeader) status = exchange.Command("\r\n");
  if (status == kOk) status = SmtpSendBody(exchange.stream(), exchange.pool(), body, bodyLength);
  if (status == kOk) status = exchange.Expect(250);
  return status;
}

}  // namespace

int32_t SmtpReadReply(Endpoint* stream, ItemQueue* pool, ItemQueue* replies, uint32_t timeoutMs) {
  SmtpReplyReader reader;
  SmtpReplyStart(&reader);
  for (;;) {
    // Slices of the wait end as soon as a line is there; a connection that ended ends it early, once
    // its last lines (handed on before the end is known) are read.
    QueueItem* item = nullptr;
    for (uint32_t waited = 0; !item && waited < timeoutMs; waited += kQueuePollMs) {
      item = QueueWaitMilliseconds(replies, timeoutMs - waited < kQueuePollMs ? timeoutMs - waited : kQueuePollMs);
      if (!item && ConnectionEnded(stream)) {
        PlatformRunIdle();
        item = QueuePop(replies);
        if (!item) return 0;
      }
    }
    if (!item) return 0;
    auto* line = reinterpret_cast<NetBuffer*>(item);
    const bool complete = SmtpReplyTakeLine(&reader, line->data(), line->length);
    PoolReturn(pool, line);
    if (complete) return reader.code;
  }
}

Status SmtpSendCommandList(Endpoint* stream, ItemQueue* pool, const char* format, const FormatArg* args, size_t count) {
  NetBuffer* buffer = TakeFreeBuffer(pool);
  if (!buffer) return kErrMemory;
  auto* text = reinterpret_cast<char*>(buffer->data());
  FormatTextList(text, buffer->capacity, format, args, count);
  buffer->length = uint32_t(TextLength(text));
  if (buffer->length + 1 >= buffer->capacity) {
    PoolReturn(pool, buffer);
    return kErrArgument;
  }
  return EndpointSend(stream, buffer);
}

Status SmtpSendBody(Endpoint* stream, ItemQueue* pool, const uint8_t* body, size_t length) {
  size_t offset = 0;
  do {
    NetBuffer* buffer = TakeFreeBuffer(pool);
    if (!buffer) return kErrMemory;
    if (buffer->capacity < kSmtpBodyLineBytes) {  // a pool of smaller buffers: a line would not fit
      PoolReturn(pool, buffer);
      return kErrArgument;
    }
    buffer->length = uint32_t(SmtpBodyNextLine(body, length, &offset, buffer->data()));
    const Status status = EndpointSend(stream, buffer);  // a refused buffer is back in the pool already
    if (status != kOk) return status;
  } while (offset < length);
  return kOk;
}

Status SmtpSendMail(const char* server, const char* sender, const char* recipient, const char* subject,
                    const uint8_t* body, size_t bodyLength) {
  sender = sender ? sender : "";
  recipient = recipient ? recipient : "";
  subject = subject ? subject : "";
  // Nothing the buyer typed may end a command or a header early and start another one.
  if (!SmtpAddressIsSafe(sender, TextLength(sender))) return kErrMailSender;
  if (!SmtpAddressIsSafe(recipient, TextLength(recipient)) || !SmtpSubjectIsSafe(subject, TextLength(subject)))
    return kErrMailReply;
  if (!server || (bodyLength > 0 && !body)) return kErrArgument;

  Status status = NetStart(kNetFamilyInternet);  // starts the platform first when it is not running
  if (status != kOk) return status;
  NetAddress address;
  status = ResolveHost(kFamilyInternet, server, &address);
  if (status != kOk) return status;
  uint16_t port;
  uint32_t ipv4;
  AddressGetInternet(&address, &port, &ipv4);
  if (port == 0) AddressSetInternet(&address, NetOrder16(kSmtpPort), ipv4);

  MailExchange exchange;
  status = exchange.Open();
  if (status == kOk) status = EndpointConnect(exchange.stream(), nullptr, &address, kSmtpConnectMs);
  if (status != kOk) return status;

  NetAddress local;
  EndpointLocalAddress(exchange.stream(), &local);
  AddressGetInternet(&local, nullptr, &ipv4);
  AddressSetInternet(&local, 0, ipv4);
  char helo[kAddressTextSize];
  AddressToText(&local, helo, sizeof helo);

  status = AwaitGreeting(exchange);
  if (status != kOk) return status;  // before HELO there is nothing to say goodbye to

  status = Deliver(exchange, helo, sender, recipient, subject, body, bodyLength);
  // Every ending from HELO on says goodbye, waits for the answer (and ignores it), closes gracefully.
  exchange.Command("QUIT\r\n");
  exchange.Reply(kSmtpReplyMs);
  EndpointClose(exchange.stream(), true);
  return status;
}
