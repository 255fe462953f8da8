// The three windows as a user meets them: Tab and the keys, the menus, the links, and the process
// living exactly as long as a window is open. Where each control stands is checked inside the
// process (tests/win32/WindowLayoutTest.cpp).
#include <gtest/gtest.h>

#include <algorithm>

#include "TestRegistry.h"
#include "TestSupport.h"
#include "Ui.h"
#include "windows/main/frmMain.h"

namespace brindlework::testing {
namespace {

constexpr wchar_t kMainCaption[] = L"Brindlework to windows taskbar!";

void Menu(HWND main, int id) { PostMessageW(main, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

class Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    main = program.WaitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr);
  }
  HWND OpenAbout() {
    Menu(main, frmMain::kMnuAbout);
    return program.WaitForWindow(L"About Brindlework");
  }
  HWND OpenSupport() {
    Menu(main, frmMain::kMnuSupport);
    return program.WaitForWindow(L"Support us");
  }
  Recording recording;  // before the program, which inherits where to record
  ChildProcess program{Quoted(BrindleworkExe())};
  HWND main = nullptr;
};

TEST_F(Editor, FocusStartsOnGoAndTabFollowsTheTabIndexes) {
  std::vector<HWND> focusable;
  for (const auto& control : Controls(main)) {
    if (GetWindowLongW(control.hwnd, GWL_STYLE) & WS_TABSTOP) focusable.push_back(control.hwnd);
  }
  ASSERT_EQ(focusable.size(), 13u);
  EXPECT_EQ(WindowText(focusable[0]), L"GO!");
  EXPECT_EQ(FocusOf(main), focusable[0]);
  for (std::size_t i = 1; i <= focusable.size(); ++i) {
    PressKeys(main, {VK_TAB});
    HWND focus = FocusOf(main);
    if (GetParent(focus) != main) focus = GetParent(focus);  // the combo box's own edit
    EXPECT_EQ(focus, focusable[i % focusable.size()]) << "Tab number " << i;
  }
  PressKeys(main, {VK_SHIFT, VK_TAB});
  EXPECT_EQ(FocusOf(main), focusable.back());
  // No default button: Enter in a text box presses nothing.
  PressKeys(main, {VK_TAB, VK_TAB, VK_TAB});
  PressKeys(main, {VK_RETURN});
  PressKeys(main, {VK_ESCAPE});
  EXPECT_FALSE(CurrentMessageBox(program));
  EXPECT_EQ(CountWindows(program, kMainCaption), 1);
}

TEST_F(Editor, EnterRightAfterTheStartPressesGoWhichHasTheFocus) {
  PressKeys(main, {VK_RETURN});
  const auto box = WaitForMessageBox(program);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"Item to launch not selected");
  AnswerMessageBox(program);
}

TEST_F(Editor, TheLinksReachTheShellWithTheirAddresses) {
  // Under Wine the test prefix makes the recorder the application of web addresses.
  if (!RunningUnderWine()) {
    GTEST_SKIP() << "the links open https addresses: a test may not take the user's browser away";
  }
  Menu(main, frmMain::kMnuHelp2);
  const HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  const HWND link = FindControl(about, L"Static", L"https://brindle.work");
  ASSERT_NE(link, nullptr);
  PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  const HWND support = OpenSupport();
  ASSERT_NE(support, nullptr);
  Click(FindControl(support, L"Button", L"Click here"));

  const auto lines = recording.WaitForLines(3);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(std::find(lines.begin(), lines.end(), Recording::LineFor(L"https://brindle.work/support/")), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), Recording::LineFor(L"https://brindle.work/")), lines.end());
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const auto& line) { return line.find(L"/support-us") != std::wstring::npos; }),
            1);
  EXPECT_TRUE(IsWindowVisible(about));
  EXPECT_TRUE(IsWindowVisible(support));
}

TEST_F(Editor, AboutAndSupportOpenOnceAndEscClosesOnlyAbout) {
  ASSERT_NE(OpenAbout(), nullptr);
  ASSERT_NE(OpenSupport(), nullptr);
  Menu(main, frmMain::kMnuAbout);
  Menu(main, frmMain::kMnuSupport);
  Sleep(500);
  EXPECT_EQ(CountWindows(program, L"About Brindlework"), 1);
  EXPECT_EQ(CountWindows(program, L"Support us"), 1);

  const HWND support = program.WaitForWindow(L"Support us");
  PressKeys(support, {VK_ESCAPE});
  EXPECT_EQ(CountWindows(program, L"Support us"), 1);

  HWND about = program.WaitForWindow(L"About Brindlework");
  PressKeys(about, {VK_ESCAPE});
  EXPECT_TRUE(WaitUntil([&] { return CountWindows(program, L"About Brindlework") == 0; }));

  // Enter presses OK, which has the focus.
  about = OpenAbout();
  ASSERT_NE(about, nullptr);
  PressKeys(about, {VK_RETURN});
  EXPECT_TRUE(WaitUntil([&] { return CountWindows(program, L"About Brindlework") == 0; }));

  // Alt+S presses the system information button, whose message leaves About open; Esc still
  // closes it with the focus on that button. Windows names its own tool: hidden for the test.
  TemporaryKey tool{"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"};
  TemporaryKey folder{"SOFTWARE\\Microsoft\\Shared Tools Location"};
  tool.Remove("PATH");
  folder.Remove("MSINFO");
  about = OpenAbout();
  ASSERT_NE(about, nullptr);
  PressKeys(about, {VK_MENU, 'S'});
  const auto box = WaitForMessageBox(program);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, L"Brindlework");
  AnswerMessageBox(program);
  EXPECT_TRUE(IsWindowVisible(about));
  PressKeys(about, {VK_ESCAPE});
  EXPECT_TRUE(WaitUntil([&] { return CountWindows(program, L"About Brindlework") == 0; }));
}

TEST_F(Editor, ExitEndsTheProgramWithEveryWindow) {
  ASSERT_NE(OpenAbout(), nullptr);
  ASSERT_NE(OpenSupport(), nullptr);
  Menu(main, frmMain::kMnuExit);
  EXPECT_EQ(program.WaitForExit(10s), 0u);
}

TEST_F(Editor, AnOpenSupportWindowKeepsTheProgramAliveAfterTheMainWindowCloses) {
  const HWND support = OpenSupport();
  ASSERT_NE(support, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return CountWindows(program, kMainCaption) == 0; }));
  EXPECT_FALSE(program.WaitForExit(1s));
  EXPECT_TRUE(IsWindowVisible(support));
  PostMessageW(support, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(10s), 0u);
}

}  // namespace
}  // namespace brindlework::testing

namespace brindlework::testing {
namespace {

// Sets the desktop's DPI for programs that Wine starts from now on, and puts it back.
class DesktopDpi {
 public:
  explicit DesktopDpi(DWORD dpi) {
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                    nullptr, key_.put(), nullptr);
    RegSetValueExW(key_.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof dpi);
  }
  ~DesktopDpi() { RegDeleteValueW(key_.get(), L"LogPixels"); }

 private:
  win32::UniqueKey key_;
};

TEST(HigherDpi, TwipsBecomePixelsByTheWindowsDpi) {
  if (!RunningUnderWine()) GTEST_SKIP() << "Windows reads the desktop's DPI at sign-in only";
  DesktopDpi dpi(144);
  ChildProcess program(Quoted(BrindleworkExe()));
  const HWND main = program.WaitForWindow(kMainCaption);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(ClientSize(main).cx, 890);  // 8895 x 3915 twips at 144 DPI, rounded
  EXPECT_EQ(ClientSize(main).cy, 392);
  const HWND go = FindControl(main, L"Button", L"GO!");
  ASSERT_NE(go, nullptr);
  RECT rect{};
  GetWindowRect(go, &rect);
  MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 720);
  EXPECT_EQ(rect.top, 300);
  EXPECT_EQ(rect.right - rect.left, 146);  // 1455 twips: 145.5 rounded
  SaveScreenshot(main, L"main-144dpi");
}

}  // namespace
}  // namespace brindlework::testing
