// The exe's icon as Windows itself reads it: every size that the shell and the windows ask for
// loads, at that size, with its alpha channel; the large sizes come from the PNG images.
#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "platform/win32/Handles.h"
#include "version.h"

namespace brindlework {
namespace {

struct Module {
  HMODULE handle;
  ~Module() { FreeLibrary(handle); }
};

// The icon's colour pixels as 32-bit BGRA, top row first.
std::vector<RGBQUAD> Pixels(HICON icon, int size) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  const win32::UniqueBitmap colour(info.hbmColor);
  const win32::UniqueBitmap mask(info.hbmMask);
  BITMAP bitmap{};
  GetObjectW(colour.get(), sizeof bitmap, &bitmap);
  if (bitmap.bmWidth != size || bitmap.bmHeight != size) return {};
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = size;
  format.bmiHeader.biHeight = -size;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  std::vector<RGBQUAD> pixels(static_cast<std::size_t>(size) * size);
  const HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, colour.get(), 0, size, pixels.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != size) return {};
  return pixels;
}

TEST(AppIcon, LoadsAtEverySizeWithItsAlpha) {
  const Module exe{LoadLibraryExW(testing::BrindleworkExe().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)};
  ASSERT_NE(exe.handle, nullptr);
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    const win32::UniqueIcon icon(static_cast<HICON>(
        LoadImageW(exe.handle, MAKEINTRESOURCEW(BRINDLEWORK_ICON), IMAGE_ICON, size, size, 0)));
    ASSERT_TRUE(icon);
    const auto pixels = Pixels(icon.get(), size);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(size) * size);
    // Clear around the pin, opaque on its head (upper right): the alpha came through.
    const auto at = [&](double x, double y) {
      return pixels[static_cast<std::size_t>(y * size) * size + static_cast<std::size_t>(x * size)];
    };
    EXPECT_EQ(at(0, 0).rgbReserved, 0);
    EXPECT_EQ(at(0.2, 0.2).rgbReserved, 0);
    EXPECT_EQ(at(0.7, 0.28).rgbReserved, 255);
    EXPECT_GT(at(0.7, 0.28).rgbRed, at(0.7, 0.28).rgbBlue);  // a red head
  }
}

}  // namespace
}  // namespace brindlework
