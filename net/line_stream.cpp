#include "net/line_stream.h"

#include <new>

#include "net/endpoint_record.h"
#include "runtime/memory.h"
#include "runtime/system_heap.h"

namespace {

struct LineStream {
  void* owner;
  EndpointHandler handler;
  Endpoint* endpoint;
  ItemQueue* receivePool;
  ItemQueue* recordQueue;
  ItemQueue received;   // raw buffers from the endpoint
  Lock* lock;           // the receiving thread and the idle tick both cut records
  RecordCutter cutter;
  NetBuffer* assembly;  // the buffer the cutter assembles records in
  NetBuffer* current;   // the received buffer being cut; its offset marks what is used
  int32_t endEvent;     // kEventPeerClosed or kEventReset still to pass on, once every record is out
};

void PassOn(LineStream* stream, int32_t event) {
  EventDeliver(stream->handler, stream->owner, stream->endpoint, event);
}

NetBuffer* TakeBuffer(LineStream* stream) {
  NetBuffer* buffer = PoolTake(stream->receivePool);
  if (buffer) return buffer;
  PassOn(stream, kEventNoReceiveBuffer);  // the owner may add buffers right away
  return PoolTake(stream->receivePool);
}

bool HandOnRecord(void* context, const uint8_t* record, size_t length) {
  auto* stream = static_cast<LineStream*>(context);
  NetBuffer* buffer = TakeBuffer(stream);
  if (!buffer) return false;
  const size_t kept = length < buffer->capacity ? length : buffer->capacity;
  BytesCopy(buffer->data(), record, kept);
  buffer->length = uint32_t(kept);
  QueuePush(stream->recordQueue, &buffer->link);
  PassOn(stream, kEventReceived);
  return true;
}

// Cuts every received byte into records while record buffers can be had; true when nothing received
// is left over. What cannot be handed on now waits for the next idle tick.
bool CutReceived(LineStream* stream) {
  if (!stream->assembly && !stream->current && stream->received.count == 0) return true;
  if (!stream->assembly) {
    stream->assembly = TakeBuffer(stream);
    if (!stream->assembly) return false;
    RecordCutterAttach(&stream->cutter, stream->assembly->data(), stream->assembly->capacity);
  }
  RecordCutterFeed(&stream->cutter, nullptr, 0, HandOnRecord, stream);
  for (;;) {
    if (!stream->current) stream->current = reinterpret_cast<NetBuffer*>(QueuePop(&stream->received));
    NetBuffer* current = stream->current;
    if (!current) return true;
    current->offset += uint32_t(RecordCutterFeed(&stream->cutter, current->data() + current->offset,
                                                 current->length - current->offset, HandOnRecord, stream));
    if (current->offset < current->length) return false;
    stream->current = nullptr;
    PoolReturn(stream->receivePool, current);
  }
}

// The connection ended: every record, the unfinished one as it is, then the event, once.
void DeliverEnd(LineStream* stream) {
  if (stream->endEvent == 0) return;
  if (!CutReceived(stream) || !RecordCutterFinish(&stream->cutter, HandOnRecord, stream)) return;
  const int32_t event = stream->endEvent;
  stream->endEvent = 0;
  PassOn(stream, event);
}

void ReturnEverything(LineStream* stream) {
  PoolReturn(stream->receivePool, stream->current);
  stream->current = nullptr;
  PoolReturn(stream->receivePool, stream->assembly);
  stream->assembly = nullptr;
  RecordCutterAttach(&stream->cutter, nullptr, 0);
  PoolReturnAll(stream->receivePool, &stream->received);
  PoolReturnAll(stream->receivePool, stream->recordQueue);
  stream->endEvent = 0;
}

void FreeStream(LineStream* stream) {
  QueueDispose(&stream->received);
  LockDispose(stream->lock);
  stream->~LineStream();
  SystemHeapFree(stream);
}

void LineStreamEvent(Endpoint* endpoint, void* owner, int32_t event, void*) {
  auto* stream = static_cast<LineStream*>(owner);
  if (event == kEventCreated) stream->endpoint = endpoint;  // before its threads can raise anything
  switch (event) {
    case kEventReceived: {
      LockScope guard(stream->lock);
      // Stuck for want of record buffers, the stream holds the receiving thread: buffers it would fill
      // with more raw data are the ones the records need. The idle tick cuts first and the network
      // idle task wakes the thread again when a buffer is left over after that.
      if (!CutReceived(stream)) endpoint->outOfReceiveBuffers = true;
      return;  // each record was reported on its own
    }
    case kEventPeerClosed:
    case kEventReset: {
      LockScope guard(stream->lock);
      stream->endEvent = event;
      DeliverEnd(stream);
      return;
    }
    case kEventIdleTick: {
      {
        LockScope guard(stream->lock);
        if (!CutReceived(stream)) endpoint->outOfReceiveBuffers = true;
        DeliverEnd(stream);
      }
      PassOn(stream, event);
      return;
    }
    case kEventClosed: {
      {
        LockScope guard(stream->lock);
        ReturnEverything(stream);
      }
      PassOn(stream, event);
      return;
    }
    case kEventDisposed: {
      {
        LockScope guard(stream->lock);
        ReturnEverything(stream);
      }
      PassOn(stream, event);
      FreeStream(stream);
      return;
    }
    default:
      PassOn(stream, event);
  }
}

}  // namespace

Endpoint* LineStreamCreate(uint16_t family, void* owner, EndpointHandler handler, int32_t framingMode,
                           RecordSplitter splitter, void* splitterContext, ItemQueue* sentPool,
                           ItemQueue* receivePool, ItemQueue* recordQueue) {
  if (!receivePool || !recordQueue) return nullptr;
  void* memory = SystemHeapAllocate(sizeof(LineStream), true);
  if (!memory) return nullptr;
  auto* stream = new (memory) LineStream{};
  stream->owner = owner;
  stream->handler = handler;
  stream->receivePool = receivePool;
  stream->recordQueue = recordQueue;
  if (!RecordCutterInit(&stream->cutter, framingMode, splitter, splitterContext) ||
      LockCreate(&stream->lock) != kOk || QueueCreate(&stream->received) != kOk) {
    FreeStream(stream);
    return nullptr;
  }
  Endpoint* endpoint = EndpointCreate(family, stream, LineStreamEvent, sentPool, receivePool, &stream->received);
  if (!endpoint) FreeStream(stream);
  return endpoint;
}
