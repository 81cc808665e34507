// Whole files in and out of memory handles, for the native tools.
#pragma once

#include <cstddef>
#include <string>

#include "runtime/memory.h"

// False (errno says why) when the file cannot be read or memory runs out.
bool ReadFile(const std::string& path, UniqueHandle* contents);
// Through a temporary file and a rename, so that a failure leaves no half-written file behind.
bool WriteFile(const std::string& path, const void* bytes, size_t size);
