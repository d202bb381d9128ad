#include "platform/headless/headless_window_system.h"
#include "platform/window_system_contract.h"

namespace marvane::os::contract {
namespace {

class HeadlessHarness final : public Harness {
 public:
  WindowSystem& system() override { return system_; }
  std::vector<std::string> StatusTexts(WindowHandle bar) override {
    std::vector<std::string> texts;
    for (const StatusPart& part : system_.StatusParts(bar))
      texts.push_back(part.text);
    return texts;
  }
  std::uint32_t CursorOver(WindowHandle window) override { return system_.CursorOf(window); }
  void Type(WindowHandle edit, char character) override {
    system_.Type(edit, std::string(1, character));
    system_.PostQuit(0);
    system_.RunMessageLoop({});
  }

 private:
  headless::HeadlessWindowSystem system_;
};

}  // namespace

std::unique_ptr<Harness> MakeHarness() {
  return std::make_unique<HeadlessHarness>();
}

}  // namespace marvane::os::contract
