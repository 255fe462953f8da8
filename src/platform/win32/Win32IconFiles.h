#pragma once
#include <functional>

#include "platform/IconFiles.h"

namespace brindlework::win32 {

// The Icons folder of this computer's user: Brindlework\Icons in the local application data,
// which does not roam.
Text LocalIconsFolder();

// Whether an icon can be made of the picture in these bytes: the system decodes it and the
// pixels of the frame that the icon would be made of can be copied (some damage shows only
// then). Needs COM initialised on the calling thread.
bool Decodes(std::span<const std::byte> picture);

// The icons of files through shell32, shlwapi and the imaging component (WIC), all loaded on
// first use.
// Needs COM initialised on the calling thread.
class Win32IconFiles final : public IconFiles {
 public:
  // `iconsFolder` is asked only when a picture is made into an icon.
  explicit Win32IconFiles(std::function<Text()> iconsFolder = LocalIconsFolder)
      : iconsFolder_(std::move(iconsFolder)) {}

  unsigned IconCount(const Text& path) override;
  std::optional<IconLocation> ShellIcon(const Text& path) override;
  std::optional<Text> SchemeIcon(const Text& scheme) override;
  PictureIcon IconOfPicture(const Text& path) override;
  PictureIcon IconOfBytes(std::span<const std::byte> picture) override;

 private:
  std::function<Text()> iconsFolder_;
};

}  // namespace brindlework::win32
