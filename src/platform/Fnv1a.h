#pragma once
// The one hash of the program: FNV-1a 64 over bytes, fed in pieces. It names what must keep its
// name for good (a pin's taskbar identity, an icon made of a picture).

#include <cstdint>
#include <span>

#include "platform/Text.h"

namespace brindlework {

class Fnv1a64 {
 public:
  void Add(std::uint8_t byte) { value_ = (value_ ^ byte) * 0x100000001b3; }
  void Add(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) Add(byte);
  }
  std::uint64_t Value() const { return value_; }
  // The value as 16 lowercase hexadecimal digits.
  Text Hex() const {
    Text digits;
    for (int shift = 60; shift >= 0; shift -= 4)
      digits += u"0123456789abcdef"[value_ >> shift & 0xF];
    return digits;
  }

 private:
  std::uint64_t value_ = 0xcbf29ce484222325;
};

}  // namespace brindlework
