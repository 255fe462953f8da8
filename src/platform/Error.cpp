#include "platform/Error.h"

namespace brindlework {
namespace {

// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8(TextView text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    const bool high = c >= 0xD800 && c < 0xDC00;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    const int tail = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    constexpr unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
    bytes += static_cast<char>(kLead[tail] | (c >> (6 * tail)));
    for (int shift = 6 * (tail - 1); shift >= 0; shift -= 6) {
      bytes += static_cast<char>(0x80 | ((c >> shift) & 0x3F));
    }
  }
  return bytes;
}

}  // namespace

Error::Error(std::int32_t number, Text description)
    : number_(number), description_(std::move(description)) {
  what_ = Utf8(FailureMessage(*this));
}

Text DecimalText(std::int64_t number) {
  Text digits;
  // Work on the negative side so that the smallest value has no overflow.
  std::int64_t rest = number < 0 ? number : -number;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' - rest % 10));
    rest /= 10;
  } while (rest != 0);
  if (number < 0) digits.insert(digits.begin(), u'-');
  return digits;
}

Text FailureMessage(const Error& error) {
  return u"Error " + DecimalText(error.Number()) + u": " + error.Description();
}

}  // namespace brindlework
