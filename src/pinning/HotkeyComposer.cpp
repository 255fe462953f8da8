#include "pinning/HotkeyComposer.h"

#include "pinning/ShortcutBuilder.h"

namespace brindlework::pinning {
namespace {

constexpr TextView kHotkeyKey = u"txthotkey";

bool Contains(const Text& text, TextView word) {
  return text.find(word) != Text::npos;
}

void StoreHotkey(const Services& services, const Text& hotkey) {
  services.settings.Save(Text(kApplication), Text(kSection), Text(kHotkeyKey), hotkey);
}

}  // namespace

void SetHotkey(FormView& form, const Fields& fields, const Services& services) {
  const Text key = form.GetText(fields.Text1);
  if (key.size() != 1) return services.messages.Show(Text(kNotValidHotkey));

  bool hasModifier = false;
  const int index = form.ListIndex(fields.Combo1);
  const Text modifier = index < 0 ? Text() : form.ListItem(fields.Combo1, index);
  // The composed text shows even when the check below refuses it.
  form.SetText(fields.txtHotKey, u"CTRL+" + modifier + u"+" + key);
  if (Contains(form.GetText(fields.txtHotKey), u"SHIFT")) hasModifier = true;
  if (Contains(form.GetText(fields.txtHotKey), u"ALT")) hasModifier = true;
  if (!hasModifier) return services.messages.Show(Text(kNotValidHotkey));

  StoreHotkey(services, form.GetText(fields.txtHotKey));
  services.messages.Show(Text(kDone));
}

void DeleteHotkey(FormView& form, const Fields& fields, const Services& services) {
  StoreHotkey(services, Text());
  form.SetText(fields.Text1, Text());
  form.SetText(fields.txtHotKey, Text());
  form.SetText(fields.Combo1, Text());
  // The emptied row selects no modifier either, so that it works as it reads.
  form.SetListIndex(fields.Combo1, -1);
  services.messages.Show(Text(kDone));
}

}  // namespace brindlework::pinning
