#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/Text.h"

namespace brindlework {

// One icon of a file, as a shortcut names it: the file and the icon's number, its place among
// the file's icons, or when negative the resource id of the icon.
struct IconLocation {
  Text file;
  int number = 0;
  bool operator==(const IconLocation&) const = default;
};

// The largest picture that an icon is made of, in bytes: it is read whole on the window's thread.
inline constexpr std::uint64_t kLargestPicture = 64ull * 1024 * 1024;

// An icon file made of a picture, or why there is none.
struct PictureIcon {
  enum class Outcome {
    Made,         // `path` names the icon file
    NotAPicture,  // no decoder of the system reads the file
    TooLarge,     // a picture of more than kLargestPicture bytes
  };
  Outcome outcome = Outcome::NotAPicture;
  Text path;
  bool operator==(const PictureIcon&) const = default;
};

// What only the system can tell of the icons of files.
class IconFiles {
 public:
  virtual ~IconFiles() = default;

  // How many icons the file holds: 0 for a file without any, a folder, or a path that cannot
  // be read.
  virtual unsigned IconCount(const Text& path) = 0;

  // The icon that the shell shows for the item (a folder, a document, a shortcut, a drive), its
  // file with environment strings expanded; nothing when the shell gives none.
  virtual std::optional<IconLocation> ShellIcon(const Text& path) = 0;

  // The icon of the program that opens addresses of the scheme ("https"), as the system stores
  // it (its DefaultIcon, environment strings unexpanded): an icon location in any of the forms
  // Windows writes, or text that names no file; nothing when the system knows none.
  virtual std::optional<Text> SchemeIcon(const Text& scheme) = 0;

  // An icon file in the Icons folder made of the picture in the file at the path (not a folder),
  // of its largest frame (the first of equals), named by the hash of the picture's bytes: one
  // made of the same bytes before is used as it is. Throws Error for a damaged picture, or an Icons folder that cannot be made or written;
  // nothing is then left in the folder.
  virtual PictureIcon IconOfPicture(const Text& path) = 0;

  // The same, of a picture's bytes that the system decodes (a site's icon, fetched): Made, or
  // throws Error as above.
  virtual PictureIcon IconOfBytes(std::span<const std::byte> picture) = 0;
};

}  // namespace brindlework
