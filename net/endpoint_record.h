// The TCP endpoint record, shared by the owner's thread and the endpoint's two threads. Internal to
// the net layer.
#pragma once

#include <winsock.h>

#include <atomic>

#include "net/endpoint.h"
#include "runtime/locks.h"
#include "runtime/worker.h"

// Every wait of the endpoint threads on the socket is cut into slices this long, so that a close or
// a time-out is noticed within one slice, whatever Windows does to a call that is waiting on a socket
// being closed.
constexpr uint32_t kSocketSliceMs = 50;

struct Endpoint {
  std::atomic<uint16_t> state;  // changed under lock only
  Lock* lock;                   // guards state, socket, socketUsers and the pending counters
  EndpointHandler handler;
  void* owner;
  ItemQueue* sentPool;
  ItemQueue* receivePool;
  ItemQueue* receivedQueue;
  SOCKET socket;                // INVALID_SOCKET when none
  uint32_t socketUsers;         // endpoint threads inside a call on the socket
  NetAddress local;
  NetAddress remote;
  std::atomic<Status> status;   // of the last connect, left by the sending thread
  ItemQueue sendQueue;
  uint32_t pendingCount;
  uint32_t pendingBytes;
  WorkerThread sender;
  WorkerThread receiver;
  HANDLE connectEvent;          // auto-reset: a connect attempt ended
  std::atomic<bool> outOfReceiveBuffers;
  Endpoint* nextLive;           // the process-wide list
};

// Calls the handler, or sets the event's bit in the owner for kEndpointEventMask.
void EventDeliver(EndpointHandler handler, void* owner, Endpoint* endpoint, int32_t event);
void EndpointRaise(Endpoint* endpoint, int32_t event);
void EndpointSetState(Endpoint* endpoint, uint16_t state);
// Wakes a thread of the endpoint to run its routine again.
void EndpointWake(WorkerThread* thread);
// Gives every queued buffer back to the sent pool, unsent.
void EndpointReturnQueued(Endpoint* endpoint);

// A call on the socket: while one lasts, the owner does not close the socket under it.
class SocketUse {
 public:
  explicit SocketUse(Endpoint* endpoint);
  ~SocketUse();
  SocketUse(const SocketUse&) = delete;
  SocketUse& operator=(const SocketUse&) = delete;
  bool ok() const { return socket_ != INVALID_SOCKET; }
  SOCKET socket() const { return socket_; }

 private:
  Endpoint* endpoint_;
  SOCKET socket_ = INVALID_SOCKET;
};

// The threads' routines (endpoint_threads.cpp).
void EndpointSendingRoutine(WorkerThread* worker, void* context);
void EndpointReceivingRoutine(WorkerThread* worker, void* context);
