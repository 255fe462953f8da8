// The exe's icon as Windows itself reads it: every size that the shell and the windows ask for
// loads, at that size, with its alpha channel; the large sizes come from the PNG images.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "version.h"

namespace brindlework {
namespace {

struct Module {
  HMODULE handle;
  ~Module() { FreeLibrary(handle); }
};

TEST(AppIcon, LoadsAtEverySizeWithItsAlpha) {
  const Module exe{LoadLibraryExW(testing::BrindleworkExe().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)};
  ASSERT_NE(exe.handle, nullptr);
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    const win32::UniqueIcon icon(static_cast<HICON>(
        LoadImageW(exe.handle, MAKEINTRESOURCEW(BRINDLEWORK_ICON), IMAGE_ICON, size, size, 0)));
    ASSERT_TRUE(icon);
    const auto pixels = testing::IconPixels(icon.get(), size);
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
