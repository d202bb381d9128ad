#include "platform/headless/fake_drag_data.h"

#include <utility>

namespace marvane::os::headless {

FakeDragData FakeDragData::Files(std::vector<std::string> paths) {
  FakeDragData data;
  data.SetFiles(std::move(paths));
  return data;
}

FakeDragData FakeDragData::Text(std::string text) {
  FakeDragData data;
  data.AddText(kTextFormat, std::move(text));
  return data;
}

FakeDragData& FakeDragData::AddText(std::uint32_t format, std::string text) {
  texts_[format] = std::move(text);
  return *this;
}

FakeDragData& FakeDragData::SetFiles(std::vector<std::string> paths) {
  files_ = std::move(paths);
  files_unreadable_ = false;
  return *this;
}

FakeDragData& FakeDragData::AddUnreadable(std::uint32_t format) {
  if (format == kFilesFormat) {
    files_unreadable_ = true;
  } else {
    texts_[format] = std::nullopt;
  }
  return *this;
}

bool FakeDragData::HasFormat(std::uint32_t format) {
  if (format == kFilesFormat) return files_.has_value() || files_unreadable_;
  return texts_.count(format) != 0;
}

bool FakeDragData::GetText(std::uint32_t format, std::string* text) {
  ++reads_;
  // A file list is not text in global memory.
  if (format == kFilesFormat) return false;
  auto it = texts_.find(format);
  if (it == texts_.end() || !it->second) return false;
  *text = *it->second;
  return true;
}

bool FakeDragData::GetFiles(std::vector<std::string>* paths) {
  ++reads_;
  if (files_unreadable_ || !files_) return false;
  *paths = *files_;
  return true;
}

}  // namespace marvane::os::headless
