#include "platform/win32/Win32ShortcutWriter.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

#include "LinkProbe.h"
#include "ShortcutFiles.h"
#include "TestSupport.h"
#include "UserState.h"
#include "platform/Error.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/WinText.h"

namespace brindlework {
namespace {

using testing::FileBytes;
using testing::LinkProbe;
using testing::ReadShortcut;
using win32::ToText;
using win32::ToWide;

// A German keyboard as far as hotkeys see it: '@' is Q with CTRL and ALT (AltGr), which is
// VkKeyScanExW's documented answer there; the key right of L types o-umlaut, named by its small
// letter; the key left of 1 is the dead key ^, which MapVirtualKeyExW marks with its top bit; the
// number pad's * types the * that SHIFT+8 types too. Every other key as on the current layout.
win32::KeyboardLayout GermanLayout() {
  const auto current = win32::CurrentKeyboardLayout();
  return {
      .scan = [scan = current.scan](wchar_t c) -> SHORT {
        if (c == L'@') return 0x0651;
        if (c == L'\u00F6') return VK_OEM_3;
        if (c == L'\u00D6') return 0x0100 | VK_OEM_3;
        if (c == L'^') return VK_OEM_5;
        return scan(c);
      },
      .character = [character = current.character](UINT key) -> UINT {
        if (key == VK_OEM_3) return L'\u00F6';
        if (key == VK_OEM_5) return 0x80000000u | L'^';
        if (key == VK_MULTIPLY) return L'*';
        return character(key);
      },
  };
}

class ShortcutWriterTest : public ::testing::Test {
 protected:
  // Writes a whole shortcut as the builder does: target, icon, arguments, identity, hotkey, save.
  void Write(const std::wstring& path, const std::wstring& arguments, const Text& hotkey,
             const std::wstring& icon = L"") {
    Write(writer, path, arguments, hotkey, icon);
  }
  static void Write(ShortcutWriter& writer, const std::wstring& path, const std::wstring& arguments,
                    const Text& hotkey, const std::wstring& icon = L"") {
    auto shortcut = writer.CreateShortcut(ToText(path));
    shortcut->SetTargetPath(u"C:\\Programs\\Brindlework\\Brindlework.exe");
    if (icon.empty()) {
      shortcut->SetProgramIcon();
    } else {
      shortcut->SetIconLocation(ToText(icon), 0);
    }
    shortcut->SetArguments(ToText(arguments));
    shortcut->SetAppUserModelId(Text(kId));
    if (!hotkey.empty()) shortcut->SetHotkey(hotkey);
    shortcut->Save();
  }

  static constexpr TextView kId = u"Brindlework.Item.0123456789abcdef";

  testing::ComApartment com;
  testing::TestDesktop desktop;
  win32::Win32ShortcutWriter writer;
};

TEST_F(ShortcutWriterTest, TheDesktopFolderIsTheUsersKnownFolder) {
  EXPECT_EQ(writer.DesktopFolder(), ToText(desktop.Path().wstring()));
}

TEST_F(ShortcutWriterTest, WritesWhatIShellLinkAndTheHeaderReadBack) {
  const std::wstring path = desktop / L"Pin \u4E2D\u6587 \U0001F4CC.lnk";
  const std::wstring icon = desktop / L"my icon.ico";
  testing::CreateTestFile(icon);
  const std::wstring item = L"  C:\\My Files\\\u4E2D\u6587 report.brt  ";
  Write(path, item, u"CTRL+SHIFT+k", icon);

  const auto read = ReadShortcut(path);
  EXPECT_EQ(read.target, L"C:\\Programs\\Brindlework\\Brindlework.exe");
  EXPECT_EQ(read.arguments, item);
  EXPECT_EQ(read.iconPath, icon);
  EXPECT_EQ(read.iconIndex, 0);
  EXPECT_EQ(read.hotkey, MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
  EXPECT_EQ(testing::HeaderHotkey(path), MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
  if (testing::RunningUnderWine() && read.appUserModelIdRead == E_NOTIMPL) {
    // Wine 8 accepts and commits the property but neither stores nor reads it back.
  } else {
    EXPECT_EQ(read.appUserModelIdRead, S_OK);
    EXPECT_EQ(read.appUserModelId, ToWide(kId));
  }
  // Only the shortcut itself is left in the folder: no temporary file.
  auto files = desktop.Files();
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::wstring>{L"Pin \u4E2D\u6587 \U0001F4CC.lnk", L"my icon.ico"}));
}

TEST_F(ShortcutWriterTest, LnkinfoReadsTheSameFields) {
  if (!testing::RunningUnderWine()) GTEST_SKIP() << "lnkinfo is a Linux program, run through Wine";
  const std::wstring path = desktop / L"checked.lnk";
  const std::wstring icon = desktop / L"pin.ico";
  testing::CreateTestFile(icon);
  Write(path, L"https://example.org/a b?c=\"d\"", u"CTRL+ALT+7", icon);
  const std::string report = testing::LnkInfo(path);
  SCOPED_TRACE(report);
  EXPECT_EQ(testing::LnkInfoField(report, "Command line arguments"),
            "https://example.org/a b?c=\"d\"");
  EXPECT_EQ(testing::LnkInfoField(report, "Icon location"), testing::ToUtf8(icon));
  EXPECT_EQ(testing::LnkInfoField(report, "Local path"),
            "C:\\Programs\\Brindlework\\Brindlework.exe");
  EXPECT_EQ(testing::LnkInfoField(report, "Icon index"), "0");
  // lnkinfo shows no hotkey: the header holds it.
  EXPECT_EQ(testing::HeaderHotkey(path), MAKEWORD('7', HOTKEYF_CONTROL | HOTKEYF_ALT));
}

TEST_F(ShortcutWriterTest, TheFallbackIconIsTheProgramsOwnFirstIcon) {
  const std::wstring path = desktop / L"plain.lnk";
  Write(path, L"C:\\item", u"");
  const auto read = ReadShortcut(path);
  EXPECT_EQ(read.iconPath, ToWide(win32::Win32Process::ProgramPath()));
  EXPECT_EQ(read.iconIndex, 0);
  EXPECT_EQ(read.hotkey, 0);
  EXPECT_EQ(testing::HeaderHotkey(path), 0);
}

TEST_F(ShortcutWriterTest, HotkeyTextsBecomeKeyCodes) {
  const std::pair<Text, WORD> cases[] = {
      {u"CTRL+SHIFT+k", MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT)},
      {u"CTRL+SHIFT+K", MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT)},
      {u"CTRL+ALT+7", MAKEWORD('7', HOTKEYF_CONTROL | HOTKEYF_ALT)},
      {u"CTRL+ALT+ ", MAKEWORD(VK_SPACE, HOTKEYF_CONTROL | HOTKEYF_ALT)},
      {u"CTRL+ALT++", MAKEWORD(VK_OEM_PLUS, HOTKEYF_CONTROL | HOTKEYF_ALT)},
      {u"CTRL+SHIFT+/", MAKEWORD(VK_OEM_2, HOTKEYF_CONTROL | HOTKEYF_SHIFT)},
  };
  for (const auto& [text, code] : cases) {
    EXPECT_EQ(win32::HotkeyCode(text), code) << testing::ToUtf8(ToWide(text));
  }
  // Where '@' needs CTRL+ALT, the key that types it with them is still a hotkey of its own.
  EXPECT_EQ(win32::HotkeyCode(u"CTRL+ALT+q", GermanLayout()),
            MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT));
}

// A shortcut read as a pin is: the target and the icon as stored (environment strings kept, as
// Windows may write an icon path), the icon's number as it is, the hotkey in the row's form.
TEST_F(ShortcutWriterTest, TheReaderGivesWhatAPinNeeds) {
  const std::wstring path = desktop / L"read.lnk";
  const std::wstring icon = L"%SystemRoot%\\pin \u4E2D.ico";
  {
    const auto link = win32::NewShellLink();
    win32::ComPtr<IPersistFile> file;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, file.put_void()), S_OK);
    // S_FALSE: no such file here, which a shortcut may point to all the same.
    ASSERT_TRUE(SUCCEEDED(link->SetPath(L"C:\\Programs\\Brindlework\\Brindlework.exe")));
    ASSERT_EQ(link->SetArguments(L"C:\\item \u4E2D"), S_OK);
    ASSERT_EQ(link->SetIconLocation(icon.c_str(), 3), S_OK);
    ASSERT_EQ(link->SetHotkey(MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT)), S_OK);
    ASSERT_EQ(file->Save(path.c_str(), TRUE), S_OK);
  }
  const ShortcutFile read = win32::Win32ShortcutReader().Read(ToText(path));
  EXPECT_EQ(read.target, u"C:\\Programs\\Brindlework\\Brindlework.exe");
  EXPECT_EQ(read.arguments, u"C:\\item \u4E2D");
  EXPECT_EQ(read.iconPath, ToText(icon));
  EXPECT_EQ(read.iconIndex, 3);
  EXPECT_EQ(read.hotkey.kind, RowHotkey::Kind::Composed);
  EXPECT_EQ(read.hotkey.modifier + u"+" + read.hotkey.key, u"SHIFT+K");
}

// A shortcut's hotkey turned back into the row's form: every hotkey that GO! writes on the test
// keyboard comes back as a text that gives the same code.
TEST(HotkeyRoundTrip, EveryKeyThatGoAcceptsComesBackToItsCode) {
  int accepted = 0;
  for (char16_t c = u' '; c < 0x250; ++c) {
    for (const TextView form : {u"CTRL+SHIFT+", u"CTRL+ALT+"}) {
      WORD code = 0;
      try {
        code = win32::HotkeyCode(Text(form) + c);
      } catch (const Error&) {
        continue;
      }
      ++accepted;
      const RowHotkey row = win32::RowHotkeyOf(code);
      const Text text = u"CTRL+" + row.modifier + u"+" + row.key;
      ASSERT_EQ(row.kind, RowHotkey::Kind::Composed) << testing::ToUtf8(ToWide(Text(form) + c));
      EXPECT_EQ(win32::HotkeyCode(text), code) << testing::ToUtf8(ToWide(text));
    }
  }
  EXPECT_GE(accepted, 2 * 36);  // the letters and digits at least

  // The canonical character, and the codes that no text gives.
  const std::pair<WORD, Text> cases[] = {
      {MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT), u"CTRL+SHIFT+K"},
      {MAKEWORD(VK_OEM_PLUS, HOTKEYF_CONTROL | HOTKEYF_ALT), u"CTRL+ALT+="},
      {MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT), u"CTRL+ALT+Q"},
      {MAKEWORD('K', HOTKEYF_CONTROL), u""},
      {MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT | HOTKEYF_ALT), u""},
      {MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT | HOTKEYF_EXT), u""},
      {MAKEWORD(VK_F5, HOTKEYF_CONTROL | HOTKEYF_ALT), u""},
      {MAKEWORD(VK_NUMPAD7, HOTKEYF_CONTROL | HOTKEYF_ALT), u""},
      {MAKEWORD(VK_MULTIPLY, HOTKEYF_CONTROL | HOTKEYF_ALT), u""},
  };
  for (const auto& [code, text] : cases) {
    for (const auto& keyboard : {win32::CurrentKeyboardLayout(), GermanLayout()}) {
      const RowHotkey row = win32::RowHotkeyOf(code, keyboard);
      EXPECT_EQ(row.kind, text.empty() ? RowHotkey::Kind::Other : RowHotkey::Kind::Composed)
          << code;
      if (!text.empty()) {
        EXPECT_EQ(u"CTRL+" + row.modifier + u"+" + row.key, text) << code;
      }
    }
  }
  EXPECT_EQ(win32::RowHotkeyOf(0).kind, RowHotkey::Kind::None);
  // Keys of the stand-in only: a letter named in capitals, and a dead key by its character.
  const std::pair<WORD, Text> german[] = {
      {MAKEWORD(VK_OEM_3, HOTKEYF_CONTROL | HOTKEYF_SHIFT), u"CTRL+SHIFT+\u00D6"},
      {MAKEWORD(VK_OEM_5, HOTKEYF_CONTROL | HOTKEYF_ALT), u"CTRL+ALT+^"},
  };
  for (const auto& [code, text] : german) {
    const RowHotkey row = win32::RowHotkeyOf(code, GermanLayout());
    EXPECT_EQ(u"CTRL+" + row.modifier + u"+" + row.key, text) << code;
    EXPECT_EQ(win32::HotkeyCode(text, GermanLayout()), code) << code;
  }
}

TEST_F(ShortcutWriterTest, AHotkeyThatNamesNoKeyFailsClearlyAndWritesNothing) {
  const std::wstring path = desktop / L"kept.lnk";
  Write(path, L"C:\\old item", u"CTRL+ALT+q");
  const std::string before = FileBytes(path);
  // On the stand-in every key but a few types as on this keyboard; there CTRL+ALT+@ would be the
  // key Q with other modifiers.
  win32::Win32ShortcutWriter german(win32::NewShellLink, GermanLayout());
  for (const Text hotkey :
       {u"CTRL+SHIFT+\u4E2D", u"CTRL+ALT+\U0001F4CC", u"CTRL+ALT+\u0001", u"CTRL+SHIFT+\t",
        u"CTRL+ALT+\r", u"CTRL+SHIFT+\x1B", u"CTRL++k", u"CTRL+k", u"ctrl+shift+k",
        u"CTRL+SHIFT+kk", u"CTRL+SHIFT+ALT+k", u"SHIFT+k", u" ", u"CTRL+ALT+@"}) {
    SCOPED_TRACE(testing::ToUtf8(ToWide(hotkey)));
    auto shortcut = german.CreateShortcut(ToText(path));
    shortcut->SetArguments(u"C:\\new item");
    try {
      shortcut->SetHotkey(hotkey);
      ADD_FAILURE() << "accepted";
    } catch (const Error& error) {
      EXPECT_EQ(error.Number(), ERROR_INVALID_PARAMETER);
      EXPECT_NE(error.Description().find(hotkey), Text::npos);
      EXPECT_NE(error.Description().find(u"cannot be set"), Text::npos);
    }
  }
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(desktop.Files(), std::vector<std::wstring>{L"kept.lnk"});
}

TEST_F(ShortcutWriterTest, ASaveNeverWritesIntoTheExistingFile) {
  const std::wstring path = desktop / L"linked.lnk";
  Write(path, L"C:\\first", u"CTRL+ALT+q");
  const std::string before = FileBytes(path);
  // A second name for the same file shows whether its bytes were rewritten in place: a save
  // that failed half-way through such a rewrite would leave a broken shortcut.
  const std::wstring other = desktop / L"other name.lnk";
  ASSERT_TRUE(CreateHardLinkW(other.c_str(), path.c_str(), nullptr));
  Write(path, L"C:\\second", u"");
  EXPECT_EQ(FileBytes(other), before);
  const auto read = ReadShortcut(path);
  EXPECT_EQ(read.arguments, L"C:\\second");
  EXPECT_EQ(read.hotkey, 0);  // each save writes the whole shortcut afresh
}

TEST_F(ShortcutWriterTest, AFailedSaveLeavesTheExistingShortcutByteForByte) {
  const std::wstring path = desktop / L"busy.lnk";
  Write(path, L"C:\\first", u"CTRL+ALT+q");
  const std::string before = FileBytes(path);
  {
    // Another program has the shortcut open and lets nobody replace or delete it.
    const win32::UniqueFile open(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(open);
    EXPECT_THROW(Write(path, L"C:\\second", u"CTRL+SHIFT+w"), Error);
  }
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(desktop.Files(), std::vector<std::wstring>{L"busy.lnk"});
}

TEST_F(ShortcutWriterTest, ALongItemMakesTheRoundTripWhole) {
  // The longest item that fits a command line beside this target, with text outside the BMP.
  std::wstring item(32724 - 4, L'x');
  item.replace(1000, 4, L"\u4E2D \U0001F4CC");
  item += L"end ";
  const std::wstring path = desktop / L"long.lnk";
  Write(path, item, u"");
  EXPECT_EQ(ReadShortcut(path).arguments, item);
  // A pin dropped back comes through the program's own reader: a path-sized buffer would cut it.
  const Text read = win32::Win32ShortcutReader().Read(ToText(path)).arguments;
  EXPECT_EQ(read.size(), item.size());
  EXPECT_TRUE(read == ToText(item));
}

TEST_F(ShortcutWriterTest, AValueTheSystemDidNotKeepFailsAndLeavesTheExistingShortcut) {
  const std::wstring path = desktop / L"kept.lnk";
  const std::wstring icon = desktop / L"pin.ico";
  testing::CreateTestFile(icon);
  Write(path, L"C:\\old item", u"");
  const std::string before = FileBytes(path);
  const std::pair<LinkProbe::Change, Text> cases[] = {
      {LinkProbe::Change::Target, u"its target: the system kept \"C:\\Other\\Program.exe\""},
      {LinkProbe::Change::IconPath, u"its icon: the system kept \"C:\\Other\\icon.ico\""},
      {LinkProbe::Change::IconIndex, u"its icon: the system kept icon number 1 for 0"},
      {LinkProbe::Change::Arguments, u"this item: the system kept 10 of its 24 characters"},
      {LinkProbe::Change::LongerArguments, u"this item: the system changed it"},
      {LinkProbe::Change::Hotkey, u"its hotkey: the system kept the key code 0 for 843"},
  };
  for (const auto& [change, description] : cases) {
    SCOPED_TRACE(testing::ToUtf8(ToWide(description)));
    int alive = 0;
    int links = 0;
    // The first link is the one written, the second the one read back.
    win32::Win32ShortcutWriter changing(
        [&] { return LinkProbe::New(alive, ++links == 2 ? change : LinkProbe::Change::None); });
    try {
      Write(changing, path, L"C:\\new item of 24 units ", u"CTRL+SHIFT+k", icon);
      ADD_FAILURE() << "saved";
    } catch (const Error& error) {
      EXPECT_EQ(error.Number(), ERROR_INVALID_DATA);
      EXPECT_TRUE(error.Description().starts_with(u"The shortcut cannot hold " + description))
          << testing::ToUtf8(ToWide(error.Description()));
    }
    EXPECT_EQ(links, 2);
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_EQ(desktop.Files().size(), 2u);  // the shortcut and the icon: no temporary file
  }
}

// Windows paths have no case: a system that keeps the target and icon in another case kept them.
TEST_F(ShortcutWriterTest, PathsKeptInAnotherCaseAreKept) {
  const std::wstring icon = desktop / L"pin.ico";
  testing::CreateTestFile(icon);
  int alive = 0;
  int links = 0;
  win32::Win32ShortcutWriter changing([&] {
    return LinkProbe::New(alive,
                          ++links == 2 ? LinkProbe::Change::PathCase : LinkProbe::Change::None);
  });
  Write(changing, desktop / L"cased.lnk", L"C:\\item", u"", icon);
  EXPECT_EQ(links, 2);
}

TEST_F(ShortcutWriterTest, EveryLinkIsReleasedWhetherTheSaveSucceedsOrFails) {
  for (const auto change : {LinkProbe::Change::None, LinkProbe::Change::Arguments}) {
    int alive = 0;
    int links = 0;
    win32::Win32ShortcutWriter counting(
        [&] { return LinkProbe::New(alive, ++links == 2 ? change : LinkProbe::Change::None); });
    try {
      Write(counting, desktop / L"counted.lnk", L"C:\\counted item", u"CTRL+ALT+q");
    } catch (const Error&) {
    }
    EXPECT_EQ(links, 2);
    EXPECT_EQ(alive, 0);  // a reference kept anywhere keeps its probe alive
  }
}

}  // namespace
}  // namespace brindlework
