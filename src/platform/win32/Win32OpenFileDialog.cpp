#include "platform/win32/Win32OpenFileDialog.h"

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>

#include "platform/Error.h"
#include "platform/win32/WinText.h"

namespace brindlework::win32 {
namespace {

// Room for the longest path the system knows (32767 units and the NUL), not MAX_PATH.
constexpr std::size_t kFileNameChars = 32768;

// The system has no message text for the dialog's own error codes: these are the descriptions
// of https://learn.microsoft.com/windows/win32/api/commdlg/nf-commdlg-commdlgextendederror
Text DialogErrorDescription(DWORD code) {
  switch (code) {
    case CDERR_DIALOGFAILURE: return u"The dialog box could not be created.";
    case CDERR_STRUCTSIZE: return u"The dialog box structure has an invalid size.";
    case CDERR_INITIALIZATION: return u"The dialog box could not be initialized.";
    case CDERR_NOTEMPLATE: return u"The dialog box template is missing.";
    case CDERR_NOHINSTANCE: return u"The dialog box instance handle is missing.";
    case CDERR_LOADSTRFAILURE: return u"The dialog box could not load a string.";
    case CDERR_FINDRESFAILURE: return u"The dialog box could not find a resource.";
    case CDERR_LOADRESFAILURE: return u"The dialog box could not load a resource.";
    case CDERR_LOCKRESFAILURE: return u"The dialog box could not lock a resource.";
    case CDERR_MEMALLOCFAILURE: return u"The dialog box could not allocate memory.";
    case CDERR_MEMLOCKFAILURE: return u"The dialog box could not lock memory.";
    case CDERR_NOHOOK: return u"The dialog box hook procedure is missing.";
    case CDERR_REGISTERMSGFAIL: return u"The dialog box could not register a message.";
    case FNERR_SUBCLASSFAILURE: return u"The list box could not be subclassed.";
    case FNERR_INVALIDFILENAME: return u"A file name is invalid.";
    case FNERR_BUFFERTOOSMALL: return u"The buffer is too small for the file name.";
    default: return u"The dialog box failed.";
  }
}

}  // namespace

std::wstring DialogFilter(TextView filter) {
  if (filter.empty()) return {};
  std::wstring list = ToWide(filter);
  std::replace(list.begin(), list.end(), L'|', L'\0');
  list.push_back(L'\0');  // with the string's own NUL, the two that end the list
  return list;
}

std::optional<Text> Win32OpenFileDialog::ShowOpen(WindowHandle owner,
                                                  const OpenFileSettings& settings) {
  const std::wstring filter = DialogFilter(settings.Filter);
  std::wstring file = ToWide(settings.FileName);
  file.resize(std::max(kFileNameChars, file.size() + 1), L'\0');

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = reinterpret_cast<HWND>(owner);
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = settings.InitDir.empty() ? nullptr : W(settings.InitDir);
  dialog.Flags = settings.Flags;
  if (GetOpenFileNameW(&dialog)) return ToText(file.c_str());

  // No extended error means the user cancelled.
  const DWORD code = CommDlgExtendedError();
  if (code == 0) return std::nullopt;
  throw Error(static_cast<std::int32_t>(code), DialogErrorDescription(code));
}

}  // namespace brindlework::win32
