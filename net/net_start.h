// Starting the network: Windows Sockets 1.1, the families that work on this machine, and the idle
// task that ticks the endpoints.
#pragma once

#include <cstdint>

#include "runtime/status.h"

// Family bits: bit 0 the Internet family; bit 1 the node-number family, probed but never used here.
constexpr uint32_t kNetFamilyInternet = 1u << 0;
constexpr uint32_t kNetFamilyNodeNumber = 1u << 1;
constexpr uint32_t kNetFamilyAny = 0xFFFFFFFF;

// Starts the platform if needed and the sockets once (WSACleanup runs when the platform stops), then
// probes each requested family not yet probed. -7101 when the sockets cannot start, when no family
// works, or when a specific set was asked for and not all of it works.
Status NetStart(uint32_t families);
// The families found working so far.
uint32_t NetFamilies();
