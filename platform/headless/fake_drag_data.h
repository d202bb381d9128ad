// The data a scripted drag carries: texts by format and a dropped-file list.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace marvane::os::headless {

class FakeDragData final : public DragData {
 public:
  static FakeDragData Files(std::vector<std::string> paths);
  static FakeDragData Text(std::string text);

  // Offers text in a format (kTextFormat or a registered one).
  FakeDragData& AddText(std::uint32_t format, std::string text);
  FakeDragData& SetFiles(std::vector<std::string> paths);
  // Offers a format whose data cannot be read, as when the source fails to render it.
  FakeDragData& AddUnreadable(std::uint32_t format);

  bool HasFormat(std::uint32_t format) override;
  bool GetText(std::uint32_t format, std::string* text) override;
  bool GetFiles(std::vector<std::string>* paths) override;

  // How often the target read the data (GetText and GetFiles, successful or not).
  int reads() const { return reads_; }

 private:
  std::map<std::uint32_t, std::optional<std::string>> texts_;  // nullopt: unreadable
  std::optional<std::vector<std::string>> files_;
  bool files_unreadable_ = false;
  int reads_ = 0;
};

}  // namespace marvane::os::headless
