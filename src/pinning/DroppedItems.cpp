#include "pinning/DroppedItems.h"

#include <optional>

#include "pinning/ShortcutBuilder.h"
#include "platform/DropBlocks.h"
#include "platform/Error.h"

namespace brindlework::pinning {
namespace {

constexpr TextView kShortcutExtension = u".lnk";
// The program's name as it ships: a pin made by a copy of it elsewhere is still a pin.
constexpr TextView kShippedFileName = u"Brindlework.exe";

TextView FileName(TextView path) {
  const auto slash = path.find_last_of(u"\\/");
  return slash == TextView::npos ? path : path.substr(slash + 1);
}

bool EndsWithIgnoringCase(TextView text, TextView end) {
  return text.size() >= end.size() && SameIgnoringCase(text.substr(text.size() - end.size()), end);
}

// A path to this program or to one of its copies, by file name alone.
bool IsProgram(const Process& process, TextView path) {
  const TextView name = FileName(path);
  return SameIgnoringCase(name, kShippedFileName) ||
         SameIgnoringCase(name, process.ProgramName() + u".exe");
}

int ModifierIndex(const FormView& form, int list, const Text& modifier) {
  // The row's list holds both modifiers; an index past its end throws.
  for (int index = 0;; ++index) {
    if (form.ListItem(list, index) == modifier) return index;
  }
}

// The icon field's text for one icon of a file: the file alone names its first icon.
Text IconText(const IconLocation& icon) {
  return icon.number == 0 ? icon.file : icon.file + u"," + DecimalText(icon.number);
}

void FillPin(FormView& form, const Fields& fields, const Services& services, TextView path,
             const ShortcutFile& pin) {
  form.SetText(fields.txtToExecute, pin.arguments);
  // The program's own icon is the one GO! falls back to when the field is empty, as it does for
  // an icon number without a file (",3"), which another tool may have written.
  const bool programIcon =
      pin.iconPath.empty() || (pin.iconIndex == 0 && IsProgram(services.process, pin.iconPath));
  form.SetText(fields.txtIcon, programIcon ? Text() : IconText({pin.iconPath, pin.iconIndex}));
  const TextView title = FileName(path);
  form.SetText(fields.txtTitle, Text(title.substr(0, title.size() - kShortcutExtension.size())));
  if (pin.hotkey.kind == RowHotkey::Kind::Composed) {
    form.SetListIndex(fields.Combo1, ModifierIndex(form, fields.Combo1, pin.hotkey.modifier));
    form.SetText(fields.Text1, pin.hotkey.key);
    form.SetText(fields.txtHotKey, u"CTRL+" + pin.hotkey.modifier + u"+" + pin.hotkey.key);
  } else {
    form.SetListIndex(fields.Combo1, -1);
    form.SetText(fields.Text1, Text());
    form.SetText(fields.txtHotKey, Text());
  }
  if (pin.hotkey.kind == RowHotkey::Kind::Other) services.messages.Show(Text(kPinHotkeyNotKept));
}

// The icon that the shell shows for the item, when it names a file that holds icons.
std::optional<Text> ShellIconText(IconFiles& icons, const Text& path) {
  const auto shown = icons.ShellIcon(path);
  if (shown && icons.IconCount(shown->file) > 0) return IconText(*shown);
  return std::nullopt;
}

// The scheme of an address ("https" of "https://..."): a letter, then letters, digits, "+", "-"
// or ".", up to the first colon. Nothing when the address does not begin so.
std::optional<Text> Scheme(const Text& address) {
  const auto colon = address.find(u':');
  if (colon == 0 || colon == Text::npos) return std::nullopt;
  const auto letter = [](char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
  };
  for (std::size_t i = 0; i < colon; ++i) {
    const char16_t c = address[i];
    const bool allowed =
        letter(c) || (i > 0 && ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.'));
    if (!allowed) return std::nullopt;
  }
  return address.substr(0, colon);
}

// The icon of the program that opens the address's scheme, read as GO! reads the icon field, when
// it names a file that holds icons. A packaged app's "@{...}" names no file. The text keeps its
// environment strings, as Windows stores it.
std::optional<Text> SchemeIconText(const Process& process, IconFiles& icons, const Text& address) {
  const auto scheme = Scheme(address);
  const auto stored = scheme ? icons.SchemeIcon(*scheme) : std::nullopt;
  const auto named = stored ? NamedIcon(process, *stored) : std::nullopt;
  if (named && icons.IconCount(process.ExpandedEnvironmentStrings(named->file)) > 0) {
    return IconText(*named);
  }
  return std::nullopt;
}

// The icon of a dropped item: a file's own (a program, an icon file), else the shell's, as for a
// place; a link's scheme's.
std::optional<Text> ItemIcon(const Process& process, IconFiles& icons, const DroppedItem& item) {
  switch (item.kind) {
    case DroppedItem::Kind::File:
      if (icons.IconCount(item.text) > 0) return item.text;
      return ShellIconText(icons, item.text);
    case DroppedItem::Kind::Place: return ShellIconText(icons, item.text);
    case DroppedItem::Kind::Link: return SchemeIconText(process, icons, item.text);
  }
  return std::nullopt;
}

bool IsFolder(const Process& process, const Text& path) {
  try {
    return (process.FileAttributes(path) & kFolderAttribute) != 0;
  } catch (const Error&) {
    return false;  // a file that has gone since: its name is still its name
  }
}

// What an empty title takes: a place's name, a link's (else its address's host), a file's name
// without its last extension, a folder's whole name. A drive root has none.
Text ItemName(const Process& process, const DroppedItem& item) {
  switch (item.kind) {
    case DroppedItem::Kind::Place: return item.name;
    case DroppedItem::Kind::Link: return item.name.empty() ? Host(item.text) : item.name;
    case DroppedItem::Kind::File: break;
  }
  const TextView name = FileName(item.text);
  if (IsFolder(process, item.text)) return Text(name);
  // A name that is all extension (".gitignore") is kept whole.
  const auto dot = name.rfind(u'.');
  return Text(dot == TextView::npos || dot == 0 ? name : name.substr(0, dot));
}

void DropIcon(FormView& form, const Fields& fields, const Services& services, IconFiles& icons,
              const Text& path) {
  if (icons.IconCount(path) > 0) return form.SetText(fields.txtIcon, path);
  if ((services.process.FileAttributes(path) & kFolderAttribute) == 0) {
    const PictureIcon picture = icons.IconOfPicture(path);
    switch (picture.outcome) {
      case PictureIcon::Outcome::Made: return form.SetText(fields.txtIcon, picture.path);
      case PictureIcon::Outcome::TooLarge: return services.messages.Show(Text(kPictureTooLarge));
      case PictureIcon::Outcome::NotAPicture: break;
    }
  }
  if (const auto shown = ShellIconText(icons, path)) return form.SetText(fields.txtIcon, *shown);
  services.messages.Show(Text(kNoIconFile));
}

}  // namespace

void DropItems(FormView& form, const Fields& fields, const Services& services,
               const DropReaders& readers, DropZone zone, std::span<const DroppedItem> items) {
  if (items.empty()) return;
  if (items.size() > 1) return services.messages.Show(Text(kDropOneItem));
  const DroppedItem& item = items.front();
  const bool file = item.kind == DroppedItem::Kind::File;
  IconFiles& icons = readers.icons.files;
  // A web site's own icon; without it, the scheme's, and no word of why.
  const auto siteIcon = [&] {
    const bool site = item.kind == DroppedItem::Kind::Link && IsWebAddress(item.text);
    return site ? FetchSiteIcon(form.Handle(), readers.icons, item.text) : SiteIcon{};
  };
  if (zone == DropZone::IconRow) {
    if (file) return DropIcon(form, fields, services, icons, item.text);
    const SiteIcon site = siteIcon();
    const auto icon = site.path ? site.path : ItemIcon(services.process, icons, item);
    if (icon) return form.SetText(fields.txtIcon, *icon);
    if (!site.cancelled) services.messages.Show(Text(kNoIconFile));
    return;
  }
  if (file && EndsWithIgnoringCase(item.text, kShortcutExtension)) {
    const ShortcutFile shortcut = readers.shortcuts.Read(item.text);
    if (IsProgram(services.process, shortcut.target) && !shortcut.arguments.empty()) {
      return FillPin(form, fields, services, item.text, shortcut);
    }
  }
  // A picture dropped as the item is a document to open: it gets its type's icon, not its own.
  const bool iconWanted = form.GetText(fields.txtIcon).empty();
  auto icon = iconWanted ? siteIcon().path : std::nullopt;
  if (iconWanted && !icon) icon = ItemIcon(services.process, icons, item);
  form.SetText(fields.txtToExecute, item.text);
  if (icon) form.SetText(fields.txtIcon, *icon);
  // A title typed or dropped before is the user's: only an empty one takes the item's name.
  if (!form.GetText(fields.txtTitle).empty()) return;
  const Text name = ItemName(services.process, item);
  if (!name.empty() && IsFileNameTitle(name)) form.SetText(fields.txtTitle, name);
}

}  // namespace brindlework::pinning
