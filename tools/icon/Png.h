#pragma once
// PNG files (RGBA, 8 bits a channel) of the icon's images, written by libpng.

#include <string>

#include "Image.h"

namespace brindlework::icon {

// Throws std::runtime_error when the file cannot be written.
void WritePng(const Image& image, const std::string& path);

}  // namespace brindlework::icon
