#include "net/address.h"

#include "runtime/byte_order.h"
#include "runtime/format.h"
#include "runtime/memory.h"
#include "runtime/text.h"

namespace {

// Offsets inside the socket address: the family word is in the machine's order, like the socket
// structures; everything after it is in network order.
constexpr size_t kFamilyAt = 0;
constexpr size_t kPortAt = 2;
constexpr size_t kIpv4At = 4;
constexpr size_t kNetworkAt = 2;
constexpr size_t kNodeAt = 4;
constexpr size_t kNodeSocketAt = 5;
constexpr uint32_t kNodeAddressLength = 6;

}  // namespace

uint16_t NetOrder16(uint16_t value) {
  uint8_t bytes[2] = {uint8_t(value >> 8), uint8_t(value)};
  uint16_t swapped;
  BytesCopy(&swapped, bytes, sizeof swapped);
  return swapped;
}

uint32_t NetOrder32(uint32_t value) {
  uint8_t bytes[4];
  PutBig32(bytes, value);
  uint32_t swapped;
  BytesCopy(&swapped, bytes, sizeof swapped);
  return swapped;
}

void AddressClear(NetAddress* address) {
  address->length = 0;
  BytesZero(address->socketAddress, sizeof address->socketAddress);
}

void AddressSetInternet(NetAddress* address, uint16_t netPort, uint32_t netAddress) {
  AddressClear(address);
  address->length = kInternetAddressLength;
  const uint16_t family = kFamilyInternet;
  BytesCopy(address->socketAddress + kFamilyAt, &family, sizeof family);
  BytesCopy(address->socketAddress + kPortAt, &netPort, sizeof netPort);
  BytesCopy(address->socketAddress + kIpv4At, &netAddress, sizeof netAddress);
}

uint16_t AddressFamily(const NetAddress* address) {
  if (address->length < 2) return 0;
  uint16_t family;
  BytesCopy(&family, address->socketAddress + kFamilyAt, sizeof family);
  return family & 0x0FFF;
}

void AddressGetInternet(const NetAddress* address, uint16_t* netPort, uint32_t* netAddress) {
  if (netPort) *netPort = 0;
  if (netAddress) *netAddress = 0;
  if (AddressFamily(address) != kFamilyInternet || address->length != kInternetAddressLength) return;
  if (netPort) BytesCopy(netPort, address->socketAddress + kPortAt, sizeof *netPort);
  if (netAddress) BytesCopy(netAddress, address->socketAddress + kIpv4At, sizeof *netAddress);
}

void AddressCopy(NetAddress* destination, const NetAddress* source) {
  // A damaged length must not carry the copy past the record.
  const uint32_t length = source->length < kSocketAddressBytes ? source->length : kSocketAddressBytes;
  destination->length = length;
  BytesCopy(destination->socketAddress, source->socketAddress, length);
}

bool AddressIsEmpty(const NetAddress* address) { return AddressFamily(address) == 0; }

Status AddressToText(const NetAddress* address, char* text, size_t capacity) {
  if (!text || capacity == 0) return kErrArgument;
  text[0] = '\0';
  char formed[kAddressTextSize];
  const uint8_t* bytes = address->socketAddress;
  if (AddressFamily(address) == kFamilyInternet && address->length == kInternetAddressLength) {
    const uint32_t port = GetBig16(bytes + kPortAt);
    const uint8_t* ip = bytes + kIpv4At;
    if (port != 0)
      FormatText(formed, sizeof formed, "%u.%u.%u.%u:%u", ip[0], ip[1], ip[2], ip[3], port);
    else
      FormatText(formed, sizeof formed, "%u.%u.%u.%u", ip[0], ip[1], ip[2], ip[3]);
  } else if (AddressFamily(address) == kFamilyNodeNumber && address->length >= kNodeAddressLength) {
    const uint32_t network = GetBig16(bytes + kNetworkAt);
    char* end = network != 0 ? FormatText(formed, sizeof formed, "%04X", network)
                             : TextCopy(formed, "0");
    end += TextLength(end);
    end = FormatText(end, formed + sizeof formed - end, ".%02X", bytes[kNodeAt]);
    end += TextLength(end);
    if (bytes[kNodeSocketAt] != 0) FormatText(end, formed + sizeof formed - end, ":%02X", bytes[kNodeSocketAt]);
  } else {
    return kErrUnsupported;
  }
  if (TextLength(formed) >= capacity) return kErrArgument;
  TextCopy(text, formed);
  return kOk;
}
