#include "windows/main/frmMain.h"

#include <array>

#include "pinning/DroppedItems.h"
#include "pinning/HotkeyComposer.h"
#include "pinning/RememberedSettings.h"
#include "pinning/ShortcutBuilder.h"
#include "windows/MakerSite.h"

namespace brindlework {
namespace {

constexpr std::array<TextView, 2> kModifiers{u"SHIFT", u"ALT"};

using K = ControlKind;
using F = frmMain;

constexpr std::array<ControlSpec, 18> kControls{{
    {K::Button, F::kCommand7, u"Command7", u"Pin  :>     (select file)", {120, 240, 1095, 495}, 16},
    {K::TextBox, F::kTxtToExecute, u"txtToExecute", u"", {1440, 240, 5535, 495}, 2, u"Item to pin", nullptr, std::nullopt, {}, false, false, true},
    {K::Label, F::kLabel6, u"Label6", u"or just type in a web address", {7200, 240, 1215, 375}, 14},
    {K::Label, F::kLabel3, u"Label3", u"Shortcut icon      (can be blank)", {240, 960, 1455, 495}, 6},
    {K::TextBox, F::kTxtIcon, u"txtIcon", u"", {1440, 960, 5535, 495}, 5, u"Shortcut icon", nullptr, std::nullopt, {}, false, false, true},
    {K::Button, F::kCommand3, u"Command3", u"Choose icon (.ico)", {7200, 960, 1455, 495}, 7},
    {K::Label, F::kLabel1, u"Label1", u"Shortcut title (required)", {240, 1680, 1575, 375}, 4},
    {K::TextBox, F::kTxtTitle, u"txtTitle", u"", {1440, 1680, 5535, 495}, 3, u"Shortcut title"},
    {K::Button, F::kCommand6, u"Command6", u"Remember all", {7200, 1680, 1455, 495}, 15},
    {K::Label, F::kLabel4, u"Label4", u"CTRL+", {600, 2520, 615, 255}, 11},
    {K::ComboBox, F::kCombo1, u"Combo1", u"", {1440, 2520, 1695, 315}, 8, u"Hotkey modifier", nullptr, std::nullopt, kModifiers},
    {K::Label, F::kLabel5, u"Label5", u"+", {3240, 2520, 135, 255}, 12},
    {K::TextBox, F::kText1, u"Text1", u"", {3480, 2520, 495, 285}, 9, u"Hotkey key"},
    {K::Button, F::kCommand5, u"Command5", u"Set hotkey", {4200, 2520, 1215, 375}, 13},
    {K::Button, F::kCommand2, u"Command2", u"Clear all", {7200, 2520, 1455, 375}, 1},
    {K::TextBox, F::kTxtHotKey, u"txtHotKey", u"", {1440, 3000, 2535, 405}, 10, u"Hotkey"},
    {K::Button, F::kCommand4, u"Command4", u"Delete hotkey", {4200, 3000, 1215, 375}, 17},
    {K::Button, F::kCommand1, u"Command1", u"GO!", {7200, 3000, 1455, 375}, 0},
}};

constexpr std::array<MenuSpec, 7> kMenu{{
    {1, F::kMnuMain, u"mnuMain", u"File"},
    {2, F::kMnuExit, u"mnuExit", u"E&xit"},
    {1, F::kMnuHelp, u"mnuHelp", u"Help"},
    {2, F::kMnuHelp2, u"mnuHelp2", u"Help"},
    {2, F::kMnuAbout, u"MnuAbout", u"About"},
    {2, F::kMnuSpacer, u"mnuSpacer", u"-"},
    {2, F::kMnuSupport, u"mnuSupport", u"Support us"},
}};

const FormSpec kSpec{
    .caption = u"Brindlework to windows taskbar!",
    .clientWidth = 8895,
    .clientHeight = 3915,
    .frame = Frame::Sizable,
    .acceptsFiles = true,
    .controls = kControls,
    .menu = kMenu,
};

constexpr pinning::Fields kFields{
    .txtToExecute = F::kTxtToExecute,
    .txtIcon = F::kTxtIcon,
    .txtTitle = F::kTxtTitle,
    .txtHotKey = F::kTxtHotKey,
    .Text1 = F::kText1,
    .Combo1 = F::kCombo1,
};

}  // namespace

const FormSpec& frmMain::Spec() const { return kSpec; }

void frmMain::Form_Load() { pinning::RestoreFields(View(), kFields, pinning_); }
void frmMain::Command1_Click() { pinning::BuildShortcut(View(), kFields, pinning_, icons_); }
void frmMain::Command2_Click() { pinning::ClearFields(View(), kFields); }
void frmMain::Command4_Click() { pinning::DeleteHotkey(View(), kFields, pinning_); }
void frmMain::Command5_Click() { pinning::SetHotkey(View(), kFields, pinning_); }
void frmMain::Command6_Click() { pinning::RememberFields(View(), kFields, pinning_); }

void frmMain::Click(int id) {
  switch (id) {
    case kCommand1: return Command1_Click();
    case kCommand2: return Command2_Click();
    case kCommand3: return Command3_Click();
    case kCommand4: return Command4_Click();
    case kCommand5: return Command5_Click();
    case kCommand6: return Command6_Click();
    case kCommand7: return Command7_Click();
    case kCombo1: return Combo1_Click();
    case kMnuExit: return mnuExit_Click();
    case kMnuHelp2: return mnuHelp2_Click();
    case kMnuAbout: return MnuAbout_Click();
    case kMnuSupport: return mnuSupport_Click();
    default: return;
  }
}

void frmMain::Drop(int control, std::span<const DroppedItem> items) {
  const bool iconRow = control == kLabel3 || control == kTxtIcon || control == kCommand3;
  pinning::DropItems(View(), kFields, pinning_, {shortcutReader_, icons_},
                     iconRow ? pinning::DropZone::IconRow : pinning::DropZone::Elsewhere, items);
}

void frmMain::mnuExit_Click() { windows_.EndProgram(); }

void frmMain::mnuHelp2_Click() {
  shell_.Open(View().Handle(), u"open", MakerSite::Address(u"/support/"), Text(), Text(),
              kShowCommand);
}

void frmMain::MnuAbout_Click() { windows_.Show(about_); }

void frmMain::mnuSupport_Click() { windows_.Show(support_); }

}  // namespace brindlework
