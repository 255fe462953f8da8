#include "pinning/DroppedItems.h"

#include <optional>

#include "pinning/ShortcutBuilder.h"
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

// The icon that an item holds itself (a program, an icon file), else the shell's.
std::optional<Text> ItemIcon(IconFiles& icons, const Text& path) {
  if (icons.IconCount(path) > 0) return path;
  return ShellIconText(icons, path);
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
  const Text& path = items.front().text;
  if (zone == DropZone::IconRow) return DropIcon(form, fields, services, readers.icons, path);
  if (EndsWithIgnoringCase(path, kShortcutExtension)) {
    const ShortcutFile shortcut = readers.shortcuts.Read(path);
    if (IsProgram(services.process, shortcut.target) && !shortcut.arguments.empty()) {
      return FillPin(form, fields, services, path, shortcut);
    }
  }
  // A picture dropped as the item is a document to open: it gets its type's icon, not its own.
  const bool iconWanted = form.GetText(fields.txtIcon).empty();
  const auto icon = iconWanted ? ItemIcon(readers.icons, path) : std::nullopt;
  form.SetText(fields.txtToExecute, path);
  if (icon) form.SetText(fields.txtIcon, *icon);
}

}  // namespace brindlework::pinning
