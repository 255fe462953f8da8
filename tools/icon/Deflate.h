#pragma once
// The compression that PNG images need, written here so that the icon's bytes depend on
// nothing but this source.

#include <cstdint>
#include <span>
#include <vector>

namespace brindlework::icon {

// A zlib stream (RFC 1950) holding `data` as deflate blocks with dynamic Huffman codes
// (RFC 1951).
std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> data);

// The CRC-32 of PNG chunks (ISO 3309), continued from `crc`.
std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t crc = 0);

}  // namespace brindlework::icon
