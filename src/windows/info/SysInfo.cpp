#include "windows/info/SysInfo.h"

#include <array>
#include <exception>
#include <optional>

#include "platform/Error.h"

namespace brindlework {
namespace {

// A value whose data is larger counts as not found.
constexpr std::size_t kValueBufferBytes = 1024;

// The tool's full path, or failing that the folder that holds MSINFO32.EXE.
constexpr TextView kToolKey = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr TextView kToolValue = u"PATH";
constexpr TextView kFolderKey = u"SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr TextView kFolderValue = u"MSINFO";
constexpr TextView kToolFile = u"\\MSINFO32.EXE";

std::optional<Text> SysInfoPath(const Process& process, Registry& registry) {
  Text path;
  if (GetKeyValue(registry, kLocalMachine, Text(kToolKey), Text(kToolValue), path)) return path;
  if (!GetKeyValue(registry, kLocalMachine, Text(kFolderKey), Text(kFolderValue), path)) {
    return std::nullopt;
  }
  Text candidate = path + Text(kToolFile);
  if (!process.IsOrdinaryFile(candidate)) return std::nullopt;
  return candidate;
}

std::uint32_t LittleEndian32(std::span<const std::byte, 4> bytes) {
  std::uint32_t number = 0;
  for (std::size_t i = 4; i-- > 0;) number = number << 8 | std::to_integer<std::uint32_t>(bytes[i]);
  return number;
}

}  // namespace

void StartSysInfo(Process& process, Registry& registry, MessageBoxService& messages) {
  try {
    if (const auto path = SysInfoPath(process, registry)) {
      process.StartProgram(*path, kShowNormal);
      return;
    }
  } catch (const std::exception&) {
    // Whatever went wrong, the user learns only that the tool is unavailable.
  }
  messages.Show(Text(kSysInfoUnavailable));
}

bool GetKeyValue(Registry& registry, RegistryRoot keyRoot, const Text& keyName,
                 const Text& subKeyRef, Text& keyVal) {
  // The key is closed when `key` goes, whichever way this function is left.
  std::unique_ptr<RegistryKey> key;
  std::array<std::byte, kValueBufferBytes> buffer{};
  RegistryData data;
  try {
    key = registry.OpenKey(keyRoot, keyName);
    data = key->QueryValue(subKeyRef, buffer);
  } catch (const Error&) {
    keyVal.clear();
    return false;
  }
  if (data.size > buffer.size()) {
    keyVal.clear();
    return false;
  }
  if (data.size == 0) throw Error(5, u"Invalid procedure call or argument");

  std::span<const std::byte> text(buffer.data(), data.size);
  // At most one final NUL goes; any before it stay part of the text.
  if (text.back() == std::byte{0}) text = text.first(text.size() - 1);
  switch (data.type) {
    case kRegSz: keyVal = registry.AnsiText(text); break;
    // The number's 32 bits unsigned: a value with its top bit set is not shown negative.
    case kRegDword: keyVal = DecimalText(LittleEndian32(std::span(buffer).first<4>())); break;
    default: break;
  }
  return true;
}

}  // namespace brindlework
