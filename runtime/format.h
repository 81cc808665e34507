// The system's own printf-like formatter. Its rules differ from the C library's on purpose, and the
// differences show in every text the program writes:
//   - a width is an exact field size for "s": longer texts are cut to it;
//   - a sign is written in front of a padded number ("%5d" on -42 gives "-   42");
//   - "#" makes the argument of "s" a length-prefixed text;
//   - "p" writes "0x" and eight upper-case hexadecimal digits;
//   - a directive with an unknown conversion is copied as it stands.
// Lengths: none and "l" take 32 bits, "h" 16 bits, "ll", "L" and "q" 64 bits, whatever the C++ type of
// the argument. Arguments are checked at compile time to be integers, texts or pointers.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <type_traits>

class FormatArg {
 public:
  enum class Kind : uint8_t { Missing, Integer, Text, Pointer, Counter };

  constexpr FormatArg() = default;
  template <std::integral T>
  constexpr FormatArg(T value)  // NOLINT: implicit by design, like a variadic argument
      : kind_(Kind::Integer), bits_(std::is_signed_v<T> ? uint64_t(int64_t(value)) : uint64_t(value)) {}
  template <class E>
    requires std::is_enum_v<E>
  constexpr FormatArg(E value) : FormatArg(std::underlying_type_t<E>(value)) {}
  constexpr FormatArg(std::nullptr_t) : kind_(Kind::Text) {}
  template <class T>
  FormatArg(T* pointer) : pointer_(pointer) {
    using Pointee = std::remove_cv_t<T>;
    if constexpr (std::is_same_v<Pointee, char> || std::is_same_v<Pointee, unsigned char> ||
                  std::is_same_v<Pointee, signed char>) {
      kind_ = Kind::Text;
    } else if constexpr (std::is_integral_v<Pointee>) {
      // A writable 32-bit integer may receive the count of "n".
      kind_ = sizeof(Pointee) == 4 && !std::is_const_v<T> ? Kind::Counter : Kind::Pointer;
    } else {
      kind_ = Kind::Pointer;
    }
    bits_ = uint64_t(reinterpret_cast<uintptr_t>(pointer));
  }
  FormatArg(float) = delete;  // the formatter has no floating-point conversions
  FormatArg(double) = delete;
  FormatArg(long double) = delete;

  Kind kind() const { return kind_; }
  uint64_t bits() const { return bits_; }
  const void* pointer() const { return pointer_; }

 private:
  Kind kind_ = Kind::Missing;
  uint64_t bits_ = 0;
  const void* pointer_ = nullptr;
};

// Capacity counts the terminating NUL: at most capacity - 1 characters are written, and the text is
// always terminated (nothing at all is written for capacity 0). Returns destination.
char* FormatTextList(char* destination, size_t capacity, const char* format, const FormatArg* args,
                     size_t count);

template <class... Args>
char* FormatText(char* destination, size_t capacity, const char* format, const Args&... args) {
  const FormatArg list[sizeof...(Args) + 1] = {FormatArg(args)..., FormatArg()};
  return FormatTextList(destination, capacity, format, list, sizeof...(Args));
}

template <class... Args>
char* FormatTextUnbounded(char* destination, const char* format, const Args&... args) {
  const FormatArg list[sizeof...(Args) + 1] = {FormatArg(args)..., FormatArg()};
  return FormatTextList(destination, SIZE_MAX, format, list, sizeof...(Args));
}
