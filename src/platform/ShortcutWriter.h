#pragma once
#include <memory>

#include "platform/Text.h"

namespace brindlework {

// One shortcut file being made. Nothing reaches the disk before Save; destroying the object
// releases everything it holds, saved or not.
class Shortcut {
 public:
  virtual ~Shortcut() = default;

  // The program that the shortcut starts.
  virtual void SetTargetPath(const Text& path) = 0;
  // The icon: icon `number` of the file at the path (a negative number is an icon's resource id).
  virtual void SetIconLocation(const Text& path, int number) = 0;
  // The icon: the running program's own icon (its file, icon index 0).
  virtual void SetProgramIcon() = 0;
  virtual void SetArguments(const Text& arguments) = 0;
  // The shortcut's Application User Model ID, by which the taskbar tells pinned shortcuts apart.
  virtual void SetAppUserModelId(const Text& id) = 0;
  // A hotkey text such as CTRL+SHIFT+k. Throws Error, and leaves the shortcut unchanged, when
  // the text names no key that the shortcut can hold.
  virtual void SetHotkey(const Text& hotkey) = 0;
  // Writes the file, and reads it back before it replaces an existing one: a value that the
  // system did not keep as it was set throws Error 13 (invalid data) naming that value. A
  // failed save leaves an existing file of that path as it was.
  virtual void Save() = 0;
};

// Makes shortcut files. Every operation throws Error when it fails.
class ShortcutWriter {
 public:
  virtual ~ShortcutWriter() = default;

  // The current user's desktop folder.
  virtual Text DesktopFolder() = 0;
  // A new shortcut that Save writes to the path; nothing is written yet.
  virtual std::unique_ptr<Shortcut> CreateShortcut(const Text& path) = 0;
};

}  // namespace brindlework
