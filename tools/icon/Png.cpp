#include "Png.h"

#include <png.h>

#include <fstream>
#include <stdexcept>
#include <vector>

namespace brindlework::icon {
namespace {

using Bytes = std::vector<unsigned char>;

struct Writer {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~Writer() { png_destroy_write_struct(&png, &info); }
};

void Append(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

// The libpng calls, with one choice of row filters. libpng reports an error by a long jump back
// here, so no object with a destructor may live in this frame.
bool Encode(const Writer& writer, int filters, const Image& image, png_bytepp rows, Bytes* out) {
  if (setjmp(png_jmpbuf(writer.png))) return false;
  png_set_write_fn(writer.png, out, Append, nullptr);
  const auto size = static_cast<png_uint_32>(image.size);
  png_set_IHDR(writer.png, writer.info, size, size, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(writer.png, PNG_FILTER_TYPE_BASE, filters);
  png_set_compression_level(writer.png, 9);
  png_set_rows(writer.png, writer.info, rows);
  png_write_png(writer.png, writer.info, PNG_TRANSFORM_IDENTITY, nullptr);
  return true;
}

Bytes PngFile(const Image& image, int filters) {
  std::vector<png_bytep> rows;
  for (int y = 0; y < image.size; ++y) {
    // libpng only reads the rows; its interface takes them without const.
    rows.push_back(const_cast<png_bytep>(&image.rgba[static_cast<std::size_t>(y) * image.size * 4]));
  }
  Writer writer;
  writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (writer.png) writer.info = png_create_info_struct(writer.png);
  Bytes out;
  if (!writer.info || !Encode(writer, filters, image, rows.data(), &out)) {
    throw std::runtime_error("libpng could not encode an image");
  }
  return out;
}

}  // namespace

void WritePng(const Image& image, const std::string& path) {
  // The large images are most of the exe's resources: the smallest of six tries, libpng's
  // choice per row and each filter for every row. Flat colours usually pack best unfiltered,
  // soft shadows filtered.
  Bytes best = PngFile(image, PNG_ALL_FILTERS);
  for (int filter : {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG,
                     PNG_FILTER_PAETH}) {
    Bytes png = PngFile(image, filter);
    if (png.size() < best.size()) best = std::move(png);
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(best.data()), static_cast<std::streamsize>(best.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace brindlework::icon
