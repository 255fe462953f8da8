#pragma once
// Files dropped on the main window: a path for the icon row, a pin that this program made back
// into the four fields to edit it, or anything else as the item.

#include <span>

#include "pinning/Fields.h"
#include "platform/ShortcutReader.h"
#include "platform/Window.h"

namespace brindlework::pinning {

inline constexpr TextView kDropOneItem = u"Drop one item at a time.";
inline constexpr TextView kPinHotkeyNotKept =
    u"The pin's hotkey cannot be set here, so the hotkey is left empty: a hotkey is CTRL+SHIFT "
    u"or CTRL+ALT with a key that types a character.";
// Followed by the icon's number and kPinIconNumberLostEnd.
inline constexpr TextView kPinIconNumberLost = u"The pin shows icon number ";
inline constexpr TextView kPinIconNumberLostEnd =
    u" of its icon file, which is lost: GO! uses the file's first icon.";

enum class DropZone {
  IconRow,    // the icon's label, field or picker button
  Elsewhere,  // any other control, or the window itself
};

// One dropped path on the icon row becomes the icon. Elsewhere a shortcut whose target is this
// program and whose arguments are an item fills the item, icon, title and hotkey row as GO!
// would write them again; any other path becomes the item. Several paths change nothing. What
// a pin holds that the fields cannot is told in one message after the fields have filled; a
// shortcut that cannot be read throws Error before any field changes. Nothing is stored.
void DropItems(FormView& form, const Fields& fields, const Services& services,
               ShortcutReader& reader, DropZone zone, std::span<const Text> paths);

}  // namespace brindlework::pinning
