// Names of archive entries travel in the escaped form of path components: "%" and two hexadecimal
// digits stand for a byte, so that a name may hold a "/" (a%2Fb names the entry a/b) while a raw "/",
// ":" or "\" separates components and is refused inside one. Names are stored decoded.
#pragma once

#include <cstddef>

#include "runtime/status.h"

constexpr size_t kEscapedNameSize = 256;  // up to 255 bytes and a NUL, either form

// Decodes into name (kEscapedNameSize bytes). -7201 for a raw "/", ":" or "\", and for an escape that
// gives a NUL byte (it would cut the name short). An escape that would give ":" or "\" stays literal, as
// does a "%" without two hexadecimal digits after it. The result is cut at 255 bytes.
Status ArchiveNameDecode(const char* escaped, char* name);

// Encodes into escaped (kEscapedNameSize bytes): tab, line feed, carriage return, "%", "/", ":" and "\"
// become "%" and two upper-case hexadecimal digits. The result is cut at 255 bytes, never inside an escape.
void ArchiveNameEncode(const char* name, char* escaped);
