#pragma once
// The About window's system information launcher: finds the system information tool through
// the registry and starts it.

#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

namespace brindlework {

// The one message of every failure to find or start the tool.
inline constexpr TextView kSysInfoUnavailable = u"System Information Is Unavailable At This Time";

// Starts the tool that the registry names, or tells the user that it is unavailable. Every
// failure ends in that message; none passes on.
void StartSysInfo(Process& process, Registry& registry, MessageBoxService& messages);

// Reads one registry value as text into keyVal: a string (one final NUL removed), a 32-bit
// number in decimal, or, for any other type, keyVal left as it was. True when the value was
// found; false, with keyVal emptied, when the key or value is missing, cannot be read or holds
// more than 1024 bytes. Throws Error when the value's data is empty.
bool GetKeyValue(Registry& registry, RegistryRoot keyRoot, const Text& keyName,
                 const Text& subKeyRef, Text& keyVal);

}  // namespace brindlework
