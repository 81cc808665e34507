#include "net/record_cutter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Records = std::vector<std::string>;

struct Collected {
  Records records;
  size_t refuseAfter = SIZE_MAX;  // the sink refuses once it holds this many
};

bool Collect(void* context, const uint8_t* record, size_t length) {
  auto* collected = static_cast<Collected*>(context);
  if (collected->records.size() >= collected->refuseAfter) return false;
  collected->records.emplace_back(reinterpret_cast<const char*>(record), length);
  return true;
}

// Feeds the stream in chunks of the given size and returns the records, the unfinished rest last
// (marked with a leading '~') as a closed connection would hand it on.
Records Cut(int32_t mode, const std::string& stream, size_t chunk, size_t capacity = 64,
            RecordSplitter splitter = nullptr) {
  RecordCutter cutter;
  EXPECT_TRUE(RecordCutterInit(&cutter, mode, splitter, nullptr));
  std::vector<uint8_t> buffer(capacity);
  RecordCutterAttach(&cutter, buffer.data(), buffer.size());
  Collected collected;
  const auto* bytes = reinterpret_cast<const uint8_t*>(stream.data());
  for (size_t at = 0; at < stream.size(); at += chunk) {
    const size_t count = std::min(chunk, stream.size() - at);
    EXPECT_EQ(RecordCutterFeed(&cutter, bytes + at, count, Collect, &collected), count);
  }
  const size_t complete = collected.records.size();
  const size_t rest = cutter.length;
  EXPECT_TRUE(RecordCutterFinish(&cutter, Collect, &collected));
  if (rest > 0) collected.records[complete] = "~" + collected.records[complete];
  return collected.records;
}

// Every chunk size must give the same records: the framing cannot depend on how the bytes arrived.
void ExpectRecords(int32_t mode, const std::string& stream, const Records& expected, size_t capacity = 64,
                   RecordSplitter splitter = nullptr) {
  for (size_t chunk = 1; chunk <= stream.size(); ++chunk)
    EXPECT_EQ(Cut(mode, stream, chunk, capacity, splitter), expected) << "chunks of " << chunk;
}

TEST(RecordCutter, CrLfLinesKeepTheirEndsAndLoneCarriageReturnsStayInside) {
  ExpectRecords(kFramingCrLf, "220 ready\r\n250-one\r\n250 two\r\n", {"220 ready\r\n", "250-one\r\n", "250 two\r\n"});
  ExpectRecords(kFramingCrLf, "a\rb\nc\r\nd", {"a\rb\nc\r\n", "~d"});
  // A CR that is the last byte so far waits for what follows instead of ending the line there.
  ExpectRecords(kFramingCrLf, "250 ok\r\n\r\n", {"250 ok\r\n", "\r\n"});
  ExpectRecords(kFramingCrLf, "x\r", {"~x\r"});
}

TEST(RecordCutter, AnyLineEndEndsARecordAndACrLfSplitAcrossChunksIsStillOneEnd) {
  ExpectRecords(kFramingAnyLineEnd, "a\nb\rc\nd", {"a\n", "b\r", "c\n", "~d"});
  ExpectRecords(kFramingAnyLineEnd, "\n\n", {"\n", "\n"});
  // Cut between CR and LF the record leaves at the CR; the LF must not become an empty record.
  EXPECT_EQ(Cut(kFramingAnyLineEnd, "one\r\ntwo\r\n", 4), (Records{"one\r", "two\r\n"}));
  EXPECT_EQ(Cut(kFramingAnyLineEnd, "one\r\ntwo\r\n", 100), (Records{"one\r\n", "two\r\n"}));
  EXPECT_EQ(Cut(kFramingAnyLineEnd, "one\r\n\ntwo", 4), (Records{"one\r", "\n", "~two"}));
  // A CR that ends what the buffer holds is not the last byte received while more are at hand.
  EXPECT_EQ(Cut(kFramingAnyLineEnd, "\n\r\n", 3, 2), (Records{"\n", "\r\n"}));
}

TEST(RecordCutter, ARecordLongerThanTheBufferIsCutAtItsCapacity) {
  ExpectRecords(kFramingCrLf, "0123456789\r\nab\r\n", {"01234567", "89\r\n", "ab\r\n"}, 8);
  ExpectRecords(kFramingWholeBuffer, "abcdefghij", {"abcd", "efgh", "~ij"}, 4);
}

std::string Prefixed(uint32_t length, const std::string& payload) {
  std::string record(4, '\0');
  memcpy(record.data(), &length, 4);  // the machine's own order
  return record + payload;
}

TEST(RecordCutter, LengthPrefixedRecordsAreAtLeastTheirPrefixAndTheCutRestIsSkipped) {
  ExpectRecords(kFramingLengthPrefix, Prefixed(6, "xy") + Prefixed(0, "") + Prefixed(2, "") + Prefixed(5, "z"),
                {Prefixed(6, "xy"), Prefixed(0, ""), Prefixed(2, ""), Prefixed(5, "z")});
  // 12 declared, 8 kept: the other 4 bytes must not be read as the next record's length.
  ExpectRecords(kFramingLengthPrefix, Prefixed(12, "abcdefgh") + Prefixed(5, "q"),
                {Prefixed(12, "abcd"), Prefixed(5, "q")}, 8);
  ExpectRecords(kFramingLengthPrefix, Prefixed(9, "ab"), {"~" + Prefixed(9, "ab")});
}

size_t SplitAtBar(void*, const uint8_t* data, size_t length) {
  const void* bar = memchr(data, '|', length);
  return bar ? size_t(static_cast<const uint8_t*>(bar) - data) + 1 : 0;
}

size_t ClaimTooMuch(void*, const uint8_t*, size_t length) { return length + 1; }

TEST(RecordCutter, ACallersSplitterDecidesAndAnAnswerPastTheDataMeansIncomplete) {
  ExpectRecords(7, "ab|c||def", {"ab|", "c|", "|", "~def"}, 64, SplitAtBar);
  ExpectRecords(7, "abcdef", {"abcd", "~ef"}, 4, ClaimTooMuch);
  RecordCutter cutter;
  EXPECT_FALSE(RecordCutterInit(&cutter, 7, nullptr, nullptr));
  EXPECT_FALSE(RecordCutterInit(&cutter, 0, SplitAtBar, nullptr));
}

TEST(RecordCutter, ARefusingSinkKeepsTheRecordAndTheRestOfTheBytesForLater) {
  RecordCutter cutter;
  ASSERT_TRUE(RecordCutterInit(&cutter, kFramingCrLf, nullptr, nullptr));
  uint8_t buffer[16];
  RecordCutterAttach(&cutter, buffer, sizeof buffer);
  const std::string stream = "a\r\nb\r\nccccccccccccccccc\r\n";
  const auto* bytes = reinterpret_cast<const uint8_t*>(stream.data());
  Collected collected;
  collected.refuseAfter = 1;
  const size_t used = RecordCutterFeed(&cutter, bytes, stream.size(), Collect, &collected);
  EXPECT_LT(used, stream.size());
  EXPECT_EQ(collected.records, Records{"a\r\n"});
  collected.refuseAfter = SIZE_MAX;
  const size_t rest = RecordCutterFeed(&cutter, bytes + used, stream.size() - used, Collect, &collected);
  EXPECT_EQ(used + rest, stream.size());
  EXPECT_EQ(collected.records, (Records{"a\r\n", "b\r\n", "cccccccccccccccc", "c\r\n"}));

  RecordCutterFeed(&cutter, reinterpret_cast<const uint8_t*>("tail"), 4, Collect, &collected);
  collected.refuseAfter = 0;
  EXPECT_FALSE(RecordCutterFinish(&cutter, Collect, &collected));  // refused: kept
  collected.refuseAfter = SIZE_MAX;
  EXPECT_TRUE(RecordCutterFinish(&cutter, Collect, &collected));
  EXPECT_EQ(collected.records.back(), "tail");
}

}  // namespace
