// Fuzz target: cutting a received byte stream into records. The input's first bytes choose the framing
// mode (any line end, CR LF, whole buffer, length prefix, or one of two splitters of the caller's), the
// record buffer's capacity, the splitter's byte, how often the record sink refuses a record, and the
// chunk sizes; the rest is the stream. It is cut three times: by a reading of the framing rules written
// here over the whole stream, by the cutter fed the stream in one piece, and by the cutter fed it in the
// chosen chunks with a sink that refuses some records (the caller then offers the rest again, as the
// line stream does when it runs out of record buffers). The records must not depend on the chunks:
// all three agree exactly, except that with any line end a CR LF split between two chunks ends its
// record at the CR (the LF is then dropped, never made a record of its own).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "net/record_cutter.h"

namespace {

using Records = std::vector<std::string>;

constexpr int32_t kFramingEndByte = 1;     // the caller's splitter: a record ends after a chosen byte
constexpr int32_t kFramingLengthByte = 2;  // the caller's splitter: the first byte is the length
constexpr int32_t kModes[] = {kFramingAnyLineEnd, kFramingCrLf,      kFramingWholeBuffer,
                              kFramingLengthPrefix, kFramingEndByte, kFramingLengthByte};
constexpr size_t kHeaderBytes = 5;
constexpr size_t kMostChunkSizes = 8;

void Check(bool condition) {
  if (!condition) std::abort();
}

// Both splitters answer by the bytes they are shown and nothing else, and never look past them.
size_t SplitAfterByte(void* context, const uint8_t* data, size_t length) {
  const auto* end = static_cast<const uint8_t*>(std::memchr(data, *static_cast<uint8_t*>(context), length));
  return end ? size_t(end - data) + 1 : 0;
}

size_t SplitByLengthByte(void*, const uint8_t* data, size_t length) {
  Check(length > 0);
  return data[0];  // 0 and more than there is are "not yet"
}

struct Setup {
  int32_t mode;
  size_t capacity;
  uint8_t splitterByte;
  uint32_t refuseEvery;  // 0: never
  std::vector<size_t> chunks;
};

// The framing rules on the whole stream: a record ends where its mode says within the next `capacity`
// bytes, else it is those bytes; what is left at the end is the last record.
Records Reference(const Setup& setup, const std::string& stream) {
  Records records;
  const size_t capacity = setup.capacity;
  size_t at = 0;
  while (at < stream.size()) {
    const size_t left = stream.size() - at;
    const size_t seen = std::min(left, capacity);
    const char* window = stream.data() + at;
    size_t end = 0, skip = 0;
    switch (setup.mode) {
      case kFramingAnyLineEnd:
        for (size_t i = 0; i < seen && !end; ++i) {
          if (window[i] == '\n') end = i + 1;
          if (window[i] != '\r') continue;
          const bool lineFeedNext = i + 1 < left && window[i + 1] == '\n';
          end = lineFeedNext && i + 1 < seen ? i + 2 : i + 1;
          skip = lineFeedNext && i + 1 == seen;  // a CR LF cut by the capacity is still one line end
        }
        break;
      case kFramingCrLf:
        for (size_t i = 0; i + 1 < seen && !end; ++i)
          if (window[i] == '\r' && window[i + 1] == '\n') end = i + 2;
        break;
      case kFramingWholeBuffer:
        break;
      case kFramingLengthPrefix:
        if (seen >= 4) {
          uint32_t declared;
          std::memcpy(&declared, window, 4);
          declared = std::max<uint32_t>(declared, 4);
          if (declared <= seen) end = declared;
          else if (seen == capacity) skip = declared - capacity;  // the rest of a record that was cut
        }
        break;
      case kFramingEndByte: {
        const void* found = std::memchr(window, setup.splitterByte, seen);
        if (found) end = size_t(static_cast<const char*>(found) - window) + 1;
        break;
      }
      case kFramingLengthByte:
        if (uint8_t(window[0]) <= seen) end = uint8_t(window[0]);
        break;
    }
    if (!end) end = seen;  // a full buffer without an end, or the unfinished rest
    records.emplace_back(window, end);
    at += std::min<size_t>(end + skip, left);
  }
  return records;
}

struct Sink {
  Records records;
  uint32_t refuseEvery = 0;
  uint32_t offers = 0;
};

bool Take(void* context, const uint8_t* record, size_t length) {
  auto* sink = static_cast<Sink*>(context);
  if (sink->refuseEvery && ++sink->offers % sink->refuseEvery == 0) return false;
  sink->records.emplace_back(reinterpret_cast<const char*>(record), length);
  return true;
}

// The cutter over a buffer of exactly the capacity, fed in the given chunks.
Records Cut(const Setup& setup, const std::string& stream, const std::vector<size_t>& chunks, uint32_t refuseEvery) {
  RecordCutter cutter;
  uint8_t context = setup.splitterByte;
  const RecordSplitter splitter = setup.mode == kFramingEndByte ? SplitAfterByte
                                  : setup.mode == kFramingLengthByte ? SplitByLengthByte : nullptr;
  Check(RecordCutterInit(&cutter, setup.mode, splitter, &context));
  auto* buffer = static_cast<uint8_t*>(std::malloc(setup.capacity));
  RecordCutterAttach(&cutter, buffer, setup.capacity);
  Sink sink;
  sink.refuseEvery = refuseEvery;
  const auto* bytes = reinterpret_cast<const uint8_t*>(stream.data());
  size_t at = 0;
  for (size_t i = 0; at < stream.size(); ++i) {
    const size_t end = std::min(stream.size(), at + chunks[i % chunks.size()]);
    while (at < end) {
      const size_t used = RecordCutterFeed(&cutter, bytes + at, end - at, Take, &sink);
      Check(used <= end - at);
      // Only a refused record stops the cutter early; offered again, it goes on.
      Check(used == end - at || (refuseEvery && sink.offers % refuseEvery == 0));
      at += used;
    }
  }
  for (int tries = 0; !RecordCutterFinish(&cutter, Take, &sink); ++tries) Check(refuseEvery && tries < 1000);
  Check(cutter.length == 0);
  std::free(buffer);
  return sink.records;
}

// With any line end, a record may end at the CR of a CR LF whose LF came in the next chunk.
bool SameRecord(const std::string& chunked, const std::string& whole, int32_t mode) {
  if (chunked == whole) return true;
  return mode == kFramingAnyLineEnd && whole.size() == chunked.size() + 1 && whole.back() == '\n' &&
         whole.compare(0, chunked.size(), chunked) == 0 && chunked.back() == '\r';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeaderBytes) return 0;
  Setup setup;
  setup.mode = kModes[data[0] % (sizeof kModes / sizeof kModes[0])];
  // Mostly small buffers, where records are cut; sometimes the sender's 1024 bytes.
  setup.capacity = data[1] >= 0xF0 ? 1024 : 1 + data[1] % 80;
  setup.splitterByte = data[2];
  setup.refuseEvery = data[3] % 3 ? 1 + data[3] % 3 : 0;  // every 2nd or 3rd offer, or never
  const size_t chunkCount = std::min<size_t>(1 + data[4] % kMostChunkSizes, size - kHeaderBytes);
  for (size_t i = 0; i < chunkCount; ++i) setup.chunks.push_back(1 + data[kHeaderBytes + i] % 64);
  if (setup.chunks.empty()) setup.chunks.push_back(1);
  const size_t skipped = kHeaderBytes + chunkCount;
  const std::string stream(reinterpret_cast<const char*>(data) + skipped, size - skipped);

  const Records reference = Reference(setup, stream);
  const Records whole = Cut(setup, stream, {std::max<size_t>(stream.size(), 1)}, 0);
  Check(whole == reference);
  const Records chunked = Cut(setup, stream, setup.chunks, setup.refuseEvery);
  Check(chunked.size() == whole.size());
  for (size_t i = 0; i < whole.size(); ++i) Check(SameRecord(chunked[i], whole[i], setup.mode));
  return 0;
}
