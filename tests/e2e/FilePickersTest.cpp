// The two file pickers of the main window, worked through the real open-file dialog: the folder
// each opens in, and what a pick leaves in the field. The messages and the filters are the
// pickers' unit tests; the dialog's own contract is tests/win32/OpenFileDialogTest.cpp.
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "TestSupport.h"
#include "Ui.h"
#include "windows/main/frmMain.h"

namespace brindlework::testing {
namespace {

constexpr wchar_t kMainCaption[] = L"Brindlework to windows taskbar!";

class FilePickers : public ::testing::Test {
 protected:
  void SetUp() override {
    main = program.WaitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr);
    iconButton = FindControl(main, L"Button", L"Choose icon (.ico)");
    itemButton = FindControl(main, L"Button", L"Pin  :>     (select file)");
    itemField = ControlAt(main, L"Edit", 1440 / 15, 240 / 15);
    ASSERT_TRUE(iconButton && itemButton && itemField);
  }

  HWND OpenDialog(HWND button) {
    Click(button);
    return WaitForOpenFileDialog(program.Id(), main);
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
  HWND itemField = nullptr;
};

TEST_F(FilePickers, TheIconPickerSetsTheFolderThatTheItemPickerThenKeeps) {
  if (!RunningUnderWine()) {
    GTEST_SKIP() << "reads the old dialog's Look in box, which the newer dialog of Windows lacks";
  }
  const std::wstring programFolder =
      std::filesystem::path(BrindleworkExe()).parent_path().filename().wstring();
  // Shows the dialog of the button, reads the folder it opened in, and cancels it.
  bool shot = false;
  auto folderShownBy = [&](HWND button) {
    const HWND dialog = OpenDialog(button);
    if (!dialog) return std::wstring(L"(no dialog)");
    EXPECT_FALSE(IsWindowEnabled(main));  // modal to the main window
    if (button == iconButton && !std::exchange(shot, true)) SaveScreenshot(dialog, L"icon-picker");
    const std::wstring folder = ShownFolderName(dialog);
    Cancel(dialog);
    TheOneMessage(dialog);
    return folder;
  };
  EXPECT_EQ(folderShownBy(itemButton), L"start here");  // no folder given: the system's choice
  EXPECT_EQ(folderShownBy(iconButton), programFolder);
  EXPECT_EQ(folderShownBy(itemButton), programFolder);

  // A pick elsewhere, a path with a blank, lands in the field and changes neither picker's
  // first folder. The system remembers the folder of a pick for the program's next dialog
  // without a folder: a folder made only now cannot be there at the next run's first look.
  CreateDirectoryW((scratch / L"picked here").c_str(), nullptr);
  const std::wstring elsewhere = scratch / L"picked here\\picked elsewhere.txt";
  CreateTestFile(elsewhere);
  const HWND dialog = OpenDialog(itemButton);
  ASSERT_NE(dialog, nullptr);
  ChooseFile(dialog, elsewhere);
  EXPECT_EQ(TheOneMessage(dialog), L"File Selected: " + elsewhere);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(itemField) == elsewhere; }));
  EXPECT_EQ(folderShownBy(iconButton), programFolder);
  EXPECT_EQ(folderShownBy(itemButton), programFolder);
}

}  // namespace
}  // namespace brindlework::testing
