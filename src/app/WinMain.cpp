// The entry point: builds the Win32 services and the windows, then hands over to Main.

#include <windows.h>

#include "launcher/ModShellExec.h"
#include "platform/Error.h"
#include "platform/win32/ComApartment.h"
#include "platform/win32/Win32OpenFileDialog.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsStore.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32ShortcutWriter.h"
#include "platform/win32/Win32Windows.h"
#include "windows/info/frmAbout.h"
#include "windows/info/frmSupport.h"
#include "windows/main/frmMain.h"

using namespace brindlework;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  win32::Win32MessageBox messages;
  try {
    win32::ComApartment com;  // once, for the whole run
    win32::Win32Process process;
    win32::Win32ShellOpen shell;
    win32::Win32WindowSystem windows(instance, messages);
    win32::Win32OpenFileDialog fileDialogs;
    win32::Win32Registry registry;
    win32::Win32ShortcutWriter shortcuts;
    win32::Win32SettingsStore settings;
    frmAbout about(process, shell, messages, registry);
    frmSupport support(shell);
    frmMain mainForm(windows, shell, about, support, fileDialogs, process, messages, shortcuts,
                     settings);

    ModShellExec::Main(process, shell, [&] { windows.Show(mainForm); });
    return windows.RunMessageLoop();
  } catch (const Error& error) {
    messages.Show(FailureMessage(error));
    return 1;
  }
}
