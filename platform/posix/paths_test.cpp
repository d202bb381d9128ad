#include "platform/posix/paths.h"

#include <gtest/gtest.h>

namespace marvane::os::posix {
namespace {

TEST(PathsTest, RuntimeAndKernelForms) {
  struct Case {
    const char* runtime;  // GBK
    const char* native;   // UTF-8; empty: names no file
  };
  const Case cases[] = {
      {"\\tmp\\x\\mac_sample.txt", "/tmp/x/mac_sample.txt"},
      {"\\tmp\\\xC4\xBF\xC2\xBC\\\xC1\xD0\xB1\xED.ini", "/tmp/目录/列表.ini"},
      {"\\tmp\\\x81\x5C\\a", "/tmp/乗/a"},  // 5C as a trail byte is no separator
      {"\\tmp\\\x81\x20", ""},              // an invalid byte pair
      {"\\tmp\\\xC1", ""},                  // a lead byte without its trail byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.native);
    EXPECT_EQ(ToNativePath(c.runtime), c.native);
    if (*c.native) {
      EXPECT_EQ(ToRuntimePath(c.native), c.runtime);
    }
  }
  EXPECT_EQ(ToNativePath("a/b\\c"), "a/b/c");  // the runtime may write "/" as well
  EXPECT_EQ(ToRuntimePath("/home/Bj\xC3\xB6rn"), "\\home\\Bj??rn");  // GBK has no ö
}

}  // namespace
}  // namespace marvane::os::posix
