#include <gtest/gtest.h>

#include "Fakes.h"
#include "windows/main/frmMain.h"

namespace brindlework {
namespace {

using testing::FakeFileDialogs;
using testing::FakeForm;
using testing::FakeMessages;
using testing::FakeProcess;
using testing::FakeRegistry;
using testing::FakeShell;
using testing::FakeWindowSystem;
using Cancel = FakeFileDialogs::Cancel;

const Text kIconFilter = u"ICON (*.ico)|*.ico";
const Text kItemFilter = u"All Files (*.*)|*.*|RTF (*.rtf)|*.rtf|Text Files (*.txt)|*.txt";

class FilePickersTest : public ::testing::Test {
 protected:
  FilePickersTest() { windows.Show(form); }
  FakeForm& View() { return windows.ViewOf(form); }
  const OpenFileSettings& LastRun() { return dialogs.runs.back().settings; }

  FakeFileDialogs dialogs;
  FakeProcess process;
  FakeMessages messages;
  FakeShell shell;
  FakeRegistry registry;
  FakeWindowSystem windows;
  frmAbout about{process, shell, messages, registry};
  frmSupport support{shell};
  frmMain form{windows, shell, about, support, dialogs, process, messages};
};

TEST_F(FilePickersTest, TheIconPickerAsksForOneIcoFileFromTheProgramFolder) {
  form.CommonDialog1.InitDir = u"D:\\where the last pick was";
  form.CommonDialog1.FileName = u"D:\\left over.ico";
  form.Click(frmMain::kCommand3);
  ASSERT_EQ(dialogs.runs.size(), 1u);
  EXPECT_EQ(dialogs.runs[0].owner, View().Handle());
  EXPECT_EQ(LastRun().InitDir, u"C:\\Programs\\Brindlework");
  EXPECT_EQ(LastRun().Flags, 6148u);
  EXPECT_EQ(LastRun().Filter, kIconFilter);
  EXPECT_EQ(LastRun().FileName, u"");
  EXPECT_TRUE(form.CommonDialog1.CancelError);
}

TEST_F(FilePickersTest, TheItemPickerKeepsTheInitialFolderThatTheIconPickerLeft) {
  form.Click(frmMain::kCommand7);
  EXPECT_EQ(LastRun().InitDir, u"");  // first in the run: the system chooses
  EXPECT_EQ(LastRun().Flags, 6148u);
  EXPECT_EQ(LastRun().Filter, kItemFilter);
  EXPECT_EQ(LastRun().FileName, u"");
  form.Click(frmMain::kCommand3);
  form.Click(frmMain::kCommand7);
  EXPECT_EQ(LastRun().InitDir, u"C:\\Programs\\Brindlework");
  EXPECT_EQ(LastRun().Filter, kItemFilter);
  EXPECT_EQ(dialogs.runs.size(), 3u);
}

TEST_F(FilePickersTest, APickIsConfirmedAndThenWrittenUnchanged) {
  const Text picked = u"C:\\My Files\\logo.ico";
  dialogs.answers = {picked};
  Text fieldWhileShown = u"unread";
  messages.onShow = [&](const Text&) { fieldWhileShown = View().GetText(frmMain::kTxtIcon); };
  form.Click(frmMain::kCommand3);
  EXPECT_EQ(messages.shown, std::vector<Text>{u"File Selected: " + picked});
  EXPECT_EQ(fieldWhileShown, u"");  // written only after OK
  EXPECT_EQ(View().GetText(frmMain::kTxtIcon), picked);
  EXPECT_EQ(View().GetText(frmMain::kTxtToExecute), u"");
}

TEST_F(FilePickersTest, AnItemPickReplacesATypedWebAddress) {
  View().SetText(frmMain::kTxtToExecute, u"https://example.org/");
  dialogs.answers = {Text(u"C:\\a\\b.txt")};
  form.Click(frmMain::kCommand7);
  EXPECT_EQ(View().GetText(frmMain::kTxtToExecute), u"C:\\a\\b.txt");
  EXPECT_EQ(View().GetText(frmMain::kTxtIcon), u"");
}

TEST_F(FilePickersTest, CancelTellsTheUserOnceAndLeavesTheFieldAlone) {
  View().SetText(frmMain::kTxtIcon, u"C:\\kept.ico");
  dialogs.answers = {Cancel{}, Cancel{}};
  form.Click(frmMain::kCommand3);
  form.Click(frmMain::kCommand7);
  EXPECT_EQ(messages.shown,
            (std::vector<Text>{u"you cancelled the dialog box", u"you cancelled the dialog box"}));
  EXPECT_EQ(View().GetText(frmMain::kTxtIcon), u"C:\\kept.ico");
  EXPECT_EQ(View().GetText(frmMain::kTxtToExecute), u"");
}

TEST_F(FilePickersTest, FailuresShowTheirNumberAndDescriptionAndLeaveTheFieldAlone) {
  View().SetText(frmMain::kTxtToExecute, u"typed");
  dialogs.answers = {Error(12290, u"A file name is invalid."), Error(-5, u"Odd.")};
  form.Click(frmMain::kCommand7);
  form.Click(frmMain::kCommand7);
  EXPECT_EQ(messages.shown, (std::vector<Text>{u"Unexpected error. Err 12290 : A file name is invalid.",
                                               u"Unexpected error. Err -5 : Odd."}));
  EXPECT_EQ(View().GetText(frmMain::kTxtToExecute), u"typed");
}

TEST_F(FilePickersTest, AProgramFolderThatCannotBeReadStopsBeforeTheDialog) {
  process.folderError = Error(5, u"Access is denied.");
  form.Click(frmMain::kCommand3);
  EXPECT_TRUE(dialogs.runs.empty());
  EXPECT_EQ(messages.shown, std::vector<Text>{u"Unexpected error. Err 5 : Access is denied."});
}

TEST(OpenFileDialog, CancelFailsWith32755OnlyWhenCancelErrorIsSet) {
  FakeFileDialogs dialogs;
  OpenFileDialog dialog(dialogs);
  dialog.FileName = u"C:\\before.txt";
  dialog.ShowOpen(kNoWindow);  // cancelled quietly
  EXPECT_EQ(dialog.FileName, u"C:\\before.txt");
  dialog.CancelError = true;
  try {
    dialog.ShowOpen(kNoWindow);
    ADD_FAILURE() << "no failure";
  } catch (const Error& error) {
    EXPECT_EQ(error.Number(), 32755);
  }
  dialogs.answers = {Text(u"C:\\chosen.txt")};
  dialog.ShowOpen(kNoWindow);
  EXPECT_EQ(dialog.FileName, u"C:\\chosen.txt");
}

}  // namespace
}  // namespace brindlework
