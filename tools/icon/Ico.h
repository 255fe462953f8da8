#pragma once
// The .ico file format: a directory, then each image as a PNG file or as a 32-bit bitmap with
// its 1-bit mask.

#include <cstdint>
#include <span>
#include <vector>

#include "Image.h"

namespace brindlework::icon {

struct IcoImage {
  const Image* image;
  bool png;
};

std::vector<std::uint8_t> IcoFile(std::span<const IcoImage> images);

}  // namespace brindlework::icon
