#include "bench/per_client.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

namespace marvane::bench {
namespace {

// Keeps the seconds per client of each size: the median of the repetitions, or the one run when
// there are none.
class PerClientReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      auto it = run.counters.find("per_client");
      if (it == run.counters.end()) continue;
      const std::int64_t size = std::strtoll(run.run_name.args.c_str(), nullptr, 10);
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        per_client[size] = it->second.value;
        from_median.insert(size);
      } else if (run.run_type == Run::RT_Iteration && !from_median.count(size)) {
        per_client[size] = it->second.value;
      }
    }
  }
  std::set<std::int64_t> from_median;
  std::map<std::int64_t, double> per_client;
};

}  // namespace

std::string MakeWorkDirectory(const char* prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + "-XXXXXX";
  return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && written;
}

void CountPerClient(benchmark::State& state, std::int64_t clients) {
  state.counters["per_client"] =
      benchmark::Counter(static_cast<double>(state.iterations() * clients),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

int RunAndJudge() {
  PerClientReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  constexpr std::int64_t kSmallest = kSizes[0];
  constexpr std::int64_t kLargest = kSizes[std::size(kSizes) - 1];
  const auto small = reporter.per_client.find(kSmallest);
  const auto large = reporter.per_client.find(kLargest);
  if (small == reporter.per_client.end() || large == reporter.per_client.end()) return 0;
  const double ratio = large->second / small->second;
  std::printf("time per client: %.3g us at %lld, %.3g us at %lld; ratio %.2f (allowed %.1f)\n",
              small->second * 1e6, static_cast<long long>(kSmallest), large->second * 1e6,
              static_cast<long long>(kLargest), ratio, kAllowedRatio);
  return ratio <= kAllowedRatio ? 0 : 1;
}

}  // namespace marvane::bench
