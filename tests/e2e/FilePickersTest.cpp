// The two file pickers of the main window, worked through the real open-file dialog: what the
// dialog offers, the messages, and what lands in the fields.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "Ui.h"
#include "windows/main/frmMain.h"

namespace brindlework::testing {
namespace {

constexpr wchar_t kMainCaption[] = L"Brindlework to windows taskbar!";
const std::vector<std::wstring> kIconTypes{L"ICON (*.ico)"};
const std::vector<std::wstring> kItemTypes{L"All Files (*.*)", L"RTF (*.rtf)",
                                           L"Text Files (*.txt)"};

class FilePickers : public ::testing::Test {
 protected:
  void SetUp() override {
    main = program.WaitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr);
    iconButton = FindControl(main, L"Button", L"Choose icon (.ico)");
    itemButton = FindControl(main, L"Button", L"Pin  :>     (select file)");
    iconField = ControlAt(main, L"Edit", 1440 / 15, 960 / 15);
    itemField = ControlAt(main, L"Edit", 1440 / 15, 240 / 15);
    ASSERT_TRUE(iconButton && itemButton && iconField && itemField);
  }

  HWND OpenDialog(HWND button) {
    Click(button);
    return WaitForOpenFileDialog(program);
  }

  // The dialog is gone and exactly one message follows; gives its text.
  std::wstring TheOneMessage(HWND dialog) {
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    const std::wstring text = AnswerMessageBox(program);
    Sleep(300);
    EXPECT_FALSE(CurrentMessageBox(program)) << "a second message";
    return text;
  }

  ScratchFolder scratch;
  // The program starts in a folder of its own, so that the dialog's first folder is not
  // the program's folder by chance.
  const std::wstring startFolder = [this] {
    CreateDirectoryW((scratch / L"start here").c_str(), nullptr);
    return scratch / L"start here";
  }();
  ChildProcess program{Quoted(BrindleworkExe()), startFolder};
  HWND main = nullptr;
  HWND iconButton = nullptr;
  HWND itemButton = nullptr;
  HWND iconField = nullptr;
  HWND itemField = nullptr;
};

TEST_F(FilePickers, AnIconPickIsConfirmedAndThenWrittenWithItsBlanks) {
  CreateDirectoryW((scratch / L"My Files").c_str(), nullptr);
  const std::wstring icon = scratch / L"My Files\\logo.ico";
  CreateTestFile(icon);

  const HWND dialog = OpenDialog(iconButton);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(FileTypes(dialog), kIconTypes);
  EXPECT_FALSE(IsWindowEnabled(main));  // modal to the main window
  SaveScreenshot(dialog, L"icon-picker");
  ChooseFile(dialog, icon);

  const auto box = WaitForMessageBox(program);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, L"Brindlework");
  EXPECT_EQ(box->text, L"File Selected: " + icon);
  EXPECT_EQ(WindowText(iconField), L"");  // written only after OK
  EXPECT_FALSE(IsWindowEnabled(main));
  AnswerMessageBox(program);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(iconField) == icon; })) << WindowText(iconField);
  EXPECT_EQ(WindowText(itemField), L"");
  EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(FilePickers, CancelLeavesTheFieldAndAPickReplacesATypedAddress) {
  const std::wstring typed = L"https://example.org/page";
  SetText(itemField, typed);
  HWND dialog = OpenDialog(itemButton);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(FileTypes(dialog), kItemTypes);
  Cancel(dialog);
  EXPECT_EQ(TheOneMessage(dialog), L"you cancelled the dialog box");
  EXPECT_EQ(WindowText(itemField), typed);

  const std::wstring notes = scratch / L"notes for pin.txt";
  CreateTestFile(notes);
  dialog = OpenDialog(itemButton);
  ASSERT_NE(dialog, nullptr);
  ChooseFile(dialog, notes);
  EXPECT_EQ(TheOneMessage(dialog), L"File Selected: " + notes);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(itemField) == notes; })) << WindowText(itemField);

  // Cancelling the icon picker leaves its empty field empty.
  dialog = OpenDialog(iconButton);
  ASSERT_NE(dialog, nullptr);
  Cancel(dialog);
  EXPECT_EQ(TheOneMessage(dialog), L"you cancelled the dialog box");
  EXPECT_EQ(WindowText(iconField), L"");
}

TEST_F(FilePickers, TheIconPickerSetsTheFolderThatTheItemPickerThenKeeps) {
  const std::wstring programFolder =
      std::filesystem::path(BrindleworkExe()).parent_path().filename().wstring();
  // Shows the dialog of the button, reads the folder it opened in, and cancels it.
  auto folderShownBy = [&](HWND button) {
    const HWND dialog = OpenDialog(button);
    if (!dialog) return std::wstring(L"(no dialog)");
    const std::wstring folder = ShownFolderName(dialog);
    Cancel(dialog);
    TheOneMessage(dialog);
    return folder;
  };
  EXPECT_EQ(folderShownBy(itemButton), L"start here");  // no folder given: the system's choice
  EXPECT_EQ(folderShownBy(iconButton), programFolder);
  EXPECT_EQ(folderShownBy(itemButton), programFolder);

  // A pick elsewhere changes neither picker's first folder.
  const std::wstring elsewhere = scratch / L"elsewhere.txt";
  CreateTestFile(elsewhere);
  const HWND dialog = OpenDialog(itemButton);
  ASSERT_NE(dialog, nullptr);
  ChooseFile(dialog, elsewhere);
  TheOneMessage(dialog);
  EXPECT_EQ(folderShownBy(iconButton), programFolder);
  EXPECT_EQ(folderShownBy(itemButton), programFolder);
}

}  // namespace
}  // namespace brindlework::testing
