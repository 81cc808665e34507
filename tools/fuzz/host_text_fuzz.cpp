// Fuzz target: the host texts that name a mail server, and the text form of addresses. The input, up
// to its first NUL, is read as a dotted address and split into a name and a port, each from a block of
// exactly the text's size so that a read past its end is caught. A dotted address that is read must
// print (through the address record) as a text that is read again to the same address and port, and it
// must be what the form allows, checked here field by field. A split must give a name that starts the
// text and holds no separator, and a port that, written after the name, splits again to the same two.
// The input's bytes are also formatted as an address record of any family and length.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/address.h"
#include "net/host_text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(char c) { return c == ':' || c == ',' || c == ' '; }

// The digits at *at, at most `most` of them (none is 0), up to `maximum`.
bool Field(const std::string& text, size_t* at, size_t most, uint32_t maximum, uint32_t* value) {
  const size_t start = *at;
  while (*at < text.size() && IsDigit(text[*at])) ++*at;
  if (*at - start > most) return false;
  const std::string digits = text.substr(start, *at - start);
  *value = digits.empty() ? 0 : uint32_t(std::stoul(digits));
  return *value <= maximum;
}

// The dotted form: four fields of at most 3 digits and at most 255 joined by '.', then perhaps a
// separator and a port of at most 5 digits and at most 65535, then the end.
bool DottedForm(const std::string& text, uint32_t* ipv4, uint16_t* port) {
  size_t at = 0;
  uint32_t address = 0, value = 0;
  for (int i = 0; i < 4; ++i) {
    if (!Field(text, &at, 3, 255, &value)) return false;
    address = address << 8 | value;
    if (i < 3 && (at >= text.size() || text[at++] != '.')) return false;
  }
  value = 0;
  if (at < text.size() && IsSeparator(text[at])) {
    ++at;
    if (!Field(text, &at, 5, 65535, &value)) return false;
  }
  if (at != text.size()) return false;
  *ipv4 = address;
  *port = uint16_t(value);
  return true;
}

// Parses from a block of exactly the text and its NUL.
bool ParseDotted(const std::string& text, uint32_t* ipv4, uint16_t* port) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  const bool parsed = HostTextParseDotted(copy, ipv4, port);
  std::free(copy);
  return parsed;
}

bool Split(const std::string& text, std::string* name, uint16_t* port) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  char* field = static_cast<char*>(std::malloc(kHostNameSize));
  const bool split = HostTextSplit(copy, field, port);
  if (split) {
    Check(std::memchr(field, '\0', kHostNameSize) != nullptr);
    *name = field;
  }
  std::free(field);
  std::free(copy);
  return split;
}

void CheckDotted(const std::string& text) {
  uint32_t ipv4 = 0x5A5A5A5A, expectedIpv4 = 0;
  uint16_t port = 0x5A5A, expectedPort = 0;
  const bool parsed = ParseDotted(text, &ipv4, &port);
  Check(parsed == DottedForm(text, &expectedIpv4, &expectedPort));
  if (!parsed) {
    Check(ipv4 == 0x5A5A5A5A && port == 0x5A5A);  // untouched
    return;
  }
  Check(ipv4 == expectedIpv4 && port == expectedPort);

  NetAddress address;
  AddressSetInternet(&address, NetOrder16(port), NetOrder32(ipv4));
  char printed[kAddressTextSize];
  Check(AddressToText(&address, printed, sizeof printed) == kOk);
  uint32_t again = 0;
  uint16_t againPort = 0;
  Check(ParseDotted(printed, &again, &againPort) && again == ipv4 && againPort == port);
  // The printed form is the plain one: decimal numbers without leading zeros, no port when it is 0.
  std::string plain;
  for (int shift = 24; shift >= 0; shift -= 8) plain += std::to_string(ipv4 >> shift & 0xFF) + (shift ? "." : "");
  if (port != 0) plain += ":" + std::to_string(port);
  Check(plain == printed);
}

void CheckSplit(const std::string& text) {
  std::string name;
  uint16_t port = 0;
  if (!Split(text, &name, &port)) return;
  Check(!name.empty() && name.size() < kHostNameSize && text.compare(0, name.size(), name) == 0);
  for (char c : name) Check(!IsSeparator(c));
  if (name.size() == text.size()) Check(port == 0);
  std::string rejoined = name;
  if (port != 0) rejoined += ":" + std::to_string(port);
  std::string againName;
  uint16_t againPort = 1;
  Check(Split(rejoined, &againName, &againPort) && againName == name && againPort == port);
}

// Any record formats into a NUL-terminated text within the room given, or is refused.
void CheckFormatting(const uint8_t* data, size_t size) {
  if (size < 5) return;
  NetAddress address;
  AddressClear(&address);
  address.length = data[0] < 0xF0 ? data[0] % 24 : 0xFFFFFFF0u + data[0] % 16;  // sometimes damaged
  std::memcpy(address.socketAddress, data + 2, std::min<size_t>(size - 2, kSocketAddressBytes));
  const size_t capacity = 1 + data[1] % kAddressTextSize;
  char* text = static_cast<char*>(std::malloc(capacity));
  const Status status = AddressToText(&address, text, capacity);
  Check(status == kOk || status == kErrArgument || status == kErrUnsupported);
  if (status == kOk) Check(std::memchr(text, '\0', capacity) != nullptr);
  std::free(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
  CheckDotted(text);
  CheckSplit(text);
  CheckFormatting(data, size);
  return 0;
}
