#include "platform/win32/icon.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace marvane::os::win32 {
namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kBitmapHeaderSize = 40;
constexpr int kMaxSide = 256;

std::uint32_t Little(std::string_view bytes, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

// Pixels as a 32-bit DIB holds them: blue, green, red, alpha, the alpha not multiplied in.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // top row first
};

// The image of an icon entry when it is a 32-bit bitmap, the kind our icon file holds; false for
// any other (PNG, fewer bits), which the system scales instead.
bool Decode32(std::string_view entry, Image* image) {
  if (entry.size() < kBitmapHeaderSize) return false;
  const std::size_t header = Little(entry, 0, 4);
  const auto width = static_cast<std::int32_t>(Little(entry, 4, 4));
  const auto both_heights = static_cast<std::int32_t>(Little(entry, 8, 4));  // colour and mask
  if (header < kBitmapHeaderSize || header > entry.size() || Little(entry, 14, 2) != 32 ||
      Little(entry, 16, 4) != BI_RGB || width <= 0 || width > kMaxSide || both_heights <= 0 ||
      both_heights % 2 != 0 || both_heights / 2 > kMaxSide) {
    return false;
  }
  const int height = both_heights / 2;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (entry.size() - header < count * 4) return false;
  image->width = width;
  image->height = height;
  image->pixels.resize(count);
  bool any_alpha = false;
  for (int y = 0; y < height; ++y) {
    // Rows are stored bottom row first.
    const std::size_t row = header + static_cast<std::size_t>(height - 1 - y) * width * 4;
    for (int x = 0; x < width; ++x) {
      std::uint32_t pixel = Little(entry, row + static_cast<std::size_t>(x) * 4, 4);
      any_alpha = any_alpha || (pixel >> 24) != 0;
      image->pixels[static_cast<std::size_t>(y) * width + x] = pixel;
    }
  }
  if (any_alpha) return true;
  // An image without alpha leaves transparency to its mask: 1 bit a pixel, rows of whole 32 bits.
  const std::size_t stride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
  const std::size_t mask = header + count * 4;
  if (entry.size() - mask < stride * static_cast<std::size_t>(height)) return false;
  for (int y = 0; y < height; ++y) {
    const std::size_t row = mask + static_cast<std::size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const auto bits = static_cast<unsigned char>(entry[row + static_cast<std::size_t>(x) / 8]);
      const bool transparent = (bits >> (7 - x % 8)) & 1;
      if (!transparent) image->pixels[static_cast<std::size_t>(y) * width + x] |= 0xFF000000u;
    }
  }
  return true;
}

// How much of each source pixel along one axis falls in each target pixel, in units of
// 1/target of a source pixel: target pixel t spans [t * source, (t + 1) * source), source pixel s
// spans [s * target, (s + 1) * target), and the shares of one target pixel add up to source.
struct Share {
  int source;
  std::uint64_t weight;
};
std::vector<std::vector<Share>> AxisShares(int source, int target) {
  std::vector<std::vector<Share>> shares(static_cast<std::size_t>(target));
  for (int t = 0; t < target; ++t) {
    const std::int64_t begin = std::int64_t{t} * source;
    const std::int64_t end = begin + source;
    for (int s = static_cast<int>(begin / target); s < source; ++s) {
      const std::int64_t from = std::max<std::int64_t>(begin, std::int64_t{s} * target);
      const std::int64_t to = std::min<std::int64_t>(end, std::int64_t{s + 1} * target);
      if (to <= from) break;
      shares[static_cast<std::size_t>(t)].push_back({s, static_cast<std::uint64_t>(to - from)});
    }
  }
  return shares;
}

// Each target pixel is the mean of the area of the source it covers. Colours are weighted by their
// alpha, so that a transparent pixel's colour (often black or anything at all) does not bleed into
// the edges.
Image AreaAverage(const Image& source, int width, int height) {
  const auto columns = AxisShares(source.width, width);
  const auto rows = AxisShares(source.height, height);
  const std::uint64_t area = std::uint64_t(source.width) * std::uint64_t(source.height);
  Image target;
  target.width = width;
  target.height = height;
  target.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint64_t alpha = 0, sums[3] = {};
      for (const Share& row : rows[static_cast<std::size_t>(y)]) {
        for (const Share& column : columns[static_cast<std::size_t>(x)]) {
          const std::uint32_t pixel =
              source.pixels[static_cast<std::size_t>(row.source) * source.width + column.source];
          const std::uint64_t weight = row.weight * column.weight * (pixel >> 24);
          alpha += weight;
          for (int c = 0; c < 3; ++c)
            sums[c] += weight * ((pixel >> (8 * c)) & 0xFF);
        }
      }
      std::uint32_t out = static_cast<std::uint32_t>((alpha + area / 2) / area) << 24;
      for (int c = 0; c < 3 && alpha != 0; ++c)
        out |= static_cast<std::uint32_t>((sums[c] + alpha / 2) / alpha) << (8 * c);
      target.pixels[static_cast<std::size_t>(y) * width + x] = out;
    }
  }
  return target;
}

class Bitmap {
 public:
  explicit Bitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
  ~Bitmap() {
    if (bitmap_) DeleteObject(bitmap_);
  }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  HBITMAP get() const { return bitmap_; }

 private:
  HBITMAP bitmap_;
};

HICON IconFromImage(const Image& image) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Bitmap colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!colour.get() || !bits) return nullptr;
  std::memcpy(bits, image.pixels.data(), image.pixels.size() * 4);
  // The mask marks the fully transparent pixels, for drawing without alpha. Its rows are whole
  // 16-bit words.
  const std::size_t stride = (static_cast<std::size_t>(image.width) + 15) / 16 * 2;
  std::vector<unsigned char> mask(stride * static_cast<std::size_t>(image.height), 0);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if ((image.pixels[static_cast<std::size_t>(y) * image.width + x] >> 24) == 0)
        mask[static_cast<std::size_t>(y) * stride + x / 8] |=
            static_cast<unsigned char>(0x80 >> (x % 8));
    }
  }
  Bitmap mono(CreateBitmap(image.width, image.height, 1, 1, mask.data()));
  if (!mono.get()) return nullptr;
  ICONINFO icon{TRUE, 0, 0, mono.get(), colour.get()};
  return CreateIconIndirect(&icon);  // copies both bitmaps
}

}  // namespace

HICON IconFromFile(std::string_view file, int width, int height) {
  if (file.size() < kHeaderSize || Little(file, 0, 2) != 0 || Little(file, 2, 2) != 1) {
    return nullptr;
  }
  std::size_t count = Little(file, 4, 2);
  if (count == 0 || file.size() < kHeaderSize + count * kEntrySize) return nullptr;

  std::size_t best = count;
  long best_distance = 0;
  std::uint32_t best_depth = 0;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t entry = kHeaderSize + i * kEntrySize;
    long w = Little(file, entry, 1);
    w = w == 0 ? 256 : w;  // 0 stands for 256
    std::uint32_t depth = Little(file, entry + 6, 2);
    std::uint64_t size = Little(file, entry + 8, 4);
    std::uint64_t offset = Little(file, entry + 12, 4);
    if (size == 0 || offset + size > file.size()) continue;
    long distance = std::labs(w - width);
    if (best == count || distance < best_distance ||
        (distance == best_distance && depth > best_depth)) {
      best = i;
      best_distance = distance;
      best_depth = depth;
    }
  }
  if (best == count) return nullptr;
  std::size_t entry = kHeaderSize + best * kEntrySize;
  DWORD size = Little(file, entry + 8, 4);
  std::size_t offset = Little(file, entry + 12, 4);
  // The system's own scaling does not average: 48 pixels shown in 16 come out ragged and muddy. A
  // larger image is averaged down here instead.
  Image image;
  if (width > 0 && height > 0 && Decode32(file.substr(offset, size), &image) &&
      image.width >= width && image.height >= height &&
      (image.width > width || image.height > height)) {
    return IconFromImage(AreaAverage(image, width, height));
  }
  // The image data is read, never written, despite the parameter's type.
  auto data = reinterpret_cast<PBYTE>(const_cast<char*>(file.data() + offset));
  return CreateIconFromResourceEx(data, size, TRUE, 0x00030000, width, height, LR_DEFAULTCOLOR);
}

}  // namespace marvane::os::win32
