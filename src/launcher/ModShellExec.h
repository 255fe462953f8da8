#pragma once
// The start-up module: chooses between launch mode and editor mode.

#include <functional>

#include "platform/Process.h"
#include "platform/Shell.h"
#include "platform/Text.h"

namespace brindlework::ModShellExec {

// The item part of a full command line: what follows the program's own name. A quoted name
// ends at its closing quote, an unquoted one at the first blank or tab; the blanks and tabs
// after it are skipped; the rest is returned unchanged, quotes and blanks included.
Text CommandLineItem(TextView commandLine);

// With an item on the command line, opens it with the shell and ends the process (exit code 0
// when the shell accepted it, 1 otherwise) without creating a window of its own: only the
// shell's message about an item it cannot open shows, and the process ends once it is closed.
// Without one, shows the main window and returns.
void Main(Process& process, ShellOpen& shell, const std::function<void()>& showMainWindow);

// True when the file-system attributes of the path can be read: a file or folder exists.
bool FileExists(const Process& process, const Text& path);

}  // namespace brindlework::ModShellExec
