#pragma once
// A square picture: 8-bit red, green, blue and alpha (not premultiplied), rows from the top.

#include <cstdint>
#include <vector>

namespace brindlework::icon {

struct Image {
  int size = 0;
  std::vector<std::uint8_t> rgba;
};

}  // namespace brindlework::icon
