// Cuts a stream of received bytes into records by a framing mode. The record being assembled lives in
// one caller-supplied buffer; bytes are moved into it, complete records are taken from its front.
// Plain data: the line stream feeds it from its receiving thread, tests and fuzzers feed it chunks.
#pragma once

#include <cstddef>
#include <cstdint>

// Framing modes; any other non-zero mode asks the caller's splitter.
constexpr int32_t kFramingAnyLineEnd = -1;    // a record ends after LF, CR or CR LF
constexpr int32_t kFramingCrLf = -2;          // a record ends after CR LF; a lone CR stays inside
constexpr int32_t kFramingWholeBuffer = -4;   // a record is exactly the buffer's capacity
constexpr int32_t kFramingLengthPrefix = -5;  // the first 4 bytes (machine order) hold the length

// The length of the record at the front of data, or 0 while more bytes are needed. An answer beyond
// length counts as 0.
using RecordSplitter = size_t (*)(void* context, const uint8_t* data, size_t length);
// Takes one complete record; false when it cannot take it now (the record stays where it is).
using RecordSink = bool (*)(void* context, const uint8_t* record, size_t length);

struct RecordCutter {
  int32_t mode;
  RecordSplitter splitter;
  void* splitterContext;
  uint8_t* data;  // the record being assembled, capacity bytes, length of them used
  size_t capacity;
  size_t length;
  // Mode -1: the last record ended at a CR that was the last byte then received, so an LF that comes
  // next is the rest of its line end, not an empty record.
  bool dropLineFeed;
  // Mode -5: bytes still to come of a record that was longer than the buffer and was cut.
  uint32_t skipBytes;
};

// False for mode 0 and for a mode that needs a splitter without one.
bool RecordCutterInit(RecordCutter* cutter, int32_t mode, RecordSplitter splitter, void* context);
// Uses data (capacity bytes) for the record being assembled, which starts empty.
void RecordCutterAttach(RecordCutter* cutter, uint8_t* data, size_t capacity);
// Forgets the bytes assembled so far and any line end or skip still expected.
void RecordCutterReset(RecordCutter* cutter);

// Moves bytes into the record being assembled as far as there is room; returns how many were used
// (bytes that belong to a record already handed on are used up without being kept).
size_t RecordCutterFill(RecordCutter* cutter, const uint8_t* bytes, size_t count);
// The length of the complete record at the front, or 0. A full buffer without an end is a record of
// the whole capacity: longer records are cut.
size_t RecordCutterComplete(const RecordCutter* cutter);
// Removes the first length bytes (a record just handed on) and moves the rest to the front.
void RecordCutterConsume(RecordCutter* cutter, size_t length);

// Fills and hands every complete record to the sink until the bytes are used up or the sink refuses
// one; returns how many bytes were used. Called with no bytes, it hands on what is already complete.
size_t RecordCutterFeed(RecordCutter* cutter, const uint8_t* bytes, size_t count, RecordSink sink, void* context);
// At the end of the data: hands on every complete record and then the unfinished rest as it is.
// False when the sink refused one (what it refused is kept).
bool RecordCutterFinish(RecordCutter* cutter, RecordSink sink, void* context);
