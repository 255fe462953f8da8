#include "pinning/ShortcutBuilder.h"

#include <algorithm>
#include <iterator>

#include "launcher/ModShellExec.h"
#include "pinning/TaskbarIdentity.h"
#include "platform/Error.h"

namespace brindlework::pinning {
namespace {

// An item must be longer than 4 UTF-16 units.
constexpr std::size_t kShortestItem = 5;

// The longest command line that Windows starts, in UTF-16 units with its terminating NUL.
constexpr std::size_t kLongestCommandLine = 32767;

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

constexpr TextView kForbidden = u"\\/:*?\"<>|";

// Names that open a device instead of a file, whatever extension follows them.
// clang-format off
constexpr TextView kDeviceNames[] = {
    u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$",
    u"COM0", u"COM1", u"COM2", u"COM3", u"COM4", u"COM5", u"COM6", u"COM7", u"COM8", u"COM9",
    u"LPT0", u"LPT1", u"LPT2", u"LPT3", u"LPT4", u"LPT5", u"LPT6", u"LPT7", u"LPT8", u"LPT9",
    u"COM\u00B9", u"COM\u00B2", u"COM\u00B3", u"LPT\u00B9", u"LPT\u00B2", u"LPT\u00B3",
};
// clang-format on

char16_t AsciiUpper(char16_t c) {
  return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c;
}

bool IsDeviceName(TextView title) {
  // The system reads "NUL.txt" and "NUL .txt" as NUL: compare the part before the first dot,
  // without its trailing blanks.
  TextView base = title.substr(0, title.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  return std::any_of(std::begin(kDeviceNames), std::end(kDeviceNames),
                     [base](TextView name) { return SameIgnoringCase(base, name); });
}

}  // namespace

bool SameIgnoringCase(TextView a, TextView b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

bool IsFileNameTitle(TextView title) {
  const bool badCharacter = std::any_of(title.begin(), title.end(), [](char16_t c) {
    return c < 0x20 || kForbidden.find(c) != TextView::npos;
  });
  return !badCharacter && !IsDeviceName(title);
}

void BuildShortcut(FormView& form, const Fields& fields, const Services& services) {
  const Text item = form.GetText(fields.txtToExecute);
  if (item.size() < kShortestItem) return services.messages.Show(Text(kItemMissing));
  const Text title = form.GetText(fields.txtTitle);
  if (title.empty()) return services.messages.Show(Text(kTitleMissing));
  // Before anything is written: a title must not reach a device or a file outside the desktop.
  if (!IsFileNameTitle(title)) return services.messages.Show(Text(kTitleNotAFileName));
  // Windows starts the shortcut as "<program>" <item>, and the program skips the blanks after
  // its own name: a blank-led item would lose its blanks, an all-blank one open the editor.
  if (IsBlank(item.front())) return services.messages.Show(Text(kItemBlankLed));
  // The separators are joined in as they are: a folder that already ends in one keeps both.
  const Process& process = services.process;
  const Text target = process.ProgramFolder() + u"\\" + process.ProgramName() + u".exe";
  // Beside the item: the quoted program, the blank after it and the final NUL.
  const std::size_t aroundItem = target.size() + 4;
  if (item.size() + aroundItem > kLongestCommandLine) {
    const std::size_t longest = std::max(kLongestCommandLine, aroundItem) - aroundItem;
    return services.messages.Show(Text(kItemTooLong) +
                                  DecimalText(static_cast<std::int64_t>(longest)) + u" characters");
  }

  const Text desktop = services.shortcuts.DesktopFolder();
  const auto shortcut = services.shortcuts.CreateShortcut(desktop + u"\\" + title + u".lnk");
  shortcut->SetTargetPath(target);
  const Text icon = form.GetText(fields.txtIcon);
  if (ModShellExec::FileExists(process, icon)) {
    shortcut->SetIconLocation(icon);
  } else {
    shortcut->SetProgramIcon();
  }
  shortcut->SetArguments(item);
  shortcut->SetAppUserModelId(AppUserModelId(item));
  const Text hotkey = form.GetText(fields.txtHotKey);
  if (!hotkey.empty()) shortcut->SetHotkey(hotkey);
  shortcut->Save();
  services.messages.Show(Text(kDone));
}

}  // namespace brindlework::pinning
