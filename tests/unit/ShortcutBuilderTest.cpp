#include "MainWindowFixture.h"
#include "pinning/ShortcutBuilder.h"

namespace brindlework::testing {
namespace {

class ShortcutBuilderTest : public MainWindowTest {
 protected:
  void Fill(const Text& item, const Text& title, const Text& icon = u"", const Text& hotkey = u"") {
    Type(F::kTxtToExecute, item);
    Type(F::kTxtTitle, title);
    Type(F::kTxtIcon, icon);
    Type(F::kTxtHotKey, hotkey);
  }
  // Presses GO! and gives what happened, in order.
  std::vector<Text> Go() {
    Record();
    Press(F::kCommand1);
    return log.events;
  }
  std::vector<Text> Refused(TextView message) { return {u"message " + Text(message)}; }
};

TEST_F(ShortcutBuilderTest, TheItemNeedsFiveUtf16UnitsAndIsCheckedBeforeTheTitle) {
  // 0, 4 and 4 units (two emoji), with and without a title: only the item is told.
  for (const Text item : {u"", u"C:\\a", u"\U0001F4CC\U0001F4CC"}) {
    Fill(item, u"");
    EXPECT_EQ(Go(), Refused(pinning::kItemMissing));
    Fill(item, u"t");
    EXPECT_EQ(Go(), Refused(pinning::kItemMissing));
  }
  Fill(u"\U0001F4CC\U0001F4CCx", u"");  // five units
  EXPECT_EQ(Go(), Refused(pinning::kTitleMissing));
  EXPECT_EQ(Field(F::kTxtToExecute), u"\U0001F4CC\U0001F4CCx");  // fields as they were
  Fill(u"\u00E9\u00E9\u00E9\u00E9\u00E9", u"t");
  EXPECT_EQ(Go().back(), u"release");
}

TEST_F(ShortcutBuilderTest, WritesTheShortcutInOrderAndSaysDoneBeforeReleasingIt) {
  Fill(u"C:\\My Files\\report 2.brt  ", u"My pin");
  const Text path = u"C:\\Users\\pat\\Desktop\\My pin.lnk";
  EXPECT_EQ(Go(), (std::vector<Text>{
                      u"DesktopFolder",
                      u"CreateShortcut " + path,
                      u"SetTargetPath C:\\Programs\\Brindlework\\Brindlework.exe",
                      u"SetProgramIcon",  // no icon path: the program's own icon
                      u"SetArguments C:\\My Files\\report 2.brt  ",  // trailing blanks kept
                      u"SetAppUserModelId Brindlework.Item.f4326ebafea6a243",
                      u"Save",  // an empty hotkey text sets no hotkey at all
                      u"message done!",
                      u"release",
                  }));
  // A hotkey text goes in as it is; the writer judges it.
  Fill(u"C:\\item", u"pin", u"", u"CTRL+ALT+k");
  EXPECT_EQ(Go().at(6), u"SetHotkey CTRL+ALT+k");
}

TEST_F(ShortcutBuilderTest, EachItemHasItsOwnTaskbarIdentityWhateverItsTitleOrIcon) {
  // Expected values from an independent FNV-1a 64 over the UTF-16LE bytes, in Python:
  //   h = 0xcbf29ce484222325
  //   for b in item.encode("utf-16-le"): h = ((h ^ b) * 0x100000001b3) % 2**64
  //   print("Brindlework.Item.%016x" % h)
  const std::pair<Text, Text> cases[] = {
      {u"https://example.org", u"Brindlework.Item.7d23dd7977c898b8"},
      {u"C:\\item", u"Brindlework.Item.50892ef26697635d"},
      {u"C:\\item ", u"Brindlework.Item.649910f97270c605"},  // a trailing blank is another item
      {u"\u4E2D\u6587 \U0001F4CC.txt", u"Brindlework.Item.16dac18c0d4e3d55"},
  };
  process.existing = {u"C:\\icons\\pin.ico"};
  for (const auto& [item, id] : cases) {
    for (const auto& [title, icon] :
         {std::pair<Text, Text>{u"one", u""}, {u"two", u"C:\\icons\\pin.ico"}}) {
      Fill(item, title, icon);
      Press(F::kCommand1);
      EXPECT_EQ(shortcuts.shortcuts.back().appUserModelId, id) << Utf8(item);
    }
  }
}

TEST_F(ShortcutBuilderTest, AnItemThatCanNeverStartIsRefusedBeforeAnythingIsWritten) {
  for (const Text item : {u"     ", u" C:\\item", u"\tC:\\item", u"\t \t \t"}) {
    Fill(item, u"pin");
    EXPECT_EQ(Go(), Refused(pinning::kItemBlankLed)) << Utf8(item);
  }
  // "C:\Programs\Brindlework\Brindlework.exe" is 39 units: quoted, a blank and the final NUL
  // leave 32767 - 43 for the item.
  const Text tooLong = Text(pinning::kItemTooLong) + u"32724 characters";
  Fill(Text(32725, u'x'), u"pin");
  EXPECT_EQ(Go(), Refused(tooLong));
  EXPECT_EQ(Field(F::kTxtToExecute), Text(32725, u'x'));  // the fields are kept
  Fill(Text(32724, u'x'), u"pin");
  EXPECT_EQ(Go().back(), u"release");
  // The checks of the title come first.
  Fill(u"     ", u"");
  EXPECT_EQ(Go(), Refused(pinning::kTitleMissing));
  Fill(u"     ", u"a|b");
  EXPECT_EQ(Go(), Refused(pinning::kTitleNotAFileName));
}

TEST_F(ShortcutBuilderTest, SeparatorsAreJoinedInEvenAfterARootFolder) {
  shortcuts.desktop = u"D:\\";
  process.folder = u"E:\\";
  process.name = u"pin tool";
  Fill(u"https://example.org", u" ");  // a single blank is a title
  Press(F::kCommand1);
  EXPECT_EQ(shortcuts.files.at(u"D:\\\\ .lnk").target, u"E:\\\\pin tool.exe");
}

TEST_F(ShortcutBuilderTest, TheIconTextNamesAFileOrOneIconOfAFile) {
  process.existing = {u"C:\\icons\\pin.ico", u"C:\\lib\\x.dll", u"C:\\icons\\a",
                      u"C:\\icons\\a,03", u"C:\\a,b\\x.dll", u"C:\\%LIB%\\pin.ico"};
  process.folders = {u"C:\\icons"};
  process.variables = {{u"LIB", u"C:\\lib"}, {u"ICONS", u"C:\\icons"}};
  // in the current folder, and the system folder
  process.existing.insert({u"shell32.dll", u"here.dll", u"C:\\Windows\\System32\\shell32.dll",
                           u"C:/Windows/System32/shell32.dll", u"C:shell32.dll"});
  process.variables[u"SystemRoot"] = u"C:\\Windows";
  const Text program = u"SetProgramIcon";
  const std::pair<Text, Text> cases[] = {
      {u"C:\\icons\\pin.ico", u"SetIconLocation 0 C:\\icons\\pin.ico"},
      {u"C:\\icons", u"SetIconLocation 0 C:\\icons"},  // a folder as a whole passes as well
      {u"C:\\icons\\gone.ico", program},
      {u"", program},
      {u"C:\\lib\\x.dll,3", u"SetIconLocation 3 C:\\lib\\x.dll"},
      {u"C:\\lib\\x.dll,-4", u"SetIconLocation -4 C:\\lib\\x.dll"},  // a resource id
      {u"C:\\lib\\x.dll,2147483647", u"SetIconLocation 2147483647 C:\\lib\\x.dll"},
      {u"C:\\lib\\x.dll,-2147483648", u"SetIconLocation -2147483648 C:\\lib\\x.dll"},
      {u"C:\\lib\\x.dll,2147483648", program},
      {u"C:\\lib\\x.dll,-99999999999", program},
      {u"C:\\lib\\x.dll", u"SetIconLocation 0 C:\\lib\\x.dll"},
      {u"C:\\lib\\x.dll,", program},
      {u"C:\\lib\\x.dll,x", program},
      {u"C:\\lib\\x.dll, 3", program},
      {u"C:\\lib\\x.dll ,3", program},  // the blank belongs to the path, which names nothing
      {u"C:\\icons,3", program},  // a folder holds no icons
      {u"C:\\icons\\a,03", u"SetIconLocation 0 C:\\icons\\a,03"},  // a file of that name
      {u"C:\\a,b\\x.dll,3", u"SetIconLocation 3 C:\\a,b\\x.dll"},  // the last comma
      // As a DefaultIcon value holds it: environment strings kept, one pair of quotes taken off.
      {u"%ICONS%\\pin.ico", u"SetIconLocation 0 %ICONS%\\pin.ico"},
      {u"\"C:\\icons\\pin.ico\"", u"SetIconLocation 0 C:\\icons\\pin.ico"},
      {u"\"%LIB%\\x.dll\",3", u"SetIconLocation 3 %LIB%\\x.dll"},
      {u"\"C:\\lib\\x.dll,3\"", program},  // a number inside the quotes
      {u"\"C:\\icons\\gone.ico\"", program},
      {u"\"C:\\lib\\x.dll,3", program},  // no closing quote
      {u"C:\\%LIB%\\pin.ico", u"SetIconLocation 0 C:\\%LIB%\\pin.ico"},  // named as typed
      // A name alone is a file of the system folder, never of the current one.
      {u"shell32.dll,3", u"SetIconLocation 3 %SystemRoot%\\System32\\shell32.dll"},
      {u"shell32.dll", u"SetIconLocation 0 %SystemRoot%\\System32\\shell32.dll"},
      {u"\"shell32.dll\",3", u"SetIconLocation 3 %SystemRoot%\\System32\\shell32.dll"},
      {u"nosuch.dll,3", program},
      // A slash or a drive names a folder of its own.
      {u"C:/Windows/System32/shell32.dll,3", u"SetIconLocation 3 C:/Windows/System32/shell32.dll"},
      {u"C:shell32.dll", u"SetIconLocation 0 C:shell32.dll"},
      {u"here.dll", program},
  };
  for (const auto& [icon, event] : cases) {
    Fill(u"C:\\item", u"pin", icon);
    EXPECT_EQ(Go().at(3), event) << Utf8(icon);
  }
}

// An address in the icon field is its site's icon, fetched after every check of the item and
// title, modal to the window; a site without one writes nothing, and says why unless cancelled.
TEST_F(ShortcutBuilderTest, AnAddressInTheIconFieldIsItsSitesIconOrNothingIsWritten) {
  const Text site = u"https://user@Example.com:8443/news";
  const Text fetch = u"Fetch " + site + u" for " + DecimalText(View().handle);
  const auto go = [&](FetchedIcon fetched) {
    sites.sites[site] = std::move(fetched);
    Fill(u"C:\\item", u"pin", site);
    return Go();
  };
  const Text notFetched = u"message The icon of Example.com could not be fetched: ";
  using Outcome = FetchedIcon::Outcome;
  const std::pair<FetchedIcon, std::vector<Text>> failures[] = {
      {{Outcome::Unreachable, {}, Unreachable::NameNotFound},
       {fetch, notFetched + u"the name was not found."}},
      {{Outcome::Unreachable, {}, Unreachable::Other, 12345},
       {fetch, notFetched + u"error 12345."}},
      {{Outcome::NoIcon}, {fetch, u"message Example.com offers no icon that Windows can read."}},
      {{Outcome::Cancelled}, {fetch}},
  };
  for (const auto& [fetched, events] : failures) EXPECT_EQ(go(fetched), events);
  Fill(u"C:\\item", u"", site);
  EXPECT_EQ(Go(), Refused(pinning::kTitleMissing));  // no fetch for a press that cannot write
  shortcuts.failAt = u"Save";
  EXPECT_THROW(go(Picture("site")), Error);
  EXPECT_EQ(Field(F::kTxtIcon), site);  // as typed, when the pin was not saved
  shortcuts.failAt.reset();
  const std::vector<Text> events = go(Picture("site"));
  EXPECT_EQ(events.front(), fetch);
  EXPECT_EQ(events.at(4), u"SetIconLocation 0 C:\\Icons\\site.ico");
  EXPECT_EQ(events.at(8), TextEvent(F::kTxtIcon, u"C:\\Icons\\site.ico"));  // once saved
  // A text that is more than one address names no site, and keeps the field's rules.
  Fill(u"C:\\item", u"pin", site + u" news");
  EXPECT_EQ(Go().at(3), u"SetProgramIcon");
}

TEST_F(ShortcutBuilderTest, ATitleThatIsNoFileNameIsRefusedBeforeAnythingIsWritten) {
  for (const Text title : {u"a\\b", u"..\\..\\evil", u"a/b", u"C:x", u"what?", u"a*", u"say \"hi\"",
                           u"<b>", u"a|b", u"tab\there", u"CON", u"con", u"nul.txt", u"LPT9.tar.gz",
                           u"AUX ", u"COM1", u"com\u00B9", u"CONIN$"}) {
    Fill(u"C:\\item", title);
    EXPECT_EQ(Go(), Refused(pinning::kTitleNotAFileName)) << Utf8(title);
  }
  for (const Text title :
       {u"CONSOLE", u"my.con", u"COM10", u"LPT", u" CON", u"\u4E2D \U0001F4CC"}) {
    EXPECT_TRUE(pinning::IsFileNameTitle(title)) << Utf8(title);
  }
}

TEST_F(ShortcutBuilderTest, AFailingStepEndsThePressWithTheFieldsAsTheyWere) {
  for (const Text step : {u"DesktopFolder", u"CreateShortcut", u"SetTargetPath", u"SetProgramIcon",
                          u"SetArguments", u"SetAppUserModelId", u"SetHotkey", u"Save"}) {
    SCOPED_TRACE(Utf8(step));
    Fill(u"C:\\item", u"pin", u"", u"CTRL+SHIFT+k");
    shortcuts.failAt = step;
    shortcuts.shortcuts.clear();
    EXPECT_THROW(Go(), Error);  // to the window system, which reports it
    // Nothing ran after the failing step but the release of the shortcut object.
    auto events = log.events;
    if (events.back() == u"release") events.pop_back();
    EXPECT_EQ(events.back().substr(0, step.size()), step);
    for (const auto& shortcut : shortcuts.shortcuts) EXPECT_TRUE(shortcut.released);
    EXPECT_TRUE(shortcuts.files.empty());
    EXPECT_EQ(Field(F::kTxtHotKey), u"CTRL+SHIFT+k");
  }
}

}  // namespace
}  // namespace brindlework::testing
