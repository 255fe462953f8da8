#include "launcher/ModShellExec.h"

#include <gtest/gtest.h>

#include "Fakes.h"

namespace brindlework {
namespace {

using testing::FakeProcess;
using testing::FakeShell;

TEST(CommandLineItem, SkipsAQuotedProgramNameAndTheBlanksAfterIt) {
  EXPECT_EQ(ModShellExec::CommandLineItem(u"\"C:\\Program Files\\B w\\Brindlework.exe\" C:\\a b.txt"),
            u"C:\\a b.txt");
  EXPECT_EQ(ModShellExec::CommandLineItem(u"\"C:\\x.exe\" \t \tbrtest:hello world"),
            u"brtest:hello world");
  // The item runs to its end: trailing blanks, inner quotes and tabs stay.
  EXPECT_EQ(ModShellExec::CommandLineItem(u"\"x.exe\" brtest:say \"hi\" \t "), u"brtest:say \"hi\" \t ");
}

TEST(CommandLineItem, EndsAnUnquotedProgramNameAtTheFirstBlankOrTab) {
  EXPECT_EQ(ModShellExec::CommandLineItem(u"C:\\x.exe https://example.org/a?b=c"),
            u"https://example.org/a?b=c");
  EXPECT_EQ(ModShellExec::CommandLineItem(u"x.exe\t\"quoted item\""), u"\"quoted item\"");
  EXPECT_EQ(ModShellExec::CommandLineItem(u"x.exe"), u"");
  EXPECT_EQ(ModShellExec::CommandLineItem(u"x.exe   "), u"");
  EXPECT_EQ(ModShellExec::CommandLineItem(u""), u"");
  // An unclosed quote takes the whole line as the program's name.
  EXPECT_EQ(ModShellExec::CommandLineItem(u"\"C:\\a b\\x.exe item"), u"");
}

TEST(CommandLineItem, KeepsTextOutsideTheAnsiCodePages) {
  EXPECT_EQ(ModShellExec::CommandLineItem(u"\"x.exe\" C:\\\u4E2D\u6587\\\U0001F4CC.txt"),
            u"C:\\\u4E2D\u6587\\\U0001F4CC.txt");
}

class MainTest : public ::testing::Test {
 protected:
  void RunMain(const Text& commandLine) {
    process.commandLine = commandLine;
    ModShellExec::Main(process, shell, [this] { ++windowsShown; });
  }
  FakeProcess process;
  FakeShell shell;
  int windowsShown = 0;
};

TEST_F(MainTest, AnItemIsOpenedWithNullParametersAndDirectoryAndNoWindow) {
  RunMain(u"\"C:\\B\\Brindlework.exe\" C:\\My Files\\report 2.docx");
  ASSERT_EQ(shell.calls.size(), 1u);
  const auto& call = shell.calls[0];
  EXPECT_EQ(call.owner, kNoWindow);
  EXPECT_EQ(call.verb, u"open");
  EXPECT_EQ(call.file, u"C:\\My Files\\report 2.docx");
  EXPECT_FALSE(call.parameters.has_value());  // null, which the shell tells from ""
  EXPECT_FALSE(call.directory.has_value());
  EXPECT_EQ(call.showCommand, 5);
  EXPECT_EQ(process.endedWith, 0);
  EXPECT_EQ(windowsShown, 0);
}

TEST_F(MainTest, ARefusedItemEndsWithExitCodeOneAndNoMessageOrWindow) {
  for (std::intptr_t refused : {0, 2, 31, 32}) {
    shell.result = refused;
    process.endedWith.reset();
    RunMain(u"x.exe C:\\missing");
    EXPECT_EQ(process.endedWith, 1) << refused;
  }
  shell.result = 33;
  RunMain(u"x.exe C:\\there");
  EXPECT_EQ(process.endedWith, 0);
  EXPECT_EQ(windowsShown, 0);
}

TEST_F(MainTest, AnEmptyCommandLineShowsTheMainWindowAndOpensNothing) {
  for (const Text line : {u"Brindlework.exe", u"\"C:\\B w\\Brindlework.exe\"  \t"}) {
    windowsShown = 0;
    RunMain(line);
    EXPECT_EQ(windowsShown, 1);
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_FALSE(process.endedWith.has_value());
  }
}

TEST(FailureMessage, JoinsTheNumberAndTheDescription) {
  EXPECT_EQ(FailureMessage(Error(5, u"Access is denied.")), u"Error 5: Access is denied.");
  EXPECT_EQ(FailureMessage(Error(-2147467259, u"Unspecified error")),
            u"Error -2147467259: Unspecified error");
  // What a test or a log meets of an Error that nothing caught: the same text, in UTF-8.
  EXPECT_STREQ(Error(5, u"Acc\u00E8s refus\u00E9.").what(), "Error 5: Acc\xC3\xA8s refus\xC3\xA9.");
  EXPECT_EQ(DecimalText(0), u"0");
  EXPECT_EQ(DecimalText(INT64_MIN), u"-9223372036854775808");
}

}  // namespace
}  // namespace brindlework
