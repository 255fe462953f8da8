// Draws the application icon and writes it as one .ico file: the ten images that the program,
// its windows and its shortcuts use, largest first.
//
//   make_icon res/Brindlework.ico        (or: cmake --build build/native --target icon)
//
// The file in res/ is committed; a test checks that it is what this program writes.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "Artwork.h"
#include "Ico.h"

using namespace brindlework::icon;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
    return 2;
  }
  // 256 pixels and more as PNG, the rest as bitmaps: what Windows reads from Vista on.
  constexpr int kSizes[] = {512, 256, 128, 96, 72, 64, 48, 32, 24, 16};
  std::vector<Image> images;
  for (int size : kSizes) images.push_back(DrawPin(size));
  std::vector<IcoImage> entries;
  for (const Image& image : images) entries.push_back({&image, image.size >= 256});
  const std::vector<std::uint8_t> ico = IcoFile(entries);

  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(ico.data()), static_cast<std::streamsize>(ico.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
