#include <gtest/gtest.h>

#include "FakeProgram.h"

namespace brindlework {
namespace {

using Cancel = testing::FakeFileDialogs::Cancel;

const Text kIconFilter = u"ICON (*.ico)|*.ico";
const Text kItemFilter = u"All Files (*.*)|*.*|RTF (*.rtf)|*.rtf|Text Files (*.txt)|*.txt";

class FilePickersTest : public ::testing::Test, protected testing::FakeProgram {
 protected:
  FilePickersTest() { windows.Show(main); }
  testing::FakeForm& View() { return windows.ViewOf(main); }
  const OpenFileSettings& LastRun() { return fileDialogs.runs.back().settings; }
};

TEST_F(FilePickersTest, TheIconPickerAsksForOneIcoFileFromTheProgramFolder) {
  main.CommonDialog1.InitDir = u"D:\\where the last pick was";
  main.CommonDialog1.FileName = u"D:\\left over.ico";
  main.Click(frmMain::kCommand3);
  ASSERT_EQ(fileDialogs.runs.size(), 1u);
  EXPECT_EQ(fileDialogs.runs[0].owner, View().Handle());
  EXPECT_EQ(LastRun().InitDir, u"C:\\Programs\\Brindlework");
  EXPECT_EQ(LastRun().Flags, 6148u);
  EXPECT_EQ(LastRun().Filter, kIconFilter);
  EXPECT_EQ(LastRun().FileName, u"");
  EXPECT_TRUE(main.CommonDialog1.CancelError);
}

TEST_F(FilePickersTest, TheItemPickerKeepsTheInitialFolderThatTheIconPickerLeft) {
  main.Click(frmMain::kCommand7);
  EXPECT_EQ(LastRun().InitDir, u"");  // first in the run: the system chooses
  EXPECT_EQ(LastRun().Flags, 6148u);
  EXPECT_EQ(LastRun().Filter, kItemFilter);
  EXPECT_EQ(LastRun().FileName, u"");
  main.Click(frmMain::kCommand3);
  main.Click(frmMain::kCommand7);
  EXPECT_EQ(LastRun().InitDir, u"C:\\Programs\\Brindlework");
  EXPECT_EQ(LastRun().Filter, kItemFilter);
  EXPECT_EQ(fileDialogs.runs.size(), 3u);
}

TEST_F(FilePickersTest, APickIsConfirmedAndThenWrittenUnchanged) {
  const Text picked = u"C:\\My Files\\logo.ico";
  fileDialogs.answers = {picked};
  Text fieldWhileShown = u"unread";
  messages.onShow = [&](const Text&) { fieldWhileShown = View().GetText(frmMain::kTxtIcon); };
  main.Click(frmMain::kCommand3);
  EXPECT_EQ(messages.shown, std::vector<Text>{u"File Selected: " + picked});
  EXPECT_EQ(fieldWhileShown, u"");  // written only after OK
  EXPECT_EQ(View().GetText(frmMain::kTxtIcon), picked);
  EXPECT_EQ(View().GetText(frmMain::kTxtToExecute), u"");
}

TEST_F(FilePickersTest, AnItemPickReplacesATypedWebAddress) {
  View().SetText(frmMain::kTxtToExecute, u"https://example.org/");
  fileDialogs.answers = {Text(u"C:\\a\\b.txt")};
  main.Click(frmMain::kCommand7);
  EXPECT_EQ(View().GetText(frmMain::kTxtToExecute), u"C:\\a\\b.txt");
  EXPECT_EQ(View().GetText(frmMain::kTxtIcon), u"");
}

TEST_F(FilePickersTest, CancelTellsTheUserOnceAndLeavesTheFieldAlone) {
  View().SetText(frmMain::kTxtIcon, u"C:\\kept.ico");
  fileDialogs.answers = {Cancel{}, Cancel{}};
  main.Click(frmMain::kCommand3);
  main.Click(frmMain::kCommand7);
  EXPECT_EQ(messages.shown,
            (std::vector<Text>{u"you cancelled the dialog box", u"you cancelled the dialog box"}));
  EXPECT_EQ(View().GetText(frmMain::kTxtIcon), u"C:\\kept.ico");
  EXPECT_EQ(View().GetText(frmMain::kTxtToExecute), u"");
}

TEST_F(FilePickersTest, FailuresShowTheirNumberAndDescriptionAndLeaveTheFieldAlone) {
  View().SetText(frmMain::kTxtToExecute, u"typed");
  fileDialogs.answers = {Error(12290, u"A file name is invalid."), Error(-5, u"Odd.")};
  main.Click(frmMain::kCommand7);
  main.Click(frmMain::kCommand7);
  EXPECT_EQ(messages.shown,
            (std::vector<Text>{u"Unexpected error. Err 12290 : A file name is invalid.",
                               u"Unexpected error. Err -5 : Odd."}));
  EXPECT_EQ(View().GetText(frmMain::kTxtToExecute), u"typed");
}

TEST_F(FilePickersTest, AProgramFolderThatCannotBeReadStopsBeforeTheDialog) {
  process.folderError = Error(5, u"Access is denied.");
  main.Click(frmMain::kCommand3);
  EXPECT_TRUE(fileDialogs.runs.empty());
  EXPECT_EQ(messages.shown, std::vector<Text>{u"Unexpected error. Err 5 : Access is denied."});
}

TEST(OpenFileDialog, CancelFailsWith32755OnlyWhenCancelErrorIsSet) {
  testing::FakeFileDialogs fileDialogs;
  OpenFileDialog dialog(fileDialogs);
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
  fileDialogs.answers = {Text(u"C:\\chosen.txt")};
  dialog.ShowOpen(kNoWindow);
  EXPECT_EQ(dialog.FileName, u"C:\\chosen.txt");
}

}  // namespace
}  // namespace brindlework
