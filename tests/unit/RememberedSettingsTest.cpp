#include "MainWindowFixture.h"
#include "pinning/RememberedSettings.h"

namespace brindlework::testing {
namespace {

class RememberedSettingsTest : public MainWindowTest {
 protected:
  void Fill(const Text& item, const Text& icon, const Text& title) {
    Type(F::kTxtToExecute, item);
    Type(F::kTxtIcon, icon);
    Type(F::kTxtTitle, title);
  }
  std::vector<Text> Fields() {
    return {Field(F::kTxtToExecute), Field(F::kTxtIcon), Field(F::kTxtTitle), Field(F::kTxtHotKey)};
  }
};

TEST_F(RememberedSettingsTest, RememberAllStoresThreeFieldsExactlyAndARestartBringsThemBack) {
  EXPECT_EQ(Fields(), (std::vector<Text>{u"", u"", u"", u""}));  // first run
  const Text item = u"  C:\\a b\\\u4E2D\u6587 \U0001F4CC.brt ";
  const Text icon(5000, u'x');
  Fill(item, icon, u" ");
  SelectModifier(1);
  Type(F::kText1, u"k");
  Press(F::kCommand5);
  Record();
  Press(F::kCommand6);
  EXPECT_EQ(log.events, (std::vector<Text>{u"save txttoexecute=" + item, u"save txticon=" + icon,
                                           u"save txttitle= "}));  // and no message
  Start();
  // The hotkey was stored by "Set hotkey" but is never restored.
  EXPECT_EQ(Fields(), (std::vector<Text>{item, icon, u" ", u""}));
  EXPECT_EQ(Field(F::kText1), u"");
  EXPECT_EQ(View().selected.at(F::kCombo1), -1);
}

TEST_F(RememberedSettingsTest, EmptyFieldsAreRememberedAsEmpty) {
  Fill(u"C:\\old item", u"C:\\old.ico", u"old");
  Press(F::kCommand6);
  Fill(u"", u"", u"only a title");
  Press(F::kCommand6);
  Start();
  EXPECT_EQ(Fields(), (std::vector<Text>{u"", u"", u"only a title", u""}));
}

TEST_F(RememberedSettingsTest, ClearAllEmptiesFourFieldsOnScreenOnly) {
  Fill(u"C:\\item", u"C:\\i.ico", u"title");
  Press(F::kCommand6);
  SelectModifier(1);
  Type(F::kText1, u"k");
  Press(F::kCommand5);
  Record();
  Press(F::kCommand2);
  EXPECT_EQ(log.events,
            (std::vector<Text>{TextEvent(F::kTxtToExecute, u""), TextEvent(F::kTxtIcon, u""),
                               TextEvent(F::kTxtTitle, u""), TextEvent(F::kTxtHotKey, u"")}));
  EXPECT_EQ(Field(F::kText1), u"k");
  EXPECT_EQ(View().selected.at(F::kCombo1), 1);
  EXPECT_EQ(settings.Stored(u"txthotkey"), u"CTRL+ALT+k");
  Start();
  EXPECT_EQ(Fields(), (std::vector<Text>{u"C:\\item", u"C:\\i.ico", u"title", u""}));
}

TEST_F(RememberedSettingsTest, AFailingSaveKeepsWhatWasSavedBeforeIt) {
  Fill(u"C:\\item", u"C:\\i.ico", u"title");
  settings.failingKey = u"txticon";
  EXPECT_THROW(Press(F::kCommand6), Error);
  EXPECT_EQ(settings.Stored(u"txttoexecute"), u"C:\\item");
  EXPECT_FALSE(settings.Stored(u"txttitle").has_value());
}

}  // namespace
}  // namespace brindlework::testing
