#include "Ui.h"

#include <cwctype>

namespace brindlework::testing {
namespace {

bool SameClass(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return std::towlower(x) == std::towlower(y);
         });
}

constexpr int kMessageTextId = 0xFFFF;

}  // namespace

std::vector<ControlInfo> Controls(HWND window) {
  std::vector<ControlInfo> controls;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
    controls.push_back({child, ClassName(child), Text(child), rect});
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

std::wstring Text(HWND window) { return WindowText(window); }

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
  SetForegroundWindow(window);
  WaitUntil([window] { return GetForegroundWindow() == window; }, 2s);
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

std::optional<MessageBoxInfo> CurrentMessageBox(const ChildProcess& program) {
  for (HWND window : program.VisibleWindows()) {
    if (ClassName(window) != L"#32770") continue;
    const HWND text = GetDlgItem(window, kMessageTextId);
    if (!text) continue;
    return MessageBoxInfo{window, WindowText(window), WindowText(text)};
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

int CountWindows(const ChildProcess& program, const std::wstring& caption) {
  int count = 0;
  for (HWND window : program.VisibleWindows()) count += WindowText(window) == caption;
  return count;
}

}  // namespace brindlework::testing
