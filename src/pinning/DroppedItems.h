#pragma once
// Files dropped on the main window: an icon for the icon row, a pin that this program made back
// into the four fields to edit it, or anything else as the item.

#include <span>

#include "pinning/Fields.h"
#include "platform/IconFiles.h"
#include "platform/ShortcutReader.h"
#include "platform/Window.h"

namespace brindlework::pinning {

inline constexpr TextView kDropOneItem = u"Drop one item at a time.";
inline constexpr TextView kPinHotkeyNotKept =
    u"The pin's hotkey cannot be set here, so the hotkey is left empty: a hotkey is CTRL+SHIFT "
    u"or CTRL+ALT with a key that types a character.";
inline constexpr TextView kPictureTooLarge = u"This picture is too large to make an icon of.";
inline constexpr TextView kNoIconFile = u"This item has no icon file of its own.";

enum class DropZone {
  IconRow,    // the icon's label, field or picker button
  Elsewhere,  // any other control, or the window itself
};

// What a drop reads besides the fields.
struct DropReaders {
  ShortcutReader& shortcuts;
  IconFiles& icons;
};

// One dropped path on the icon row becomes an icon: a file that holds icons as it is, a picture
// as an icon file made of it, anything else as the icon that the shell shows for it ("<file>,N").
// Elsewhere a shortcut whose target is this program and whose arguments are an item fills the
// item, icon, title and hotkey row as GO! would write them again; any other path becomes the
// item, and an empty icon field takes the item's own icon or the shell's. Several paths change
// nothing. A message tells what the fields cannot take; a shortcut or picture that cannot be
// read throws Error before any field changes. Nothing is stored.
void DropItems(FormView& form, const Fields& fields, const Services& services,
               const DropReaders& readers, DropZone zone, std::span<const DroppedItem> items);

}  // namespace brindlework::pinning
