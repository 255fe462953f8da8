#include "pinning/ShortcutBuilder.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>

#include "launcher/ModShellExec.h"
#include "pinning/TaskbarIdentity.h"
#include "platform/DropBlocks.h"
#include "platform/Error.h"
#include "platform/IconFiles.h"

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

// The text between a quote at each end; nothing when it is not so quoted. (A quote left between
// names nothing: no file name holds one.)
std::optional<Text> Unquoted(const Text& text) {
  if (text.size() < 2 || !text.starts_with(u'"') || !text.ends_with(u'"')) return std::nullopt;
  return text.substr(1, text.size() - 2);
}

// Where Windows keeps the icon libraries that its own dialogs name by their name alone.
constexpr TextView kSystemFolder = u"%SystemRoot%\\System32\\";

// A name without a folder in it, once its environment strings are expanded ("shell32.dll").
bool IsBareName(const Process& process, const Text& file) {
  const Text expanded = process.ExpandedEnvironmentStrings(file);
  return !expanded.empty() && expanded.find_first_of(u"\\/:") == Text::npos;
}

// The file of an icon location as it is written, when it exists with its environment strings
// expanded and is not a folder. A bare name is a file of the system folder, as Windows' "Change
// Icon" dialog reads it, never one of the current folder, which for a desktop program is
// wherever it was started from.
std::optional<Text> IconFile(const Process& process, Text file) {
  if (IsBareName(process, file)) file = Text(kSystemFolder) + file;
  try {
    const auto attributes = process.FileAttributes(process.ExpandedEnvironmentStrings(file));
    if (attributes & kFolderAttribute) return std::nullopt;
  } catch (const Error&) {
    return std::nullopt;  // nothing there
  }
  return file;
}

// "<file>,<number>", as Windows names one icon of a file (a DefaultIcon value), when the file,
// without its quotes, is an icon file (above): digits with an optional minus sign right after
// the last comma, in the range of a 32-bit signed number. The file is named without its quotes,
// its environment strings kept.
std::optional<IconLocation> NumberedIcon(const Process& process, const Text& text) {
  const auto comma = text.rfind(u',');
  if (comma == Text::npos) return std::nullopt;
  const TextView number = TextView(text).substr(comma + 1);
  const TextView digits = number.substr(number.starts_with(u'-') ? 1 : 0);
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  std::int64_t value = 0;
  for (const char16_t digit : digits) {
    if (digit < u'0' || digit > u'9') return std::nullopt;
    value = value * 10 + (digit - u'0');
  }
  if (number.starts_with(u'-')) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  Text file = text.substr(0, comma);
  if (file.starts_with(u'"')) {
    auto name = Unquoted(file);  // a comma inside the quotes leaves one of them here
    if (!name) return std::nullopt;
    file = std::move(*name);
  }
  auto located = IconFile(process, std::move(file));
  if (!located) return std::nullopt;
  return IconLocation{std::move(*located), static_cast<int>(value)};
}

}  // namespace

// The icon that the icon field's text names, read as Windows writes an icon location: the whole
// text names something, as typed or with its environment strings expanded (a file whose own
// name ends in ",3" is that file), or it does once one pair of quotes is taken off; else it is
// "<file>,<number>". A bare name, in any of these forms, is a file of the system folder only.
// What is named keeps its environment strings, so that a pin of "%SystemRoot%\..." still finds
// its icon where Windows lives elsewhere.
std::optional<IconLocation> NamedIcon(const Process& process, const Text& text) {
  const auto named = [&process](const Text& path, bool asTyped) -> std::optional<Text> {
    if (IsBareName(process, path)) return IconFile(process, path);
    const bool found = (asTyped && ModShellExec::FileExists(process, path)) ||
                       ModShellExec::FileExists(process, process.ExpandedEnvironmentStrings(path));
    return found ? std::optional(path) : std::nullopt;
  };
  if (const auto file = named(text, true)) return IconLocation{*file, 0};
  if (const auto name = Unquoted(text)) {
    if (const auto file = named(*name, false)) return IconLocation{*file, 0};
  }
  return NumberedIcon(process, text);
}

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

void BuildShortcut(FormView& form, const Fields& fields, const Services& services,
                   const IconServices& icons) {
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

  // An address names no file: the pin would silently wear the program's icon.
  const Text iconText = form.GetText(fields.txtIcon);
  const bool siteIcon = IsWebAddress(iconText);
  std::optional<IconLocation> icon;
  if (siteIcon) {
    SiteIcon site = FetchSiteIcon(form.Handle(), icons, iconText);
    if (!site.path) return site.cancelled ? void() : services.messages.Show(site.failure);
    icon = IconLocation{std::move(*site.path), 0};
  } else {
    icon = NamedIcon(process, iconText);
  }

  const Text desktop = services.shortcuts.DesktopFolder();
  const auto shortcut = services.shortcuts.CreateShortcut(desktop + u"\\" + title + u".lnk");
  shortcut->SetTargetPath(target);
  if (icon) {
    shortcut->SetIconLocation(icon->file, icon->number);
  } else {
    shortcut->SetProgramIcon();
  }
  shortcut->SetArguments(item);
  shortcut->SetAppUserModelId(AppUserModelId(item));
  const Text hotkey = form.GetText(fields.txtHotKey);
  if (!hotkey.empty()) shortcut->SetHotkey(hotkey);
  shortcut->Save();
  // The field shows what the pin wears, and "Remember all" then keeps a file, not an address.
  if (siteIcon) form.SetText(fields.txtIcon, icon->file);
  services.messages.Show(Text(kDone));
}

}  // namespace brindlework::pinning
