#include "runtime/values/core.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "runtime/values/values.h"
#include "tests/support/runtime_fixture.h"

namespace marvane {
namespace {

using testing::Gbk;

class CoreTest : public testing::RuntimeTest {};

class NullFile : public os::File {
 public:
  explicit NullFile(int* destroyed) : destroyed_(destroyed) {}
  ~NullFile() override { ++*destroyed_; }
  std::int64_t Read(void*, std::size_t) override { return 0; }
  bool Write(const void*, std::size_t) override { return true; }
  bool Seek(std::uint64_t) override { return true; }
  std::int64_t Position() override { return 0; }
  std::int64_t Length() override { return 0; }
  bool Flush() override { return true; }
  bool Close() override { return true; }

 private:
  int* destroyed_;
};

TEST_F(CoreTest, OpenFileTableKeepsKindsAndRemovesOnce) {
  int destroyed = 0;
  auto a = open_files::Register(std::make_unique<NullFile>(&destroyed), open_files::kPlainFile);
  auto* object = new NullFile(&destroyed);
  auto b = static_cast<std::uint32_t>(
      RuntimeRequest(request::kRegisterFile, reinterpret_cast<std::intptr_t>(object), 1));
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  // Registered again, the object keeps its one entry.
  EXPECT_EQ(RuntimeRequest(request::kRegisterFile, reinterpret_cast<std::intptr_t>(object), 1), b);
  EXPECT_EQ(open_files::Count(), 2u);
  EXPECT_EQ(RuntimeRequest(request::kFileKind, a, 0), 1);
  EXPECT_EQ(RuntimeRequest(request::kFileKind, 12345, 0), -1);
  EXPECT_EQ(RuntimeRequest(request::kUnregisterFile, b, 0), 1);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(RuntimeRequest(request::kUnregisterFile, b, 0), 0);
  EXPECT_EQ(RuntimeRequest(request::kFileKind, b, 0), -1);
  EXPECT_NE(open_files::Unregister(a), nullptr);
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(open_files::Count(), 0u);
}

TEST_F(CoreTest, MemoryRequests) {
  auto block = RuntimeRequest(request::kAllocate, 16, 0);
  ASSERT_NE(block, 0);
  block = RuntimeRequest(request::kReallocate, block, 64);
  ASSERT_NE(block, 0);
  RuntimeRequest(request::kFree, block, 0);

  heap_.set_largest(10);
  // Quiet: null instead of the report.
  EXPECT_EQ(RuntimeRequest(request::kAllocate, 100, 1), 0);
  EXPECT_TRUE(dialogs_.shown().empty());
  EXPECT_EQ(RunToEnd([] { RuntimeRequest(request::kAllocate, 100, 0); }), -1);
  EXPECT_EQ(dialogs_.shown().size(), 1u);
}

TEST_F(CoreTest, RunDirectoryRequestGivesTheCoreCopy) {
  SetRunDirectory("C:\\Tools");
  EXPECT_STREQ(reinterpret_cast<const char*>(RuntimeRequest(request::kRunDirectory, 0, 0)),
               "C:\\Tools");
  SetRunDirectory("");
  EXPECT_EQ(RuntimeRequest(request::kRunDirectory, 0, 0), 0);
}

TEST_F(CoreTest, MissingComponentIsFatalOnlyForTheFailingRequest) {
  EXPECT_EQ(RuntimeRequest(request::kComponentObject, 0x52010001, 0x16010015), 0);
  EXPECT_TRUE(dialogs_.shown().empty());
  auto code = RunToEnd([] { RuntimeRequest(request::kComponentObjectOrFail, 0x52010001, 5); });
  EXPECT_EQ(code, -1);
  ASSERT_EQ(dialogs_.shown().size(), 1u);
  EXPECT_EQ(dialogs_.shown()[0].text,
            Gbk("运行时出错!\r\n\r\n错误信息：指定窗口或窗口组件不存在或尚未载入\r\n\r\n"
                "1375797249, 5\r\n未找到所指定的窗口\r\n"));
}

TEST_F(CoreTest, FatalAndEndRequests) {
  static const char message[] = "boom";
  EXPECT_EQ(RunToEnd([] {
              RuntimeRequest(request::kFatal, reinterpret_cast<std::intptr_t>(message), 0);
            }),
            -1);
  EXPECT_EQ(dialogs_.shown().at(0).text, Gbk("运行时出错!\r\n\r\n错误信息：boom\r\n\r\n0, 0\r\n"));
  EXPECT_EQ(RunToEnd([] { RuntimeRequest(request::kEndProgram, 0, 0); }), 0);
  EXPECT_EQ(RuntimeRequest(9999, 1, 2), 0);
}

}  // namespace
}  // namespace marvane
