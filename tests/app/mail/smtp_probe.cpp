// Sends one message through the mail sender, or times a series of deliveries, for the test driver
// that runs the peers (smtp_cases.py, and the benchmark). Texts come hex-encoded, so that any byte can
// be passed; results go to standard output, the status on a line of its own, since the exit code only
// carries its low 8 bits.
//   smtp_probe send SERVER SENDER RECIPIENT SUBJECT BODY   (the last four in hexadecimal)
//   smtp_probe time SERVER COUNT
#include <winsock.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/mail/smtp_sender.h"
#include "net/net_start.h"
#include "runtime/clock.h"
#include "runtime/platform.h"
#include "runtime/text.h"
#include "tests/runtime/process_counts.h"

namespace {

// Wine keeps an event per thread, made on the thread's first socket call that waits inside, for the
// rest of the thread's life: the calls the sender makes on this thread are made once before counting.
void WarmUpSockets() {
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in any = {};
  any.sin_family = AF_INET;
  bind(probe, reinterpret_cast<sockaddr*>(&any), sizeof any);
  u_long blocking = 0;
  ioctlsocket(probe, FIONBIO, &blocking);
  linger lingering = {1, 5};
  setsockopt(probe, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&lingering), sizeof lingering);
  closesocket(probe);
}

bool FromHex(const char* hex, std::string* bytes) {
  const size_t length = strlen(hex);
  if (length % 2) return false;
  for (size_t i = 0; i < length; i += 2) {
    const int high = HexDigitValue(uint8_t(hex[i]));
    const int low = HexDigitValue(uint8_t(hex[i + 1]));
    if (high < 0 || low < 0) return false;
    bytes->push_back(char(high * 16 + low));
  }
  return true;
}

int SendOne(char** argv) {
  std::string sender, recipient, subject, body;
  if (!FromHex(argv[3], &sender) || !FromHex(argv[4], &recipient) || !FromHex(argv[5], &subject) ||
      !FromHex(argv[6], &body)) {
    fprintf(stderr, "texts must be hexadecimal\n");
    return 2;
  }
  // What the platform and the sockets hold for good is there before the count is taken.
  if (PlatformStart() != kOk || NetStart(kNetFamilyInternet) != kOk) return 3;
  WarmUpSockets();
  const ProcessCounts before = ProcessCounts::Before();
  const int64_t start = ClockMilliseconds();
  const Status status = SmtpSendMail(argv[2], sender.c_str(), recipient.c_str(), subject.c_str(),
                                     reinterpret_cast<const uint8_t*>(body.data()), body.size());
  const int64_t elapsed = ClockMilliseconds() - start;
  const ProcessCounts after = ProcessCounts::Now();
  printf("status %d\nelapsed %lld\nleftover threads %d handles %d\n", int(status), static_cast<long long>(elapsed),
         after.threads - before.threads, after.handles - before.handles);
  fflush(stdout);
  return 0;
}

int TimeDeliveries(char** argv) {
  if (PlatformStart() != kOk || NetStart(kNetFamilyInternet) != kOk) return 3;
  const int count = atoi(argv[3]);
  static const char kBody[] =
      "Order for 2 copies of Skyward\r\nName: A. Buyer\r\nAddress: 1 Main Street\r\n.hidden line\r\nTotal: 40.00\r\n";
  for (int i = 0; i < count; ++i) {
    const int64_t start = ClockMicroseconds();
    const Status status = SmtpSendMail(argv[2], "buyer@example.com", "orders@example.com", "Order",
                                       reinterpret_cast<const uint8_t*>(kBody), sizeof kBody - 1);
    printf("delivery %d status %d microseconds %lld\n", i, int(status),
           static_cast<long long>(ClockMicroseconds() - start));
  }
  fflush(stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 7 && strcmp(argv[1], "send") == 0) return SendOne(argv);
  if (argc == 4 && strcmp(argv[1], "time") == 0) return TimeDeliveries(argv);
  fprintf(stderr, "usage: smtp_probe send SERVER SENDER RECIPIENT SUBJECT BODY (hexadecimal texts)\n"
                  "       smtp_probe time SERVER COUNT\n");
  return 2;
}
