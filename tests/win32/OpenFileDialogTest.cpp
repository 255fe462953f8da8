// The system's open-file dialog, run for real on this thread and answered from a helper thread
// as a user would: typing a path, pressing Open or Cancel.
#include <gtest/gtest.h>
#include <windows.h>

#include <commdlg.h>
#include <objbase.h>

#include <functional>
#include <thread>

#include "TestSupport.h"
#include "Ui.h"
#include "platform/win32/Win32OpenFileDialog.h"
#include "platform/win32/WinText.h"

namespace brindlework {
namespace {

using testing::AsMessageBox;
using testing::Cancel;
using testing::ChooseFile;
using testing::CreateTestFile;
using testing::FileTypes;
using testing::MessageBoxInfo;
using testing::ScratchFolder;
using testing::VisibleWindowsOfProcess;
using testing::WaitForOpenFileDialog;
using testing::WaitUntil;
using namespace std::chrono_literals;

constexpr std::uint32_t kPickerFlags = 6148;
const Text kIconFilter = u"ICON (*.ico)|*.ico";
const Text kItemFilter = u"All Files (*.*)|*.*|RTF (*.rtf)|*.rtf|Text Files (*.txt)|*.txt";

// What the helper thread saw of the dialog.
struct Seen {
  bool found = false;
  bool closedByAnswer = false;
  HWND owner = nullptr;
  bool ownerEnabled = true;
  std::vector<std::wstring> types;
  std::wstring folder;
  std::vector<std::wstring> refusals;  // messages that the dialog itself showed
};

std::wstring CurrentFolder(HWND dialog) {
  wchar_t folder[32768] = L"";
  SendMessageW(dialog, CDM_GETFOLDERPATH, 32768, reinterpret_cast<LPARAM>(folder));
  return folder;
}

class OpenFileDialogTest : public ::testing::Test {
 protected:
  OpenFileDialogTest() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    owner_.reset(CreateWindowExW(0, L"Static", L"Dialog owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                 0, 300, 200, nullptr, nullptr, nullptr, nullptr));
    CreateDirectoryW((scratch / L"my icons").c_str(), nullptr);
    CreateTestFile(icon);
  }
  ~OpenFileDialogTest() override {
    owner_.reset();
    CoUninitialize();
  }

  // Runs the dialog while a helper thread waits for it (at most 10 s), lets `answer` work it
  // and cancels it if it is still open after that, so that no run can hang. A dialog that the
  // helper does not recognise is closed as well.
  std::optional<Text> RunDialog(const OpenFileSettings& settings,
                                std::function<void(HWND)> answer) {
    std::thread user([&] {
      const HWND dialog = WaitForOpenFileDialog(GetCurrentProcessId(), owner_.get());
      if (!dialog) return;
      seen.found = true;
      seen.owner = GetWindow(dialog, GW_OWNER);
      seen.ownerEnabled = IsWindowEnabled(owner_.get());
      seen.types = FileTypes(dialog);
      seen.folder = CurrentFolder(dialog);
      answer(dialog);
      seen.closedByAnswer = WaitUntil([&] { return !IsWindow(dialog); }, 5s);
      if (!seen.closedByAnswer) Cancel(dialog);
    });
    std::optional<Text> chosen;
    try {
      chosen = win32::Win32OpenFileDialog().ShowOpen(Owner(), settings);
    } catch (...) {
      user.join();
      throw;
    }
    user.join();
    EXPECT_TRUE(seen.found);
    EXPECT_TRUE(seen.closedByAnswer);
    return chosen;
  }

  WindowHandle Owner() const { return reinterpret_cast<WindowHandle>(owner_.get()); }

  ScratchFolder scratch;
  const std::wstring icon = scratch / L"my icons\\logo file.ico";
  Seen seen;

 private:
  win32::UniqueWindow owner_;
};

TEST_F(OpenFileDialogTest, ChoosesAFileWhosePathHoldsBlanksModalToItsOwner) {
  const OpenFileSettings settings{win32::ToText(scratch.Path().wstring()), kPickerFlags,
                                  kIconFilter, u""};
  const auto chosen = RunDialog(settings, [&](HWND dialog) { ChooseFile(dialog, icon); });
  EXPECT_EQ(chosen, win32::ToText(icon));
  EXPECT_EQ(seen.owner, reinterpret_cast<HWND>(Owner()));
  EXPECT_FALSE(seen.ownerEnabled);
  EXPECT_EQ(seen.types, std::vector<std::wstring>{L"ICON (*.ico)"});
  EXPECT_EQ(CompareStringOrdinal(seen.folder.c_str(), -1, scratch.Path().c_str(), -1, TRUE),
            CSTR_EQUAL)
      << "shown: " << ::testing::PrintToString(seen.folder);
}

TEST_F(OpenFileDialogTest, OffersTheItemTypesInOrderAndGivesNothingOnCancel) {
  const OpenFileSettings settings{u"", kPickerFlags, kItemFilter, u""};
  const auto chosen = RunDialog(settings, [](HWND dialog) { Cancel(dialog); });
  EXPECT_EQ(chosen, std::nullopt);
  EXPECT_EQ(seen.types,
            (std::vector<std::wstring>{L"All Files (*.*)", L"RTF (*.rtf)", L"Text Files (*.txt)"}));
}

TEST_F(OpenFileDialogTest, RefusesAFileThatDoesNotExistAndStaysOpen) {
  const OpenFileSettings settings{u"", kPickerFlags, kItemFilter, u""};
  const auto chosen = RunDialog(settings, [&](HWND dialog) {
    ChooseFile(dialog, scratch / L"my icons\\missing file.txt");
    std::optional<MessageBoxInfo> refusal;
    WaitUntil([&] {
      for (HWND window : VisibleWindowsOfProcess(GetCurrentProcessId())) {
        if (GetWindow(window, GW_OWNER) == dialog && (refusal = AsMessageBox(window))) return true;
      }
      return false;
    });
    if (!refusal) return;
    seen.refusals.push_back(refusal->text);
    PostMessageW(refusal->box, WM_COMMAND, IDOK, 0);
    WaitUntil([&] { return !IsWindow(refusal->box); });
    if (IsWindowVisible(dialog)) ChooseFile(dialog, icon);
  });
  EXPECT_EQ(seen.refusals.size(), 1u);
  EXPECT_EQ(chosen, win32::ToText(icon));
}

TEST(DialogFilter, TurnsBarsIntoNulsAndEndsWithTwo) {
  using namespace std::string_literals;
  EXPECT_EQ(win32::DialogFilter(u"ICON (*.ico)|*.ico"), L"ICON (*.ico)\0*.ico\0"s);
  EXPECT_EQ(win32::DialogFilter(u""), L"");
}

}  // namespace
}  // namespace brindlework
