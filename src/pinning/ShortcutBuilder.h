#pragma once
// "GO!": writes the desktop shortcut that starts this program with the item as its arguments.

#include <optional>

#include "pinning/Fields.h"
#include "pinning/WebIcons.h"
#include "platform/IconFiles.h"
#include "platform/Window.h"

namespace brindlework::pinning {

inline constexpr TextView kItemMissing = u"Item to launch not selected";
inline constexpr TextView kTitleMissing = u"shortcut title not selected";
inline constexpr TextView kTitleNotAFileName =
    u"shortcut title not valid: a file name cannot hold \\ / : * ? \" < > | or control "
    u"characters, nor be a device name such as CON, NUL, COM1 or LPT1";
inline constexpr TextView kItemBlankLed =
    u"Item to launch not valid: it cannot be only blanks or begin with a blank or a tab, because "
    u"Windows drops them when it starts the shortcut";
// Followed by the largest length that fits and "characters".
inline constexpr TextView kItemTooLong =
    u"Item to launch too long: with this program's path it must fit in a Windows command line, "
    u"so it can hold at most ";
inline constexpr TextView kDone = u"done!";

// Checks the item and the title, then writes desktop folder\title.lnk: target the program's own
// exe, arguments the item, the item's own taskbar identity, the icon, the hotkey if one is given.
// The icon is the file that the icon text names (as typed, with its environment strings expanded,
// or within one pair of quotes), else icon number N of the file when the text is "<file>,N" or
// "\"<file>\",N", else the program's icon; environment strings are kept. A file named alone
// ("shell32.dll") is "%SystemRoot%\System32\<name>", never a file of the current folder. An
// icon text that is one web address is that site's icon, fetched once the item and title pass:
// the field then takes the made icon's path once the shortcut is saved, and a site whose icon
// cannot be had writes nothing and is told (a Cancel is not). Tells the outcome with a message;
// a failing service throws Error out of it.
void BuildShortcut(FormView& form, const Fields& fields, const Services& services,
                   const IconServices& icons);

// The icon that an icon text names, by the icon field's rules above, its file with environment
// strings kept; nothing when it names none.
std::optional<IconLocation> NamedIcon(const Process& process, const Text& text);

// True when "<title>.lnk" is a plain file name in a folder: no separator or character that a
// file name cannot hold, no device name.
bool IsFileNameTitle(TextView title);

// True when the texts differ at most in the case of ASCII letters.
bool SameIgnoringCase(TextView a, TextView b);

}  // namespace brindlework::pinning
