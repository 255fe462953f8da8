#include "platform/win32/Win32ShortcutWriter.h"

#include <commctrl.h>
#include <shlobj.h>

#include <atomic>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/WinText.h"

namespace brindlework::win32 {
namespace {

Error BadHotkey(const Text& description) {
  return Error(ERROR_INVALID_PARAMETER, description);
}

// A file name in the target's folder that no other save uses, so that a failed save never
// touches the target.
Text TemporaryBeside(const Text& target) {
  static std::atomic<unsigned> counter{0};
  const auto slash = target.find_last_of(u"\\/");
  const Text folder = slash == Text::npos ? Text() : target.substr(0, slash + 1);
  return folder + u"~brindlework-" + DecimalText(GetCurrentProcessId()) + u"-" +
         DecimalText(static_cast<std::int64_t>(GetTickCount64())) + u"-" + DecimalText(++counter) +
         u".tmp";
}

// Deletes the file at the end of its scope unless it has been moved into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(Text path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!moved_) DeleteFileW(W(path_));
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const Text& Path() const { return path_; }
  void Moved() { moved_ = true; }

 private:
  Text path_;
  bool moved_ = false;
};

class Win32Shortcut final : public Shortcut {
 public:
  explicit Win32Shortcut(Text path) : path_(std::move(path)) {
    Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                           link_.put_void()));
  }

  void SetTargetPath(const Text& path) override { Check(link_->SetPath(W(path))); }
  void SetIconLocation(const Text& path) override { Check(link_->SetIconLocation(W(path), 0)); }
  void SetProgramIcon() override {
    // The program's first icon is the main window's icon.
    Check(link_->SetIconLocation(W(Win32Process::ProgramPath()), 0));
  }
  void SetArguments(const Text& arguments) override { Check(link_->SetArguments(W(arguments))); }
  void SetHotkey(const Text& hotkey) override { Check(link_->SetHotkey(HotkeyCode(hotkey))); }

  void Save() override {
    ComPtr<IPersistFile> file;
    Check(link_->QueryInterface(IID_IPersistFile, file.put_void()));
    TemporaryFile temporary(TemporaryBeside(path_));
    Check(file->Save(W(temporary.Path()), FALSE));
    // The finished file replaces the target in one step: a save that fails before this point
    // leaves an existing shortcut as it was.
    if (!MoveFileExW(W(temporary.Path()), W(path_),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      throw LastError();
    }
    temporary.Moved();
  }

 private:
  Text path_;
  ComPtr<IShellLinkW> link_;
};

}  // namespace

Text Win32ShortcutWriter::DesktopFolder() {
  UniqueCoMem path;
  Check(SHGetKnownFolderPath(FOLDERID_Desktop, KF_FLAG_DEFAULT, nullptr, path.put()));
  return ToText(path.get());
}

std::unique_ptr<Shortcut> Win32ShortcutWriter::CreateShortcut(const Text& path) {
  return std::make_unique<Win32Shortcut>(path);
}

WORD HotkeyCode(const Text& hotkey) {
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
    // SHIFT of its own, so CTRL+ALT+K and CTRL+ALT+k are the same hotkey.
    const SHORT scan = VkKeyScanExW(static_cast<wchar_t>(key), GetKeyboardLayout(0));
    if (scan == -1 || LOBYTE(scan) == 0 || LOBYTE(scan) == 0xFF) {
      throw BadHotkey(u"The hotkey " + hotkey + u" cannot be set: no key of the keyboard types \"" +
                      Text(1, key) + u"\".");
    }
    return MAKEWORD(LOBYTE(scan), form.modifiers);
  }
  throw BadHotkey(u"The hotkey " + hotkey +
                  u" cannot be set: a hotkey is CTRL+SHIFT+ or CTRL+ALT+ followed by one key.");
}

}  // namespace brindlework::win32
