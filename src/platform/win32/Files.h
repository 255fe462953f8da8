#pragma once
// Paths and files that more than one service needs: a path as the shell may keep it, and a
// file written whole beside its target before it takes the target's name.

#include <string>

#include "platform/Text.h"

namespace brindlework::win32 {

// A path with its environment strings expanded: the shell may keep a path in that form.
std::wstring Expanded(const Text& path);

// A file name in the target's folder that no other save uses, so that a failed save never
// touches the target.
Text TemporaryBeside(const Text& target);

// Deletes the file at the end of its scope unless it has been moved into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(Text path) : path_(std::move(path)) {}
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const Text& Path() const { return path_; }
  void Moved() { moved_ = true; }

 private:
  Text path_;
  bool moved_ = false;
};

}  // namespace brindlework::win32
