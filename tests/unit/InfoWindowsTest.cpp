#include <gtest/gtest.h>

#include "FakeProgram.h"

namespace brindlework {
namespace {

class WindowsTest : public ::testing::Test, protected testing::FakeProgram {
 protected:

  void ExpectOneCall(WindowHandle owner, TextView verb, TextView file, TextView parameters) {
    ASSERT_EQ(shell.calls.size(), 1u);
    const auto& call = shell.calls[0];
    EXPECT_EQ(call.owner, owner);
    EXPECT_EQ(call.verb, verb);
    EXPECT_EQ(call.file, file);
    EXPECT_EQ(call.parameters, Text(parameters));  // an empty text, not a null one
    EXPECT_EQ(call.directory, Text());
    EXPECT_EQ(call.showCommand, 5);
  }
};

TEST_F(WindowsTest, AboutIsFilledInFromTheApplicationTitleAndVersion) {
  windows.Show(main);
  main.MnuAbout_Click();
  auto& view = windows.ViewOf(about);
  EXPECT_EQ(view.caption, u"About Brindlework");
  EXPECT_EQ(view.texts[frmAbout::kLblTitle], u"Brindlework");
  EXPECT_EQ(view.texts[frmAbout::kLblVersion], u"Version 1.0.0");

  windows.Close(about);
  process.title = u"Pinner";
  process.version = {2, 10, 3};
  main.MnuAbout_Click();
  EXPECT_EQ(windows.ViewOf(about).caption, u"About Pinner");
  EXPECT_EQ(windows.ViewOf(about).texts[frmAbout::kLblVersion], u"Version 2.10.3");
}

TEST_F(WindowsTest, TheAddressLabelShowsTheHomePageAndOpensItWithATrailingSlash) {
  windows.Show(about);
  auto& view = windows.ViewOf(about);
  EXPECT_EQ(view.texts[frmAbout::kLabel1], u"https://brindle.work");
  about.Label1_Click();
  ExpectOneCall(view.handle, u"open", u"https://brindle.work/", u"");
  EXPECT_FALSE(view.unloaded);
}

TEST_F(WindowsTest, OkUnloadsAbout) {
  windows.Show(about);
  about.cmdOK_Click();
  EXPECT_TRUE(windows.ViewOf(about).unloaded);
}

TEST_F(WindowsTest, SupportOpensItsPageWithCapitalVerbAndParametersZero) {
  windows.Show(support);
  auto& view = windows.ViewOf(support);
  EXPECT_EQ(view.texts[frmSupport::kLabel1].size(), 260u);
  support.Command1_Click();
  ExpectOneCall(view.handle, u"OPEN", u"https://brindle.work/support-us", u"0");
}

TEST_F(WindowsTest, TheMenusOpenTheHelpPageShowTheSharedWindowsAndExit) {
  windows.Show(main);
  main.Click(frmMain::kMnuHelp2);
  ExpectOneCall(windows.ViewOf(main).handle, u"open", u"https://brindle.work/support/", u"");

  main.Click(frmMain::kMnuAbout);
  main.Click(frmMain::kMnuSupport);
  EXPECT_EQ(windows.shows[&about], 1);
  EXPECT_EQ(windows.shows[&support], 1);
  EXPECT_FALSE(windows.ended);
  main.Click(frmMain::kMnuExit);
  EXPECT_TRUE(windows.ended);
}

}  // namespace
}  // namespace brindlework
