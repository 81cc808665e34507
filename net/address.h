// Net addresses: a length and a socket address of up to 256 bytes, as the socket calls take them, with
// their text forms. Plain data, so that the parsers can be tested and fuzzed without sockets.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/status.h"

constexpr size_t kSocketAddressBytes = 256;
constexpr uint32_t kInternetAddressLength = 16;
constexpr uint16_t kFamilyInternet = 2;
constexpr uint16_t kFamilyNodeNumber = 256;  // network, node and socket numbers: formatted only
// "255.255.255.255:65535" and the node form fit easily; names of hosts are kept in 256-byte fields.
constexpr size_t kAddressTextSize = 32;

struct NetAddress {
  uint32_t length;  // meaningful bytes of socketAddress; 0: empty
  uint8_t socketAddress[kSocketAddressBytes];
};

// Ports and IPv4 addresses travel in network byte order, as the socket structures hold them.
uint16_t NetOrder16(uint16_t value);
uint32_t NetOrder32(uint32_t value);
inline uint16_t HostOrder16(uint16_t value) { return NetOrder16(value); }
inline uint32_t HostOrder32(uint32_t value) { return NetOrder32(value); }

void AddressClear(NetAddress* address);
void AddressSetInternet(NetAddress* address, uint16_t netPort, uint32_t netAddress);
// Both outputs (either may be none) are zeroed first and filled only for an Internet address.
void AddressGetInternet(const NetAddress* address, uint16_t* netPort, uint32_t* netAddress);
void AddressCopy(NetAddress* destination, const NetAddress* source);
bool AddressIsEmpty(const NetAddress* address);
uint16_t AddressFamily(const NetAddress* address);  // the low 12 bits of the family word

// "a.b.c.d", with ":port" when the port is not 0; the node form as "NNNN.nn" with ":ss" when the
// socket number is not 0. -7003 for any other family, -7001 without room (text holds capacity bytes).
Status AddressToText(const NetAddress* address, char* text, size_t capacity);
