#pragma once
// Items dropped on the main window (files, the shell's places, web links): an icon for the icon
// row, a pin that this program made back into the four fields to edit it, or anything else as the
// item, with its icon and name.

#include <span>

#include "pinning/Fields.h"
#include "pinning/WebIcons.h"
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
  IconServices icons;
};

// One dropped file on the icon row becomes an icon: a file that holds icons as it is, a picture
// as an icon file made of it, anything else as the icon that the shell shows for it ("<file>,N").
// A place there gives the shell's icon of its parsing name; a link to a web site the site's own
// icon, fetched, and any other link, or one whose site's icon cannot be had, the icon of the
// program that opens its scheme (environment strings kept), each only when it names a file that
// holds icons.
// Elsewhere a shortcut whose target is this program and whose arguments are an item fills the
// item, icon, title and hotkey row as GO! would write them again; any other item (a path, a
// place's parsing name, an address) becomes the item, an empty icon field takes a file's own
// icon or the shell's, or a place's or link's icon as above (a site's failure or Cancel silently
// gives the scheme's), and an empty title the item's name
// when it is a valid title: a place's or link's name (else the link's host), a file's name without
// its last extension, a folder's whole name. Several items change nothing. A message tells what the
// fields cannot take; a shortcut or picture that cannot be read throws Error before any field
// changes. Nothing is stored.
void DropItems(FormView& form, const Fields& fields, const Services& services,
               const DropReaders& readers, DropZone zone, std::span<const DroppedItem> items);

}  // namespace brindlework::pinning
