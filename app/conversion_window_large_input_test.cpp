// Inputs built to exhaust memory, the stack or time, through the whole program. Slow under the
// sanitizers, so kept apart from the other drops.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include "app/drop_and_save_fixture.h"
#include "runtime/commands/file/file_commands.h"

namespace marvane::app {
namespace {

using testing::Gbk;
using testing::TempDirectory;

class LargeInputTest : public DropAndSaveTest {};

// A file of `size` bytes that starts with `head` and holds nothing else: its blocks are never
// written, so it costs no disk space.
std::string Sparse(const TempDirectory& dir, const std::string& head, std::uint64_t size) {
  const std::string path = dir.Write("huge.ini", head);
  EXPECT_EQ(::truncate(path.c_str(), static_cast<off_t>(size)), 0);
  return path;
}

// Inputs built to exhaust memory, the stack or time. Each must finish in seconds.
TEST_F(LargeInputTest, HostileSizesFinishQuickly) {
  TempDirectory in;
  constexpr std::size_t kLine = 50u << 20;
  constexpr int kDepth = 1'000'000;
  const std::string cloud_head = "[00-1A-2B-3C-4D-5E]Name=PC001 IPAddr=1 ";
  const std::string client = "<Client><Mac>001A2B3C4D5E</Mac><Name>PC</Name></Client>";
  const std::size_t clients = kLine / client.size();
  std::string nested = "<ClientInfor>";
  for (int i = 0; i < kDepth; ++i)
    nested += "<a>";
  std::string unclosed = nested;
  for (int i = 0; i < kDepth; ++i)
    nested += "</a>";
  nested += "</ClientInfor>";

  struct Case {
    const char* name;
    std::function<std::string()> make;  // the dropped path
    std::string status;
    std::size_t lines;  // of the MAC list; 0: refused
  };
  const Case cases[] = {
      // Would be recognised, but is one byte over the read limit: refused before any is read.
      {"over the read limit",
       [&] { return Sparse(in, "[A]\r\nName=x\r\nIPAddr=1\r\n", commands::kReadLimit + 1); }, "",
       0},
      {"cloud list on one 50 MB line",
       [&] { return in.Write("line.ini", cloud_head + std::string(kLine, 'x')); }, Gbk(" 共 1 条"),
       1},
      {"XML list on one 50 MB line",
       [&] {
         std::string doc = "<ClientInfor>";
         doc.reserve(kLine + 64);
         for (std::size_t i = 0; i < clients; ++i)
           doc += client;
         return in.Write("line.xml", doc + "</ClientInfor>");
       },
       Gbk(" 共 " + std::to_string(clients) + " 条"), clients},
      {"XML nested a million deep", [&] { return in.Write("deep.xml", nested); }, Gbk(" 共 1 条"),
       1},
      {"XML nested a million deep, unclosed", [&] { return in.Write("open.xml", unclosed); },
       Gbk(" 共 0 条"), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = c.make();
    const Outcome out = DropAndSave({path});
    std::printf("[ timing   ] %s: %.2f s\n", c.name, out.seconds);
    EXPECT_EQ(out.exit_code, 0);
    EXPECT_LT(out.seconds, 60.0);
    EXPECT_EQ(out.state.status_text, c.status);
    std::size_t lines = 0;
    if (!out.state.edit_text.empty()) {
      lines = 1;
      for (std::size_t at = 0; (at = out.state.edit_text.find("\r\n", at)) != std::string::npos;
           at += 2)
        ++lines;
    }
    EXPECT_EQ(lines, c.lines);
    if (c.lines == 0) {
      EXPECT_EQ(TempDirectory::Read(saved_list()), kPreviousList);
    } else {
      EXPECT_EQ(TempDirectory::Read(saved_list()), out.state.edit_text);
    }
    std::remove(path.c_str());
  }
}

}  // namespace
}  // namespace marvane::app
