// The icons of files as the system tells them, and icon files made of a picture, read back by
// Windows itself (LoadImageW, ExtractIconExW) and by icotool, which shares no code with either.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "TestSupport.h"
#include "UserState.h"
#include "platform/Error.h"
#include "platform/Fnv1a.h"
#include "platform/win32/Win32IconFiles.h"
#include "platform/win32/WinText.h"

namespace brindlework {
namespace {

using Outcome = PictureIcon::Outcome;
using win32::ToText;
using win32::ToWide;

class IconFilesTest : public ::testing::Test {
 protected:
  Text File(const wchar_t* name, std::string_view bytes) {
    testing::CreateTestFile(scratch / name, bytes);
    return ToText(scratch / name);
  }

  testing::ComApartment com;
  testing::ScratchFolder scratch;
  const std::wstring iconsFolder = scratch / L"Brindlework\\Icons";  // neither exists yet
  int asked = 0;  // how often the service has asked for its folder
  win32::Win32IconFiles icons{[this] { return ++asked, ToText(iconsFolder); }};
  // 24 x 16 pixels at alpha 0x80, the top half #d03010, the bottom half #1050d0: a PNG that the
  // build puts beside the test programs.
  const std::string picture = testing::FileBytes(testing::BuiltProgram(L"picture-3x2.png"));
};

TEST_F(IconFilesTest, APictureBecomesAnIconOfSixSizesOnce) {
  const Text file = File(L"picture.txt", picture);  // decoded by its content, whatever its name
  const PictureIcon made = icons.IconOfPicture(file);
  Fnv1a64 hash;
  for (const char byte : picture) hash.Add(static_cast<std::uint8_t>(byte));
  const std::wstring name = ToWide(hash.Hex()) + L".ico", path = iconsFolder + L"\\" + name;
  ASSERT_EQ(made, (PictureIcon{Outcome::Made, ToText(path)}));
  EXPECT_EQ(testing::FileNames(iconsFolder), std::vector{name});
  const std::string bytes = testing::FileBytes(path);
  const int sizes[] = {16, 24, 32, 48, 64, 256};
  for (std::size_t entry = 0; entry < std::size(sizes); ++entry) {
    const int size = sizes[entry];
    SCOPED_TRACE(size);
    DWORD offset = 0;  // of the image, at the end of its 16-byte directory entry
    std::memcpy(&offset, &bytes.at(6 + 16 * entry + 12), sizeof offset);
    EXPECT_EQ(bytes.compare(offset, 4, "\x89PNG") == 0, size == 256);  // a DIB below 256
    const win32::UniqueIcon icon(static_cast<HICON>(
        LoadImageW(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
    std::vector<bool> masked;
    const auto pixels = testing::IconPixels(icon.get(), size, &masked);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(size * size));
    // Its proportions kept: clear above and below, the picture across the whole width, its top
    // half on top, straight alpha.
    const auto at = [&](int x, int y) { return pixels[y * size + x]; };
    for (const int x : {0, size / 2}) {
      EXPECT_EQ(at(x, 0).rgbReserved, 0);
      EXPECT_EQ(at(x, size - 1).rgbReserved, 0);
      for (const auto& [y, rgb] :
           {std::pair{size * 3 / 16, 0xd03010}, std::pair{size * 3 / 4, 0x1050d0}}) {
        EXPECT_NEAR(at(x, y).rgbReserved, 0x80, 2);
        EXPECT_NEAR(at(x, y).rgbRed, rgb >> 16, 2) << "row " << y;
        EXPECT_NEAR(at(x, y).rgbGreen, rgb >> 8 & 0xFF, 2) << "row " << y;
        EXPECT_NEAR(at(x, y).rgbBlue, rgb & 0xFF, 2) << "row " << y;
      }
    }
    // A DIB's AND mask is set exactly where its pixels are transparent.
    for (std::size_t i = 0; size < 256 && i < pixels.size(); ++i) {
      ASSERT_EQ(masked.at(i), pixels[i].rgbReserved == 0) << "pixel " << i;
    }
  }
  if (testing::RunningUnderWine()) {  // icotool is a Linux program
    const std::string listed = testing::LinuxToolReport(L"icotool -l", path);
    for (const std::string size : {"16", "24", "32", "48", "64", "256"}) {
      EXPECT_NE(listed.find("--width=" + size + " --height=" + size + " --bit-depth=32"),
                std::string::npos)
          << listed;
    }
  }
  // The same bytes again give the file as it is, made or not by this program.
  testing::CreateTestFile(path, "made before");
  EXPECT_EQ(icons.IconOfPicture(file), made);
  EXPECT_EQ(testing::FileBytes(path), "made before");
}

TEST_F(IconFilesTest, WhatIsNoPictureOrCannotBeMadeLeavesNothing) {
  const Text large = File(L"large.png", picture);
  std::filesystem::resize_file(ToWide(large), kLargestPicture + 1);  // zeros after the picture
  const struct {
    Text file;
    std::optional<Outcome> outcome;  // none: an Error
  } rows[] = {
      {File(L"text.png", "not a picture"), Outcome::NotAPicture},
      {large, Outcome::TooLarge},
      {File(L"damaged.png", picture.substr(0, picture.size() / 2)), std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::ToUtf8(ToWide(row.file)));
    if (row.outcome) {
      EXPECT_EQ(icons.IconOfPicture(row.file).outcome, row.outcome);
    } else {
      EXPECT_THROW(icons.IconOfPicture(row.file), Error);
    }
    EXPECT_EQ(testing::FileNames(iconsFolder), std::vector<std::wstring>{});
  }
  // An Icons folder that cannot be made: below a file.
  win32::Win32IconFiles blocked([&] { return rows[0].file + u"\\Icons"; });
  EXPECT_THROW(blocked.IconOfPicture(File(L"picture.png", picture)), Error);
  EXPECT_EQ(testing::FileNames(scratch.Path()).size(), 4u);
}

TEST_F(IconFilesTest, CountsIconsAndTheShellNamesItsIconFileExpandedOrNothing) {
  wchar_t system[MAX_PATH];
  ASSERT_NE(GetSystemDirectoryW(system, MAX_PATH), 0u);
  const struct {
    Text path;
    bool holdsIcons;
  } rows[] = {
      {ToText(std::wstring(system) + L"\\shell32.dll"), true},
      {File(L"text.txt", "text"), false},
      {ToText(scratch / L"missing.dll"), false},
      {ToText(scratch.Path().wstring()), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::ToUtf8(ToWide(row.path)));
    EXPECT_EQ(icons.IconCount(row.path) > 0, row.holdsIcons);
  }
  // The test file type's DefaultIcon is a REG_SZ "%SystemRoot%\system32\shell32.dll,3" (see
  // scripts/lib/test-handlers), which the shell may hand on as it stands.
  EXPECT_EQ(icons.ShellIcon(File(L"document.brt", "")),
            (IconLocation{ToText(std::wstring(system) + L"\\shell32.dll"), 3}));
  // The shell gives nothing for a path over MAX_PATH. (Its icon of a folder is tested where a
  // folder is dropped on the icon row.)
  EXPECT_EQ(icons.ShellIcon(ToText(scratch / std::wstring(MAX_PATH, L'x'))), std::nullopt);
  // The test scheme's DefaultIcon (scripts/lib/test-handlers) as stored, its size asked first;
  // nothing for a scheme that nothing opens.
  EXPECT_EQ(icons.SchemeIcon(u"brtest"), Text(u"%SystemRoot%\\system32\\shell32.dll,3"));
  EXPECT_EQ(icons.SchemeIcon(u"brtest-unknown"), std::nullopt);
  EXPECT_EQ(asked, 0);  // the Icons folder is only asked for a picture
}

}  // namespace
}  // namespace brindlework
