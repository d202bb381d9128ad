// What the reader benchmarks share: the list sizes, a directory for the generated lists, the time
// per client as a counter, and the verdict that the time per client stays flat as lists grow.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace marvane::bench {

inline constexpr std::int64_t kSizes[] = {1'000, 10'000, 100'000};
// The largest size's time per client may be this many times the smallest size's.
inline constexpr double kAllowedRatio = 1.5;

// A fresh directory under the system's temporary directory; empty when none could be made.
std::string MakeWorkDirectory(const char* prefix);
// Writes text to path whole; false on any failure.
bool WriteWholeFile(const std::string& path, const std::string& text);
// Sets the "per_client" counter of a benchmark that handles clients per iteration.
void CountPerClient(benchmark::State& state, std::int64_t clients);
// Runs the registered benchmarks, prints the time per client at the smallest and the largest
// size and their ratio: 0 when the ratio is within kAllowedRatio (or was not measured), else 1.
int RunAndJudge();

}  // namespace marvane::bench
