#include "Ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>

namespace brindlework::testing {
namespace {

bool SameClass(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return std::towlower(x) == std::towlower(y);
         });
}

constexpr int kMessageTextId = 0xFFFF;
// Controls of the system's open-file dialog (dlgs.h): cmb1, cmb2, edt1, cmb13.
constexpr int kFileTypesId = 0x470;
constexpr int kLookInId = 0x471;
constexpr int kFileNameEditId = 0x480;
constexpr int kFileNameComboId = 0x47C;

// The first descendant of the window, at any depth, that the test accepts; null for none.
template <typename Test>
HWND FindDescendant(HWND window, Test test) {
  struct Search {
    Test& test;
    HWND found;
  } search{test, nullptr};
  if (!window) return nullptr;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        auto* search = reinterpret_cast<Search*>(param);
        if (!search->test(child)) return TRUE;
        search->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A control of the dialog by its id: a direct child first, then any descendant. The newer dialog
// of Windows nests its combo boxes in other windows, where GetDlgItem does not look.
HWND DialogControl(HWND dialog, int id) {
  if (const HWND child = GetDlgItem(dialog, id)) return child;
  return FindDescendant(dialog, [id](HWND child) { return GetDlgCtrlID(child) == id; });
}

}  // namespace

std::vector<ControlInfo> Controls(HWND window) {
  std::vector<ControlInfo> controls;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
    controls.push_back({child, ClassName(child), WindowText(child), rect});
  }
  return controls;
}

HWND FindControl(HWND window, const std::wstring& className, const std::wstring& text) {
  for (const auto& control : Controls(window)) {
    if (SameClass(control.className, className) && control.text == text) return control.hwnd;
  }
  return nullptr;
}

HWND ControlAt(HWND window, const std::wstring& className, int left, int top) {
  for (const auto& control : Controls(window)) {
    if (SameClass(control.className, className) && control.rect.left == left &&
        control.rect.top == top) {
      return control.hwnd;
    }
  }
  return nullptr;
}

void SetText(HWND control, const std::wstring& text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_ABORTIFHUNG, 5000, &ignored);
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

int SelectedEntry(HWND combo) {
  DWORD_PTR index = static_cast<DWORD_PTR>(CB_ERR);
  SendMessageTimeoutW(combo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &index);
  return static_cast<int>(static_cast<LRESULT>(index));
}

void SelectEntry(HWND combo, int index) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, 5000,
                      &ignored);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void PressKeys(HWND window, std::initializer_list<WORD> keys) {
  const auto inFront = [window] { return GetForegroundWindow() == window; };
  SetForegroundWindow(window);
  if (!WaitUntil(inFront, 2s)) {
    // Windows lets a process take the foreground when it had the last input, among other
    // conditions: one input that changes nothing (a mouse move by zero), and once more.
    INPUT nudge{};
    nudge.type = INPUT_MOUSE;
    nudge.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &nudge, sizeof nudge);
    SetForegroundWindow(window);
    WaitUntil(inFront, 2s);
  }
  if (!inFront()) {
    ADD_FAILURE() << "the window did not come to the front; no keys typed";
    return;
  }
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *--it;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(150);  // let the program take the keys
}

std::optional<MessageBoxInfo> AsMessageBox(HWND window) {
  if (ClassName(window) != L"#32770") return std::nullopt;
  const HWND text = GetDlgItem(window, kMessageTextId);
  if (!text) return std::nullopt;
  return MessageBoxInfo{window, WindowText(window), WindowText(text)};
}

std::optional<MessageBoxInfo> CurrentMessageBox(const ChildProcess& program) {
  for (HWND window : program.VisibleWindows()) {
    if (auto box = AsMessageBox(window)) return box;
  }
  return std::nullopt;
}

std::optional<MessageBoxInfo> WaitForMessageBox(const ChildProcess& program, Milliseconds limit) {
  std::optional<MessageBoxInfo> box;
  WaitUntil([&] { return (box = CurrentMessageBox(program)).has_value(); }, limit);
  return box;
}

std::wstring AnswerMessageBox(const ChildProcess& program, Milliseconds limit) {
  const auto box = WaitForMessageBox(program, limit);
  if (!box) return L"(no message box)";
  PostMessageW(box->box, WM_COMMAND, IDOK, 0);
  WaitUntil([&] { return !IsWindow(box->box) || !IsWindowVisible(box->box); }, 5s);
  return box->text;
}

HWND FindOpenFileDialog(const std::vector<HWND>& windows) {
  for (HWND window : windows) {
    if (ClassName(window) == L"#32770" && DialogControl(window, kFileTypesId)) return window;
  }
  return nullptr;
}

HWND WaitForOpenFileDialog(DWORD processId, HWND owner, Milliseconds limit) {
  HWND dialog = nullptr;
  if (WaitUntil([&] { return (dialog = FindOpenFileDialog(VisibleWindowsOfProcess(processId))); },
                limit)) {
    return dialog;
  }
  ADD_FAILURE() << "no open-file dialog was recognised";
  // Whatever dialog the owner shows holds the owner's thread: closed, the test goes on to fail.
  HWND shown = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : VisibleWindowsOfProcess(processId)) {
          if (ClassName(window) == L"#32770" && GetWindow(window, GW_OWNER) == owner) {
            shown = window;
          }
        }
        return shown != nullptr;
      },
      5s);
  if (shown) PostMessageW(shown, WM_CLOSE, 0, 0);
  return nullptr;
}

std::vector<std::wstring> FileTypes(HWND dialog) {
  const HWND list = DialogControl(dialog, kFileTypesId);
  if (!list) {
    ADD_FAILURE() << "the open-file dialog has no list of file types";
    return {};
  }
  DWORD_PTR count = 0;
  SendMessageTimeoutW(list, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
  std::vector<std::wstring> types;
  for (WPARAM i = 0; i < count; ++i) {
    wchar_t entry[512] = L"";
    DWORD_PTR length = 0;
    SendMessageTimeoutW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry), SMTO_ABORTIFHUNG,
                        5000, &length);
    types.emplace_back(entry, std::min<DWORD_PTR>(length, 511));
  }
  return types;
}

std::wstring ShownFolderName(HWND dialog) {
  return WindowText(DialogControl(dialog, kLookInId));
}

void ChooseFile(HWND dialog, const std::wstring& path) {
  // The file name field: the edit inside the file name combo box, or an edit of its own.
  HWND name = FindDescendant(DialogControl(dialog, kFileNameComboId),
                             [](HWND child) { return SameClass(ClassName(child), L"Edit"); });
  if (!name) name = DialogControl(dialog, kFileNameEditId);
  const HWND open = DialogControl(dialog, IDOK);
  if (!name || !open) {
    ADD_FAILURE() << "the open-file dialog has no file name field or no Open button";
    Cancel(dialog);
    return;
  }
  SetText(name, path);
  Click(open);
}

void Cancel(HWND dialog) {
  if (const HWND button = DialogControl(dialog, IDCANCEL)) {
    Click(button);
  } else {
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  }
}

int CountWindows(const ChildProcess& program, const std::wstring& caption) {
  int count = 0;
  for (HWND window : program.VisibleWindows()) count += WindowText(window) == caption;
  return count;
}

}  // namespace brindlework::testing
