// The two threads of a TCP endpoint. The socket is non-blocking and every wait on it is a select() of
// one slice, so both threads notice a close or a time-out by the owner within a slice.
#include "net/endpoint_record.h"
#include "net/winsock_library.h"

namespace {

enum class Ready { Yes, NotYet, Failed };

// FD_ISSET without the library's own function for it.
bool InSet(SOCKET socket, const fd_set& set) {
  for (u_int i = 0; i < set.fd_count; ++i)
    if (set.fd_array[i] == socket) return true;
  return false;
}

Ready WaitSocket(SOCKET socket, bool forWriting, int* error) {
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(socket, &ready);
  FD_SET(socket, &failed);
  timeval slice = {0, long(kSocketSliceMs * 1000)};
  const int answer = forWriting ? Winsock().select(0, nullptr, &ready, &failed, &slice)
                                : Winsock().select(0, &ready, nullptr, &failed, &slice);
  if (answer == SOCKET_ERROR) {
    *error = Winsock().WSAGetLastError();
    return Ready::Failed;
  }
  if (InSet(socket, failed)) {
    int code = 0;
    int size = sizeof code;
    Winsock().getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &size);
    *error = code ? code : WSAECONNRESET;
    return Ready::Failed;
  }
  return InSet(socket, ready) ? Ready::Yes : Ready::NotYet;
}

Status ConnectFailure(int error) {
  constexpr int kConnectionRefused = 1225;  // ERROR_CONNECTION_REFUSED, as some stacks report it
  switch (error) {
    case WSAECONNREFUSED:
    case kConnectionRefused: return kErrConnectionRefused;
    case WSAEINTR:
    case WSAENOTSOCK: return kErrTimeout;
    default: return kErrConnect;
  }
}

// Runs the connect until it succeeds, fails, or the owner gives it up (time-out or close), and gives
// the result to the owner through the status and the connect event.
void Connect(Endpoint* endpoint) {
  int error = 0;
  Status status = kOk;
  {
    SocketUse use(endpoint);
    if (!use.ok()) return;
    u_long nonBlocking = 1;
    Winsock().ioctlsocket(use.socket(), FIONBIO, &nonBlocking);
    const auto* remote = reinterpret_cast<const sockaddr*>(endpoint->remote.socketAddress);
    if (Winsock().connect(use.socket(), remote, int(endpoint->remote.length)) == SOCKET_ERROR) {
      error = Winsock().WSAGetLastError();
      if (error == WSAEWOULDBLOCK) {
        error = 0;
        for (;;) {
          if (endpoint->state != kStateConnecting) {
            status = kErrTimeout;
            break;
          }
          const Ready ready = WaitSocket(use.socket(), true, &error);
          if (ready == Ready::Failed) status = ConnectFailure(error);
          if (ready != Ready::NotYet) break;
        }
      } else {
        status = ConnectFailure(error);
      }
    }
    if (status == kOk) {
      int size = int(sizeof endpoint->local.socketAddress);
      auto* localAddress = reinterpret_cast<sockaddr*>(endpoint->local.socketAddress);
      if (Winsock().getsockname(use.socket(), localAddress, &size) == SOCKET_ERROR) {
        Winsock().WSAGetLastError();
        status = kErrNetWait;
      } else {
        endpoint->local.length = uint32_t(size);
      }
    }
  }

  if (status == kOk) {
    bool stillWanted;
    {
      LockScope guard(endpoint->lock);
      stillWanted = endpoint->state == kStateConnecting;
      if (stillWanted) endpoint->state = kStateConnected;
    }
    if (stillWanted) {
      endpoint->status = kOk;
      SetEvent(endpoint->connectEvent);
      EndpointRaise(endpoint, kEventConnected);
      EndpointWake(&endpoint->receiver);
      return;
    }
    status = kErrTimeout;  // given up just as it succeeded
  }

  SOCKET failed = INVALID_SOCKET;
  {
    LockScope guard(endpoint->lock);
    if (endpoint->state == kStateConnecting || endpoint->state == kStateFailed) {
      // A closing owner closes the socket itself once this thread has left it.
      failed = endpoint->socket;
      endpoint->socket = INVALID_SOCKET;
      endpoint->state = kStateFailed;
    }
    endpoint->pendingCount = 0;
    endpoint->pendingBytes = 0;
  }
  if (failed != INVALID_SOCKET) Winsock().closesocket(failed);
  endpoint->status = status;
  EndpointRaise(endpoint, kEventReset);
  SetEvent(endpoint->connectEvent);
}

// After a connection ends: the event first, so that a line stream hands on its last records before
// the owner can see the new state.
void ConnectionEnded(Endpoint* endpoint, int32_t event, uint16_t state) {
  EndpointRaise(endpoint, event);
  LockScope guard(endpoint->lock);
  const uint16_t now = endpoint->state;
  if (now == kStateConnected || now == kStateSendingShut || now == kStatePeerClosed) endpoint->state = state;
}

bool CanSend(const Endpoint* endpoint) {
  const uint16_t state = endpoint->state;
  return state == kStateConnected || state == kStatePeerClosed;
}

// Sends the whole buffer unless the connection fails or is closed meanwhile; a failure drops the
// bytes, which are never sent twice.
void SendBuffer(Endpoint* endpoint, NetBuffer* buffer) {
  SocketUse use(endpoint);
  if (!use.ok()) return;
  uint32_t sent = 0;
  while (sent < buffer->length && CanSend(endpoint)) {
    const int count = Winsock().send(use.socket(), reinterpret_cast<const char*>(buffer->data() + sent),
                           int(buffer->length - sent), 0);
    if (count != SOCKET_ERROR) {
      sent += uint32_t(count);
      continue;
    }
    int error = Winsock().WSAGetLastError();
    if (error == WSAEWOULDBLOCK && WaitSocket(use.socket(), true, &error) != Ready::Failed) continue;
    // Windows reports a reset on receiving; Wine reports it there as an orderly close, and only the
    // next send learns that the connection is gone.
    if (error == WSAECONNRESET || error == WSAECONNABORTED || error == WSAENOTCONN || error == WSAESHUTDOWN)
      ConnectionEnded(endpoint, kEventReset, kStateFailed);
    return;
  }
}

}  // namespace

void EndpointSendingRoutine(WorkerThread*, void* context) {
  auto* endpoint = static_cast<Endpoint*>(context);
  if (endpoint->state == kStateConnecting) Connect(endpoint);
  while (CanSend(endpoint)) {
    auto* buffer = reinterpret_cast<NetBuffer*>(QueuePop(&endpoint->sendQueue));
    if (!buffer) break;
    SendBuffer(endpoint, buffer);
    {
      LockScope guard(endpoint->lock);
      if (endpoint->pendingCount > 0) --endpoint->pendingCount;
      endpoint->pendingBytes -= endpoint->pendingBytes < buffer->length ? endpoint->pendingBytes : buffer->length;
    }
    PoolReturn(endpoint->sentPool, buffer);
    EndpointRaise(endpoint, kEventSent);
  }
  const uint16_t state = endpoint->state;
  if (state == kStateIdle || state == kStateSendingShut || state == kStateClosing || state == kStateFailed)
    EndpointReturnQueued(endpoint);
}

namespace {

NetBuffer* TakeReceiveBuffer(Endpoint* endpoint) {
  NetBuffer* buffer = PoolTake(endpoint->receivePool);
  if (buffer) return buffer;
  endpoint->outOfReceiveBuffers = true;
  EndpointRaise(endpoint, kEventNoReceiveBuffer);
  buffer = PoolTake(endpoint->receivePool);
  if (buffer) endpoint->outOfReceiveBuffers = false;
  return buffer;
}

bool CanReceive(const Endpoint* endpoint) {
  const uint16_t state = endpoint->state;
  return (state == kStateConnected || state == kStateSendingShut) && !endpoint->outOfReceiveBuffers;
}

}  // namespace

// Receives until the connection ends, the owner closes it, or no buffer is left; in the last case the
// network idle task wakes it again when the pool has one.
void EndpointReceivingRoutine(WorkerThread*, void* context) {
  auto* endpoint = static_cast<Endpoint*>(context);
  while (CanReceive(endpoint)) {
    SocketUse use(endpoint);
    if (!use.ok()) return;
    int error = 0;
    Ready ready = WaitSocket(use.socket(), false, &error);
    if (!CanReceive(endpoint)) return;
    if (ready == Ready::NotYet) continue;
    NetBuffer* buffer = nullptr;
    int count = SOCKET_ERROR;
    if (ready == Ready::Yes) {
      buffer = TakeReceiveBuffer(endpoint);
      if (!buffer) return;
      count = Winsock().recv(use.socket(), reinterpret_cast<char*>(buffer->data()), int(buffer->capacity), 0);
      if (count == SOCKET_ERROR) error = Winsock().WSAGetLastError();
    }
    if (count > 0) {
      buffer->length = uint32_t(count);
      QueuePush(endpoint->receivedQueue, &buffer->link);
      EndpointRaise(endpoint, kEventReceived);
      continue;
    }
    PoolReturn(endpoint->receivePool, buffer);
    if (count == 0) {
      ConnectionEnded(endpoint, kEventPeerClosed, kStatePeerClosed);
      return;
    }
    switch (error) {
      case WSAEWOULDBLOCK: continue;
      case WSAEINTR:
      case WSAENOTSOCK: return;  // the owner closed the socket
      case WSAECONNABORTED: ConnectionEnded(endpoint, kEventAborted, kStateIdle); return;
      default: ConnectionEnded(endpoint, kEventReset, kStateFailed); return;  // reset, or another failure
    }
  }
}
