#include "net/record_cutter.h"

#include "runtime/memory.h"

namespace {

constexpr size_t kLengthPrefixBytes = 4;

size_t FindAnyLineEnd(const uint8_t* data, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (data[i] == '\n') return i + 1;
    if (data[i] == '\r') return i + 1 < length && data[i + 1] == '\n' ? i + 2 : i + 1;
  }
  return 0;
}

// A CR that is the last byte so far waits for the next one: ending the record there would hand on a
// line whose LF starts the next record, and a reply dripped byte by byte would come out garbled.
size_t FindCrLf(const uint8_t* data, size_t length) {
  for (size_t i = 0; i + 1 < length; ++i)
    if (data[i] == '\r' && data[i + 1] == '\n') return i + 2;
  return 0;
}

uint32_t DeclaredLength(const uint8_t* data) {
  uint32_t declared;
  BytesCopy(&declared, data, sizeof declared);
  return declared < kLengthPrefixBytes ? uint32_t(kLengthPrefixBytes) : declared;
}

size_t FindRecordEnd(const RecordCutter* cutter) {
  switch (cutter->mode) {
    case kFramingAnyLineEnd: return FindAnyLineEnd(cutter->data, cutter->length);
    case kFramingCrLf: return FindCrLf(cutter->data, cutter->length);
    case kFramingWholeBuffer: return 0;  // only a full buffer ends a record
    case kFramingLengthPrefix: {
      if (cutter->length < kLengthPrefixBytes) return 0;
      const uint32_t declared = DeclaredLength(cutter->data);
      return declared <= cutter->length ? declared : 0;
    }
    default: {
      const size_t end = cutter->splitter(cutter->splitterContext, cutter->data, cutter->length);
      return end <= cutter->length ? end : 0;
    }
  }
}

bool EndsAtHeldCarriageReturn(const RecordCutter* cutter, size_t end) {
  return cutter->mode == kFramingAnyLineEnd && end == cutter->length && cutter->length < cutter->capacity &&
         cutter->data[end - 1] == '\r';
}

}  // namespace

bool RecordCutterInit(RecordCutter* cutter, int32_t mode, RecordSplitter splitter, void* context) {
  *cutter = {};
  const bool builtIn = mode == kFramingAnyLineEnd || mode == kFramingCrLf || mode == kFramingWholeBuffer ||
                       mode == kFramingLengthPrefix;
  if (mode == 0 || (!builtIn && !splitter)) return false;
  cutter->mode = mode;
  cutter->splitter = splitter;
  cutter->splitterContext = context;
  return true;
}

void RecordCutterAttach(RecordCutter* cutter, uint8_t* data, size_t capacity) {
  cutter->data = data;
  cutter->capacity = data ? capacity : 0;
  RecordCutterReset(cutter);
}

void RecordCutterReset(RecordCutter* cutter) {
  cutter->length = 0;
  cutter->dropLineFeed = false;
  cutter->skipBytes = 0;
}

size_t RecordCutterFill(RecordCutter* cutter, const uint8_t* bytes, size_t count) {
  size_t used = 0;
  if (count > 0 && cutter->dropLineFeed) {
    cutter->dropLineFeed = false;
    if (bytes[0] == '\n') used = 1;
  }
  if (cutter->skipBytes > 0) {
    const size_t skipped = count - used < cutter->skipBytes ? count - used : cutter->skipBytes;
    cutter->skipBytes -= uint32_t(skipped);
    used += skipped;
  }
  const size_t room = cutter->capacity - cutter->length;
  const size_t moved = count - used < room ? count - used : room;
  if (moved > 0) BytesCopy(cutter->data + cutter->length, bytes + used, moved);
  cutter->length += moved;
  return used + moved;
}

size_t RecordCutterComplete(const RecordCutter* cutter) {
  if (cutter->length == 0) return 0;
  const size_t end = FindRecordEnd(cutter);
  if (end > 0) return end;
  return cutter->length == cutter->capacity ? cutter->capacity : 0;
}

void RecordCutterConsume(RecordCutter* cutter, size_t length) {
  if (length > cutter->length) length = cutter->length;
  if (length == 0) return;
  if (cutter->mode == kFramingAnyLineEnd)
    cutter->dropLineFeed = length == cutter->length && cutter->data[length - 1] == '\r';
  // A length-prefixed record cut at the buffer's size: the rest of it must not be read as new records.
  if (cutter->mode == kFramingLengthPrefix && cutter->length >= kLengthPrefixBytes) {
    const uint32_t declared = DeclaredLength(cutter->data);
    if (declared > length) cutter->skipBytes = declared - uint32_t(length);
  }
  cutter->length -= length;
  BytesMove(cutter->data, cutter->data + length, cutter->length);
}

size_t RecordCutterFeed(RecordCutter* cutter, const uint8_t* bytes, size_t count, RecordSink sink, void* context) {
  size_t used = 0;
  for (;;) {
    for (size_t end; (end = RecordCutterComplete(cutter)) > 0;) {
      // A CR that ends the bytes held is the last one received only when none are at hand: else the
      // next may be its LF, and the record would lose it.
      if (used < count && EndsAtHeldCarriageReturn(cutter, end)) break;
      if (!sink(context, cutter->data, end)) return used;
      RecordCutterConsume(cutter, end);
    }
    if (used == count) return used;
    const size_t took = RecordCutterFill(cutter, bytes + used, count - used);
    if (took == 0) return used;  // no buffer to fill
    used += took;
  }
}

bool RecordCutterFinish(RecordCutter* cutter, RecordSink sink, void* context) {
  RecordCutterFeed(cutter, nullptr, 0, sink, context);
  if (RecordCutterComplete(cutter) > 0) return false;
  if (cutter->length > 0) {
    if (!sink(context, cutter->data, cutter->length)) return false;
    cutter->length = 0;
  }
  RecordCutterReset(cutter);
  return true;
}
