// Files dropped on the live main window, as the shell drops them: a pin made by GO! comes back
// into the fields and is written again the same.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <thread>

#include "LiveForms.h"
#include "ShortcutFiles.h"
#include "Ui.h"
#include "UserState.h"
#include "unit/Fakes.h"

namespace brindlework {
namespace {

using F = frmMain;

// A WM_DROPFILES's data as the shell builds it: a DROPFILES block in global memory, followed by
// the wide paths, each ended by a NUL, and one more NUL. `point` in client coordinates, or
// outside the client area with `nonClient`. The receiver frees it with DragFinish.
HDROP ShellDrop(const std::vector<std::wstring>& paths, POINT point, bool nonClient = false) {
  std::wstring names;
  for (const auto& path : paths) names += path + L'\0';
  names += L'\0';
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                                     sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = point;
  drop->fNC = nonClient;
  drop->fWide = TRUE;
  std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(drop + 1));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// A shortcut's bytes without what records its target's folders on this disk, which anything
// that writes into one of them changes between two saves: the target's times in the header
// (0x1C to 0x33) and the target's ID list (its 16-bit size at 76, right after the header).
std::string WithoutTargetTrail(std::string bytes) {
  constexpr std::size_t kHeader = 76;
  if (bytes.size() < kHeader + 2) return bytes;
  std::fill(bytes.begin() + 0x1C, bytes.begin() + 0x34, '\0');
  const std::size_t idList = static_cast<unsigned char>(bytes[kHeader]) |
                             static_cast<unsigned char>(bytes[kHeader + 1]) << 8;
  return bytes.erase(kHeader, 2 + idList);
}

class DropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = forms.Show(forms.main, L"Brindlework to windows taskbar!");
    ASSERT_NE(window, nullptr);
  }

  HWND Control(int id) const { return GetDlgItem(window, id); }
  std::wstring Text(int id) const {
    wchar_t text[512] = L"";
    GetWindowTextW(Control(id), text, 512);
    return text;
  }
  void Type(int id, const std::wstring& text) const { SetWindowTextW(Control(id), text.c_str()); }
  void Press(int id) const {
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(id)));
  }
  // The centre of a control, in the window's client coordinates.
  POINT Centre(int id) const {
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  // Drops as the shell does, and checks that the window freed the drop, whatever it made of it.
  void Drop(const std::vector<std::wstring>& paths, POINT point, bool nonClient = false) const {
    const HDROP drop = ShellDrop(paths, point, nonClient);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(GlobalFlags(drop), GMEM_INVALID_HANDLE);
  }

  // Files (when any) as the shell copies them, and a text beside them, on the clipboard alone.
  void Clipboard(const std::vector<std::wstring>& paths, const std::wstring& text) const {
    ASSERT_TRUE(OpenClipboard(window) && EmptyClipboard());
    if (!paths.empty()) SetClipboardData(CF_HDROP, ShellDrop(paths, {}));
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
  }
  // Real keys in the field, taken through the dialog manager as the program's loop takes them.
  void Paste(int id, std::initializer_list<WORD> keys) const {
    SetFocus(Control(id));
    testing::PressKeys(window, keys);
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
      if (!IsDialogMessageW(window, &message)) DispatchMessageW(&message);
    }
  }

  testing::ComApartment com;
  testing::TestDesktop desktop;
  testing::ScratchFolder folder;
  testing::LiveFormsOf<testing::FakeMessages> forms;
  HWND window = nullptr;
};

// GO!, the pin dropped back (outside the client area, over the icon field: the window itself),
// GO! again: the fields as typed, icon number included, the same shortcut, and no message of its
// own.
TEST_F(DropTest, APinDroppedBackFillsTheFieldsAndGoWritesItAgainTheSame) {
  const std::wstring item = L"C:\\Files\\\u4E2D\u6587 report.brt";
  // As Windows' Change Icon dialog writes it: the environment string stays through it all.
  const std::wstring icon = L"%SystemRoot%\\system32\\shell32.dll,3";
  const std::wstring title = L"Report \u4E2D\u6587";
  Type(F::kTxtToExecute, item);
  Type(F::kTxtIcon, icon);
  Type(F::kTxtTitle, title);
  SendMessageW(Control(F::kCombo1), CB_SETCURSEL, 1, 0);  // ALT
  Type(F::kText1, L"7");
  Type(F::kTxtHotKey, L"CTRL+ALT+7");
  Press(F::kCommand1);
  ASSERT_EQ(forms.messages.shown, std::vector<brindlework::Text>{u"done!"});
  const std::wstring pin = desktop / (title + L".lnk");
  const std::string written = testing::FileBytes(pin);

  for (const int id : {F::kTxtToExecute, F::kTxtIcon, F::kTxtTitle, F::kText1, F::kTxtHotKey}) {
    Type(id, L"x");
  }
  SendMessageW(Control(F::kCombo1), CB_SETCURSEL, 0, 0);  // SHIFT
  Drop({pin}, Centre(F::kTxtIcon), true);
  EXPECT_EQ(Text(F::kTxtToExecute), item);
  EXPECT_EQ(Text(F::kTxtIcon), icon);
  EXPECT_EQ(Text(F::kTxtTitle), title);
  EXPECT_EQ(Text(F::kCombo1), L"ALT");
  EXPECT_EQ(Text(F::kText1), L"7");
  EXPECT_EQ(Text(F::kTxtHotKey), L"CTRL+ALT+7");
  EXPECT_EQ(forms.messages.shown.size(), 1u);

  ASSERT_TRUE(DeleteFileW(pin.c_str()));
  Press(F::kCommand1);
  EXPECT_EQ(forms.messages.shown.back(), u"done!");
  EXPECT_EQ(testing::ReadShortcut(pin).iconIndex, 3);
  EXPECT_EQ(WithoutTargetTrail(testing::FileBytes(pin)), WithoutTargetTrail(written));
}

// On the icon row a program, a folder and a picture each become an icon location that GO!
// writes and Windows loads an icon from; several files, or a shortcut that cannot be read,
// change no field and are told.
TEST_F(DropTest, TheIconRowTakesOneFileAndRefusalsAreTold) {
  const std::wstring program = folder / L"icons \u4E2D.exe";  // this program: it holds icons
  ASSERT_TRUE(CopyFileW(win32::W(win32::Win32Process::ProgramPath()), program.c_str(), TRUE));
  const std::wstring picture = folder / L"picture.png";
  ASSERT_TRUE(CopyFileW(testing::BuiltProgram(L"picture-3x2.png").c_str(), picture.c_str(), TRUE));
  const std::wstring damaged = folder / L"damaged.lnk";
  testing::CreateTestFile(damaged, "not a shortcut");
  Type(F::kTxtToExecute, L"C:\\item");
  Type(F::kTxtTitle, L"pin");
  const std::wstring pin = desktop / L"pin.lnk";
  const std::pair<std::wstring, int> drops[] = {
      {program, F::kTxtIcon}, {folder.Path().wstring(), F::kLabel3}, {picture, F::kCommand3}};
  for (const auto& [path, control] : drops) {
    SCOPED_TRACE(testing::ToUtf8(path));
    Type(F::kTxtIcon, L"");
    Drop({path}, Centre(control));
    if (path == program) {
      EXPECT_EQ(Text(F::kTxtIcon), program);
    } else if (path == picture) {
      EXPECT_EQ(Text(F::kTxtIcon).rfind(forms.iconsFolder / L"", 0), 0u);
    }
    Press(F::kCommand1);
    ASSERT_EQ(forms.messages.shown.back(), u"done!");
    const auto written = testing::ReadShortcut(pin);
    HICON icon = nullptr;
    EXPECT_EQ(ExtractIconExW(written.iconPath.c_str(), written.iconIndex, &icon, nullptr, 1), 1u);
    EXPECT_TRUE(win32::UniqueIcon(icon));
  }
  EXPECT_EQ(forms.messages.shown.size(), 3u);

  Drop({damaged, program}, Centre(F::kTxtTitle));
  Drop({damaged}, Centre(F::kTxtTitle));
  ASSERT_EQ(forms.messages.shown.size(), 5u);
  EXPECT_EQ(forms.messages.shown[3], u"Drop one item at a time.");
  EXPECT_TRUE(forms.messages.shown[4].starts_with(u"Error "))
      << testing::Utf8(forms.messages.shown[4]);
  EXPECT_EQ(Text(F::kTxtToExecute), L"C:\\item");
}

// A paste of files into the item or the icon field is a drop there, and the text beside them is
// not pasted; a paste in the title field, or of a text alone, pastes the text. The clipboard is
// free while the message shows.
TEST_F(DropTest, FilesPastedIntoTheItemOrIconFieldAreDroppedThere) {
  const std::wstring program = folder / L"icons.exe";  // this program: it holds icons
  ASSERT_TRUE(CopyFileW(win32::W(win32::Win32Process::ProgramPath()), program.c_str(), TRUE));
  bool clipboardFree = false;
  forms.messages.onShow = [&](const brindlework::Text&) {
    std::thread([&] { clipboardFree = OpenClipboard(nullptr) && CloseClipboard(); }).join();
  };
  Clipboard({program}, L"text");
  Paste(F::kTxtToExecute, {VK_CONTROL, 'V'});
  EXPECT_EQ(Text(F::kTxtToExecute), program);
  Press(F::kCommand2);  // Clear all
  Paste(F::kTxtIcon, {VK_SHIFT, VK_INSERT});
  EXPECT_EQ(Text(F::kTxtIcon), program);
  EXPECT_EQ(Text(F::kTxtToExecute), L"");
  Paste(F::kTxtTitle, {VK_CONTROL, 'V'});
  EXPECT_EQ(Text(F::kTxtTitle), L"text");

  Clipboard({program, folder.Path().wstring()}, L"text");
  Paste(F::kTxtToExecute, {VK_CONTROL, 'V'});
  EXPECT_EQ(forms.messages.shown, std::vector<brindlework::Text>{u"Drop one item at a time."});
  EXPECT_TRUE(clipboardFree);
  Clipboard({}, L"C:\\typed");
  Paste(F::kTxtToExecute, {VK_CONTROL, 'V'});
  EXPECT_EQ(Text(F::kTxtToExecute), L"C:\\typed");
  ASSERT_TRUE(OpenClipboard(window) && EmptyClipboard() && CloseClipboard());
}

}  // namespace
}  // namespace brindlework
