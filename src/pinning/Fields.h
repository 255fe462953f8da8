#pragma once
// What the pinning logic works on: the main window's fields, by control id, and the services.

#include "platform/Process.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/ShortcutWriter.h"

namespace brindlework::pinning {

// A control's id. It has no default, so a table of fields that leaves one out does not compile.
struct ControlId {
  constexpr ControlId(int id) : id(id) {}
  constexpr operator int() const { return id; }
  int id;
};

// The control ids of the main window's fields.
struct Fields {
  ControlId txtToExecute;  // the item to launch
  ControlId txtIcon;       // the icon file path
  ControlId txtTitle;      // the shortcut title
  ControlId txtHotKey;     // the composed hotkey text
  ControlId Text1;         // the hotkey's key character
  ControlId Combo1;        // the hotkey modifier list
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
