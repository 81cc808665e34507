#include "net/endpoint_list.h"

#include "net/endpoint_record.h"

namespace {

// Guarded by the global lock. Endpoints are created, disposed and ticked on the thread that runs the
// idle tasks, so an endpoint never goes away during a tick.
Endpoint* gLive = nullptr;

}  // namespace

void EndpointListAdd(Endpoint* endpoint) {
  GlobalLockScope guard;
  endpoint->nextLive = gLive;
  gLive = endpoint;
}

void EndpointListRemove(Endpoint* endpoint) {
  GlobalLockScope guard;
  for (Endpoint** link = &gLive; *link; link = &(*link)->nextLive) {
    if (*link != endpoint) continue;
    *link = endpoint->nextLive;
    endpoint->nextLive = nullptr;
    return;
  }
}

void NetworkIdle() {
  GlobalLockScope guard;
  for (Endpoint* endpoint = gLive; endpoint; endpoint = endpoint->nextLive) {
    // The tick first: a line stream takes the buffers it needs for its records before the receiving
    // thread may take them for more data.
    if (endpoint->state != kStateIdle) EndpointRaise(endpoint, kEventIdleTick);
    if (endpoint->outOfReceiveBuffers && endpoint->receivePool->count > 0) {
      endpoint->outOfReceiveBuffers = false;
      EndpointWake(&endpoint->receiver);
    }
  }
}
