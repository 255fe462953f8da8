#pragma once
// The program's windows over the real Win32 services, built inside the test's own process as
// src/app builds them: for what only the process that owns a window can read (its menus, the
// accessible names of its controls).

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

namespace brindlework::testing {

struct InProcessProgram {
  // Shows the main window; gives its handle, or null when it cannot be found.
  HWND ShowMain() {
    windows.Show(main);
    return FindWindowW(L"Brindlework.Form", L"Brindlework to windows taskbar!");
  }

  win32::ComApartment com;
  win32::Win32MessageBox messages;
  win32::Win32ShellOpen shell;
  win32::Win32Process process;
  win32::Win32WindowSystem windows{GetModuleHandleW(nullptr), messages};
  win32::Win32Registry registry;
  win32::Win32OpenFileDialog fileDialogs;
  win32::Win32ShortcutWriter shortcuts;
  win32::Win32SettingsStore settings;
  frmAbout about{process, shell, messages, registry};
  frmSupport support{shell};
  frmMain main{windows, shell, about, support, fileDialogs, process, messages, shortcuts, settings};
};

}  // namespace brindlework::testing
