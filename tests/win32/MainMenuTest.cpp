// The main window's menu, read inside the process that builds it: another process cannot read
// a window's menus under Wine.
#include <gtest/gtest.h>

#include "LiveForms.h"

namespace brindlework {
namespace {

struct Entry {
  std::wstring caption;  // "-" for a separator
  UINT id;
};

std::vector<Entry> Entries(HMENU menu) {
  std::vector<Entry> entries;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t caption[128] = L"";
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE;
    info.dwTypeData = caption;
    info.cch = 128;
    GetMenuItemInfoW(menu, i, TRUE, &info);
    const bool separator = info.fType & MFT_SEPARATOR;
    if (!separator) {
      EXPECT_EQ(info.fState & (MFS_CHECKED | MFS_DISABLED), 0u) << caption;
    }
    entries.push_back({separator ? L"-" : caption, info.wID});
  }
  return entries;
}

TEST(MainMenu, HasFileAndHelpWithTheirEntriesInOrder) {
  testing::LiveForms forms;
  const HWND window = forms.Show(forms.main, L"Brindlework to windows taskbar!");
  ASSERT_NE(window, nullptr);
  const HMENU bar = GetMenu(window);
  ASSERT_NE(bar, nullptr);
  const auto top = Entries(bar);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(top[0].caption, L"File");
  EXPECT_EQ(top[1].caption, L"Help");

  const auto file = Entries(GetSubMenu(bar, 0));
  ASSERT_EQ(file.size(), 1u);
  EXPECT_EQ(file[0].caption, L"E&xit");
  EXPECT_EQ(file[0].id, static_cast<UINT>(frmMain::kMnuExit));

  const auto help = Entries(GetSubMenu(bar, 1));
  ASSERT_EQ(help.size(), 4u);
  EXPECT_EQ(help[0].caption, L"Help");
  EXPECT_EQ(help[0].id, static_cast<UINT>(frmMain::kMnuHelp2));
  EXPECT_EQ(help[1].caption, L"About");
  EXPECT_EQ(help[1].id, static_cast<UINT>(frmMain::kMnuAbout));
  EXPECT_EQ(help[2].caption, L"-");
  EXPECT_EQ(help[3].caption, L"Support us");
  EXPECT_EQ(help[3].id, static_cast<UINT>(frmMain::kMnuSupport));
}

}  // namespace
}  // namespace brindlework
