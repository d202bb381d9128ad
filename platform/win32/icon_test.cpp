#include "platform/win32/icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace marvane::os::win32 {
namespace {

void Put(std::string* bytes, std::size_t at, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i)
    (*bytes)[at + i] = static_cast<char>(value >> (8 * i));
}

// An icon file holding one 16 x 16 image of 32 bits per pixel.
std::string IconFile() {
  const std::size_t image = 40 + 16 * 16 * 4 + 16 * 4;
  std::string bytes(6 + 16 + image, '\0');
  Put(&bytes, 2, 1, 2);  // type: icon
  Put(&bytes, 4, 1, 2);  // one image
  bytes[6] = 16;
  bytes[7] = 16;
  Put(&bytes, 6 + 4, 1, 2);        // planes
  Put(&bytes, 6 + 6, 32, 2);       // bits per pixel
  Put(&bytes, 6 + 8, image, 4);    // size
  Put(&bytes, 6 + 12, 6 + 16, 4);  // offset
  std::size_t header = 6 + 16;
  Put(&bytes, header, 40, 4);
  Put(&bytes, header + 4, 16, 4);
  Put(&bytes, header + 8, 32, 4);  // twice the height: colour and mask
  Put(&bytes, header + 12, 1, 2);
  Put(&bytes, header + 14, 32, 2);
  for (std::size_t p = header + 40; p < header + 40 + 16 * 16 * 4; p += 4) {
    Put(&bytes, p, 0xFF2060A0, 4);
  }
  return bytes;
}

TEST(IconFromFileTest, LoadsAValidFileAndRefusesBrokenOnes) {
  const std::string good = IconFile();
  std::string cursor = good;
  cursor[2] = 2;
  std::string no_images = good;
  no_images[4] = 0;
  std::string outside = good;
  Put(&outside, 6 + 12, static_cast<std::uint32_t>(good.size()), 4);  // data past the end
  std::string too_big = good;
  Put(&too_big, 6 + 8, static_cast<std::uint32_t>(good.size()), 4);
  const struct {
    const char* name;
    std::string bytes;
    bool loads;
  } cases[] = {
      {"good", good, true},
      {"cursor file", cursor, false},
      {"no images", no_images, false},
      {"data outside", outside, false},
      {"size past the end", too_big, false},
      {"directory cut short", good.substr(0, 12), false},
      {"empty", "", false},
  };
  for (const auto& c : cases) {
    for (int size : {16, 32, 48}) {
      HICON icon = IconFromFile(c.bytes, size, size);
      EXPECT_EQ(icon != nullptr, c.loads) << c.name << " " << size;
      if (!icon) continue;
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      BITMAP bitmap{};
      GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
      EXPECT_EQ(bitmap.bmWidth, size) << "scaled to the size asked for";
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(icon);
    }
  }
}

}  // namespace
}  // namespace marvane::os::win32
