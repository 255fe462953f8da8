#pragma once
// PNG files (RGBA, 8 bits a channel) for the icon's large images.

#include <cstdint>
#include <vector>

#include "Image.h"

namespace brindlework::icon {

std::vector<std::uint8_t> PngFile(const Image& image);

}  // namespace brindlework::icon
