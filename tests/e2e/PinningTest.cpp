// A pin from end to end, as a user makes it: the fields typed into the real window, "GO!", the
// shortcut on the desktop started as Windows starts it, and the item arriving at its application.
// Then a failure that the program reports and survives, and what a restart remembers.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include "ShortcutFiles.h"
#include "TestSupport.h"
#include "Ui.h"
#include "UserState.h"

namespace brindlework::testing {
namespace {

constexpr wchar_t kMainCaption[] = L"Brindlework to windows taskbar!";

// The controls at their table positions (twips / 15 at 96 DPI).
struct Field {
  const wchar_t* className;
  int left, top;
};
constexpr Field kItem{L"Edit", 1440, 240};
constexpr Field kIcon{L"Edit", 1440, 960};
constexpr Field kTitle{L"Edit", 1440, 1680};
constexpr Field kKey{L"Edit", 3480, 2520};
constexpr Field kHotkey{L"Edit", 1440, 3000};
constexpr Field kModifier{L"ComboBox", 1440, 2520};
constexpr int kAlt = 1;
constexpr int kShift = 0;

// One run of the program in editor mode.
class Editor {
 public:
  Editor() : program_(Quoted(BrindleworkExe())), window_(program_.WaitForWindow(kMainCaption)) {
    if (!window_) throw std::runtime_error("the main window did not show");
  }

  const ChildProcess& Program() const { return program_; }
  HWND Window() const { return window_; }
  HWND Control(const Field& field) const {
    return ControlAt(window_, field.className, field.left / 15, field.top / 15);
  }
  std::wstring Get(const Field& field) const { return WindowText(Control(field)); }
  void Type(const Field& field, const std::wstring& text) const { SetText(Control(field), text); }
  void Press(const std::wstring& caption) const { Click(FindControl(window_, L"Button", caption)); }
  // Presses the button and answers the message box that must follow; gives its text.
  std::wstring PressAndAnswer(const std::wstring& caption) const {
    Press(caption);
    const auto box = WaitForMessageBox(program_);
    if (!box) return L"(no message box)";
    EXPECT_EQ(box->caption, L"Brindlework");
    return AnswerMessageBox(program_);
  }
  // Presses a button that must show no message: the click is sent, so it returns once handled,
  // and a message box would hold it past the bound.
  void PressQuietly(const std::wstring& caption) const {
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutW(FindControl(window_, L"Button", caption), BM_CLICK, 0, 0,
                                    SMTO_ABORTIFHUNG, 3000, &ignored))
        << "a message box held the click";
    EXPECT_FALSE(CurrentMessageBox(program_).has_value());
  }
  void Fill(const std::wstring& item, const std::wstring& icon, const std::wstring& title) const {
    Type(kItem, item);
    Type(kIcon, icon);
    Type(kTitle, title);
  }
  // Closes the window as the user does; the program ends with it.
  std::optional<DWORD> Close() const {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    return program_.WaitForExit(10s);
  }

 private:
  ChildProcess program_;
  HWND window_;
};

class Pinning : public ::testing::Test {
 protected:
  Pinning() { DeleteSettings(L"Brindlework"); }
  ~Pinning() override { DeleteSettings(L"Brindlework"); }

  ComApartment com;
  TestDesktop desktop;
  ScratchFolder scratch;
};

TEST_F(Pinning, ThePinnedItemReachesItsApplicationThroughTheShortcut) {
  const std::wstring item = scratch / L"my report 2.brt";
  const std::wstring icon = scratch / L"pin icon.ico";
  CreateTestFile(item);
  CreateTestFile(icon);
  Recording recording;
  Editor editor;
  editor.Fill(item, icon, L"My pin");
  SelectEntry(editor.Control(kModifier), kAlt);
  editor.Type(kKey, L"7");
  EXPECT_EQ(editor.PressAndAnswer(L"Set hotkey"), L"done!");
  EXPECT_EQ(editor.Get(kHotkey), L"CTRL+ALT+7");
  SaveScreenshot(editor.Window(), L"pin");
  EXPECT_EQ(editor.PressAndAnswer(L"GO!"), L"done!");

  // What each field becomes in the file is the writer's test; here, that the window's fields
  // reach it.
  const std::wstring shortcut = desktop / L"My pin.lnk";
  const ShortcutFields read = ReadShortcut(shortcut);
  EXPECT_EQ(read.target, BrindleworkExe());
  EXPECT_EQ(read.arguments, item);
  EXPECT_EQ(read.iconPath, icon);
  EXPECT_EQ(read.hotkey, MAKEWORD('7', HOTKEYF_CONTROL | HOTKEYF_ALT));
  // The fields stay as typed after a pin.
  EXPECT_EQ(editor.Get(kItem), item);
  EXPECT_EQ(editor.Close(), 0u);

  // Started as Windows starts a shortcut: the program in launch mode hands the item on.
  const auto started = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", shortcut.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  EXPECT_GT(started, 32);
  const auto lines = recording.WaitForLines(1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], Recording::LineFor(item));
}

TEST_F(Pinning, AnUnwritableDesktopIsReportedAndTheProgramGoesOn) {
  const std::wstring blocker = scratch / L"desktop";
  CreateTestFile(blocker, "a file where the folder should be");
  desktop.PointAt(blocker);
  Editor editor;
  editor.Fill(L"C:\\some item", L"", L"pin");
  const std::wstring message = editor.PressAndAnswer(L"GO!");
  EXPECT_EQ(message.rfind(L"Error ", 0), 0u) << ToUtf8(message);
  EXPECT_NE(message.find(L": "), std::wstring::npos);
  EXPECT_EQ(FileBytes(blocker), "a file where the folder should be");
  // Still running, with the fields as they were; once the desktop is back, the pin works.
  EXPECT_FALSE(editor.Program().WaitForExit(0ms).has_value());
  EXPECT_EQ(editor.Get(kItem), L"C:\\some item");
  EXPECT_EQ(editor.Get(kTitle), L"pin");
  desktop.PointAt(desktop.Path().wstring());
  EXPECT_EQ(editor.PressAndAnswer(L"GO!"), L"done!");
  EXPECT_TRUE(std::filesystem::exists(desktop.Path() / L"pin.lnk"));
}

TEST_F(Pinning, DeleteHotkeyLeavesNoModifierBehindTheEmptyRow) {
  Editor editor;
  SelectEntry(editor.Control(kModifier), kShift);
  editor.Type(kKey, L"+");
  EXPECT_EQ(editor.PressAndAnswer(L"Set hotkey"), L"done!");
  EXPECT_EQ(editor.Get(kHotkey), L"CTRL+SHIFT++");
  EXPECT_EQ(editor.PressAndAnswer(L"Delete hotkey"), L"done!");
  for (const Field& field : {kKey, kHotkey, kModifier}) EXPECT_EQ(editor.Get(field), L"");
  EXPECT_EQ(SelectedEntry(editor.Control(kModifier)), -1);
}

TEST_F(Pinning, RememberedFieldsComeBackAfterARestartAndTheHotkeyDoesNot) {
  const std::wstring item = L"  C:\\a b\\\u4E2D\u6587 \U0001F4CC.brt ";
  const std::wstring icon = L" ";
  const std::wstring title = L"My  pin " + std::wstring(600, L'x');
  {
    Editor editor;
    editor.Fill(item, icon, title);
    SelectEntry(editor.Control(kModifier), kShift);
    editor.Type(kKey, L"k");
    EXPECT_EQ(editor.PressAndAnswer(L"Set hotkey"), L"done!");
    editor.PressQuietly(L"Remember all");
    EXPECT_EQ(editor.Close(), 0u);
  }
  Editor editor;
  EXPECT_EQ(editor.Get(kItem), item);
  EXPECT_EQ(editor.Get(kIcon), icon);
  EXPECT_EQ(editor.Get(kTitle), title);
  EXPECT_EQ(editor.Get(kHotkey), L"");
  EXPECT_EQ(editor.Get(kKey), L"");
  EXPECT_EQ(SelectedEntry(editor.Control(kModifier)), -1);
}

// The README's picture (scripts/screenshot makes docs/main-window.png of it): a pin filled in,
// the focus moved back onto GO! by the keyboard, so no field shows a caret. Nothing is written.
TEST_F(Pinning, TheReadmePictureShowsAPinFilledIn) {
  Editor editor;
  editor.Fill(L"C:\\Users\\Ann\\Documents\\Garden plan.xlsx",
              L"C:\\Windows\\System32\\shell32.dll,43", L"Garden plan");
  SelectEntry(editor.Control(kModifier), kAlt);
  editor.Type(kKey, L"G");
  editor.Type(kHotkey, L"CTRL+ALT+G");
  PressKeys(editor.Window(), {VK_SHIFT, VK_TAB});
  PressKeys(editor.Window(), {VK_TAB});
  EXPECT_EQ(FocusOf(editor.Window()), FindControl(editor.Window(), L"Button", L"GO!"));
  SaveScreenshot(editor.Window(), L"main-window");
}

}  // namespace
}  // namespace brindlework::testing
