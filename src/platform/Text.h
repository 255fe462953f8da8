#pragma once
// Texts are UTF-16 throughout, as Windows keeps them: lengths count 16-bit units on every build.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brindlework {

using Text = std::u16string;
using TextView = std::u16string_view;

// A text that may be absent: the null text, which the shell tells apart from an empty one.
using OptionalText = std::optional<Text>;

// An opaque window handle; 0 is "no window".
using WindowHandle = std::uintptr_t;
inline constexpr WindowHandle kNoWindow = 0;

// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8(TextView text);

}  // namespace brindlework
