#pragma once
// What the pinning logic works on: the main window's fields, by control id, and the services.

#include "platform/Process.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/ShortcutWriter.h"

namespace brindlework::pinning {

// The control ids of the main window's fields.
struct Fields {
  int txtToExecute = 0;  // the item to launch
  int txtIcon = 0;       // the icon file path
  int txtTitle = 0;      // the shortcut title
  int txtHotKey = 0;     // the composed hotkey text
  int Text1 = 0;         // the hotkey's key character
  int Combo1 = 0;        // the hotkey modifier list
};

struct Services {
  const Process& process;
  MessageBoxService& messages;
  ShortcutWriter& shortcuts;
  SettingsStore& settings;
};

// Where every remembered field lives in the settings store.
inline constexpr TextView kApplication = u"Brindlework";
inline constexpr TextView kSection = u"toremember";

}  // namespace brindlework::pinning
