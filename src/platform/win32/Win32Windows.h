#pragma once
// Builds real windows from the forms' tables and runs the program's message loop.

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/Shell.h"
#include "platform/Window.h"
#include "platform/win32/Win32Drops.h"

namespace brindlework::win32 {

class NativeForm;

class Win32WindowSystem final : public WindowSystem {
 public:
  // Failures that no handler catches are reported through `messages`.
  Win32WindowSystem(HINSTANCE instance, MessageBoxService& messages,
                    OleDrops oleDrops = OleDrops::UnlessAboveShell);
  ~Win32WindowSystem() override;

  void Show(Form& form) override;
  void EndProgram() override;

  // Runs until the last window has closed; gives the process's exit code.
  int RunMessageLoop();

 private:
  friend class NativeForm;
  void RegisterFormClass();
  void Closed(NativeForm* form);

  HINSTANCE instance_;
  MessageBoxService& messages_;
  OleDrops oleDrops_;
  ATOM formClass_ = 0;  // the windows' class, registered with the first window
  std::vector<std::unique_ptr<NativeForm>> open_;
};

// Reports the exception being handled as "Error <number>: <description>": an Error as itself,
// running out of memory as E_OUTOFMEMORY, anything else as E_UNEXPECTED. Call it from a catch
// block; it is the one way a failure that nothing caught reaches the user.
void ReportCurrentFailure(MessageBoxService& messages);

// Twips to pixels at a DPI: 15 twips a pixel at 96 DPI.
int TwipsToPixels(int twips, UINT dpi);

}  // namespace brindlework::win32
