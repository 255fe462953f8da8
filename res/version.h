/* The program's name and version: one place for the version resource and the About window. */
#pragma once

#define BRINDLEWORK_TITLE "Brindlework"
#define BRINDLEWORK_DESCRIPTION "Brindlework to windows taskbar!"
#define BRINDLEWORK_COMPANY "Brindlework Software"
#define BRINDLEWORK_COPYRIGHT "Copyright \251 2026 Brindlework Software"
#define BRINDLEWORK_MAJOR 1
#define BRINDLEWORK_MINOR 0
#define BRINDLEWORK_REVISION 0
#define BRINDLEWORK_VERSION_TEXT "1.00"

#define BRINDLEWORK_ICON 1
