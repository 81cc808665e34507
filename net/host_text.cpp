#include "net/host_text.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsPortSeparator(char c) { return c == ':' || c == ',' || c == ' '; }

// Reads at most maxDigits decimal digits (possibly none) at *at; false past the limit or above maximum.
bool ReadNumber(const char*& at, int maxDigits, uint32_t maximum, uint32_t* value) {
  uint32_t number = 0;
  int digits = 0;
  for (; IsDigit(*at); ++at) {
    if (++digits > maxDigits) return false;
    number = number * 10 + uint32_t(*at - '0');
  }
  if (number > maximum) return false;
  *value = number;
  return true;
}

}  // namespace

bool HostTextParseDotted(const char* text, uint32_t* ipv4, uint16_t* port) {
  if (!text) return false;
  const char* at = text;
  uint32_t address = 0;
  for (int field = 0; field < 4; ++field) {
    uint32_t value;
    if (!ReadNumber(at, 3, 255, &value)) return false;
    address = address << 8 | value;
    if (field < 3 && *at++ != '.') return false;
  }
  uint32_t portValue = 0;
  if (IsPortSeparator(*at)) {
    ++at;
    if (!ReadNumber(at, 5, 65535, &portValue)) return false;
  }
  if (*at != '\0') return false;
  *ipv4 = address;
  *port = uint16_t(portValue);
  return true;
}

bool HostTextSplit(const char* text, char* name, uint16_t* port) {
  if (!text) return false;
  size_t length = 0;
  while (text[length] != '\0' && !IsPortSeparator(text[length])) {
    if (length + 1 >= kHostNameSize) return false;
    name[length] = text[length];
    ++length;
  }
  name[length] = '\0';
  if (length == 0) return false;
  uint32_t portValue = 0;
  if (text[length] != '\0') {
    const char* at = text + length + 1;
    if (!ReadNumber(at, 5, 65535, &portValue) || *at != '\0') return false;
  }
  *port = uint16_t(portValue);
  return true;
}
