// "&System Info..." in the About window: the tool found through HKEY_LOCAL_MACHINE of the test
// prefix (a recorder placed as the tool) starts by its quoted path. Which location wins, and the
// message when none does, are the launcher's unit tests.
#include <gtest/gtest.h>

#include "TestRegistry.h"
#include "TestSupport.h"
#include "Ui.h"
#include "windows/main/frmMain.h"

namespace brindlework::testing {
namespace {

constexpr char kToolKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char kFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";

std::string Ansi(const std::wstring& text) {
  std::string ansi(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1,
                                                                nullptr, 0, nullptr, nullptr)),
                   '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), static_cast<int>(ansi.size()),
                      nullptr, nullptr);
  return ansi;  // with its final NUL, as a REG_SZ is stored
}

class SysInfo : public ::testing::Test {
 protected:
  void SetUp() override {
    main = program.WaitForWindow(L"Brindlework to windows taskbar!");
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(frmMain::kMnuAbout, 0), 0);
    about = program.WaitForWindow(L"About Brindlework");
    ASSERT_NE(about, nullptr);
    button = FindControl(about, L"Button", L"&System Info...");
    ASSERT_NE(button, nullptr);
  }

  // The recorder copied into a folder of the scratch folder under the given name.
  std::wstring PlaceTool(const std::wstring& folder, const std::wstring& name) {
    CreateDirectoryW((scratch / folder).c_str(), nullptr);
    const std::wstring tool = scratch / (folder + L"\\" + name);
    EXPECT_TRUE(CopyFileW(BuiltProgram(L"recorder.exe").c_str(), tool.c_str(), FALSE));
    return tool;
  }

  // Both locations as the test leaves them; put back when it ends.
  TemporaryKey toolKey{kToolKey};
  TemporaryKey folderKey{kFolderKey};
  ScratchFolder scratch;
  Recording recording;  // before the program: the tool inherits where to record
  ChildProcess program{Quoted(BrindleworkExe())};
  HWND main = nullptr;
  HWND about = nullptr;
  HWND button = nullptr;
};

TEST_F(SysInfo, TheFirstLocationNamesTheToolWhichStartsByItsQuotedPath) {
  const std::wstring tool = PlaceTool(L"system info", L"msinfo32.exe");
  toolKey.Set("PATH", REG_SZ, Ansi(tool));
  // Also a usable second location, which must not be asked.
  PlaceTool(L"second", L"MSINFO32.EXE");
  folderKey.Set("MSINFO", REG_SZ, Ansi(scratch / L"second"));
  Click(button);
  const auto lines = recording.WaitForLines(1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], Quoted(tool));
  Sleep(300);
  EXPECT_FALSE(CurrentMessageBox(program));
  EXPECT_TRUE(IsWindowVisible(about));
  EXPECT_EQ(recording.Lines().size(), 1u);
}

}  // namespace
}  // namespace brindlework::testing
