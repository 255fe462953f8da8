// The core restates a few Windows constants as numbers, since it may not include <windows.h>:
// each must be the system's own value.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Window.h"
#include "platform/win32/Win32Registry.h"

namespace brindlework {
namespace {

TEST(CoreConstants, AreTheSystemsValues) {
  EXPECT_EQ(kShowCommand, SW_SHOW);
  EXPECT_EQ(kShowNormal, SW_SHOWNORMAL);
  EXPECT_EQ(kHighlight, kSystemColour | COLOR_HIGHLIGHT);
  EXPECT_EQ(kRegSz, static_cast<std::uint32_t>(REG_SZ));
  EXPECT_EQ(kRegDword, static_cast<std::uint32_t>(REG_DWORD));
  // Not a constant expression, and sign-extended to 64 bits: compared as handles, at run time.
  EXPECT_EQ(win32::RootKey(kLocalMachine), HKEY_LOCAL_MACHINE);
}

}  // namespace
}  // namespace brindlework
