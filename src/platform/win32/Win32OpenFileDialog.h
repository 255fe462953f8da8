#pragma once
#include <string>

#include "platform/OpenFileDialog.h"

namespace brindlework::win32 {

// The filter in the dialog's own form: every "|" becomes a NUL and two NULs end the list.
std::wstring DialogFilter(TextView filter);

// The system's open-file dialog (GetOpenFileNameW).
class Win32OpenFileDialog final : public OpenFileDialogService {
 public:
  std::optional<Text> ShowOpen(WindowHandle owner, const OpenFileSettings& settings) override;
};

}  // namespace brindlework::win32
