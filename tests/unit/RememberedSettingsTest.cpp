#include "pinning/RememberedSettings.h"

#include "MainWindowFixture.h"

namespace brindlework::testing {
namespace {

class RememberedSettingsTest : public MainWindowTest {
 protected:
  void Fill(const Text& item, const Text& icon, const Text& title) {
    Type(F::kTxtToExecute, item);
    Type(F::kTxtIcon, icon);
    Type(F::kTxtTitle, title);
  }
  void ExpectFields(const Text& item, const Text& icon, const Text& title) {
    EXPECT_EQ(Field(F::kTxtToExecute), item);
    EXPECT_EQ(Field(F::kTxtIcon), icon);
    EXPECT_EQ(Field(F::kTxtTitle), title);
  }
};

TEST_F(RememberedSettingsTest, AFirstRunOpensEmptyAndNeverRestoresTheHotkey) {
  ExpectFields(u"", u"", u"");
  settings.values[{u"Brindlework", u"toremember", u"txthotkey"}] = u"CTRL+ALT+k";
  settings.values[{u"Brindlework", u"toremember", u"txttitle"}] = u"kept";
  Start();
  ExpectFields(u"", u"", u"kept");
  EXPECT_EQ(Field(F::kTxtHotKey), u"");
  EXPECT_EQ(Field(F::kText1), u"");
  EXPECT_EQ(View().selected.at(F::kCombo1), -1);
}

TEST_F(RememberedSettingsTest, RememberAllStoresTheThreeFieldsExactlyAndSilently) {
  const Text longItem(5000, u'x');
  Fill(u"  C:\\a b\\\u4E2D\u6587 \U0001F4CC.brt ", longItem, u" ");
  Type(F::kTxtHotKey, u"CTRL+ALT+k");
  Record();
  Press(F::kCommand6);
  EXPECT_EQ(log.events,
            (std::vector<Text>{u"save txttoexecute=  C:\\a b\\\u4E2D\u6587 \U0001F4CC.brt ",
                               u"save txticon=" + longItem, u"save txttitle= "}));
  Start();
  ExpectFields(u"  C:\\a b\\\u4E2D\u6587 \U0001F4CC.brt ", longItem, u" ");
  EXPECT_EQ(Field(F::kTxtHotKey), u"");
}

TEST_F(RememberedSettingsTest, EmptyFieldsAreRememberedAsEmpty) {
  Fill(u"C:\\old item", u"C:\\old.ico", u"old");
  Press(F::kCommand6);
  Start();
  Fill(u"", u"", u"only a title");
  Press(F::kCommand6);
  Start();
  ExpectFields(u"", u"", u"only a title");
}

TEST_F(RememberedSettingsTest, ClearAllEmptiesFourFieldsOnScreenOnly) {
  Fill(u"C:\\item", u"C:\\i.ico", u"title");
  Press(F::kCommand6);
  SelectModifier(1);
  Type(F::kText1, u"k");
  Press(F::kCommand5);
  Record();
  Press(F::kCommand2);
  EXPECT_EQ(log.events, (std::vector<Text>{
                            TextEvent(F::kTxtToExecute, u""), TextEvent(F::kTxtIcon, u""),
                            TextEvent(F::kTxtTitle, u""), TextEvent(F::kTxtHotKey, u"")}));
  // The key, the modifier and the store keep what they had.
  EXPECT_EQ(Field(F::kText1), u"k");
  EXPECT_EQ(View().selected.at(F::kCombo1), 1);
  EXPECT_EQ(settings.Stored(u"txthotkey"), u"CTRL+ALT+k");
  Start();
  ExpectFields(u"C:\\item", u"C:\\i.ico", u"title");
}

TEST_F(RememberedSettingsTest, AFailingSaveKeepsWhatWasSavedBeforeIt) {
  Fill(u"C:\\item", u"C:\\i.ico", u"title");
  settings.failingKey = u"txticon";
  EXPECT_THROW(Press(F::kCommand6), Error);
  EXPECT_EQ(settings.Stored(u"txttoexecute"), u"C:\\item");
  EXPECT_FALSE(settings.Stored(u"txttitle").has_value());
  ExpectFields(u"C:\\item", u"C:\\i.ico", u"title");
}

}  // namespace
}  // namespace brindlework::testing
