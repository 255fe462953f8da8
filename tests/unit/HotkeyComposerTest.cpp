#include "MainWindowFixture.h"
#include "pinning/HotkeyComposer.h"

namespace brindlework::testing {
namespace {

constexpr int kShift = 0;
constexpr int kAlt = 1;
constexpr int kNone = -1;

class HotkeyComposerTest : public MainWindowTest {
 protected:
  // One press of "Set hotkey"; gives what happened, in order.
  std::vector<Text> SetHotkey(int modifier, const Text& key) {
    SelectModifier(modifier);
    Type(F::kText1, key);
    Record();
    Press(F::kCommand5);
    return log.events;
  }
  std::vector<Text> Composed(const Text& hotkey, bool stored) {
    std::vector<Text> events{TextEvent(F::kTxtHotKey, hotkey)};
    if (stored) events.push_back(u"save txthotkey=" + hotkey);
    events.push_back(stored ? u"message done!" : u"message Not valid hotkey");
    return events;
  }
};

TEST_F(HotkeyComposerTest, AKeyOfOtherThanOneUnitChangesNothing) {
  SetHotkey(kAlt, u"x");
  for (const Text key : {u"", u"ab", u"\U0001F4CC"}) {  // the emoji is two units
    EXPECT_EQ(SetHotkey(kShift, key), std::vector<Text>{u"message Not valid hotkey"});
    EXPECT_EQ(Field(F::kTxtHotKey), u"CTRL+ALT+x");
  }
}

TEST_F(HotkeyComposerTest, TheTextIsComposedThenCheckedAndOnlyThenConfirmed) {
  EXPECT_EQ(SetHotkey(kShift, u"k"), Composed(u"CTRL+SHIFT+k", true));
  EXPECT_EQ(SetHotkey(kAlt, u"7"), Composed(u"CTRL+ALT+7", true));
  // Any one unit is a key, kept as typed.
  EXPECT_EQ(SetHotkey(kShift, u" "), Composed(u"CTRL+SHIFT+ ", true));
  EXPECT_EQ(SetHotkey(kAlt, u"+"), Composed(u"CTRL+ALT++", true));
  EXPECT_EQ(SetHotkey(kShift, u"K"), Composed(u"CTRL+SHIFT+K", true));
  // Without a modifier the text shows but is refused, and the store keeps the last good one.
  EXPECT_EQ(SetHotkey(kNone, u"\u00E9"), Composed(u"CTRL++\u00E9", false));
  EXPECT_EQ(settings.Stored(u"txthotkey"), u"CTRL+SHIFT+K");
}

TEST_F(HotkeyComposerTest, TheModifierIsTheSelectedListEntryNotTheComboText) {
  Type(F::kCombo1, u"ALT");
  EXPECT_EQ(SetHotkey(kShift, u"q"), Composed(u"CTRL+SHIFT+q", true));
  Type(F::kCombo1, u"SHIFT");
  EXPECT_EQ(SetHotkey(kNone, u"q"), Composed(u"CTRL++q", false));
}

TEST_F(HotkeyComposerTest, DeleteEmptiesTheRowAndTheStoreThenConfirms) {
  SetHotkey(kAlt, u"z");
  Type(F::kCombo1, u"ALT");
  for (int press = 0; press < 2; ++press) {  // the second time on an empty row
    Record();
    Press(F::kCommand4);
    EXPECT_EQ(log.events,
              (std::vector<Text>{u"save txthotkey=", TextEvent(F::kText1, u""),
                                 TextEvent(F::kTxtHotKey, u""), TextEvent(F::kCombo1, u""),
                                 u"select " + DecimalText(F::kCombo1) + u"=-1", u"message done!"}));
  }
  // The row reads empty and is: a key alone is no hotkey.
  Type(F::kText1, u"k");
  Press(F::kCommand5);
  EXPECT_EQ(messages.shown.back(), u"Not valid hotkey");
}

}  // namespace
}  // namespace brindlework::testing
