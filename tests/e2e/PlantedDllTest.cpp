// Brindlework run from a folder that also holds DLLs named as system DLLs, as a Downloads folder
// may: none of them runs, whatever the program does. Windows searches the program's folder first
// for a DLL that is loaded at run time and is no KnownDLL; Wine prefers its builtins, so under
// Wine each planted name is forced native-first for the program's run.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "TestSupport.h"
#include "Ui.h"
#include "UserState.h"

namespace brindlework::testing {
namespace {

constexpr wchar_t kMainCaption[] = L"Brindlework to windows taskbar!";

// What the program, or a system DLL that it calls, loads at run time in the scenarios below
// (WINEDEBUG=+loaddll), with propsys, which Windows' shell link loads for its property store.
// Not the exe's own imports (KnownDLLs on Windows), nor what Wine 8 loads through its builtins'
// imports before the program's first line (imm32, version, msimg32, rpcrt4, combase).
constexpr const wchar_t* kPlantedNames[] = {
    L"uxtheme.dll", L"comctl32.dll", L"oleacc.dll",   L"oleaut32.dll",
    L"shcore.dll",  L"shlwapi.dll",  L"shell32.dll",  L"propsys.dll",
    L"comdlg32.dll", L"winspool.drv", L"compstui.dll",
};

// Wine's name of a DLL in its overrides: without ".dll", other extensions kept.
std::wstring WineOverrideName(std::wstring file) {
  if (file.ends_with(L".dll")) file.resize(file.size() - 4);
  return file;
}

// The copy of the program in a fresh folder among the planted DLLs. Under Wine, the planted
// names are native-first for programs of this name while it lasts, through Wine's own setting
// per program: Wine 8 hands a child the WINEDLLOVERRIDES of its parent's Unix environment, not
// one set in the Win32 environment that the child gets.
class PlantedFolder {
 public:
  PlantedFolder() {
    CopyFileW(BrindleworkExe().c_str(), Exe().c_str(), FALSE);
    for (const wchar_t* name : kPlantedNames) {
      CopyFileW(BuiltProgram(L"planted.dll").c_str(), (folder_ / name).c_str(), FALSE);
      if (RunningUnderWine()) {
        RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kWineProgramKey) + L"\\DllOverrides").c_str(),
                        WineOverrideName(name).c_str(), REG_SZ, L"native,builtin",
                        sizeof L"native,builtin");
      }
    }
  }
  ~PlantedFolder() {
    if (!RunningUnderWine()) return;
    RegDeleteTreeW(HKEY_CURRENT_USER, kWineProgramKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kWineProgramKey);
  }
  PlantedFolder(const PlantedFolder&) = delete;
  PlantedFolder& operator=(const PlantedFolder&) = delete;

  std::wstring Exe() const { return folder_ / L"Brindlework.exe"; }
  std::wstring operator/(const std::wstring& name) const { return folder_ / name; }
  // The planted DLLs that ran: each leaves "<its name>.ran" beside itself.
  std::wstring Ran() const {
    std::wstring names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
      if (entry.path().extension() == L".ran") names += entry.path().stem().wstring() + L" ";
    }
    return names;
  }

 private:
  static constexpr wchar_t kWineProgramKey[] = L"Software\\Wine\\AppDefaults\\Brindlework.exe";
  ScratchFolder folder_;
};

// Closes the main window and gives the program's exit code; none if it does not end.
std::optional<DWORD> Close(const ChildProcess& program, HWND main) {
  PostMessageW(main, WM_CLOSE, 0, 0);
  return program.WaitForExit(20s);
}

struct Scenario {
  const char* name;
  DWORD exitCode;  // a crash, as a call into a planted DLL gives, ends otherwise
  std::function<std::optional<DWORD>(const PlantedFolder&)> run;
};

const Scenario kScenarios[] = {
    {"the editor shown and closed", 0,
     [](const PlantedFolder& folder) -> std::optional<DWORD> {
       const ChildProcess program(Quoted(folder.Exe()));
       const HWND main = program.WaitForWindow(kMainCaption);
       if (!main) return program.WaitForExit(0ms);
       return Close(program, main);
     }},
    {"launch mode with a missing item", 1,
     [](const PlantedFolder& folder) {
       return ChildProcess(Quoted(folder.Exe()) + L" " + Quoted(folder / L"missing.txt"))
           .WaitForExit(20s);
     }},
    {"one pin made with GO!", 0,
     [](const PlantedFolder& folder) -> std::optional<DWORD> {
       TestDesktop desktop;
       const ChildProcess program(Quoted(folder.Exe()));
       const HWND main = program.WaitForWindow(kMainCaption);
       if (!main) return program.WaitForExit(0ms);
       SetText(ControlAt(main, L"Edit", 1440 / 15, 240 / 15), folder / L"missing.txt");
       SetText(ControlAt(main, L"Edit", 1440 / 15, 1680 / 15), L"planted");
       Click(FindControl(main, L"Button", L"GO!"));
       EXPECT_EQ(AnswerMessageBox(program), L"done!");
       return Close(program, main);
     }},
    {"the icon picker opened and cancelled", 0,
     [](const PlantedFolder& folder) -> std::optional<DWORD> {
       const ChildProcess program(Quoted(folder.Exe()));
       const HWND main = program.WaitForWindow(kMainCaption);
       if (!main) return program.WaitForExit(0ms);
       Click(FindControl(main, L"Button", L"Choose icon (.ico)"));
       const HWND dialog = WaitForOpenFileDialog(program);
       if (dialog) Cancel(dialog);
       EXPECT_EQ(AnswerMessageBox(program), L"you cancelled the dialog box");
       return Close(program, main);
     }},
};

TEST(PlantedDlls, NoDllBesideTheProgramRunsInAnyMode) {
  ComApartment com;
  for (const Scenario& scenario : kScenarios) {
    DeleteSettings(L"Brindlework");
    PlantedFolder folder;
    const std::optional<DWORD> exitCode = scenario.run(folder);
    EXPECT_EQ(exitCode, scenario.exitCode) << scenario.name;
    EXPECT_EQ(ToUtf8(folder.Ran()), "") << scenario.name;
  }
  DeleteSettings(L"Brindlework");
}

}  // namespace
}  // namespace brindlework::testing
