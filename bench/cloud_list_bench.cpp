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

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "app/cloud_list_reader.h"
#include "bench/per_client.h"
#include "platform/platform.h"

namespace {

using marvane::bench::kSizes;

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
  return marvane::bench::WriteWholeFile(ListPath(clients), text);
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
  marvane::bench::CountPerClient(state, clients);
}
BENCHMARK(BM_ReadCloudUpdateList)
    ->Arg(kSizes[0])
    ->Arg(kSizes[1])
    ->Arg(kSizes[2])
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const bool fresh = argc > 1 && std::string(argv[1]) == "--fresh";
  g_directory = marvane::bench::MakeWorkDirectory("cloud-bench");
  if (g_directory.empty()) return 2;
  for (std::int64_t clients : kSizes) {
    if (!WriteList(clients)) return 2;
  }
  // The profile reader keeps a file's index only once the file's times are a few seconds old;
  // a list that was just written would be parsed again for every lookup.
  if (!fresh) std::this_thread::sleep_for(std::chrono::milliseconds(2500));

  const int verdict = marvane::bench::RunAndJudge();
  std::filesystem::remove_all(g_directory);
  return verdict;
}
