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

Text IconNumberLost(int number) {
  return Text(pinning::kPinIconNumberLost) + DecimalText(number) +
         Text(pinning::kPinIconNumberLostEnd);
}

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

struct Row {
  const char* name;
  int control;
  std::vector<Text> paths;
  std::optional<ShortcutFile> file;  // what the reader finds at the one path
  DropFields after;
  std::vector<Text> messages;
  bool fails = false;  // throws Error, for the window system to report
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
  const DropFields filled{Text(kItem), icon, title, kAlt, u"7", u"CTRL+ALT+7"};
  const DropFields noHotkey{Text(kItem), icon, title, -1, u"", u""};
  DropFields ownIcon = filled;
  ownIcon.icon.clear();
  const auto item = [](const Text& path) {
    DropFields after = kBefore;
    after.item = path;
    return after;
  };
  const auto iconFile = [](const Text& path) {
    DropFields after = kBefore;
    after.icon = path;
    return after;
  };
  const Text bothLost = Text(kPinHotkeyNotKept) + u"\n" + IconNumberLost(-7);
  // clang-format off
  const Row rows[] = {
      {"on the icon label", F::kLabel3, {pin}, {}, iconFile(pin), {}},
      {"on the icon field", F::kTxtIcon, {u"D:\\app.dll"}, {}, iconFile(u"D:\\app.dll"), {}},
      {"on the icon picker", F::kCommand3, {u"D:\\Folder"}, {}, iconFile(u"D:\\Folder"), {}},
      {"a pin with a hotkey", 0, {pin}, Pin(shipped, icon, 0, kAlt7), filled, {}},
      {"a pin of a renamed copy, on a field", F::kTxtTitle, {pin},
       Pin(u"d:\\tools\\PINNER.EXE", icon, 0, kAlt7), filled, {}},
      {"a pin without a hotkey", F::kCombo1, {pin}, Pin(shipped, icon, 0, kNoHotkey), noHotkey, {}},
      {"a pin with the program's icon", 0, {pin},
       Pin(shipped, u"D:\\Old Copy\\brindlework.exe", 0, kAlt7), ownIcon, {}},
      {"a pin with icon number 3", 0, {pin}, Pin(shipped, icon, 3, kAlt7), filled,
       {IconNumberLost(3)}},
      {"a pin with a hotkey the row cannot hold", 0, {pin}, Pin(shipped, icon, 0, kOtherHotkey),
       noHotkey, {Text(kPinHotkeyNotKept)}},
      {"a pin that loses both", 0, {pin}, Pin(shipped, icon, -7, kOtherHotkey), noHotkey,
       {bothLost}},
      {"a foreign shortcut", 0, {pin}, Pin(u"C:\\Windows\\notepad.exe", u"", 0, kNoHotkey),
       item(pin), {}},
      {"a shortcut to the program without an item", 0, {pin},
       ShortcutFile{shipped, u"", u"", 0, kAlt7}, item(pin), {}},
      {"a program", F::kTxtToExecute, {shipped}, {}, item(shipped), {}},
      {"several files", 0, {pin, u"C:\\b.txt"}, Pin(shipped, u"", 0, kAlt7), kBefore,
       {Text(kDropOneItem)}},
      {"several files on the icon row", F::kTxtIcon, {u"C:\\a.ico", u"C:\\b.ico"}, {}, kBefore,
       {Text(kDropOneItem)}},
      {"a shortcut that cannot be read", 0, {u"C:\\Users\\pat\\Desktop\\damaged.LNK"}, {},
       kBefore, {}, true},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Fill(kBefore);
    messages.shown.clear();
    shortcutReader.files.clear();
    if (row.file) shortcutReader.files[row.paths.front()] = *row.file;
    if (row.fails) {
      EXPECT_THROW(main.Drop(row.control, row.paths), Error);
    } else {
      main.Drop(row.control, row.paths);
    }
    EXPECT_EQ(Read(), row.after);
    EXPECT_EQ(messages.shown, row.messages);
  }
  // Nothing is stored and nothing written: GO! and "Remember all" do that.
  EXPECT_TRUE(settings.values.empty());
  EXPECT_TRUE(shortcuts.shortcuts.empty());
}

}  // namespace
}  // namespace brindlework::testing
