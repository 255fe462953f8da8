#include "pinning/HotkeyComposer.h"

#include "MainWindowFixture.h"

namespace brindlework::testing {
namespace {

constexpr int kShift = 0;
constexpr int kAlt = 1;
constexpr int kNone = -1;

class HotkeyComposerTest : public MainWindowTest {
 protected:
  // One press of "Set hotkey" with this modifier and key typed in.
  void SetHotkey(int modifier, const Text& key) {
    SelectModifier(modifier);
    Type(F::kText1, key);
    messages.shown.clear();
    Press(F::kCommand5);
  }
  std::vector<Text> Said(TextView message) { return {Text(message)}; }
};

TEST_F(HotkeyComposerTest, AKeyOfOtherThanOneUnitChangesNothing) {
  SetHotkey(kAlt, u"x");
  ASSERT_EQ(settings.Stored(u"txthotkey"), u"CTRL+ALT+x");
  for (const Text key : {u"", u"ab", u"\U0001F4CC"}) {  // the emoji is two units
    Record();
    SetHotkey(kShift, key);
    EXPECT_EQ(log.events, std::vector<Text>{u"message Not valid hotkey"});
    EXPECT_EQ(Field(F::kTxtHotKey), u"CTRL+ALT+x");
    EXPECT_EQ(settings.Stored(u"txthotkey"), u"CTRL+ALT+x");
  }
}

TEST_F(HotkeyComposerTest, AModifierAndOneKeyAreComposedStoredAndThenConfirmed) {
  Record();
  SetHotkey(kShift, u"k");
  EXPECT_EQ(log.events, (std::vector<Text>{TextEvent(F::kTxtHotKey, u"CTRL+SHIFT+k"),
                                           u"save txthotkey=CTRL+SHIFT+k", u"message done!"}));
  SetHotkey(kAlt, u"7");
  EXPECT_EQ(Field(F::kTxtHotKey), u"CTRL+ALT+7");
  EXPECT_EQ(settings.Stored(u"txthotkey"), u"CTRL+ALT+7");
  EXPECT_EQ(messages.shown, Said(u"done!"));
}

TEST_F(HotkeyComposerTest, OnlyTheKeysLengthCountsNeverItsCharacterOrCase) {
  const std::pair<Text, Text> cases[] = {
      {u" ", u"CTRL+SHIFT+ "}, {u"+", u"CTRL+SHIFT++"}, {u"\u00E9", u"CTRL+SHIFT+\u00E9"},
      {u"K", u"CTRL+SHIFT+K"}, {u"k", u"CTRL+SHIFT+k"},
  };
  for (const auto& [key, hotkey] : cases) {
    SetHotkey(kShift, key);
    EXPECT_EQ(Field(F::kTxtHotKey), hotkey);
    EXPECT_EQ(settings.Stored(u"txthotkey"), hotkey);
    EXPECT_EQ(messages.shown, Said(u"done!"));
  }
}

TEST_F(HotkeyComposerTest, WithoutAModifierTheTextIsShownButRefusedAndNotStored) {
  SetHotkey(kShift, u"a");
  Record();
  SetHotkey(kNone, u"k");
  // Composed first, then checked: the refused text stays on screen.
  EXPECT_EQ(log.events, (std::vector<Text>{TextEvent(F::kTxtHotKey, u"CTRL++k"),
                                           u"message Not valid hotkey"}));
  EXPECT_EQ(settings.Stored(u"txthotkey"), u"CTRL+SHIFT+a");
  // A later valid press overwrites both.
  SetHotkey(kAlt, u"b");
  EXPECT_EQ(Field(F::kTxtHotKey), u"CTRL+ALT+b");
  EXPECT_EQ(settings.Stored(u"txthotkey"), u"CTRL+ALT+b");
}

TEST_F(HotkeyComposerTest, TheModifierIsTheSelectedListEntryNotTheComboText) {
  Type(F::kCombo1, u"ALT");
  SetHotkey(kShift, u"q");
  EXPECT_EQ(Field(F::kTxtHotKey), u"CTRL+SHIFT+q");
  Type(F::kCombo1, u"SHIFT");
  SetHotkey(kNone, u"q");
  EXPECT_EQ(messages.shown, Said(u"Not valid hotkey"));
}

TEST_F(HotkeyComposerTest, DeleteEmptiesTheRowAndTheStoreThenConfirms) {
  SetHotkey(kAlt, u"z");
  Type(F::kCombo1, u"ALT");
  for (int press = 0; press < 2; ++press) {  // the second time on an empty row
    Record();
    messages.shown.clear();
    Press(F::kCommand4);
    EXPECT_EQ(log.events,
              (std::vector<Text>{u"save txthotkey=", TextEvent(F::kText1, u""),
                                 TextEvent(F::kTxtHotKey, u""), TextEvent(F::kCombo1, u""),
                                 u"select " + DecimalText(F::kCombo1) + u"=-1", u"message done!"}));
    EXPECT_EQ(settings.Stored(u"txthotkey"), u"");
  }
  // The row reads empty and is: a key alone is no hotkey.
  Type(F::kText1, u"k");
  messages.shown.clear();
  Press(F::kCommand5);
  EXPECT_EQ(messages.shown, Said(u"Not valid hotkey"));
}

}  // namespace
}  // namespace brindlework::testing
