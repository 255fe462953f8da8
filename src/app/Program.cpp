#include "app/Program.h"

#include "launcher/ModShellExec.h"
#include "platform/win32/ComApartment.h"
#include "platform/win32/Win32Windows.h"
#include "windows/info/frmAbout.h"
#include "windows/info/frmSupport.h"
#include "windows/main/frmMain.h"

namespace brindlework {

int RunProgram(HINSTANCE instance, const ProgramServices& services) {
  try {
    win32::ComApartment com;  // once, for the whole run
    win32::Win32WindowSystem windows(instance, services.messages);
    frmAbout about(services.process, services.shell, services.messages, services.registry);
    frmSupport support(services.shell);
    frmMain mainForm(windows, services.shell, about, support, services.fileDialogs,
                     services.process, services.messages, services.shortcuts,
                     services.shortcutReader, services.icons, services.sites, services.settings);

    ModShellExec::Main(services.process, services.shell, [&] { windows.Show(mainForm); });
    return windows.RunMessageLoop();
  } catch (...) {
    win32::ReportCurrentFailure(services.messages);
    return 1;
  }
}

}  // namespace brindlework
