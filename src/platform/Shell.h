#pragma once
#include <cstdint>

#include "platform/Text.h"

namespace brindlework {

// Hands an item (a path or a web address) to the shell with a verb.
class ShellOpen {
 public:
  virtual ~ShellOpen() = default;

  // Returns the shell's result: above 32 when the shell accepted the item. The null
  // parameters and directory are passed as null, not as empty texts.
  virtual std::intptr_t Open(WindowHandle owner, const Text& verb, const Text& file,
                             const OptionalText& parameters, const OptionalText& directory,
                             int showCommand) = 0;
};

inline constexpr int kShowCommand = 5;  // SW_SHOW: what every caller passes

// A modal message with the prompt alone, one OK button and the caption "Brindlework".
class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  virtual void Show(const Text& prompt) = 0;
};

}  // namespace brindlework
