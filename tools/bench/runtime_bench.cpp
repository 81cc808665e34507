// The formatter against the C library on the order program's own formats, and the handle table with
// a realistic number of live handles.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "runtime/format.h"
#include "runtime/memory.h"

namespace {

void FormatPrice(benchmark::State& state) {
  char buffer[64];
  long dollars = 30, cents = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(dollars);
    benchmark::DoNotOptimize(cents);
    benchmark::DoNotOptimize(FormatText(buffer, sizeof buffer, "$%ld.%.2ld", dollars, cents));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(FormatPrice);

void SnprintfPrice(benchmark::State& state) {
  char buffer[64];
  long dollars = 30, cents = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(dollars);
    benchmark::DoNotOptimize(cents);
    benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "$%ld.%.2ld", dollars, cents));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(SnprintfPrice);

void FormatColour(benchmark::State& state) {
  char buffer[64];
  long red = 0x12, green = 0xAB, blue = 0x7;
  for (auto _ : state) {
    benchmark::DoNotOptimize(red);
    benchmark::DoNotOptimize(FormatText(buffer, sizeof buffer, "#%2.2lX%2.2lX%2.2lX", red, green, blue));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(FormatColour);

void SnprintfColour(benchmark::State& state) {
  char buffer[64];
  long red = 0x12, green = 0xAB, blue = 0x7;
  for (auto _ : state) {
    benchmark::DoNotOptimize(red);
    benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "#%2.2lX%2.2lX%2.2lX", red, green, blue));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(SnprintfColour);

const char kOrderLine[] = "Name: Jane Buyer, Example Company Ltd., 12 High Street, Springfield";

void FormatString(benchmark::State& state) {
  char buffer[128];
  const char* line = kOrderLine;
  for (auto _ : state) {
    benchmark::DoNotOptimize(line);
    benchmark::DoNotOptimize(FormatText(buffer, sizeof buffer, "%s", line));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(FormatString);

void SnprintfString(benchmark::State& state) {
  char buffer[128];
  const char* line = kOrderLine;
  for (auto _ : state) {
    benchmark::DoNotOptimize(line);
    benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%s", line));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(SnprintfString);

// New and dispose of one handle while `live` others exist: every HandleNew walks the whole table.
void HandleNewDispose(benchmark::State& state) {
  std::vector<UniqueHandle> live;
  for (int64_t i = 0; i < state.range(0); ++i) live.emplace_back(HandleNew(16));
  for (auto _ : state) {
    MemoryHandle handle = HandleNew(64);
    benchmark::DoNotOptimize(handle);
    HandleDispose(handle);
  }
}
BENCHMARK(HandleNewDispose)->Arg(0)->Arg(1000);

}  // namespace
