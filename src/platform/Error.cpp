#include "platform/Error.h"

namespace brindlework {

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
