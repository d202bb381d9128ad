#include "platform/win32/icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace marvane::os::win32 {
namespace {

void Put(std::string* bytes, std::size_t at, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i)
    (*bytes)[at + i] = static_cast<char>(value >> (8 * i));
}

// An icon file holding one square image of 32 bits per pixel, a checkerboard of two colours
// (0xAARRGGBB) starting with `even` at the top left.
std::string IconFile(int side = 16, std::uint32_t even = 0xFF2060A0,
                     std::uint32_t odd = 0xFF2060A0) {
  const std::size_t pixels = std::size_t(side) * side;
  const std::size_t image = 40 + pixels * 4 + side * ((side + 31) / 32 * 4);
  std::string bytes(6 + 16 + image, '\0');
  Put(&bytes, 2, 1, 2);  // type: icon
  Put(&bytes, 4, 1, 2);  // one image
  bytes[6] = static_cast<char>(side);
  bytes[7] = static_cast<char>(side);
  Put(&bytes, 6 + 4, 1, 2);        // planes
  Put(&bytes, 6 + 6, 32, 2);       // bits per pixel
  Put(&bytes, 6 + 8, image, 4);    // size
  Put(&bytes, 6 + 12, 6 + 16, 4);  // offset
  std::size_t header = 6 + 16;
  Put(&bytes, header, 40, 4);
  Put(&bytes, header + 4, side, 4);
  Put(&bytes, header + 8, 2 * side, 4);  // twice the height: colour and mask
  Put(&bytes, header + 12, 1, 2);
  Put(&bytes, header + 14, 32, 2);
  for (std::size_t p = 0; p < pixels; ++p) {
    Put(&bytes, header + 40 + 4 * p, (p / side + p % side) % 2 ? odd : even, 4);
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

// An image larger than asked is averaged down to exactly the size asked, colours weighted by alpha:
// opaque blue and transparent red average to partly covered blue, with no red in it. Drawn on
// white, every pixel is then as much red as green, and fully blue.
TEST(IconFromFileTest, LargerImagesAreAveragedDown) {
  const std::string file = IconFile(48, 0xFF0000FF, 0x00FF0000);
  for (int size : {16, 20, 24, 32}) {
    SCOPED_TRACE(size);
    HICON icon = IconFromFile(file, size, size);
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, size);
    EXPECT_EQ(bitmap.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    BITMAPINFO target{};
    target.bmiHeader = {sizeof target.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(canvas, nullptr);
    std::memset(bits, 0xFF, std::size_t(size) * size * 4);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ before = SelectObject(dc, canvas);
    EXPECT_TRUE(DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
    GdiFlush();
    int wrong = 0;
    for (int p = 0; p < size * size; ++p) {
      const std::uint32_t pixel = static_cast<const std::uint32_t*>(bits)[p];
      const int red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
      if (blue < 254 || std::abs(red - green) > 1 || red < 64 || red > 192) {
        if (wrong++ == 0) ADD_FAILURE() << "pixel " << p << " is " << std::hex << pixel;
      }
    }
    EXPECT_EQ(wrong, 0);
    SelectObject(dc, before);
    DeleteDC(dc);
    DeleteObject(canvas);
    DestroyIcon(icon);
  }
}

}  // namespace
}  // namespace marvane::os::win32
