// What the program sells and for which platform: shown on the pages and written into the order.
#pragma once

constexpr char kProductName[] = "Skyward";
constexpr char kPlatformName[] = "Windows";
