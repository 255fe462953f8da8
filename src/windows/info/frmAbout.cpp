#include "windows/info/frmAbout.h"

#include <array>

#include "platform/Error.h"
#include "windows/MakerSite.h"
#include "windows/info/SysInfo.h"

namespace brindlework {
namespace {

using K = ControlKind;
using F = frmAbout;

constexpr FontSpec kLinkFont{u"MS Sans Serif", 8.25, 400, true};
constexpr Colour kBlack = 0x000000;

const Text kHomeLabel = MakerSite::Address(u"");

const std::array<ControlSpec, 8> kControls{{
    {K::Button, F::kCmdOK, u"cmdOK", u"OK", {4245, 2625, 1260, 345}, 0, u"", nullptr, std::nullopt, {}, true, true},
    {K::Picture, F::kPicIcon, u"picIcon", u"", {240, 240, 480, 480}, 1},
    {K::Button, F::kCmdSysInfo, u"cmdSysInfo", u"&System Info...", {4260, 3075, 1245, 345}, 2},
    {K::Label, F::kLblDescription, u"lblDescription", u"Brindlework to windows taskbar!", {1050, 1125, 3885, 450}, 3, u"", nullptr, kBlack},
    {K::Label, F::kLblTitle, u"lblTitle", u"", {1050, 240, 3885, 480}, 4, u"", nullptr, kBlack},
    {K::Label, F::kLblVersion, u"lblVersion", u"", {1050, 780, 3885, 225}, 5},
    {K::Label, F::kLabel1, u"Label1", kHomeLabel, {1920, 2640, 1815, 255}, 6, u"", &kLinkFont, kHighlight},
    {K::Label, F::kLabel2, u"Label2", u"Copyright \u00A9 2026", {360, 2640, 1455, 255}, 7},
}};

// An etched rule: a grey line with a white one just below it.
constexpr std::array<LineSpec, 2> kLines{{
    {0x808080, 1, 90, 2445, 5654, 2445},
    {0xFFFFFF, 2, 105, 2460, 5654, 2460},
}};

const FormSpec kSpec{
    .caption = u"About",
    .clientWidth = 5730,
    .clientHeight = 3555,
    .frame = Frame::FixedDialog,
    .screenPosition = TwipsPoint{2340, 1935},
    .controls = kControls,
    .lines = kLines,
};

}  // namespace

const FormSpec& frmAbout::Spec() const { return kSpec; }

void frmAbout::Form_Load() {
  const AppVersion version = process_.Version();
  View().SetCaption(u"About " + process_.AppTitle());
  View().SetText(kLblVersion, u"Version " + DecimalText(version.major) + u"." +
                                  DecimalText(version.minor) + u"." + DecimalText(version.revision));
  View().SetText(kLblTitle, process_.AppTitle());
}

void frmAbout::Click(int id) {
  switch (id) {
    case kCmdOK: return cmdOK_Click();
    case kLabel1: return Label1_Click();
    case kCmdSysInfo: return cmdSysInfo_Click();
    default: return;
  }
}

void frmAbout::cmdOK_Click() { View().Unload(); }

void frmAbout::Label1_Click() {
  shell_.Open(View().Handle(), u"open", MakerSite::Address(u"/"), Text(), Text(), kShowCommand);
}

void frmAbout::cmdSysInfo_Click() { StartSysInfo(process_, registry_, messages_); }

}  // namespace brindlework
