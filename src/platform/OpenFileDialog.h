#pragma once
// The open-file dialog: a component whose settings stay between uses, over the system's dialog.

#include <cstdint>
#include <optional>

#include "platform/Text.h"

namespace brindlework {

// The failure number of ShowOpen when the user cancels and CancelError is set.
inline constexpr std::int32_t kCancelErrorNumber = 32755;

// What one run of the dialog is given.
struct OpenFileSettings {
  // The folder shown first; empty leaves the choice to the system.
  Text InitDir;
  // OFN_* options of the system's open-file dialog.
  std::uint32_t Flags = 0;
  // The file types offered: description and pattern separated by "|", entries by "|" too.
  Text Filter;
  // The name shown at first.
  Text FileName;
};

// The system's modal open-file dialog.
class OpenFileDialogService {
 public:
  virtual ~OpenFileDialogService() = default;
  // Runs the dialog modal to `owner` and gives the full path of the chosen file, or nothing
  // when the user cancelled. Throws Error for any other failure of the dialog.
  virtual std::optional<Text> ShowOpen(WindowHandle owner, const OpenFileSettings& settings) = 0;
};

// The common dialog component of a window: the settings are its state and keep their values
// from one use to the next, so a setting that a use leaves alone holds what the last one wrote.
class OpenFileDialog : public OpenFileSettings {
 public:
  explicit OpenFileDialog(OpenFileDialogService& service) : service_(service) {}

  // When true, cancelling makes ShowOpen fail with kCancelErrorNumber.
  bool CancelError = false;

  // Runs the dialog modal to `owner`; FileName then holds the chosen file's full path.
  // Throws Error: kCancelErrorNumber on cancel when CancelError is set, or the dialog's failure.
  void ShowOpen(WindowHandle owner);

 private:
  OpenFileDialogService& service_;
};

}  // namespace brindlework
