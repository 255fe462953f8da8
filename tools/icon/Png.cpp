#include "Png.h"

#include <array>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "Deflate.h"

namespace brindlework::icon {
namespace {

// None, Sub, Up, Average, Paeth.
constexpr int kFilters = 5;

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& data) {
  PutBig32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  PutBig32(out, Crc32(std::span(out).subspan(start)));
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// The rows, each after its filter byte. `only` names the filter for every row; without it each
// row takes the filter whose output has the smallest sum of magnitudes, the usual guess at what
// deflate packs best.
std::vector<std::uint8_t> FilteredRows(const Image& image, std::optional<int> only) {
  const std::size_t stride = static_cast<std::size_t>(image.size) * 4;
  const std::vector<std::uint8_t> zeros(stride, 0);
  std::vector<std::uint8_t> out;
  std::array<std::vector<std::uint8_t>, kFilters> trial;
  for (int y = 0; y < image.size; ++y) {
    const std::uint8_t* row = &image.rgba[static_cast<std::size_t>(y) * stride];
    const std::uint8_t* up = y > 0 ? row - stride : zeros.data();
    int best = 0;
    long bestCost = -1;
    for (int filter = 0; filter < kFilters; ++filter) {
      if (only && filter != *only) continue;
      auto& t = trial[static_cast<std::size_t>(filter)];
      t.assign(stride, 0);
      long cost = 0;
      for (std::size_t i = 0; i < stride; ++i) {
        const int a = i >= 4 ? row[i - 4] : 0;
        const int b = up[i];
        const int c = i >= 4 ? up[i - 4] : 0;
        const int predicted = filter == 0   ? 0
                              : filter == 1 ? a
                              : filter == 2 ? b
                              : filter == 3 ? (a + b) / 2
                                            : Paeth(a, b, c);
        t[i] = static_cast<std::uint8_t>(row[i] - predicted);
        cost += std::abs(static_cast<std::int8_t>(t[i]));
      }
      if (bestCost < 0 || cost < bestCost) {
        best = filter;
        bestCost = cost;
      }
    }
    out.push_back(static_cast<std::uint8_t>(best));
    const auto& chosen = trial[static_cast<std::size_t>(best)];
    out.insert(out.end(), chosen.begin(), chosen.end());
  }
  return out;
}

// The smallest image data of six tries: each filter for every row, and the per-row guess.
// Drawings of flat colours usually pack best unfiltered, soft shadows filtered.
std::vector<std::uint8_t> ImageData(const Image& image) {
  std::vector<std::uint8_t> best = ZlibCompress(FilteredRows(image, std::nullopt));
  for (int filter = 0; filter < kFilters; ++filter) {
    std::vector<std::uint8_t> data = ZlibCompress(FilteredRows(image, filter));
    if (data.size() < best.size()) best = std::move(data);
  }
  return best;
}

}  // namespace

std::vector<std::uint8_t> PngFile(const Image& image) {
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutBig32(header, static_cast<std::uint32_t>(image.size));
  PutBig32(header, static_cast<std::uint32_t>(image.size));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, filters, no interlace
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", ImageData(image));
  PutChunk(out, "IEND", {});
  return out;
}

}  // namespace brindlework::icon
