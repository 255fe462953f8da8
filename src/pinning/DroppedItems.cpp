#include "pinning/DroppedItems.h"

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

void FillPin(FormView& form, const Fields& fields, const Services& services, TextView path,
             const ShortcutFile& pin) {
  form.SetText(fields.txtToExecute, pin.arguments);
  // The program's own icon is the one GO! falls back to when the field is empty.
  form.SetText(fields.txtIcon, IsProgram(services.process, pin.iconPath) ? Text() : pin.iconPath);
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

  Text lost;
  if (pin.hotkey.kind == RowHotkey::Kind::Other) lost = Text(kPinHotkeyNotKept);
  if (pin.iconIndex != 0) {
    if (!lost.empty()) lost += u"\n";
    lost += Text(kPinIconNumberLost) + DecimalText(pin.iconIndex) + Text(kPinIconNumberLostEnd);
  }
  if (!lost.empty()) services.messages.Show(lost);
}

}  // namespace

void DropItems(FormView& form, const Fields& fields, const Services& services,
               ShortcutReader& reader, DropZone zone, std::span<const Text> paths) {
  if (paths.empty()) return;
  if (paths.size() > 1) return services.messages.Show(Text(kDropOneItem));
  const Text& path = paths.front();
  if (zone == DropZone::IconRow) return form.SetText(fields.txtIcon, path);
  if (EndsWithIgnoringCase(path, kShortcutExtension)) {
    const ShortcutFile shortcut = reader.Read(path);
    if (IsProgram(services.process, shortcut.target) && !shortcut.arguments.empty()) {
      return FillPin(form, fields, services, path, shortcut);
    }
  }
  form.SetText(fields.txtToExecute, path);
}

}  // namespace brindlework::pinning
