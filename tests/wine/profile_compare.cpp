// Compares our profile reader with the answers ini_probe recorded from the platform's reader.
//
//   profile_compare <recorded-dir> <corpus-dir>...
//
// Fails on any disagreement, on a corpus without files, and on a missing recorded answer.
#include <cstdio>

#include "platform/platform.h"
#include "tools/ini-probe/corpus_compare.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: profile_compare <recorded-dir> <corpus-dir>...\n");
    return 2;
  }
  marvane::os::TextCodec* codec = marvane::os::Current().codec;
  if (codec == nullptr) {
    std::fprintf(stderr, "no text codec in this build\n");
    return 2;
  }
  int files = 0, queries = 0, allowed = 0, disagreements = 0;
  for (int i = 2; i < argc; ++i) {
    for (const auto& name : marvane::ini_probe::CorpusNames(argv[i])) {
      auto result = marvane::ini_probe::CompareCorpusFile(argv[i], name, argv[1], *codec);
      ++files;
      queries += result.queries;
      allowed += result.allowed;
      for (const auto& d : result.disagreements) {
        std::printf("DISAGREE %s\n", d.c_str());
        ++disagreements;
      }
    }
  }
  std::printf(
      "compared %d files, %d queries: %d disagreements, %d known platform faults "
      "answered soundly\n",
      files, queries, disagreements, allowed);
  return files > 0 && disagreements == 0 ? 0 : 1;
}
