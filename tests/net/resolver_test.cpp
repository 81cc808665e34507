#include "net/resolver.h"

#include <gtest/gtest.h>
#include <winsock.h>

#include "net/net_start.h"
#include "net/queue_wait.h"
#include "runtime/clock.h"
#include "runtime/platform_routines.h"
#include "tests/runtime/process_counts.h"

namespace {

std::pair<Status, std::string> Resolve(const char* host) {
  NetAddress address;
  const Status status = ResolveHost(kFamilyInternet, host, &address);
  char text[kAddressTextSize] = "";
  if (status == kOk) AddressToText(&address, text, sizeof text);
  return {status, text};
}

class ResolverTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(NetStart(kNetFamilyInternet), kOk); }
};

TEST_F(ResolverTest, NamesAreLookedUpWithTheirPortAndDottedAddressesAreAnsweredAtOnce) {
  const ProcessCounts before = ProcessCounts::Before();
  uint32_t lookups = ResolverLookupsStarted();
  EXPECT_EQ(Resolve("localhost:2525"), std::make_pair(Status(kOk), std::string("127.0.0.1:2525")));
  EXPECT_EQ(ResolverLookupsStarted(), ++lookups);
  EXPECT_EQ(Resolve("localhost"), std::make_pair(Status(kOk), std::string("127.0.0.1")));  // port 0
  EXPECT_EQ(ResolverLookupsStarted(), ++lookups);

  EXPECT_EQ(Resolve("127.0.0.1"), std::make_pair(Status(kOk), std::string("127.0.0.1")));
  EXPECT_EQ(Resolve("10.20.30.40:587"), std::make_pair(Status(kOk), std::string("10.20.30.40:587")));
  EXPECT_EQ(ResolverLookupsStarted(), lookups);  // no thread for those

  // Not dotted addresses after all: names, which this machine cannot find.
  EXPECT_EQ(Resolve("1234.0.0.1").first, kErrHostNotFound);
  EXPECT_EQ(ResolverLookupsStarted(), ++lookups);
  EXPECT_EQ(Resolve("256.1.1.1").first, kErrHostNotFound);
  EXPECT_EQ(ResolverLookupsStarted(), ++lookups);
  EXPECT_EQ(ProcessCounts::Now(), before);  // each lookup's thread is gone
}

TEST_F(ResolverTest, UnknownNamesAndUnusablePortsAreNotFound) {
  const ProcessCounts before = ProcessCounts::Before();
  const uint32_t lookups = ResolverLookupsStarted();
  EXPECT_EQ(Resolve("unknown-host.invalid").first, kErrHostNotFound);
  EXPECT_EQ(ResolverLookupsStarted(), lookups + 1);
  EXPECT_EQ(Resolve("localhost:99999").first, kErrHostNotFound);  // would wrap to another port
  EXPECT_EQ(Resolve(":25").first, kErrHostNotFound);
  EXPECT_EQ(ResolverLookupsStarted(), lookups + 1);
  EXPECT_EQ(ProcessCounts::Now(), before);
}

int gIdleRuns = 0;
void CountIdleRun() { ++gIdleRuns; }

TEST(QueueWaitTest, AnEmptyQueueIsWaitedForTheWholeTimeWithTheIdleTasksRunning) {
  ItemQueue queue;
  ASSERT_EQ(QueueCreate(&queue), kOk);
  ASSERT_EQ(PlatformAddIdle(CountIdleRun), kOk);
  gIdleRuns = 0;
  const int64_t start = ClockMilliseconds();
  EXPECT_EQ(QueueWait(&queue, 1), nullptr);
  EXPECT_GE(ClockMilliseconds() - start, 1000);
  EXPECT_GE(gIdleRuns, 10);  // slices of at most 20 ms

  QueueItem item = {};
  ASSERT_EQ(QueuePush(&queue, &item), kOk);
  EXPECT_EQ(QueueWait(&queue, 1), &item);
  QueueDispose(&queue);
}

}  // namespace
