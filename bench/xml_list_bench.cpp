// Converts generated XML client lists of 1,000, 10,000 and 100,000 clients and shows that the
// time per client stays flat: finding the n-th client must not walk the n - 1 before it.
//
//   xml_list_bench [benchmark flags]
//
// Prints the usual table with the time per client, then the ratio of the time per client at the
// largest size to that at the smallest; it exits with 1 when the ratio exceeds 1.5.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/xml_list_reader.h"
#include "bench/per_client.h"
#include "platform/platform.h"

namespace {

using marvane::bench::kSizes;

std::string g_directory;

std::string ListPath(std::int64_t clients) {
  return g_directory + "/clients-" + std::to_string(clients) + ".xml";
}

// The shape of an exported list: a declaration, one element per client with a few fields, CR LF
// line ends and GBK machine names.
bool WriteList(std::int64_t clients) {
  const std::string room = marvane::os::Current().codec->Utf16ToGbk(u"网吧");
  std::string text = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<ClientInfor>\r\n";
  text.reserve(static_cast<std::size_t>(clients) * 200);
  char line[256];
  for (std::int64_t i = 0; i < clients; ++i) {
    const auto n = static_cast<unsigned long long>(i);
    std::snprintf(line, sizeof line,
                  "  <Client>\r\n    <Id>%llu</Id>\r\n    <Mac>001A%08llX</Mac>\r\n    <Name>", n,
                  n);
    text += line;
    text += room;
    std::snprintf(line, sizeof line,
                  "%06llu</Name>\r\n    <Ip>10.%llu.%llu.%llu</Ip>\r\n"
                  "    <Note>a &amp; b</Note>\r\n  </Client>\r\n",
                  n, (n >> 16) & 0xFF, (n >> 8) & 0xFF, n & 0xFF);
    text += line;
  }
  text += "</ClientInfor>\r\n";
  return marvane::bench::WriteWholeFile(ListPath(clients), text);
}

void BM_ReadXmlClientList(benchmark::State& state) {
  const std::int64_t clients = state.range(0);
  const std::string path = ListPath(clients);
  for (auto _ : state) {
    std::int32_t count = 0;
    marvane::OwnedText list(marvane::app::ReadXmlClientList(path.c_str(), &count));
    if (count != clients || !list) state.SkipWithError("wrong client count");
    benchmark::DoNotOptimize(list.get());
  }
  marvane::bench::CountPerClient(state, clients);
}
// The warm-up keeps the first reads of a size, which also settle how the C library hands out
// large blocks, out of the steady figures; the verdict takes the median of three runs, so one run
// slowed by other work on the machine does not decide it.
BENCHMARK(BM_ReadXmlClientList)
    ->Arg(kSizes[0])
    ->Arg(kSizes[1])
    ->Arg(kSizes[2])
    ->MinWarmUpTime(0.5)
    ->MinTime(1.0)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!marvane::os::Current().files) {
    std::fprintf(stderr, "no file system in this build\n");
    return 2;
  }
  g_directory = marvane::bench::MakeWorkDirectory("xml-bench");
  if (g_directory.empty()) return 2;
  for (std::int64_t clients : kSizes) {
    if (!WriteList(clients)) return 2;
  }

  const int verdict = marvane::bench::RunAndJudge();
  std::filesystem::remove_all(g_directory);
  return verdict;
}
