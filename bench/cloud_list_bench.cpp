// Converts generated cloud-update lists of 1,000, 10,000 and 100,000 clients and shows that the
// time per client stays flat: each client's "Name" lookup must cost the same however long the list.
//
//   cloud_list_bench [--fresh] [benchmark flags]
//
// --fresh measures lists just written, whose index the profile reader does not keep yet.
//
// Prints the usual table with the time per client, then the ratio of the time per client at the
// largest size to that at the smallest; it exits with 1 when the ratio exceeds 1.5.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "app/cloud_list_reader.h"
#include "platform/platform.h"

namespace {

constexpr std::int64_t kSizes[] = {1'000, 10'000, 100'000};
constexpr double kAllowedRatio = 1.5;

std::string g_directory;

std::string ListPath(std::int64_t clients) {
  return g_directory + "/clients-" + std::to_string(clients) + ".ini";
}

// Sections named by MAC address with Name= (GBK) and IPAddr= keys, CR LF line ends.
bool WriteList(std::int64_t clients) {
  const std::string room = marvane::os::Current().codec->Utf16ToGbk(u"网吧");
  std::string text;
  text.reserve(static_cast<std::size_t>(clients) * 64);
  char line[160];
  for (std::int64_t i = 0; i < clients; ++i) {
    const auto n = static_cast<unsigned long long>(i);
    std::snprintf(line, sizeof line,
                  "[00-1A-%02llX-%02llX-%02llX-%02llX]\r\nName=", (n >> 24) & 0xFF,
                  (n >> 16) & 0xFF, (n >> 8) & 0xFF, n & 0xFF);
    text += line;
    text += room;
    std::snprintf(line, sizeof line, "%06llu\r\nIPAddr=10.%llu.%llu.%llu\r\n", n, (n >> 16) & 0xFF,
                  (n >> 8) & 0xFF, n & 0xFF);
    text += line;
  }
  std::FILE* f = std::fopen(ListPath(clients).c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && written;
}

void BM_ReadCloudUpdateList(benchmark::State& state) {
  const std::int64_t clients = state.range(0);
  const std::string path = ListPath(clients);
  for (auto _ : state) {
    std::int32_t count = 0;
    marvane::OwnedText list(marvane::app::ReadCloudUpdateList(path.c_str(), &count));
    if (count != clients || !list) state.SkipWithError("wrong client count");
    benchmark::DoNotOptimize(list.get());
  }
  state.counters["per_client"] =
      benchmark::Counter(static_cast<double>(state.iterations() * clients),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadCloudUpdateList)
    ->Arg(kSizes[0])
    ->Arg(kSizes[1])
    ->Arg(kSizes[2])
    ->Unit(benchmark::kMillisecond);

// Keeps the seconds per client of each size for the verdict.
class PerClientReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      auto it = run.counters.find("per_client");
      if (it == run.counters.end() || run.run_type != Run::RT_Iteration) continue;
      const std::string name = run.benchmark_name();
      per_client[std::stoll(name.substr(name.rfind('/') + 1))] = it->second.value;
    }
  }
  std::map<std::int64_t, double> per_client;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const bool fresh = argc > 1 && std::string(argv[1]) == "--fresh";
  std::string pattern = (std::filesystem::temp_directory_path() / "cloud-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) return 2;
  g_directory = pattern;
  for (std::int64_t clients : kSizes) {
    if (!WriteList(clients)) return 2;
  }
  // The profile reader keeps a file's index only once the file's times are a few seconds old;
  // a list that was just written would be parsed again for every lookup.
  if (!fresh) std::this_thread::sleep_for(std::chrono::milliseconds(2500));

  PerClientReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::filesystem::remove_all(g_directory);

  const auto small = reporter.per_client.find(kSizes[0]);
  const auto large = reporter.per_client.find(kSizes[2]);
  if (small == reporter.per_client.end() || large == reporter.per_client.end()) return 0;
  const double ratio = large->second / small->second;
  std::printf("time per client: %.3g us at %lld, %.3g us at %lld; ratio %.2f (allowed %.1f)\n",
              small->second * 1e6, static_cast<long long>(kSizes[0]), large->second * 1e6,
              static_cast<long long>(kSizes[2]), ratio, kAllowedRatio);
  return ratio <= kAllowedRatio ? 0 : 1;
}
