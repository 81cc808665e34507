// The rules an entry of the order form must pass before the walk goes on: the buyer's name, address
// and e-mail address. Pure: the page side reads a control's text and asks here.
#pragma once

#include <cstddef>

struct EntryRule {
  const char* required;  // when given and the text is not empty, the text holds one of these characters
  size_t minimum;        // length in bytes
  size_t maximum;        // 0: no upper limit
  bool digitsOnly;       // nothing but digits may follow the leading digits
};

// A first and a last name: at least one character and a blank between them.
inline constexpr EntryRule kNameRule{" ", 1, 0, false};
// An address on two lines or more; a one-line address only with 30 characters or more.
inline constexpr EntryRule kAddressLinesRule{"\r\n", 1, 0, false};
inline constexpr EntryRule kAddressLengthRule{nullptr, 30, 0, false};
// No e-mail address at all, or one with an "@".
inline constexpr EntryRule kEmailRule{"@", 0, 0, false};

bool EntryPasses(const char* text, const EntryRule& rule);
