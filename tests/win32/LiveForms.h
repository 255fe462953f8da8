#pragma once
// The program's three windows over the real Win32 services, inside the test's own process, where
// their menus, fonts and icons can be read.

#include <windows.h>

#include "TestSupport.h"
#include "platform/win32/Win32IconFiles.h"
#include "platform/win32/Win32SiteIconFetch.h"
#include "platform/win32/Win32OpenFileDialog.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsStore.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32ShortcutWriter.h"
#include "platform/win32/Win32Windows.h"
#include "platform/win32/WinText.h"
#include "windows/info/frmAbout.h"
#include "windows/info/frmSupport.h"
#include "windows/main/frmMain.h"

namespace brindlework::testing {

// `Messages`: a recording message service lets a test press buttons that end with a message.
template <typename Messages = win32::Win32MessageBox>
struct LiveFormsOf {
  // A shown form's window, found by its class and caption.
  static HWND Find(const wchar_t* caption) { return FindWindowW(L"Brindlework.Form", caption); }
  // Shows the form and gives its window, found by the caption it shows.
  HWND Show(Form& form, const wchar_t* caption) {
    windows.Show(form);
    return Find(caption);
  }

  Messages messages;
  win32::Win32ShellOpen shell;
  win32::Win32Process process;
  win32::Win32WindowSystem windows{GetModuleHandleW(nullptr), messages, win32::OleDrops::Always};
  win32::Win32Registry registry;
  win32::Win32OpenFileDialog fileDialogs;
  win32::Win32ShortcutWriter shortcuts;
  win32::Win32ShortcutReader shortcutReader;
  ScratchFolder iconsFolder;  // icons made of pictures
  win32::Win32IconFiles icons{[this] { return win32::ToText(iconsFolder.Path().wstring()); }};
  win32::Win32SiteIconFetch sites;
  win32::Win32SettingsStore settings;
  frmAbout about{process, shell, messages, registry};
  frmSupport support{shell};
  frmMain main{windows,   shell,          about, support, fileDialogs, process,
               messages,  shortcuts,      shortcutReader, icons, sites,  settings};
};

using LiveForms = LiveFormsOf<>;

}  // namespace brindlework::testing
