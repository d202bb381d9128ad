// A fresh directory for one test's files, removed with everything in it when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace marvane::testing {

class TempDirectory {
 public:
  TempDirectory() {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) base = "/tmp";
    // A name nobody else has taken: create_directory fails on an existing one.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      std::filesystem::path candidate = base / ("marvane-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate.string();
    }
    EXPECT_FALSE(path_.empty()) << "cannot make a temporary directory";
  }
  ~TempDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  const std::string& path() const { return path_; }
  // The full path of a name inside the directory.
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

  // Writes bytes to a file inside the directory; returns its full path.
  std::string Write(std::string_view name, std::string_view bytes) const {
    std::string full = *this / name;
    std::FILE* f = std::fopen(full.c_str(), "wb");
    EXPECT_NE(f, nullptr) << full;
    if (f) {
      EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
      EXPECT_EQ(std::fclose(f), 0);
    }
    return full;
  }

  // The bytes of a file, or nothing when it cannot be read.
  static std::optional<std::string> Read(const std::string& full) {
    std::FILE* f = std::fopen(full.c_str(), "rb");
    if (!f) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
      bytes.append(chunk, n);
    std::fclose(f);
    return bytes;
  }

 private:
  std::string path_;
};

}  // namespace marvane::testing
