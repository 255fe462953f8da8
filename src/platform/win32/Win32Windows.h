#pragma once
// Builds real windows from the forms' tables and runs the program's message loop.

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/Shell.h"
#include "platform/Window.h"

namespace brindlework::win32 {

class NativeForm;

class Win32WindowSystem final : public WindowSystem {
 public:
  // Failures that no handler catches are reported through `messages`.
  Win32WindowSystem(HINSTANCE instance, MessageBoxService& messages);
  ~Win32WindowSystem() override;

  void Show(Form& form) override;
  void EndProgram() override;

  // Runs until the last window has closed; gives the process's exit code.
  int RunMessageLoop();

  // Reports a failure that escaped a handler; the program goes on.
  void ReportCurrentFailure();

 private:
  friend class NativeForm;
  void Closed(NativeForm* form);

  HINSTANCE instance_;
  MessageBoxService& messages_;
  std::vector<std::unique_ptr<NativeForm>> open_;
};

// Twips to pixels at a DPI: 15 twips a pixel at 96 DPI.
int TwipsToPixels(int twips, UINT dpi);

}  // namespace brindlework::win32
