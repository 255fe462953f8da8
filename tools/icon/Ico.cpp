#include "Ico.h"

#include "Png.h"

namespace brindlework::icon {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// A BITMAPINFOHEADER whose height counts both the colour rows and the mask rows, the BGRA
// rows from the bottom up, then the AND mask (1 = transparent) in rows padded to 32 bits.
std::vector<std::uint8_t> BitmapImage(const Image& image) {
  const auto size = static_cast<std::uint32_t>(image.size);
  const std::uint32_t maskStride = (size + 31) / 32 * 4;
  std::vector<std::uint8_t> out;
  Put32(out, 40);
  Put32(out, size);
  Put32(out, size * 2);
  Put16(out, 1);   // planes
  Put16(out, 32);  // bits a pixel
  Put32(out, 0);   // BI_RGB
  Put32(out, size * size * 4 + maskStride * size);
  for (int i = 0; i < 4; ++i) Put32(out, 0);  // resolution, palette
  for (int y = image.size - 1; y >= 0; --y) {
    for (int x = 0; x < image.size; ++x) {
      const std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * size + x) * 4];
      out.insert(out.end(), {p[2], p[1], p[0], p[3]});
    }
  }
  // Programs that ignore alpha draw a pixel when it is at least half covered.
  for (int y = image.size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskStride, 0);
    for (int x = 0; x < image.size; ++x) {
      if (image.rgba[(static_cast<std::size_t>(y) * size + x) * 4 + 3] < 128) {
        row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

std::vector<std::uint8_t> IcoFile(std::span<const IcoImage> images) {
  std::vector<std::vector<std::uint8_t>> data;
  for (const IcoImage& entry : images) {
    data.push_back(entry.png ? PngFile(*entry.image) : BitmapImage(*entry.image));
  }
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // an icon, not a cursor
  Put16(out, static_cast<std::uint32_t>(images.size()));
  auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    // 0 stands for 256 pixels or more.
    const int size = images[i].image->size;
    const auto side = static_cast<std::uint8_t>(size >= 256 ? 0 : size);
    out.insert(out.end(), {side, side, 0, 0});  // no palette, reserved
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<std::uint32_t>(data[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(data[i].size());
  }
  for (const auto& bytes : data) out.insert(out.end(), bytes.begin(), bytes.end());
  return out;
}

}  // namespace brindlework::icon
