// Brindlework run from a folder that also holds DLLs named as system DLLs, as a Downloads folder
// may: none of them runs, whatever the program does. Windows searches the program's folder first
// for a DLL that is loaded at run time and is no KnownDLL; Wine prefers its builtins, so under
// Wine each planted name is forced native-first for the program's run.
#include <gtest/gtest.h>
#include <windows.h>

#include "TestSupport.h"
#include "Ui.h"
#include "UserState.h"

namespace brindlework::testing {
namespace {

constexpr wchar_t kMainCaption[] = L"Brindlework to windows taskbar!";

// What the program, or a system DLL that it calls, loads at run time in the scenarios below
// (WINEDEBUG=+loaddll), and propsys, the property system behind the shortcut's property store.
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
    const std::wstring overrides = std::wstring(kWineProgramKey) + L"\\DllOverrides";
    for (const wchar_t* name : kPlantedNames) {
      CopyFileW(BuiltProgram(L"planted.dll").c_str(), (folder_ / name).c_str(), FALSE);
      if (RunningUnderWine()) {
        RegSetKeyValueW(HKEY_CURRENT_USER, overrides.c_str(), WineOverrideName(name).c_str(),
                        REG_SZ, L"native,builtin", sizeof L"native,builtin");
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

struct Scenario {
  const char* name;
  const wchar_t* item;  // launch mode's item; null: the editor, worked and then closed
  void (*work)(const ChildProcess& program, HWND main);
  DWORD exitCode;  // a crash, as a call into a planted DLL gives, ends otherwise
};

void Pin(const ChildProcess& program, HWND main) {
  SetText(ControlAt(main, L"Edit", 1440 / 15, 240 / 15), L"C:\\some item");
  SetText(ControlAt(main, L"Edit", 1440 / 15, 1680 / 15), L"planted");
  Click(FindControl(main, L"Button", L"GO!"));
  EXPECT_EQ(AnswerMessageBox(program), L"done!");
}

void OpenAndCancelThePicker(const ChildProcess& program, HWND main) {
  Click(FindControl(main, L"Button", L"Choose icon (.ico)"));  // opens in the program's folder
  if (const HWND dialog = WaitForOpenFileDialog(program.Id(), main)) Cancel(dialog);
  EXPECT_EQ(AnswerMessageBox(program), L"you cancelled the dialog box");
}

constexpr Scenario kScenarios[] = {
    {"the editor shown and closed", nullptr, nullptr, 0},
    {"launch mode with a missing item", L"C:\\no such item.txt", nullptr, 1},
    {"one pin made with GO!", nullptr, Pin, 0},
    {"the icon picker opened and cancelled", nullptr, OpenAndCancelThePicker, 0},
};

// Runs the program's copy through the scenario; gives its exit code, none if it did not end.
std::optional<DWORD> RunThrough(const Scenario& scenario, const PlantedFolder& folder) {
  if (scenario.item) {
    const ChildProcess program(Quoted(folder.Exe()) + L" " + Quoted(scenario.item));
    AnswerMessageBox(program);  // the shell's message that the item is missing
    return program.WaitForExit(20s);
  }
  const ChildProcess program(Quoted(folder.Exe()));
  const HWND main = program.WaitForWindow(kMainCaption);
  if (!main) return program.WaitForExit(0ms);
  if (scenario.work) scenario.work(program, main);
  PostMessageW(main, WM_CLOSE, 0, 0);
  return program.WaitForExit(20s);
}

TEST(PlantedDlls, NoDllBesideTheProgramRunsInAnyMode) {
  DeleteSettings(L"Brindlework");
  for (const Scenario& scenario : kScenarios) {
    TestDesktop desktop;
    PlantedFolder folder;
    EXPECT_EQ(RunThrough(scenario, folder), scenario.exitCode) << scenario.name;
    EXPECT_EQ(ToUtf8(folder.Ran()), "") << scenario.name;
  }
  DeleteSettings(L"Brindlework");
}

}  // namespace
}  // namespace brindlework::testing
