#include "net/endpoint.h"

#include <new>

#include "net/endpoint_list.h"
#include "net/endpoint_record.h"
#include "net/winsock_library.h"
#include "runtime/atomic.h"
#include "runtime/platform_routines.h"
#include "runtime/system_heap.h"

namespace {

constexpr uint32_t kGracefulSeconds = 5;
constexpr uint32_t kWaitStepMs = 5;

// Waits alertably, running the idle tasks, until the condition holds or the time is up.
template <class Condition>
bool WaitFor(uint32_t milliseconds, Condition condition) {
  for (uint32_t waited = 0; !condition(); waited += kWaitStepMs) {
    if (waited >= milliseconds) return false;
    PlatformRunIdle();
    SleepEx(kWaitStepMs, TRUE);
  }
  return true;
}

void FreeRecord(Endpoint* endpoint) {
  if (endpoint->connectEvent) CloseHandle(endpoint->connectEvent);
  QueueDispose(&endpoint->sendQueue);
  LockDispose(endpoint->lock);
  endpoint->~Endpoint();
  SystemHeapFree(endpoint);
}

}  // namespace

void EventDeliver(EndpointHandler handler, void* owner, Endpoint* endpoint, int32_t event) {
  if (handler == kEndpointEventMask)
    AtomicTestAndSetBit(static_cast<volatile uint32_t*>(owner), uint32_t(event));
  else if (handler)
    handler(endpoint, owner, event, nullptr);
}

void EndpointRaise(Endpoint* endpoint, int32_t event) {
  EventDeliver(endpoint->handler, endpoint->owner, endpoint, event);
}

void EndpointSetState(Endpoint* endpoint, uint16_t state) {
  LockScope guard(endpoint->lock);
  endpoint->state = state;
}

void EndpointWake(WorkerThread* thread) { WorkerSetWait(thread, 0); }

void EndpointReturnQueued(Endpoint* endpoint) {
  {
    LockScope guard(endpoint->lock);
    endpoint->pendingCount = 0;
    endpoint->pendingBytes = 0;
  }
  while (QueueItem* item = QueuePop(&endpoint->sendQueue)) {
    QueuePush(endpoint->sentPool, item);
    EndpointRaise(endpoint, kEventSent);
  }
}

SocketUse::SocketUse(Endpoint* endpoint) : endpoint_(endpoint) {
  LockScope guard(endpoint->lock);
  socket_ = endpoint->socket;
  if (socket_ != INVALID_SOCKET) ++endpoint->socketUsers;
}

SocketUse::~SocketUse() {
  if (socket_ == INVALID_SOCKET) return;
  LockScope guard(endpoint_->lock);
  --endpoint_->socketUsers;
}

Endpoint* EndpointCreate(uint16_t family, void* owner, EndpointHandler handler, ItemQueue* sentPool,
                         ItemQueue* receivePool, ItemQueue* receivedQueue) {
  if (family != kFamilyInternet || !sentPool || !receivePool || !receivedQueue) return nullptr;
  void* memory = SystemHeapAllocate(sizeof(Endpoint), true);
  if (!memory) return nullptr;
  auto* endpoint = new (memory) Endpoint{};
  endpoint->handler = handler;
  endpoint->owner = owner;
  endpoint->sentPool = sentPool;
  endpoint->receivePool = receivePool;
  endpoint->receivedQueue = receivedQueue;
  endpoint->socket = INVALID_SOCKET;
  endpoint->connectEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (LockCreate(&endpoint->lock) != kOk || !endpoint->connectEvent || QueueCreate(&endpoint->sendQueue) != kOk) {
    FreeRecord(endpoint);
    return nullptr;
  }
  if (WorkerStart(&endpoint->sender, endpoint, EndpointSendingRoutine) != kOk) {
    FreeRecord(endpoint);
    return nullptr;
  }
  if (WorkerStart(&endpoint->receiver, endpoint, EndpointReceivingRoutine) != kOk) {
    WorkerStop(&endpoint->sender);
    FreeRecord(endpoint);
    return nullptr;
  }
  // Network threads run above normal, below the platform's time-critical housekeeping.
  SetThreadPriority(endpoint->sender.thread, THREAD_PRIORITY_HIGHEST);
  SetThreadPriority(endpoint->receiver.thread, THREAD_PRIORITY_HIGHEST);
  EndpointListAdd(endpoint);
  EndpointRaise(endpoint, kEventCreated);
  EndpointRaise(endpoint, kEventClosed);
  return endpoint;
}

Status EndpointConnect(Endpoint* endpoint, const NetAddress* local, const NetAddress* remote, uint32_t timeoutMs) {
  if (!endpoint || !remote || AddressFamily(remote) != kFamilyInternet) return kErrArgument;
  if (endpoint->state != kStateIdle || endpoint->socket != INVALID_SOCKET) return kErrState;
  if (!Winsock().loaded) return kErrSocketOpen;
  SOCKET made = Winsock().socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (made == INVALID_SOCKET) {
    Winsock().WSAGetLastError();
    return kErrSocketOpen;
  }
  NetAddress bindTo;
  if (local && !AddressIsEmpty(local))
    AddressCopy(&bindTo, local);
  else
    AddressSetInternet(&bindTo, 0, INADDR_ANY);
  // Every queued buffer goes out as it is: a line protocol that sends several short lines before it
  // reads an answer would otherwise wait for the peer's delayed acknowledgement between them.
  const BOOL noDelay = TRUE;
  Winsock().setsockopt(made, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
  const auto* bindAddress = reinterpret_cast<const sockaddr*>(bindTo.socketAddress);
  if (Winsock().bind(made, bindAddress, int(bindTo.length)) == SOCKET_ERROR) {
    Winsock().WSAGetLastError();
    Winsock().closesocket(made);
    return kErrSocketBind;
  }
  {
    LockScope guard(endpoint->lock);
    AddressCopy(&endpoint->local, &bindTo);
    AddressCopy(&endpoint->remote, remote);
    endpoint->socket = made;
    endpoint->state = kStateConnecting;
  }
  endpoint->status = kOk;
  ResetEvent(endpoint->connectEvent);
  EndpointWake(&endpoint->sender);
  if (timeoutMs == 0) return kOk;

  switch (WaitForSingleObject(endpoint->connectEvent, timeoutMs)) {
    case WAIT_OBJECT_0:
      return endpoint->status;
    case WAIT_TIMEOUT: {
      // The sending thread sees the failed state within one slice, ends its attempt, closes the socket
      // and sets the event: when this returns, nothing of the attempt is left.
      {
        LockScope guard(endpoint->lock);
        if (endpoint->state == kStateConnecting) endpoint->state = kStateFailed;
      }
      WaitForSingleObject(endpoint->connectEvent, INFINITE);
      return endpoint->status;
    }
    default:
      return kErrNetWait;
  }
}

Status EndpointSend(Endpoint* endpoint, NetBuffer* buffer) {
  if (!endpoint || !buffer) return kErrArgument;
  uint16_t state;
  {
    LockScope guard(endpoint->lock);
    state = endpoint->state;
    if (state != kStateIdle && state != kStateFailed) {
      ++endpoint->pendingCount;
      endpoint->pendingBytes += buffer->length;
      QueuePush(&endpoint->sendQueue, &buffer->link);
    }
  }
  if (state == kStateIdle || state == kStateFailed) {
    PoolReturn(endpoint->sentPool, buffer);
    EndpointRaise(endpoint, kEventSent);
    return kErrNotConnected;
  }
  // While connecting the sending thread is busy with the connect and sends the queue right after it;
  // waking it now would only wait for the connect to end.
  if (state != kStateConnecting) EndpointWake(&endpoint->sender);
  return kOk;
}

Status EndpointClose(Endpoint* endpoint, bool graceful) {
  if (!endpoint) return kErrArgument;
  if (graceful) {
    const uint16_t state = endpoint->state;
    if (state == kStateConnected || state == kStatePeerClosed)
      WaitFor(kGracefulSeconds * 1000, [&] { return EndpointPendingCount(endpoint) == 0; });
  }
  {
    LockScope guard(endpoint->lock);
    if (endpoint->state != kStateIdle) endpoint->state = kStateClosing;
    // Ending both directions wakes a thread that is waiting on the socket, so that it sees the state
    // now rather than at the end of its slice; the handle itself stays valid until it has left.
    constexpr int kShutdownBoth = 2;  // SD_BOTH, which the 1.1 header does not name
    if (endpoint->socket != INVALID_SOCKET) Winsock().shutdown(endpoint->socket, kShutdownBoth);
  }
  // The threads leave their calls on the socket once they see the state.
  SOCKET closing = INVALID_SOCKET;
  for (;;) {
    {
      LockScope guard(endpoint->lock);
      if (endpoint->socketUsers == 0) {
        closing = endpoint->socket;
        endpoint->socket = INVALID_SOCKET;
        break;
      }
    }
    SleepEx(kWaitStepMs, TRUE);
  }
  if (closing != INVALID_SOCKET) {
    u_long blocking = 0;  // a lingering close must be allowed to wait
    Winsock().ioctlsocket(closing, FIONBIO, &blocking);
    linger lingering = {1, u_short(graceful ? kGracefulSeconds : 0)};
    Winsock().setsockopt(closing, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&lingering), sizeof lingering);
    Winsock().closesocket(closing);
  }
  EndpointReturnQueued(endpoint);
  EndpointSetState(endpoint, kStateIdle);
  EndpointRaise(endpoint, kEventClosed);
  return kOk;
}

void EndpointDispose(Endpoint* endpoint) {
  if (!endpoint) return;
  EndpointClose(endpoint, false);
  EndpointListRemove(endpoint);
  WorkerStop(&endpoint->sender);
  WorkerStop(&endpoint->receiver);
  EndpointReturnQueued(endpoint);
  EndpointRaise(endpoint, kEventDisposed);
  FreeRecord(endpoint);
}

uint16_t EndpointState(const Endpoint* endpoint) { return endpoint->state; }

void EndpointLocalAddress(const Endpoint* endpoint, NetAddress* address) {
  LockScope guard(endpoint->lock);
  if (endpoint->state == kStateIdle || endpoint->state == kStateConnecting)
    AddressClear(address);
  else
    AddressCopy(address, &endpoint->local);
}

uint32_t EndpointPendingCount(const Endpoint* endpoint) {
  LockScope guard(endpoint->lock);
  return endpoint->pendingCount;
}
