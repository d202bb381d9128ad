// Writes component data in the stored encoding, for creating a component anew from its current
// settings (the inverse of StreamReader).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace marvane::ui {

class StoredDataWriter {
 public:
  void U32(std::uint32_t v) { Raw(&v, 4); }
  void U16(std::uint16_t v) { Raw(&v, 2); }
  void Counted(std::string_view bytes) {
    U32(static_cast<std::uint32_t>(bytes.size()));
    out_.append(bytes);
  }
  std::string Take() { return std::move(out_); }

 private:
  // Little-endian hosts only, as the stored encoding.
  void Raw(const void* p, std::size_t n) { out_.append(static_cast<const char*>(p), n); }
  std::string out_;
};

}  // namespace marvane::ui
