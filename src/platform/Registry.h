#pragma once
// The system registry, read through its ANSI functions: the one place where texts cross the
// ANSI code page, since it only reads system paths.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/Text.h"

namespace brindlework {

// A predefined root key, numbered as the system numbers it.
using RegistryRoot = std::uint32_t;
inline constexpr RegistryRoot kLocalMachine = 0x80000002;  // HKEY_LOCAL_MACHINE

// Value types, as the system codes them (REG_SZ, REG_DWORD).
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

// What a query found: the value's type and the size of its data in bytes.
struct RegistryData {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
};

// An open key (RegOpenKeyExA); destroying it closes it (RegCloseKey).
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // RegQueryValueExA: the value's data goes to the start of `buffer`. Throws Error when there is
  // no such value or its data does not fit (234, ERROR_MORE_DATA).
  virtual RegistryData QueryValue(const Text& valueName, std::span<std::byte> buffer) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens the key below the root for reading only. Throws Error when it cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const Text& subKey) = 0;
  // Data of a string value as text, read in the system's ANSI code page as the A functions
  // return it.
  virtual Text AnsiText(std::span<const std::byte> data) const = 0;
};

}  // namespace brindlework
