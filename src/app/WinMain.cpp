// The entry point: builds the Win32 services and hands over to the program's run.

#include <windows.h>

#include "app/Program.h"
#include "platform/win32/Win32IconFiles.h"
#include "platform/win32/Win32SiteIconFetch.h"
#include "platform/win32/Win32OpenFileDialog.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsStore.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32ShortcutWriter.h"

using namespace brindlework;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before anything can load a DLL: the program runs from folders that the user can write
  // (Downloads, the per-user install folder), and a DLL that the system loads at run time would
  // otherwise be looked for there first. From now on, System32 only, for the delay-loaded
  // comdlg32 and shell32 as well. The exe needs Windows 10 1607 or later (it imports
  // GetDpiForWindow), where this call always exists, so a failure is ignored.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  win32::Win32Process process;
  win32::Win32ShellOpen shell;
  win32::Win32MessageBox messages;
  win32::Win32OpenFileDialog fileDialogs;
  win32::Win32Registry registry;
  win32::Win32ShortcutWriter shortcuts;
  win32::Win32ShortcutReader shortcutReader;
  win32::Win32IconFiles icons;
  win32::Win32SiteIconFetch sites;
  win32::Win32SettingsStore settings;
  return RunProgram(instance, {process, shell, messages, fileDialogs, registry, shortcuts,
                               shortcutReader, icons, sites, settings});
}
