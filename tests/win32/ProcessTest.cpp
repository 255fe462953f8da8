#include <gtest/gtest.h>

#include "TestSupport.h"
#include "launcher/ModShellExec.h"
#include "platform/Error.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/WinText.h"

namespace brindlework {
namespace {

using testing::ScratchFolder;

TEST(FileExists, HoldsForAFileAndAFolderAndFailsForEmptyMissingAndInvalidNames) {
  ScratchFolder scratch;
  const std::wstring file = scratch / L"a file with blanks.ico";
  testing::CreateTestFile(file);
  win32::Win32Process process;
  EXPECT_TRUE(ModShellExec::FileExists(process, win32::ToText(file)));
  EXPECT_TRUE(ModShellExec::FileExists(process, win32::ToText(scratch.Path().wstring())));
  EXPECT_FALSE(ModShellExec::FileExists(process, u""));
  EXPECT_FALSE(ModShellExec::FileExists(process, win32::ToText(scratch / L"missing.ico")));
  EXPECT_FALSE(ModShellExec::FileExists(process, win32::ToText(scratch / L"in<valid>|?.ico")));
  EXPECT_FALSE(ModShellExec::FileExists(process, u"\\\\?\\Q:\\no\\such\\drive"));
}

// (A defined name's expansion is seen where a pin of %SystemRoot% is dropped and written again.)
TEST(EnvironmentStrings, AnUndefinedNameStaysAsTyped) {
  const Text text = u"%BRINDLEWORK_UNDEFINED%\\x.dll,3";
  EXPECT_EQ(win32::Win32Process().ExpandedEnvironmentStrings(text), text);
}

TEST(ProgramFile, FolderAndNameDescribeTheRunningProgram) {
  win32::Win32Process process;
  const Text folder = process.ProgramFolder();
  EXPECT_EQ(process.ProgramName(), u"win32_tests");
  EXPECT_TRUE(ModShellExec::FileExists(process, folder + u"\\" + process.ProgramName() + u".exe"));
}

}  // namespace
}  // namespace brindlework

namespace brindlework {
namespace {

TEST(StartProgram, RefusesAPathThatTheSystemWouldCutShort) {
  win32::Win32Process process;
  const Text cmd = u"C:\\windows\\system32\\cmd.exe";
  ASSERT_TRUE(process.IsOrdinaryFile(cmd));
  EXPECT_THROW(process.StartProgram(cmd + Text(1, u'\0') + u" /c exit", 1), Error);
  EXPECT_THROW(process.StartProgram(u"", 1), Error);
  EXPECT_THROW(process.StartProgram(u"C:\\no such folder\\tool.exe", 1), Error);
}

}  // namespace
}  // namespace brindlework
