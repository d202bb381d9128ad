#include "runtime/values/runtime_error.h"

#include <gtest/gtest.h>

#include <map>

#include "runtime/values/core.h"
#include "tests/support/runtime_fixture.h"

namespace marvane {
namespace {

using testing::Gbk;

class RuntimeErrorTest : public testing::RuntimeTest {};

// A loaded window 0x52010001 tagged "主窗口" with one unit 0x16010015 tagged "列表".
class FakeWindows : public WindowDirectory {
 public:
  bool WindowTag(std::uint32_t window, std::string* tag) const override {
    if (window != 0x52010001) return false;
    *tag = Gbk("主窗口");
    return true;
  }
  bool UnitTag(std::uint32_t window, std::uint32_t unit, std::string* tag) const override {
    if (window != 0x52010001) return false;
    if (unit == 0) return *tag = "", true;
    if (unit == 0x16010015) return *tag = Gbk("列表"), true;
    return false;  // missing, or a menu item
  }
  std::intptr_t ComponentObject(std::uint32_t, std::uint32_t) const override { return 0; }
  std::uintptr_t SystemWindowOf(std::intptr_t) const override { return 0; }
};

TEST_F(RuntimeErrorTest, IndexReportHasEveryLine) {
  auto code = RunToEnd([] { ReportRuntimeError(1, 67174439, 235); });
  EXPECT_EQ(code, -1);
  ASSERT_EQ(dialogs_.shown().size(), 1u);
  EXPECT_EQ(dialogs_.shown()[0].text,
            Gbk("运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n"
                "\r\n67174439, 235\r\n"));
  EXPECT_EQ(dialogs_.shown()[0].caption, Gbk("错误"));
  EXPECT_EQ(dialogs_.shown()[0].style, 0x10u);
}

TEST_F(RuntimeErrorTest, ReportLinesDependOnNumberAndMessage) {
  struct Case {
    const char* message;
    int number;
    const char* expected;  // UTF-8
  };
  const Case cases[] = {
      {"", 0, "运行时出错!\r\n\r\n0, 0\r\n"},
      {"", 7, "运行时出错!\r\n\r\n错误代码：7\r\n\r\n0, 0\r\n"},
      {"m", 0, "运行时出错!\r\n\r\n错误信息：m\r\n\r\n0, 0\r\n"},
      {"m", -3, "运行时出错!\r\n\r\n错误代码：-3\r\n\r\n错误信息：m\r\n\r\n0, 0\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComposeRuntimeErrorReport(c.message, c.number, 0, 0), Gbk(c.expected));
  }
}

TEST_F(RuntimeErrorTest, DetailNamesWindowAndComponent) {
  FakeWindows windows;
  SetWindowDirectory(&windows);
  struct Case {
    std::int32_t a, b;
    const char* detail;  // UTF-8, after the head line
  };
  const Case cases[] = {
      // Tags are enclosed in double quotes; the window's own unit is unit 0.
      {0x52010001, 0x16010015, "\r\n1375797249, 369164309\r\n\"主窗口\"\r\n\"列表\"\r\n"},
      {0x52010001, 0, "\r\n1375797249, 0\r\n\"主窗口\"\r\n\"\"\r\n"},
      {0x52010001, 0x16010099,
       "\r\n1375797249, 369164441\r\n\"主窗口\"\r\n未找到所指定的窗口组件\r\n"},
      {0x52010002, 5, "\r\n1375797250, 5\r\n未找到所指定的窗口\r\n"},
      // Bits 24-27 are not 2: not a window identifier, no lookup.
      {0x16010015, 0, "\r\n369164309, 0\r\n"},
      {-1, -2, "\r\n-1, -2\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComposeRuntimeErrorReport("", 0, c.a, c.b), Gbk("运行时出错!\r\n") + Gbk(c.detail));
  }
}

TEST_F(RuntimeErrorTest, EveryTableNumberHasItsMessage) {
  EXPECT_EQ(RuntimeErrorMessage(0), "");
  EXPECT_EQ(RuntimeErrorMessage(12), "");
  EXPECT_EQ(RuntimeErrorMessage(4), Gbk("数组成员引用下标必须大于等于1"));
  EXPECT_EQ(RuntimeErrorMessage(11), Gbk("所提供参数的数据类型不符合要求"));
  for (int n = 1; n <= 11; ++n)
    EXPECT_FALSE(RuntimeErrorMessage(n).empty()) << n;
}

TEST_F(RuntimeErrorTest, ArrayIndexCheck) {
  struct Case {
    std::int64_t index;
    std::uint64_t count;
    std::optional<int> error;  // number in the report, none when the access is fine
  };
  const Case cases[] = {{1, 3, {}}, {3, 3, {}}, {0, 3, 4}, {-1, 3, 4}, {4, 3, 1}, {1, 0, 1}};
  for (const Case& c : cases) {
    dialogs_.Clear();
    auto code = RunToEnd([&] { CheckArrayIndex(c.index, c.count, 9, 8); });
    if (!c.error) {
      EXPECT_FALSE(code.has_value()) << c.index;
      continue;
    }
    EXPECT_EQ(code, -1);
    ASSERT_EQ(dialogs_.shown().size(), 1u);
    EXPECT_NE(dialogs_.shown()[0].text.find(Gbk("错误代码：") + std::to_string(*c.error)),
              std::string::npos);
  }
}

TEST_F(RuntimeErrorTest, EndSequenceRunsBeforeTheExit) {
  static int ended_with = 0;
  SetEndSequence([](int code) { ended_with = code; });
  auto code = RunToEnd([] { ReportFatal("x", 0, 0, 0); });
  EXPECT_EQ(code, -1);
  EXPECT_EQ(ended_with, -1);
}

}  // namespace
}  // namespace marvane
