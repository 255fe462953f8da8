// The main window's two file pickers: the icon picker (Command3) and the item picker (Command7).
#include "platform/Error.h"
#include "windows/main/frmMain.h"

namespace brindlework {
namespace {

// OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY: one existing file, no read-only box.
constexpr std::uint32_t kPickerFlags = 6148;
constexpr TextView kIconFilter = u"ICON (*.ico)|*.ico";
constexpr TextView kItemFilter = u"All Files (*.*)|*.*|RTF (*.rtf)|*.rtf|Text Files (*.txt)|*.txt";

}  // namespace

void frmMain::Command3_Click() {
  PickFile(kTxtIcon, kIconFilter, true);
}

// The item picker leaves InitDir as the icon picker last set it.
void frmMain::Command7_Click() {
  PickFile(kTxtToExecute, kItemFilter, false);
}

void frmMain::PickFile(int field, TextView filter, bool fromProgramFolder) {
  try {
    CommonDialog1.CancelError = true;
    if (fromProgramFolder) CommonDialog1.InitDir = process_.ProgramFolder();
    CommonDialog1.Flags = kPickerFlags;
    CommonDialog1.Filter = Text(filter);
    CommonDialog1.FileName.clear();
    CommonDialog1.ShowOpen(View().Handle());
    messages_.Show(u"File Selected: " + CommonDialog1.FileName);
    View().SetText(field, CommonDialog1.FileName);
  } catch (const Error& error) {
    // The field keeps its text: it is written only as the last step.
    if (error.Number() == kCancelErrorNumber) {
      messages_.Show(u"you cancelled the dialog box");
    } else {
      messages_.Show(u"Unexpected error. Err " + DecimalText(error.Number()) + u" : " +
                     error.Description());
    }
  }
}

}  // namespace brindlework
