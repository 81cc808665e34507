// Host names into addresses. A lookup blocks in the system, so it runs on a thread of its own while
// the caller waits for the answer a bounded time and keeps the idle tasks running.
#pragma once

#include <cstdint>

#include "net/address.h"
#include "runtime/status.h"

constexpr uint32_t kResolveWaitSeconds = 10;

// A dotted IPv4 address (with an optional ":port") is answered at once. Anything else is cut at its
// first blank, comma or colon into a name and a port, and the name is looked up. The address carries
// the port (0 when the text gave none). -7108 when nothing usable came back within 10 seconds, for a
// name that cannot be looked up, and for a port that is not a number up to 65535; -7004 without
// memory; -7000 when the thread cannot start. Needs NetStart for names.
Status ResolveHost(uint16_t family, const char* host, NetAddress* address);

// How many lookups have started a thread since the process began.
uint32_t ResolverLookupsStarted();
