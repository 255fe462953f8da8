#include "platform/win32/Win32ShortcutWriter.h"

#include <commctrl.h>
#include <propkey.h>
#include <shlobj.h>

#include "platform/win32/Files.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/WinText.h"

namespace brindlework::win32 {
namespace {

Error BadHotkey(const Text& description) {
  return Error(ERROR_INVALID_PARAMETER, description);
}

Error NotKept(const Text& description) {
  return Error(ERROR_INVALID_DATA, u"The shortcut cannot hold " + description + u".");
}

// A text that a getter writes, NUL-terminated, into a buffer of `capacity` units.
template <typename Getter>
Text ReadText(std::size_t capacity, Getter get) {
  std::wstring buffer(capacity, L'\0');
  Check(get(buffer.data(), static_cast<int>(capacity)));
  return ToText(buffer.c_str());
}

// A path as the system resolves it: environment strings expanded and the full path normalised
// (it keeps "C:\\x.exe" as "C:\x.exe").
Text ResolvedPath(const Text& path) {
  const std::wstring expanded = Expanded(path);
  std::wstring full(GetFullPathNameW(expanded.c_str(), 0, nullptr, nullptr), L'\0');
  const DWORD length = full.empty()
                           ? 0
                           : GetFullPathNameW(expanded.c_str(), static_cast<DWORD>(full.size()),
                                              full.data(), nullptr);
  if (length == 0 || length >= full.size()) throw LastError();
  return ToText(full.data(), length);
}

bool SamePath(const Text& a, const Text& b) {
  if (a == b) return true;
  if (a.empty() || b.empty()) return false;
  const Text fullA = ResolvedPath(a);
  const Text fullB = ResolvedPath(b);
  return CompareStringOrdinal(W(fullA), static_cast<int>(fullA.size()), W(fullB),
                              static_cast<int>(fullB.size()), TRUE) == CSTR_EQUAL;
}

// What a shortcut file holds, as the link reads it.
struct LinkValues {
  Text target;  // as stored, not resolved against the file system
  Text arguments;
  Text icon;
  int iconIndex = -1;
  WORD hotkey = 0;
};

constexpr std::size_t kLongestPath = 32768;

// Loads the file into the link and reads it; the arguments cut to `argumentsCapacity` units
// with their NUL, as GetArguments cuts them.
LinkValues LoadLink(IShellLinkW& link, const Text& path, std::size_t argumentsCapacity) {
  ComPtr<IPersistFile> file;
  Check(link.QueryInterface(IID_IPersistFile, file.put_void()));
  Check(file->Load(W(path), STGM_READ));
  LinkValues values;
  values.target = ReadText(kLongestPath, [&](wchar_t* buffer, int size) {
    return link.GetPath(buffer, size, nullptr, SLGP_RAWPATH);
  });
  values.arguments = ReadText(argumentsCapacity, [&](wchar_t* buffer, int size) {
    return link.GetArguments(buffer, size);
  });
  values.icon = ReadText(kLongestPath, [&](wchar_t* buffer, int size) {
    return link.GetIconLocation(buffer, size, &values.iconIndex);
  });
  Check(link.GetHotkey(&values.hotkey));
  return values;
}

Text Quoted(const Text& text) {
  return u"\"" + text + u"\"";
}

class Win32Shortcut final : public Shortcut {
 public:
  Win32Shortcut(Text path, ShellLinkFactory newLink, KeyboardLayout keyboard)
      : path_(std::move(path)),
        newLink_(std::move(newLink)),
        keyboard_(std::move(keyboard)),
        link_(newLink_()) {}

  void SetTargetPath(const Text& path) override {
    Check(link_->SetPath(W(path)));
    target_ = path;
  }
  void SetIconLocation(const Text& path, int number) override {
    Check(link_->SetIconLocation(W(path), number));
    icon_ = path;
    iconNumber_ = number;
  }
  // The program's first icon is the main window's icon.
  void SetProgramIcon() override { SetIconLocation(Win32Process::ProgramPath(), 0); }
  void SetArguments(const Text& arguments) override {
    Check(link_->SetArguments(W(arguments)));
    arguments_ = arguments;
  }
  void SetAppUserModelId(const Text& id) override {
    ComPtr<IPropertyStore> properties;
    Check(link_->QueryInterface(IID_IPropertyStore, properties.put_void()));
    // SetValue copies the value, so it may borrow the text (and no string helper of shlwapi is
    // loaded into every launch for it).
    PROPVARIANT value{};
    value.vt = VT_LPWSTR;
    value.pwszVal = const_cast<wchar_t*>(W(id));
    Check(properties->SetValue(PKEY_AppUserModel_ID, value));
    // The link writes its properties into the file only once they are committed.
    Check(properties->Commit());
  }
  void SetHotkey(const Text& hotkey) override {
    const WORD code = HotkeyCode(hotkey, keyboard_);
    Check(link_->SetHotkey(code));
    hotkey_ = code;
  }

  void Save() override {
    ComPtr<IPersistFile> file;
    Check(link_->QueryInterface(IID_IPersistFile, file.put_void()));
    TemporaryFile temporary(TemporaryBeside(path_));
    Check(file->Save(W(temporary.Path()), FALSE));
    CheckSaved(temporary.Path());
    // The finished file replaces the target in one step: a save that fails before this point
    // leaves an existing shortcut as it was.
    if (!MoveFileExW(W(temporary.Path()), W(path_),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      throw LastError();
    }
    temporary.Moved();
  }

 private:
  // Reads the saved file into a fresh link and throws when it does not hold what was set. The
  // system may keep less than it is given (Windows documents shorter limits for arguments than
  // it is handed), and an item must never be cut or changed silently.
  void CheckSaved(const Text& path) const {
    // GetArguments cuts silently to its buffer: one unit more than the item shows a longer text.
    const auto [target, arguments, icon, index, hotkey] =
        LoadLink(*newLink_().get(), path, arguments_.size() + 2);
    if (!SamePath(target, target_)) {
      throw NotKept(u"its target: the system kept " + Quoted(target) + u" for " + Quoted(target_));
    }
    if (!SamePath(icon, icon_)) {
      throw NotKept(u"its icon: the system kept " + Quoted(icon) + u" for " + Quoted(icon_));
    }
    if (index != iconNumber_) {
      throw NotKept(u"its icon: the system kept icon number " + DecimalText(index) + u" for " +
                    DecimalText(iconNumber_));
    }
    if (arguments != arguments_) {
      throw NotKept(
          arguments_.starts_with(arguments)
              ? u"this item: the system kept " +
                    DecimalText(static_cast<std::int64_t>(arguments.size())) + u" of its " +
                    DecimalText(static_cast<std::int64_t>(arguments_.size())) + u" characters"
              : Text(u"this item: the system changed it"));
    }
    if (hotkey != hotkey_) {
      throw NotKept(u"its hotkey: the system kept the key code " + DecimalText(hotkey) + u" for " +
                    DecimalText(hotkey_));
    }
  }

  Text path_;
  ShellLinkFactory newLink_;  // copies: a shortcut may outlive its writer
  KeyboardLayout keyboard_;
  ComPtr<IShellLinkW> link_;
  // What was set, for the read-back.
  Text target_;
  Text icon_;
  int iconNumber_ = 0;
  Text arguments_;
  WORD hotkey_ = 0;
};

}  // namespace

ComPtr<IShellLinkW> NewShellLink() {
  ComPtr<IShellLinkW> link;
  Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                         link.put_void()));
  return link;
}

Text Win32ShortcutWriter::DesktopFolder() {
  UniqueCoMem path;
  Check(SHGetKnownFolderPath(FOLDERID_Desktop, KF_FLAG_DEFAULT, nullptr, path.put()));
  return ToText(path.get());
}

std::unique_ptr<Shortcut> Win32ShortcutWriter::CreateShortcut(const Text& path) {
  return std::make_unique<Win32Shortcut>(path, newLink_, keyboard_);
}

ShortcutFile Win32ShortcutReader::Read(const Text& path) {
  // A command line's longest item fits the buffer of a path.
  const LinkValues values = LoadLink(*newLink_().get(), path, kLongestPath);
  return {
      .target = values.target,
      .arguments = values.arguments,
      .iconPath = values.icon,
      .iconIndex = values.iconIndex,
      .hotkey = RowHotkeyOf(values.hotkey, keyboard_),
  };
}

KeyboardLayout CurrentKeyboardLayout() {
  return {
      .scan = [](wchar_t character) { return VkKeyScanExW(character, GetKeyboardLayout(0)); },
      .character =
          [](UINT key) { return MapVirtualKeyExW(key, MAPVK_VK_TO_CHAR, GetKeyboardLayout(0)); },
  };
}

WORD HotkeyCode(const Text& hotkey, const KeyboardLayout& keyboard) {
  constexpr struct {
    TextView prefix;
    BYTE modifiers;
  } kForms[] = {
      {u"CTRL+SHIFT+", HOTKEYF_CONTROL | HOTKEYF_SHIFT},
      {u"CTRL+ALT+", HOTKEYF_CONTROL | HOTKEYF_ALT},
  };
  for (const auto& form : kForms) {
    if (hotkey.size() != form.prefix.size() + 1 || !hotkey.starts_with(form.prefix)) continue;
    const char16_t key = hotkey.back();
    // The key is the one that types the character; the case a letter was typed in adds no
    // SHIFT of its own, so CTRL+ALT+K and CTRL+ALT+k are the same hotkey. A control character
    // has no key of its own (U+0001 maps to CTRL+A, Tab and Enter to keys that the shortcut
    // cannot combine), and a character that needs CTRL or ALT to type would change the hotkey.
    const SHORT scan = key < u' ' ? -1 : keyboard.scan(static_cast<wchar_t>(key));
    constexpr BYTE kCtrlOrAlt = 2 | 4;  // VkKeyScanExW's shift-state bits
    if (scan == -1 || LOBYTE(scan) == 0 || LOBYTE(scan) == 0xFF || (HIBYTE(scan) & kCtrlOrAlt)) {
      throw BadHotkey(u"The hotkey " + hotkey +
                      u" cannot be set: no single key of the keyboard types \"" + Text(1, key) +
                      u"\".");
    }
    return MAKEWORD(LOBYTE(scan), form.modifiers);
  }
  throw BadHotkey(u"The hotkey " + hotkey +
                  u" cannot be set: a hotkey is CTRL+SHIFT+ or CTRL+ALT+ followed by one key.");
}

RowHotkey RowHotkeyOf(WORD code, const KeyboardLayout& keyboard) {
  if (code == 0) return {};
  const RowHotkey other{.kind = RowHotkey::Kind::Other};
  const BYTE modifiers = HIBYTE(code);
  const TextView modifier = modifiers == (HOTKEYF_CONTROL | HOTKEYF_SHIFT) ? u"SHIFT"
                            : modifiers == (HOTKEYF_CONTROL | HOTKEYF_ALT) ? u"ALT"
                                                                           : u"";
  if (modifier.empty()) return other;
  // The top bit marks a dead key, which still types its character with the next key.
  const UINT unshifted = keyboard.character(LOBYTE(code)) & 0x7FFFFFFF;
  if (unshifted < u' ' || unshifted > 0xFFFF) return other;
  // A letter in capitals, as the layout itself names its letter keys.
  wchar_t key = static_cast<wchar_t>(unshifted);
  CharUpperBuffW(&key, 1);
  RowHotkey row{.kind = RowHotkey::Kind::Composed, .modifier = Text(modifier), .key = Text(1, key)};
  // A key whose character another key types as well (a digit of the number pad) is not the
  // key that the text names.
  try {
    if (HotkeyCode(u"CTRL+" + row.modifier + u"+" + row.key, keyboard) == code) return row;
  } catch (const Error&) {
  }
  return other;
}

}  // namespace brindlework::win32
