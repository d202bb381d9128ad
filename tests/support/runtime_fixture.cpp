#include "tests/support/runtime_fixture.h"

#include "runtime/values/core.h"
#include "runtime/values/values.h"

namespace marvane::testing {
namespace {

os::Services TestServices(os::headless::ScriptedDialogs* dialogs,
                          os::headless::UnwindingProcess* process, os::Heap* heap) {
  os::Services services = os::DefaultServices();
  services.dialogs = dialogs;
  services.process = process;
  services.heap = heap;
  return services;
}

}  // namespace

RuntimeTest::RuntimeTest() : services_(TestServices(&dialogs_, &process_, &heap_)) {}

RuntimeTest::~RuntimeTest() {
  SetEndSequence(nullptr);
  SetWindowDirectory(nullptr);
}

std::optional<int> RuntimeTest::RunToEnd(const std::function<void()>& body) {
  try {
    body();
  } catch (const os::headless::ProcessExit& exit) {
    return exit.code;
  }
  return std::nullopt;
}

std::string Gbk(std::string_view utf8) {
  std::u16string wide;
  // UTF-8 to UTF-16 by hand: the codec's other direction is what is under test elsewhere.
  for (std::size_t i = 0; i < utf8.size();) {
    auto c = static_cast<unsigned char>(utf8[i]);
    char32_t cp;
    int n;
    if (c < 0x80) {
      cp = c, n = 1;
    } else if (c < 0xE0) {
      cp = c & 0x1F, n = 2;
    } else if (c < 0xF0) {
      cp = c & 0x0F, n = 3;
    } else {
      cp = c & 0x07, n = 4;
    }
    for (int k = 1; k < n && i + k < utf8.size(); ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    i += n;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      wide.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      wide.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      wide.push_back(static_cast<char16_t>(cp));
    }
  }
  return os::DefaultServices().codec->Utf16ToGbk(wide);
}

}  // namespace marvane::testing
