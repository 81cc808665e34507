// Reading the host texts that name a server: "a.b.c.d" with an optional port, answered without any
// lookup, and "name:port" (or "name,port", "name port"), whose name part is looked up.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kHostNameSize = 256;  // 255 bytes and the NUL

// A dotted IPv4 address: four decimal fields of at most 3 digits (an empty one counts as 0), each at
// most 255, then optionally ":", "," or a blank and a port of at most 5 digits, at most 65535, and
// nothing after. Outputs in host order, set only on success. Anything else is a name to look up.
bool HostTextParseDotted(const char* text, uint32_t* ipv4, uint16_t* port);

// Cuts a name to look up at its first blank, comma or colon; what follows is a decimal port (none or
// empty: 0). False for a port that is not all digits or above 65535 and for a name that is empty or
// does not fit (name holds kHostNameSize bytes): the caller must not look such a text up.
bool HostTextSplit(const char* text, char* name, uint16_t* port);
