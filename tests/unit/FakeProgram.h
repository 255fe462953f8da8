#pragma once
// The program's three windows over one set of fakes, wired as src/app wires the real services.

#include "Fakes.h"
#include "windows/info/frmAbout.h"
#include "windows/info/frmSupport.h"
#include "windows/main/frmMain.h"

namespace brindlework::testing {

struct FakeProgram {
  FakeProcess process;
  FakeShell shell;
  FakeMessages messages;
  FakeWindowSystem windows;
  FakeRegistry registry;
  FakeFileDialogs fileDialogs;
  FakeShortcutWriter shortcuts;
  FakeShortcutReader shortcutReader;
  FakeIconFiles icons;
  FakeSiteIconFetch sites;
  FakeSettingsStore settings;
  frmAbout about{process, shell, messages, registry};
  frmSupport support{shell};
  frmMain main{windows,   shell,          about, support, fileDialogs, process,
               messages,  shortcuts,      shortcutReader, icons, sites,  settings};
};

}  // namespace brindlework::testing
