// TCP endpoints: each owns a sending thread (connect, send) and a receiving thread, and talks to its
// owner only through queues of buffers and numbered events. No call waits on the network, except
// EndpointConnect for the time-out it is given and a graceful EndpointClose for queued data.
#pragma once

#include <cstdint>

#include "net/address.h"
#include "net/buffer.h"
#include "runtime/status.h"

struct Endpoint;

// Called on whichever thread the event happens: it must only queue work or set flags.
using EndpointHandler = void (*)(Endpoint* endpoint, void* owner, int32_t event, void* data);
// As a handler: the owner is a uint32_t in which each event sets its bit.
inline const EndpointHandler kEndpointEventMask = reinterpret_cast<EndpointHandler>(~uintptr_t(0));

enum : int32_t {
  kEventCreated = 0,
  kEventClosed = 1,          // also right after kEventCreated: a new endpoint starts closed
  kEventIdleTick = 2,        // every endpoint that is not idle, from the network idle task
  kEventDisposed = 3,
  kEventSent = 10,           // a buffer went out (or was given back unsent) to the sent pool
  kEventReceived = 12,
  kEventNoReceiveBuffer = 14,
  kEventConnected = 16,
  kEventPeerClosed = 17,
  kEventReset = 18,          // the connection was reset, or the connect failed
  kEventAborted = 19,
};

enum : uint16_t {
  kStateIdle = 0,
  kStateConnecting = 3,
  kStateConnected = 4,
  kStateSendingShut = 5,
  kStatePeerClosed = 6,
  kStateClosing = 7,
  kStateFailed = 8,
};

// Only the Internet family. Received buffers come from receivePool and go to receivedQueue; sent ones
// go back to sentPool. None when memory or a thread cannot be had. Raises kEventCreated, kEventClosed.
Endpoint* EndpointCreate(uint16_t family, void* owner, EndpointHandler handler, ItemQueue* sentPool,
                         ItemQueue* receivePool, ItemQueue* receivedQueue);
// Connects from local (none: any address) to remote. With a time-out of 0 it returns at once and the
// outcome comes as kEventConnected or kEventReset; otherwise it waits that long for the outcome:
// -7110 refused, -7008 timed out (the attempt is over when it returns), -7105 other failures,
// -7102/-7103 when the socket cannot be made or bound, -7002 when not idle.
Status EndpointConnect(Endpoint* endpoint, const NetAddress* local, const NetAddress* remote, uint32_t timeoutMs);
// Queues the buffer; the endpoint owns it from here on. -7109 when idle or failed: the buffer is then
// back in the sent pool.
Status EndpointSend(Endpoint* endpoint, NetBuffer* buffer);
// A graceful close gives queued data up to 5 seconds to leave and lingers as long for it to arrive;
// otherwise the connection is reset. Ends idle, with kEventClosed.
Status EndpointClose(Endpoint* endpoint, bool graceful);
// Closes without grace, ends both threads and frees the endpoint (kEventDisposed first).
void EndpointDispose(Endpoint* endpoint);

uint16_t EndpointState(const Endpoint* endpoint);
// The local address of the connection (empty before it connects).
void EndpointLocalAddress(const Endpoint* endpoint, NetAddress* address);
// Buffers queued and not yet sent.
uint32_t EndpointPendingCount(const Endpoint* endpoint);
