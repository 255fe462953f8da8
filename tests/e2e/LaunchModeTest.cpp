// Brindlework.exe started as a pinned shortcut starts it: the item reaches the application that
// the shell chooses (the recorder), exactly, and no window ever shows; an item that cannot be
// opened is told by the shell.
#include <gtest/gtest.h>

#include <thread>

#include "TestSupport.h"
#include "Ui.h"

namespace brindlework::testing {
namespace {

struct LaunchResult {
  std::optional<DWORD> exitCode;
  bool windowSeen = false;       // a window other than a message box
  bool messageAnswered = false;  // a message box, closed with its OK as a user would
};

// Starts the program with the item after its name and watches for a visible window of it,
// every 5 ms, until it ends (at most 20 s); a message box is answered with its OK.
LaunchResult Launch(const std::wstring& item) {
  ChildProcess program(Quoted(BrindleworkExe()) + L" " + item);
  LaunchResult result;
  const auto end = std::chrono::steady_clock::now() + 20s;
  while (!(result.exitCode = program.WaitForExit(5ms)) && std::chrono::steady_clock::now() < end) {
    for (HWND window : program.VisibleWindows()) {
      const bool box = AsMessageBox(window).has_value();
      if (box) PostMessageW(window, WM_COMMAND, IDOK, 0);
      (box ? result.messageAnswered : result.windowSeen) = true;
    }
  }
  return result;
}

TEST(LaunchMode, ItemsReachTheirApplicationExactly) {
  ScratchFolder scratch;
  const std::wstring document = scratch / L"my report 2.brt";
  CreateTestFile(document);
  // Web addresses go to the recorder in the test prefix; on Windows to the user's browser, which
  // a test may not replace: there the same address comes with the test scheme.
  const std::wstring web = RunningUnderWine() ? L"https" : L"brtest";
  const std::wstring items[] = {
      L"brtest:hello world",
      document,
      L"brtest:say \"hi\"",
      L"brtest:\u4E2D\u6587 \U0001F4CC",
      web + L"://example.org/a path?q=1&r=\"2\"#top",  // a web address, unchanged
  };
  for (const auto& item : items) {
    Recording recording;
    const LaunchResult result = Launch(item);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_FALSE(result.windowSeen || result.messageAnswered);
    const auto lines = recording.WaitForLines(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], Recording::LineFor(item));
  }
}

// The shell tells why, in a message of the process that it waits for; its text is the shell's
// own, which differs between Wine and Windows.
TEST(LaunchMode, AMissingItemShowsTheShellsMessageAndEndsWithExitCodeOneWhenItIsClosed) {
  ScratchFolder scratch;
  const LaunchResult result = Launch(scratch / L"nothing here.txt");
  EXPECT_TRUE(result.messageAnswered);
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_FALSE(result.windowSeen);
}

TEST(EditorMode, AnEmptyCommandLineShowsTheMainWindowUntilItCloses) {
  ChildProcess program(Quoted(BrindleworkExe()));
  const HWND main = program.WaitForWindow(L"Brindlework to windows taskbar!");
  ASSERT_NE(main, nullptr);
  SaveScreenshot(main, L"main");
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(20s), 0u);
}

}  // namespace
}  // namespace brindlework::testing
