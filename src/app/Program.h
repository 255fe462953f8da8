#pragma once
// The program's run over its services: wWinMain builds the Win32 ones, a test may build others.

#include <windows.h>

#include "platform/IconFiles.h"
#include "platform/OpenFileDialog.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"
#include "platform/ShortcutReader.h"
#include "platform/Shell.h"
#include "platform/SiteIconFetch.h"
#include "platform/ShortcutWriter.h"

namespace brindlework {

struct ProgramServices {
  Process& process;
  ShellOpen& shell;
  MessageBoxService& messages;
  OpenFileDialogService& fileDialogs;
  Registry& registry;
  ShortcutWriter& shortcuts;
  ShortcutReader& shortcutReader;
  IconFiles& icons;
  SiteIconFetch& sites;
  SettingsStore& settings;
};

// Opens the command line's item, or shows the main window and runs until the last window has
// closed; gives the exit code. A failure before the main window shows, of any kind, is reported
// through the message service and gives exit code 1.
int RunProgram(HINSTANCE instance, const ProgramServices& services);

}  // namespace brindlework
