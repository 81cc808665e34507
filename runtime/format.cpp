#include "runtime/format.h"

#include <cstring>

namespace {

// Output with a hard limit: every character, literal or converted, counts against it.
class Output {
 public:
  Output(char* destination, size_t room) : next_(destination), room_(room) {}

  bool full() const { return room_ == 0; }
  size_t written() const { return written_; }
  char* end() const { return next_; }

  void Put(char c) {
    if (room_ == 0) return;
    *next_++ = c;
    --room_;
    ++written_;
  }
  void Put(const char* text, size_t count) {
    if (count > room_) count = room_;
    if (count == 0) return;
    std::memcpy(next_, text, count);
    next_ += count;
    room_ -= count;
    written_ += count;
  }
  void Repeat(char c, size_t count) {
    if (count > room_) count = room_;
    std::memset(next_, c, count);
    next_ += count;
    room_ -= count;
    written_ += count;
  }

 private:
  char* next_;
  size_t room_;
  size_t written_ = 0;
};

struct Directive {
  bool left = false;      // "-": left-justify (texts only)
  bool plus = false;      // "+": sign for non-zero non-negative numbers
  bool blank = false;     // " ": precision 0 and value 0 give one blank
  bool prefixed = false;  // "#": the text argument is length-prefixed
  bool zero = false;      // "0": pad numbers with zeros
  bool hasWidth = false;
  bool hasPrecision = false;
  size_t width = 0;
  size_t precision = 0;
  int bits = 32;  // argument width taken from the length letters
};

class ArgumentList {
 public:
  ArgumentList(const FormatArg* args, size_t count) : next_(args), end_(args + count) {}
  // Past the last argument the list yields missing arguments: zero, and no text.
  const FormatArg& Next() { return next_ == end_ ? missing_ : *next_++; }

 private:
  static inline const FormatArg missing_{};
  const FormatArg* next_;
  const FormatArg* end_;
};

const char kLowerDigits[] = "0123456789abcdef";
const char kUpperDigits[] = "0123456789ABCDEF";

// Writes value's digits right-aligned ending at `end`; returns where they start.
char* Digits(char* end, uint64_t value, unsigned base, const char* digits) {
  do {
    *--end = digits[value % base];
    value /= base;
  } while (value);
  return end;
}

uint64_t TakeBits(uint64_t raw, int bits, bool sign) {
  switch (bits) {
    case 16: return sign ? uint64_t(int64_t(int16_t(raw))) : uint16_t(raw);
    case 32: return sign ? uint64_t(int64_t(int32_t(raw))) : uint32_t(raw);
    default: return raw;
  }
}

void WriteNumber(Output& out, const Directive& d, char conversion, uint64_t raw) {
  const bool isSigned = conversion == 'd' || conversion == 'i';
  uint64_t value = TakeBits(raw, d.bits, isSigned);
  bool negative = false;
  if (isSigned && int64_t(value) < 0) {
    negative = true;
    value = 0 - value;
  }

  unsigned base = 10;
  const char* digitSet = kLowerDigits;
  if (conversion == 'o') base = 8;
  if (conversion == 'x') base = 16;
  if (conversion == 'X') base = 16, digitSet = kUpperDigits;

  const size_t precision = d.hasPrecision ? d.precision : 1;
  if (precision == 0 && value == 0 && d.blank) return out.Put(' ');

  char buffer[24];
  char* end = buffer + sizeof buffer;
  const char* first = Digits(end, value, base, digitSet);
  const size_t digitCount = size_t(end - first);

  if (negative) out.Put('-');
  else if (d.plus && value != 0) out.Put('+');  // every base, unlike C

  const size_t count = digitCount < precision ? precision : digitCount;
  const size_t field = d.hasWidth && d.width > count ? d.width : count;
  out.Repeat(d.zero ? '0' : ' ', field - count);
  out.Repeat('0', count - digitCount);
  out.Put(first, digitCount);
}

void WritePointer(Output& out, uint64_t value) {
  // Eight digits, as on the 32-bit product; a 64-bit address that needs more keeps all of its digits.
  char buffer[16];
  const size_t count = value > UINT32_MAX ? 16 : 8;
  for (size_t i = count; i-- > 0; value >>= 4) buffer[i] = kUpperDigits[value & 15];
  out.Put("0x", 2);
  out.Put(buffer, count);
}

void WriteText(Output& out, const Directive& d, const FormatArg& arg) {
  const char* text = arg.kind() == FormatArg::Kind::Text ? static_cast<const char*>(arg.pointer()) : nullptr;
  size_t length;
  if (d.prefixed) {
    length = text ? uint8_t(text[0]) : 0;
    if (text) ++text;
  } else {
    if (!text) text = "<NULL>";
    // With a width the field is known: look no further into the text than the field.
    length = d.hasWidth ? strnlen(text, d.width) : std::strlen(text);
  }
  const size_t field = d.hasWidth ? d.width : length;
  size_t taken = length < field ? length : field;
  if (d.hasPrecision && d.precision < taken) taken = d.precision;
  if (d.left) {
    out.Put(text, taken);
    out.Repeat(' ', field - taken);
  } else {
    out.Repeat(' ', field - taken);
    out.Put(text, taken);
  }
}

size_t ParseDigits(const char*& p) {
  size_t value = 0;
  while (*p >= '0' && *p <= '9') value = value * 10 + size_t(*p++ - '0');
  return value;
}

}  // namespace

char* FormatTextList(char* destination, size_t capacity, const char* format, const FormatArg* args,
                     size_t count) {
  if (capacity == 0) return destination;
  Output out(destination, capacity - 1);
  ArgumentList arguments(args, count);
  const char* p = format;

  while (*p && !out.full()) {
    if (*p != '%') {
      const char* run = p;
      while (*p && *p != '%') ++p;
      out.Put(run, size_t(p - run));
      continue;
    }
    const char* start = p++;
    Directive d;
    for (;; ++p) {
      if (*p == '-') d.left = true;
      else if (*p == '+') d.plus = true;
      else if (*p == ' ') d.blank = true;
      else if (*p == '#') d.prefixed = true;
      else if (*p == '0') d.zero = true;
      else break;
    }
    if (*p == '*') {
      d.hasWidth = true;
      d.width = uint32_t(arguments.Next().bits());
      ++p;
    } else if (*p >= '0' && *p <= '9') {
      d.hasWidth = true;
      d.width = ParseDigits(p);
    }
    if (*p == '.') {
      d.hasPrecision = true;
      if (*++p == '*') {
        d.precision = uint32_t(arguments.Next().bits());
        ++p;
      } else {
        d.precision = ParseDigits(p);
      }
    }
    if (*p == 'h') d.bits = 16, ++p;
    else if (*p == 'l' && p[1] == 'l') d.bits = 64, p += 2;
    else if (*p == 'l') d.bits = 32, ++p;
    else if (*p == 'L' || *p == 'q') d.bits = 64, ++p;

    const char conversion = *p;
    switch (conversion) {
      case '%':
        out.Put('%');
        break;
      case 'd': case 'i': case 'u': case 'o': case 'x': case 'X':
        WriteNumber(out, d, conversion, arguments.Next().bits());
        break;
      case 'c':
        out.Put(char(arguments.Next().bits()));
        break;
      case 's':
        WriteText(out, d, arguments.Next());
        break;
      case 'p':
        WritePointer(out, arguments.Next().bits());
        break;
      case 'n': {
        const FormatArg& arg = arguments.Next();
        if (arg.kind() == FormatArg::Kind::Counter) {
          const int32_t written = int32_t(out.written());
          std::memcpy(const_cast<void*>(arg.pointer()), &written, sizeof written);
        }
        break;
      }
      default:
        // Not a conversion: the directive is copied as it stands, up to the format's end if need be.
        out.Put(start, size_t(p - start) + (conversion ? 1 : 0));
        break;
    }
    if (!conversion) break;
    ++p;
  }
  *out.end() = '\0';
  return destination;
}
