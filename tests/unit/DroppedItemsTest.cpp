#include "MainWindowFixture.h"
#include "pinning/DroppedItems.h"

namespace brindlework::testing {
namespace {

using pinning::kDropOneItem;
using pinning::kPinHotkeyNotKept;
using Kind = RowHotkey::Kind;

constexpr int kAlt = 1;
constexpr TextView kPin = u"C:\\Users\\pat\\Desktop\\Report \u4E2D.lnk";
constexpr TextView kItem = u"C:\\Docs\\report \u4E2D.brt";

ShortcutFile Pin(Text target, Text icon, int iconIndex, RowHotkey hotkey) {
  return {std::move(target), Text(kItem), std::move(icon), iconIndex, std::move(hotkey)};
}
const RowHotkey kNoHotkey{};
const RowHotkey kAlt7{Kind::Composed, u"ALT", u"7"};
const RowHotkey kOtherHotkey{Kind::Other};

// The fields after a drop, the hotkey row as the list's selection, key and hotkey text.
struct DropFields {
  Text item, icon, title;
  int modifier;
  Text key, hotkey;
  bool operator==(const DropFields&) const = default;
};
void PrintTo(const DropFields& f, std::ostream* out) {
  *out << Utf8(f.item) << " | " << Utf8(f.icon) << " | " << Utf8(f.title) << " | " << f.modifier
       << " | " << Utf8(f.key) << " | " << Utf8(f.hotkey);
}

// The fields before every drop: all filled, so that a row shows each one that it changes.
const DropFields kBefore{u"C:\\before.txt", u"C:\\before.ico", u"Before", 0, u"b", u"CTRL+SHIFT+b"};

// A dropped item; a path alone is a file.
struct Item : DroppedItem {
  Item(const char16_t* path) : Item(Text(path)) {}
  Item(Text path) : DroppedItem{Kind::File, std::move(path), {}} {}
  Item(Kind kind, Text text, Text name) : DroppedItem{kind, std::move(text), std::move(name)} {}
};
constexpr auto kPlace = DroppedItem::Kind::Place;
constexpr auto kLink = DroppedItem::Kind::Link;

struct Row {
  const char* name;
  int control;
  std::vector<Item> items;
  std::optional<ShortcutFile> file;  // what the reader finds at the one path
  DropFields after;
  std::vector<Text> messages;
  bool fails = false;              // throws Error, for the window system to report
  Text iconBefore = kBefore.icon;  // an item dropped fills an empty icon field only
  // and an empty title
  Text titleBefore = kBefore.title;
};

class DroppedItemsTest : public MainWindowTest {
 protected:
  void Fill(const DropFields& fields) {
    Type(F::kTxtToExecute, fields.item);
    Type(F::kTxtIcon, fields.icon);
    Type(F::kTxtTitle, fields.title);
    SelectModifier(fields.modifier);
    Type(F::kText1, fields.key);
    Type(F::kTxtHotKey, fields.hotkey);
  }
  DropFields Read() {
    return {Field(F::kTxtToExecute),        Field(F::kTxtIcon), Field(F::kTxtTitle),
            View().selected.at(F::kCombo1), Field(F::kText1),   Field(F::kTxtHotKey)};
  }
};

TEST_F(DroppedItemsTest, WhatEachDropFillsAndTells) {
  process.name = u"Pinner";  // a renamed copy: its own pins count as well
  const Text shipped = u"C:\\Programs\\Brindlework\\Brindlework.exe";
  const Text pin(kPin);
  const Text icon = u"C:\\Icons\\pin.ico";
  const Text title = u"Report \u4E2D";
  const Text shell32 = u"C:\\windows\\system32\\shell32.dll";
  const Text picture = u"D:\\Photos\\cat.jpg";
  const Text made = u"C:\\Users\\pat\\AppData\\Local\\Brindlework\\Icons\\0123456789abcdef.ico";
  const Text folder = u"D:\\Folder";
  const Text document = u"D:\\notes.txt";
  const Text bin = u"::{645ff040-5081-101b-9f08-00aa002f954e}";
  const Text brtest = u"brtest://pages/7";
  const Text schemeIcon = u"%SystemRoot%\\system32\\shell32.dll,3";
  const Text host = u"https://user@www.example.org:8080/a?b";
  process.variables = {{u"SystemRoot", u"C:\\windows"}};
  icons.schemeIcons = {{u"brtest", schemeIcon},
                       {u"noicons", u"D:\\app.dat"},
                       {u"http", schemeIcon},
                       {u"https", u"@{Browser_8wek?ms-resource://B/Logo}"}};
  // What the system tells of each file's icons. A file that holds icons, and a folder, would
  // make a wrong icon were they taken for pictures.
  icons.counts = {{icon, 1}, {shipped, 1}, {u"D:\\app.dll", 2}, {shell32, 184}};
  icons.shellIcons = {{pin, {icon, 0}},
                      {folder, {shell32, -4}},
                      {Text(kItem), {shell32, 70}},
                      {picture, {shell32, 325}},
                      {document, {u"D:\\no icons.dll", 1}}};
  icons.shellIcons[bin] = {shell32, -33};
  const PictureIcon madeIcon{PictureIcon::Outcome::Made, made};
  icons.made = {{picture, madeIcon},
                {u"D:\\app.dll", madeIcon},
                {folder, madeIcon},
                {u"D:\\huge.png", PictureIcon{PictureIcon::Outcome::TooLarge}},
                {u"D:\\damaged.png", Error(-2003292409, u"The image is damaged.")}};
  // A site's own icon, its fetch failed or cancelled; any other address offers none.
  const Text site = u"https://garden.example/plan", offline = u"http://offline.example/",
             bare = u"https://bare.example/";
  sites.sites = {{site, Picture("garden")},
                 {offline, {FetchedIcon::Outcome::Unreachable, {}, Unreachable::NoConnection}},
                 {bare, {FetchedIcon::Outcome::Cancelled}}};
  const Text siteIcon = u"C:\\Icons\\garden.ico";
  process.existing = {pin,      u"D:\\app.dll", picture, u"D:\\huge.png", u"D:\\damaged.png",
                      document, u"D:\\app.dat"};
  process.folders = {folder};
  process.existing.insert(shell32);
  process.folders.insert({u"D:\\Photos 2024.06", u"C:\\"});

  const DropFields filled{Text(kItem), icon, title, kAlt, u"7", u"CTRL+ALT+7"};
  const DropFields noHotkey{Text(kItem), icon, title, -1, u"", u""};
  const auto with = [](DropFields after, const Text& icon) {
    after.icon = icon;
    return after;
  };
  const auto item = [](const Text& path, const Text& icon = kBefore.icon,
                       const Text& title = kBefore.title) {
    DropFields after = kBefore;
    after.item = path;
    after.icon = icon;
    after.title = title;
    return after;
  };
  const auto iconFile = [](const Text& path) {
    DropFields after = kBefore;
    after.icon = path;
    return after;
  };
  const Text example = u"C:\\Users\\pat\\Desktop\\example.org.lnk";
  DropFields exampleFields = filled;
  exampleFields.title = u"example.org";
  // clang-format off
  const Row rows[] = {
      {"a file with icons, on the icon field", F::kTxtIcon, {u"D:\\app.dll"}, {},
       iconFile(u"D:\\app.dll"), {}},
      {"a picture, on the icon field", F::kTxtIcon, {picture}, {}, iconFile(made), {}},
      {"a shortcut, on the icon label: the shell's icon, its first", F::kLabel3, {pin}, {},
       iconFile(icon), {}},
      {"a folder, on the icon picker: the shell's icon, never a picture", F::kCommand3, {folder},
       {}, iconFile(shell32 + u",-4"), {}},
      {"a picture too large", F::kTxtIcon, {u"D:\\huge.png"}, {}, kBefore,
       {Text(pinning::kPictureTooLarge)}},
      {"a damaged picture", F::kTxtIcon, {u"D:\\damaged.png"}, {}, kBefore, {}, true},
      {"an item whose shell icon holds none", F::kTxtIcon, {document}, {}, kBefore,
       {Text(pinning::kNoIconFile)}},
      {"an item the shell shows nothing for", F::kTxtIcon, {u"D:\\app.dat"}, {}, kBefore,
       {Text(pinning::kNoIconFile)}},
      {"a pin with a hotkey", 0, {pin}, Pin(shipped, icon, 0, kAlt7), filled, {}},
      {"a pin of a renamed copy, on a field", F::kTxtTitle, {pin},
       Pin(u"d:\\tools\\PINNER.EXE", icon, 0, kAlt7), filled, {}},
      {"a pin named like an address", 0, {example}, Pin(shipped, icon, 0, kAlt7), exampleFields, {}},
      {"a pin without a hotkey", F::kCombo1, {pin}, Pin(shipped, icon, 0, kNoHotkey), noHotkey, {}},
      {"a pin with the program's icon", 0, {pin},
       Pin(shipped, u"D:\\Old Copy\\brindlework.exe", 0, kAlt7), with(filled, u""), {}},
      {"a pin with the program's icon number 2", 0, {pin},
       Pin(shipped, u"D:\\Old Copy\\brindlework.exe", 2, kAlt7),
       with(filled, u"D:\\Old Copy\\brindlework.exe,2"), {}},
      {"a pin with icon number 3", 0, {pin}, Pin(shipped, icon, 3, kAlt7),
       with(filled, icon + u",3"), {}},
      {"a pin with icon number 3 of no file", 0, {pin}, Pin(shipped, u"", 3, kAlt7),
       with(filled, u""), {}},
      {"a pin with a hotkey the row cannot hold and icon -7", 0, {pin},
       Pin(shipped, icon, -7, kOtherHotkey), with(noHotkey, icon + u",-7"),
       {Text(kPinHotkeyNotKept)}},
      {"a foreign shortcut", 0, {pin}, Pin(u"C:\\Windows\\notepad.exe", u"", 0, kNoHotkey),
       item(pin), {}},
      {"a shortcut to the program without an item", 0, {pin},
       ShortcutFile{shipped, u"", u"", 0, kAlt7}, item(pin), {}},
      {"a program", F::kTxtToExecute, {shipped}, {}, item(shipped), {}},
      {"a program, the icon field empty", 0, {shipped}, {}, item(shipped, shipped), {}, false, u""},
      {"a document, the icon field empty", 0, {Text(kItem)}, {}, item(Text(kItem), shell32 + u",70"),
       {}, false, u""},
      {"a picture as the item: its type's icon", 0, {picture}, {},
       item(picture, shell32 + u",325"), {}, false, u""},
      {"an item without an icon file", 0, {document}, {}, item(document, u""), {}, false, u""},
      {"several files", 0, {pin, u"C:\\b.txt"}, Pin(shipped, u"", 0, kAlt7), kBefore,
       {Text(kDropOneItem)}},
      {"several files on the icon row", F::kTxtIcon, {u"C:\\a.ico", u"C:\\b.ico"}, {}, kBefore,
       {Text(kDropOneItem)}},
      {"a shortcut that cannot be read", 0, {u"C:\\Users\\pat\\Desktop\\damaged.LNK"}, {},
       kBefore, {}, true},
      {"a place, the icon and title empty", 0, {{kPlace, bin, u"Recycle Bin"}}, {},
       item(bin, shell32 + u",-33", u"Recycle Bin"), {}, false, u"", u""},
      {"a place, the icon and title filled", 0, {{kPlace, bin, u"Recycle Bin"}}, {}, item(bin), {}},
      {"a place whose name is no title", 0, {{kPlace, bin, u"a:b"}}, {},
       item(bin, kBefore.icon, u""), {}, false, kBefore.icon, u""},
      {"a link: its scheme's icon, environment string kept", 0, {{kLink, brtest, u"Page 7"}}, {},
       item(brtest, schemeIcon, u"Page 7"), {}, false, u"", u""},
      {"a link without a name, its scheme's icon a packaged app", 0, {{kLink, host, u""}}, {},
       item(host, u"", u"www.example.org"), {}, false, u"", u""},
      {"a place on the icon row", F::kTxtIcon, {{kPlace, bin, u"Recycle Bin"}}, {},
       iconFile(shell32 + u",-33"), {}},
      {"a link without an icon on the icon row", F::kCommand3, {{kLink, host, u"Example"}}, {},
       kBefore, {Text(pinning::kNoIconFile)}},
      {"a link whose scheme's icon file holds none", 0, {{kLink, u"noicons://x", u"X"}}, {},
       item(u"noicons://x", u"", u"X"), {}, false, u"", u""},
      {"a file's name without its last extension only", 0, {u"D:\\Garden v1.2.xlsx"}, {},
       item(u"D:\\Garden v1.2.xlsx", kBefore.icon, u"Garden v1.2"), {}, false, kBefore.icon, u""},
      {"a site's link: its own icon", F::kTxtTitle, {{kLink, site, u"Plan"}}, {},
       item(site, siteIcon, u"Plan"), {}, false, u"", u""},
      {"a site's link, the icon field filled: no fetch", 0, {{kLink, site, u"Plan"}}, {},
       item(site, kBefore.icon, u"Plan"), {}, false, kBefore.icon, u""},
      {"a site unreachable: its scheme's icon, no word", 0, {{kLink, offline, u""}}, {},
       item(offline, schemeIcon, u"offline.example"), {}, false, u"", u""},
      {"a site's link on the icon row", F::kTxtIcon, {{kLink, site, u"Plan"}}, {},
       iconFile(siteIcon), {}},
      {"a site unreachable, on the icon row", F::kTxtIcon, {{kLink, offline, u""}}, {},
       iconFile(schemeIcon), {}},
      {"a site cancelled, no scheme icon, on the icon row: no word", F::kTxtIcon,
       {{kLink, bare, u""}}, {}, kBefore, {}},
      {"a file's name as the title", 0, {u"D:\\Garden plan.xlsx"}, {},
       item(u"D:\\Garden plan.xlsx", kBefore.icon, u"Garden plan"), {}, false, kBefore.icon, u""},
      {"a folder's whole name as the title", 0, {u"D:\\Photos 2024.06"}, {},
       item(u"D:\\Photos 2024.06", kBefore.icon, u"Photos 2024.06"), {}, false, kBefore.icon, u""},
      {"a drive root: no title", 0, {u"C:\\"}, {}, item(u"C:\\", kBefore.icon, u""), {}, false,
       kBefore.icon, u""},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DropFields before = kBefore;
    before.icon = row.iconBefore;
    before.title = row.titleBefore;
    Fill(before);
    messages.shown.clear();
    shortcutReader.files.clear();
    if (row.file) shortcutReader.files[row.items.front().text] = *row.file;
    const std::vector<DroppedItem> items(row.items.begin(), row.items.end());
    if (row.fails) {
      EXPECT_THROW(main.Drop(row.control, items), Error);
    } else {
      main.Drop(row.control, items);
    }
    EXPECT_EQ(Read(), row.after);
    EXPECT_EQ(messages.shown, row.messages);
  }
  // Only a site's link fetches, and only for an icon: on the icon row, or for an empty field.
  EXPECT_EQ(sites.fetched, (std::vector<Text>{host, host, site, offline, site, offline, bare}));
  // Nothing is stored and nothing written: GO! and "Remember all" do that.
  EXPECT_TRUE(settings.values.empty());
  EXPECT_TRUE(shortcuts.shortcuts.empty());
}

}  // namespace
}  // namespace brindlework::testing
