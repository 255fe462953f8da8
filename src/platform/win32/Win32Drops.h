#pragma once
// What a window takes from a drag, a shell drop of files or a paste. Win32Drops.cpp tells the
// formats and their order.

#include <windows.h>

#include <deque>
#include <optional>
#include <vector>

#include "platform/Window.h"
#include "platform/win32/Handles.h"

namespace brindlework::win32 {

// When a window that takes drops registers itself as an OLE drop target.
enum class OleDrops {
  // Not when the program runs at a higher integrity level than the shell: OLE drops cannot
  // cross up from Explorer, and a registered target could keep it from dropping files instead.
  UnlessAboveShell,
  Always,  // for tests, which may run as an administrator
};

// Items for a window's form, and where they fell in its client area (none: outside it).
struct WindowDrop {
  std::vector<DroppedItem> items;
  std::optional<POINT> point;
};

// Lets drops into one window for its life: made after the window, gone before it. The window
// keeps its WM_DROPFILES (FilesOf), and gets what its OLE target takes as a posted message
// (Take), so the drag's source never waits for the form.
class DropReceiver {
 public:
  // `message`: what the OLE target posts to the window for each drop it takes.
  DropReceiver(HWND window, OleDrops ole, UINT message);
  ~DropReceiver();
  DropReceiver(const DropReceiver&) = delete;
  DropReceiver& operator=(const DropReceiver&) = delete;

  // The oldest drop that the OLE target took and the window has not had yet.
  std::optional<WindowDrop> Take();

  // The files of a WM_DROPFILES, which this frees.
  static WindowDrop FilesOf(HDROP drop);

  // A paste into a text box that takes drops: the files or shell ID list on the clipboard, the
  // clipboard let go again. None when it holds neither: the box then pastes its text.
  static std::optional<std::vector<DroppedItem>> Pasted();

 private:
  class Target;
  void Dropped(std::vector<DroppedItem> items, POINTL screenPoint);

  HWND window_;
  UINT message_;
  HRESULT ole_;  // OleInitialize's answer: undone only when it succeeded
  ComPtr<Target> target_;
  bool registered_ = false;
  std::deque<WindowDrop> dropped_;
};

}  // namespace brindlework::win32
