#include <gtest/gtest.h>

#include <vector>

#include "runtime/commands/file/file_commands.h"
#include "runtime/values/core.h"
#include "tests/support/runtime_fixture.h"
#include "tests/support/values_helpers.h"

namespace marvane::commands {
namespace {

using testing::Gbk;
using testing::Omitted;

class MessageBoxTest : public testing::RuntimeTest {
 protected:
  ~MessageBoxTest() override { SetRunDirectory(""); }
};

// One loaded window (id 0x52010001) whose own unit has the system window 0x4711.
class OneWindow : public WindowDirectory {
 public:
  static constexpr std::uint32_t kId = 0x52010001;
  bool WindowTag(std::uint32_t, std::string*) const override { return false; }
  bool UnitTag(std::uint32_t, std::uint32_t, std::string*) const override { return false; }
  std::intptr_t ComponentObject(std::uint32_t window, std::uint32_t unit) const override {
    return window == kId && unit == 0 ? 77 : 0;
  }
  std::uintptr_t SystemWindowOf(std::intptr_t object) const override {
    return object == 77 ? 0x4711 : 0;
  }
};

TEST_F(MessageBoxTest, TextCaptionStyleAndOwner) {
  OneWindow window;
  SetWindowDirectory(&window);
  const ValueRecord window_ref = {OneWindow::kId, 0x16010001, type::kWindow};
  const ValueRecord other_window = {0x52010002, 0, type::kWindow};
  static const std::uint32_t int_array[] = {1, 1, 5};
  ValueRecord date_time = DoubleValue(2.5);  // 1900-01-01, noon
  date_time.type = type::kDateTime;
  struct Case {
    std::vector<ValueRecord> args;
    std::string text;
    std::string caption;
    std::uint32_t style;
    os::WindowHandle owner;
  };
  const std::string info = Gbk("信息：");
  const Case cases[] = {
      {{TextArg("x"), IntValue(0x10)}, "x", info, 0x2010, 0},
      {{TextArg("x"), IntValue(0x1000)}, "x", info, 0x1000, 0},
      {{TextArg("x"), IntValue(0x1040)}, "x", info, 0x1040, 0},
      {{TextArg("x")}, "x", info, 0x2000, 0},
      {{TextArg("x"), Omitted(), TextArg("t")}, "x", "t", 0x2000, 0},
      {{TextArg("x"), Omitted(), TextArg("")}, "x", "", 0x2000, 0},  // given, though empty
      {{PointerValue(nullptr, type::kText)}, "", info, 0x2000, 0},
      {{IntValue(-42)}, "-42", info, 0x2000, 0},
      {{DoubleValue(1.5)}, "1.5", info, 0x2000, 0},
      {{BoolValue(true)}, Gbk("真"), info, 0x2000, 0},
      {{BoolValue(false)}, Gbk("假"), info, 0x2000, 0},
      {{date_time}, "1900-01-01 12:00:00", info, 0x2000, 0},
      {{ByteSetArg(nullptr)}, "", info, 0x2000, 0},
      {{PointerValue(int_array, type::kInt | type::kArrayFlag)}, "", info, 0x2000, 0},
      {{window_ref}, "", info, 0x2000, 0},
      // The owner: a loaded window, a handle, or nothing.
      {{TextArg("x"), IntValue(0), Omitted(), window_ref}, "x", info, 0x2000, 0x4711},
      {{TextArg("x"), IntValue(0), Omitted(), other_window}, "x", info, 0x2000, 0},
      {{TextArg("x"), IntValue(0), Omitted(), IntValue(0x1234)}, "x", info, 0x2000, 0x1234},
      {{TextArg("x"), IntValue(0), Omitted(), BoolValue(true)}, "x", info, 0x2000, 0},
      {{TextArg("x"), IntValue(0), Omitted(), Omitted()}, "x", info, 0x2000, 0},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n++);
    dialogs_.Clear();
    std::vector<ValueRecord> args = c.args;
    ValueRecord r =
        CallCoreCommand(ShowMessageBox, static_cast<std::int32_t>(args.size()), args.data());
    EXPECT_EQ(r.type, type::kInt);
    ASSERT_EQ(dialogs_.shown().size(), 1u);
    EXPECT_EQ(dialogs_.shown()[0].text, c.text);
    EXPECT_EQ(dialogs_.shown()[0].caption, c.caption);
    EXPECT_EQ(dialogs_.shown()[0].style, c.style);
    EXPECT_EQ(dialogs_.shown()[0].owner, c.owner);
  }
}

TEST_F(MessageBoxTest, OwnerOnlyFromAFourthArgumentPassed) {
  ValueRecord args[] = {TextArg("x"), IntValue(0), TextArg("c"), IntValue(0x1234)};
  CallCoreCommand(ShowMessageBox, 3, args);
  ASSERT_EQ(dialogs_.shown().size(), 1u);
  EXPECT_EQ(dialogs_.shown()[0].owner, 0u);
}

TEST_F(MessageBoxTest, ButtonsMapToIndexes) {
  const int answers[] = {1, 2, 3, 4, 5, 6, 7, 0, 8, 11, -1};
  const std::int32_t expected[] = {0, 1, 2, 3, 4, 5, 6, 0, 0, 0, 0};
  for (std::size_t i = 0; i < std::size(answers); ++i) {
    SCOPED_TRACE(answers[i]);
    dialogs_.Answer(answers[i]);
    EXPECT_EQ(IntOf(CallCore(ShowMessageBox, {TextArg("x"), IntValue(0x24)})), expected[i]);
  }
}

TEST_F(MessageBoxTest, GetRunDirectoryCopiesTheCoreText) {
  struct Case {
    const char* directory;
    std::optional<std::string> expected;
  };
  const Case cases[] = {{"C:\\Tools", "C:\\Tools"}, {"C:", "C:"}, {"", std::nullopt}};
  for (const Case& c : cases) {
    SetRunDirectory(c.directory);
    ValueRecord r = CallCore(GetRunDirectory, {});
    EXPECT_EQ(r.type, type::kText);
    if (c.expected) {
      EXPECT_NE(PointerOf(r), static_cast<const void*>(RunDirectory()));
    }
    EXPECT_EQ(testing::TakeText(r), c.expected);
  }
}

}  // namespace
}  // namespace marvane::commands
