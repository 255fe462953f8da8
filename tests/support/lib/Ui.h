#pragma once
// Working another process's windows as a user would: controls found by class, caption and
// position, clicks, keys, message boxes. Every wait has a bound.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace brindlework::testing {

struct ControlInfo {
  HWND hwnd;
  std::wstring className;
  std::wstring text;
  RECT rect;  // in the parent window's client coordinates
};

// The direct child controls of a window, in z-order (the order Tab follows).
std::vector<ControlInfo> Controls(HWND window);
// The child control of that class (compared case-insensitively) with that text, or null.
HWND FindControl(HWND window, const std::wstring& className, const std::wstring& text);
// The child control of that class whose rectangle starts at (left, top) client pixels, or null.
HWND ControlAt(HWND window, const std::wstring& className, int left, int top);

// A control's text is read with WindowText (TestSupport.h).
void SetText(HWND control, const std::wstring& text);
// A click that does not wait: a message box that it opens would block a sent click.
void Click(HWND button);
// The selected entry of a combo box's list, -1 for none; selecting sends no notification.
int SelectedEntry(HWND combo);
void SelectEntry(HWND combo, int index);

// The control with the keyboard focus in the thread of a window.
HWND FocusOf(HWND window);
// Real keys to `window`, brought to the front first; a failure of the test, and no keys, when it
// does not come to the front.
void PressKeys(HWND window, std::initializer_list<WORD> keys);  // pressed together, released in reverse

struct MessageBoxInfo {
  HWND box;
  std::wstring caption;
  std::wstring text;
};

// The caption and text of the window when it is a message box.
std::optional<MessageBoxInfo> AsMessageBox(HWND window);
// The message box that the program shows now, if any.
std::optional<MessageBoxInfo> CurrentMessageBox(const ChildProcess& program);
std::optional<MessageBoxInfo> WaitForMessageBox(const ChildProcess& program, Milliseconds limit = 10s);
// Waits for a message box, checks nothing, presses its OK and waits for it to go. Returns its text.
std::wstring AnswerMessageBox(const ChildProcess& program, Milliseconds limit = 10s);

// The system's open-file dialog among these windows, or null. Its controls are looked for among
// all its descendants, by their ids.
HWND FindOpenFileDialog(const std::vector<HWND>& windows);
// Waits for the open-file dialog among the visible windows of the process. When none is
// recognised, that is a failure of the test, and whatever dialog `owner` shows is closed, so that
// the test ends within its own waits instead of staying inside the dialog.
HWND WaitForOpenFileDialog(DWORD processId, HWND owner, Milliseconds limit = 10s);
// The entries of the dialog's list of file types, in order.
std::vector<std::wstring> FileTypes(HWND dialog);
// The name of the folder that the dialog shows, as its "Look in" list reads.
std::wstring ShownFolderName(HWND dialog);
// Types the path into the dialog's file name field and presses Open; a failure of the test, and
// the dialog cancelled, when it has no such field.
void ChooseFile(HWND dialog, const std::wstring& path);
void Cancel(HWND dialog);

// Visible top-level windows of the program with this caption.
int CountWindows(const ChildProcess& program, const std::wstring& caption);

// Waits until the condition holds, at most `limit`; gives its last value.
template <typename Condition>
bool WaitUntil(Condition condition, Milliseconds limit = 10s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    Sleep(20);
  }
  return true;
}

}  // namespace brindlework::testing
