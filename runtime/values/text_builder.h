// A text built piece by piece straight on the runtime heap, so that it becomes a Text without a
// last copy: a line of a file, or the MAC list of a million clients.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "runtime/values/heap.h"
#include "runtime/values/values.h"

namespace marvane {

class TextBuilder {
 public:
  TextBuilder() = default;
  ~TextBuilder() { Free(data_); }
  TextBuilder(const TextBuilder&) = delete;
  TextBuilder& operator=(const TextBuilder&) = delete;

  bool empty() const { return size_ == 0; }
  std::size_t size() const { return size_; }
  char back() const { return data_[size_ - 1]; }
  void DropLast() { --size_; }

  void Append(std::string_view bytes) {
    const std::size_t n = bytes.size();
    if (n == 0) return;
    if (size_ + n + 1 > capacity_) {
      // The first piece gets exactly its room (most lines arrive whole), later ones double it.
      std::size_t capacity = capacity_ ? capacity_ : n + 1;
      while (capacity < size_ + n + 1)
        capacity *= 2;
      data_ = static_cast<char*>(Reallocate(data_, capacity));
      capacity_ = capacity;
    }
    std::memcpy(data_ + size_, bytes.data(), n);
    size_ += n;
  }
  void Append(char c) { Append(std::string_view(&c, 1)); }

  // The text built, as a Text owned by the caller; null when empty. A block with one spare byte
  // (a CR dropped) is kept as it is, a larger one is cut to the length + 1, in place.
  Text Release() {
    if (size_ == 0) return nullptr;
    auto text = capacity_ <= size_ + 2 ? data_ : static_cast<char*>(Reallocate(data_, size_ + 1));
    text[size_] = '\0';
    data_ = nullptr;
    size_ = capacity_ = 0;
    return text;
  }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace marvane
