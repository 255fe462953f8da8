#include "pinning/ShortcutBuilder.h"

#include "MainWindowFixture.h"

namespace brindlework::testing {
namespace {

using pinning::kDone;
using pinning::kItemMissing;
using pinning::kTitleMissing;
using pinning::kTitleNotAFileName;

class ShortcutBuilderTest : public MainWindowTest {
 protected:
  void Fill(const Text& item, const Text& title, const Text& icon = u"",
            const Text& hotkey = u"") {
    Type(F::kTxtToExecute, item);
    Type(F::kTxtTitle, title);
    Type(F::kTxtIcon, icon);
    Type(F::kTxtHotKey, hotkey);
  }
  // One press of GO! that must be refused with this message before any shortcut work.
  void ExpectRefused(TextView message) {
    messages.shown.clear();
    Record();
    Press(F::kCommand1);
    EXPECT_EQ(log.events, std::vector<Text>{u"message " + Text(message)});
    EXPECT_TRUE(shortcuts.shortcuts.empty());
  }
};

TEST_F(ShortcutBuilderTest, AnItemNeedsFiveUtf16Units) {
  Fill(u"", u"t");
  ExpectRefused(kItemMissing);
  for (const Text item : {u"C:\\a", u"\U0001F4CC\U0001F4CC", u"abc"}) {  // 4, 4 and 3 units
    Fill(item, u"t");
    ExpectRefused(kItemMissing);
  }
  // Five units: two emoji and a letter are five, five accented letters are five.
  for (const Text item : {u"C:\\ab", u"\U0001F4CC\U0001F4CCx", u"\u00E9\u00E9\u00E9\u00E9\u00E9"}) {
    Fill(item, u"t");
    messages.shown.clear();
    Press(F::kCommand1);
    EXPECT_EQ(messages.shown, std::vector<Text>{Text(kDone)});
    EXPECT_EQ(shortcuts.files.at(shortcuts.desktop + u"\\t.lnk").arguments, item);
  }
}

TEST_F(ShortcutBuilderTest, TheItemIsCheckedBeforeTheTitle) {
  Fill(u"", u"");
  ExpectRefused(kItemMissing);
  Fill(u"abcd", u"");
  ExpectRefused(kItemMissing);
  Fill(u"abcde", u"");
  ExpectRefused(kTitleMissing);
  // A refused press leaves the fields as they were.
  EXPECT_EQ(Field(F::kTxtToExecute), u"abcde");
}

TEST_F(ShortcutBuilderTest, WritesTheShortcutInOrderAndSaysDoneBeforeReleasingIt) {
  Fill(u"  C:\\My Files\\report 2.brt  ", u"My pin");
  Record();
  Press(F::kCommand1);
  const Text path = u"C:\\Users\\pat\\Desktop\\My pin.lnk";
  EXPECT_EQ(log.events, (std::vector<Text>{
                            u"DesktopFolder",
                            u"CreateShortcut " + path,
                            u"SetTargetPath C:\\Programs\\Brindlework\\Brindlework.exe",
                            u"SetProgramIcon",
                            u"SetArguments   C:\\My Files\\report 2.brt  ",  // blanks kept
                            u"Save",
                            u"message done!",
                            u"release",
                        }));
  const ShortcutRecord& saved = shortcuts.files.at(path);
  EXPECT_FALSE(saved.hotkey.has_value());  // an empty hotkey text sets no hotkey at all
  EXPECT_FALSE(saved.iconLocation.has_value());
}

TEST_F(ShortcutBuilderTest, SeparatorsAreJoinedInEvenAfterARootFolder) {
  shortcuts.desktop = u"D:\\";
  process.folder = u"E:\\";
  process.name = u"pin tool";
  Fill(u"https://example.org", u" ");  // a single blank is a title
  Press(F::kCommand1);
  const ShortcutRecord& saved = shortcuts.files.at(u"D:\\\\ .lnk");
  EXPECT_EQ(saved.target, u"E:\\\\pin tool.exe");
  EXPECT_EQ(messages.shown, std::vector<Text>{Text(kDone)});
}

TEST_F(ShortcutBuilderTest, TheIconPathIsUsedOnlyWhenItNamesSomething) {
  process.existing = {u"C:\\icons\\pin.ico", u"C:\\icons"};
  const std::pair<Text, bool> cases[] = {
      {u"C:\\icons\\pin.ico", true},
      {u"C:\\icons", true},  // a folder passes the test as well
      {u"C:\\icons\\gone.ico", false},
      {u"", false},
  };
  for (const auto& [icon, used] : cases) {
    shortcuts.shortcuts.clear();
    Fill(u"C:\\item", u"pin", icon);
    Press(F::kCommand1);
    const ShortcutRecord& written = shortcuts.shortcuts.at(0);
    EXPECT_EQ(written.iconLocation, used ? OptionalText(icon) : std::nullopt) << Utf8(icon);
    EXPECT_EQ(written.programIcon, !used) << Utf8(icon);
  }
}

TEST_F(ShortcutBuilderTest, AHotkeyTextGoesInUnchanged) {
  Fill(u"C:\\item", u"pin", u"", u"CTRL+ALT+k");
  Press(F::kCommand1);
  EXPECT_EQ(shortcuts.shortcuts.at(0).hotkey, u"CTRL+ALT+k");
  // Typed by hand: the builder does not judge it; the writer does.
  shortcuts.shortcuts.clear();
  Type(F::kTxtHotKey, u" ");
  Press(F::kCommand1);
  EXPECT_EQ(shortcuts.shortcuts.at(0).hotkey, u" ");
}

TEST_F(ShortcutBuilderTest, ATitleThatIsNoFileNameIsRefusedBeforeAnythingIsWritten) {
  for (const Text title : {u"a\\b", u"..\\..\\evil", u"a/b", u"C:x", u"what?", u"a*", u"say \"hi\"",
                           u"<b>", u"a|b", u"tab\there", u"line\nbreak", u"CON", u"con", u"Nul",
                           u"nul.txt", u"LPT9.tar.gz", u"AUX ", u"COM1", u"com\u00B9", u"CONIN$"}) {
    Fill(u"C:\\item", title);
    SCOPED_TRACE(Utf8(title));
    ExpectRefused(kTitleNotAFileName);
  }
}

TEST_F(ShortcutBuilderTest, TitlesThatOnlyLookLikeDeviceNamesAreFileNames) {
  for (const Text title : {u" ", u"CONSOLE", u"my.con", u"COM10", u"LPT", u"x.NUL", u" CON",
                           u"a.b.c", u"\u4E2D\u6587 \U0001F4CC", u"..."}) {
    EXPECT_TRUE(pinning::IsFileNameTitle(title)) << Utf8(title);
  }
}

TEST_F(ShortcutBuilderTest, AFailingStepEndsThePressWithTheFieldsAsTheyWere) {
  const Text steps[] = {u"DesktopFolder", u"CreateShortcut", u"SetTargetPath", u"SetProgramIcon",
                        u"SetArguments",  u"SetHotkey",      u"Save"};
  for (const Text& step : steps) {
    SCOPED_TRACE(Utf8(step));
    Fill(u"C:\\item", u"pin", u"", u"CTRL+SHIFT+k");
    shortcuts.failAt = step;
    shortcuts.shortcuts.clear();
    messages.shown.clear();
    Record();
    try {
      Press(F::kCommand1);
      ADD_FAILURE() << "the failure did not reach the window system";
    } catch (const Error& error) {
      EXPECT_EQ(error.Number(), shortcuts.failure.Number());
    }
    // Nothing after the failing step ran, and the shortcut object was let go.
    auto events = log.events;
    if (events.back() == u"release") events.pop_back();
    EXPECT_EQ(events.back().substr(0, step.size()), step);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(shortcuts.files.empty());
    for (const auto& shortcut : shortcuts.shortcuts) EXPECT_TRUE(shortcut.released);
    EXPECT_EQ(Field(F::kTxtToExecute), u"C:\\item");
    EXPECT_EQ(Field(F::kTxtTitle), u"pin");
    EXPECT_EQ(Field(F::kTxtHotKey), u"CTRL+SHIFT+k");
  }
}

TEST_F(ShortcutBuilderTest, EachPressWritesTheSamePathAfreshFromTheFields) {
  Fill(u"C:\\first", u"pin", u"", u"CTRL+SHIFT+k");
  Press(F::kCommand1);
  Fill(u"C:\\second", u"pin");
  Press(F::kCommand1);
  ASSERT_EQ(shortcuts.shortcuts.size(), 2u);
  EXPECT_EQ(shortcuts.shortcuts[0].path, shortcuts.shortcuts[1].path);
  const ShortcutRecord& file = shortcuts.files.at(shortcuts.shortcuts[1].path);
  EXPECT_EQ(file.arguments, u"C:\\second");
  EXPECT_FALSE(file.hotkey.has_value());
}

}  // namespace
}  // namespace brindlework::testing
