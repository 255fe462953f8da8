#include "platform/OpenFileDialog.h"

#include "platform/Error.h"

namespace brindlework {

void OpenFileDialog::ShowOpen(WindowHandle owner) {
  std::optional<Text> chosen = service_.ShowOpen(owner, *this);
  if (chosen) {
    FileName = std::move(*chosen);
  } else if (CancelError) {
    throw Error(kCancelErrorNumber, u"Cancel was selected.");
  }
}

}  // namespace brindlework
