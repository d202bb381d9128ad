// Runs our profile reader over a corpus of INI files and their query lists and compares its
// answers, line by line, with answers recorded from the platform's own reader (ini_probe).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace marvane::ini_probe {

struct CorpusFileResult {
  std::string name;
  int queries = 0;
  // Answers that differ where our reader is meant to differ (see AllowedDifference).
  int allowed = 0;
  std::vector<std::string> disagreements;
};

// The names of the corpus files in a directory: NAME for every NAME.queries, sorted.
std::vector<std::string> CorpusNames(const std::filesystem::path& dir);

// Reads NAME.queries and NAME.ini (a missing .ini is a missing file) from corpus_dir and the
// recorded answers NAME.expected from expected_dir.
CorpusFileResult CompareCorpusFile(const std::filesystem::path& corpus_dir, const std::string& name,
                                   const std::filesystem::path& expected_dir, os::TextCodec& codec);

}  // namespace marvane::ini_probe
