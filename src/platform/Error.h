#pragma once
#include <cstdint>
#include <exception>
#include <string>

#include "platform/Text.h"

namespace brindlework {

// The one failure type of every service: a number and the system's description of it.
// A handler stops at the failing step; the window system reports what no handler catches.
class Error : public std::exception {
 public:
  Error(std::int32_t number, Text description);

  std::int32_t Number() const noexcept { return number_; }
  const Text& Description() const noexcept { return description_; }
  // The failure message in UTF-8, for whatever meets an Error that nothing caught (a test).
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  std::int32_t number_;
  Text description_;
  std::string what_;
};

// The text shown for a failure that nothing caught: "Error " & number & ": " & description.
Text FailureMessage(const Error& error);

// Decimal digits of a number, with a minus sign when negative.
Text DecimalText(std::int64_t number);

}  // namespace brindlework
