// The page archive as the program takes it from its own resources: shared with the build-time tool
// that makes it, so that both agree on what fits.
#pragma once

#include <cstdint>

constexpr uint32_t kPageArchiveResourceId = 1000;
constexpr char kPageArchiveResourceType[] = "CHNK";
constexpr uint32_t kPageArchiveMaximumSize = 2048000;
