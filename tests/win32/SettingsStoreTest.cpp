#include <gtest/gtest.h>

#include "ShortcutFiles.h"
#include "UserState.h"
#include "platform/win32/Win32SettingsStore.h"
#include "platform/win32/WinText.h"

namespace brindlework {
namespace {

using win32::ToText;
using win32::ToWide;

// A settings store under an application name of the test's own, removed at the end.
class SettingsStoreTest : public ::testing::Test {
 protected:
  SettingsStoreTest() { testing::DeleteSettings(kApplication); }
  ~SettingsStoreTest() override { testing::DeleteSettings(kApplication); }

  Text Get(const Text& key, const Text& fallback = u"") {
    return store.Get(ToText(kApplication), u"toremember", key, fallback);
  }
  void Save(const Text& key, const Text& value) {
    store.Save(ToText(kApplication), u"toremember", key, value);
  }
  // What the system's own reg.exe says of a value, run as a separate process.
  std::string RegQuery(const std::wstring& key) {
    return testing::RunCommand(L"reg query \"HKCU\\Software\\" + std::wstring(kApplication) +
                               L"\\toremember\" /v " + key);
  }

  static constexpr wchar_t kApplication[] = L"Brindlework settings test";
  win32::Win32SettingsStore store;
};

TEST_F(SettingsStoreTest, ValuesComeBackExactly) {
  const Text longValue = Text(3000, u'w') + u"\u4E2D" + Text(3000, u' ');  // past 1024 bytes
  const Text values[] = {u"",
                         u" ",
                         u"  C:\\a b\\doc.brt  ",
                         u"\u4E2D\u6587 \U0001F4CC \u00E9",
                         u"say \"hi\" % %PATH% \t",
                         longValue};
  for (const Text& value : values) {
    Save(u"txttoexecute", value);
    EXPECT_EQ(Get(u"txttoexecute", u"fallback"), value);
  }
}

TEST_F(SettingsStoreTest, MissingEntriesGiveTheFallback) {
  EXPECT_EQ(Get(u"txttitle", u"none"), u"none");  // no application key yet
  Save(u"txticon", u"x");
  EXPECT_EQ(Get(u"txttitle", u"none"), u"none");  // key there, value not
  EXPECT_EQ(Get(u"txttitle"), u"");
  EXPECT_EQ(store.Get(ToText(kApplication), u"other section", u"txticon", u"none"), u"none");
}

TEST_F(SettingsStoreTest, OtherProcessesSeeTheSameStringValues) {
  Save(u"txttitle", u"My  pin ");
  Save(u"txthotkey", u"");
  const std::string title = RegQuery(L"txttitle");
  EXPECT_NE(title.find("txttitle    REG_SZ    My  pin \r\n"), std::string::npos) << title;
  const std::string hotkey = RegQuery(L"txthotkey");  // an empty string, not a missing value
  EXPECT_NE(hotkey.find("txthotkey    REG_SZ    \r\n"), std::string::npos) << hotkey;

  // Written by reg.exe with an exact command line, text outside every ANSI code page included.
  const std::wstring value = L"\u4E2D\u6587 \U0001F4CC  b";
  testing::RunCommand(L"reg add \"HKCU\\Software\\" + std::wstring(kApplication) +
                      L"\\toremember\" /v txticon /t REG_SZ /d \"" + value + L"\" /f");
  EXPECT_EQ(Get(u"txticon"), ToText(value));
}

}  // namespace
}  // namespace brindlework
