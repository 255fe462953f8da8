#include "windows/info/frmSupport.h"

#include <array>

#include "windows/MakerSite.h"

namespace brindlework {
namespace {

using K = ControlKind;
using F = frmSupport;

constexpr FontSpec kAppealFont{u"MS Sans Serif", 13.5};
constexpr FontSpec kButtonFont{u"MS Sans Serif", 15};
constexpr FontSpec kNoteFont{u"MS Sans Serif", 12};

constexpr TextView kAppeal =
    u"If you like our work and want to show some support or thanks, The best (free) way to do "
    u"this, is simply? to recommend us to a friend! It will only take a few moments of your "
    u"time, and would mean the world to us! A personal recommendation is worth more than $$$";

constexpr std::array<ControlSpec, 3> kControls{{
    {K::Label, F::kLabel1, u"Label1", kAppeal, {240, 240, 7335, 2055}, 0, u"", &kAppealFont},
    {K::Button, F::kCommand1, u"Command1", u"Click here", {4680, 2400, 2775, 855}, 1, u"", &kButtonFont},
    {K::Label, F::kLabel2, u"Label2", u"To recommend us now!", {4680, 3480, 2775, 495}, 2, u"", &kNoteFont},
}};

const FormSpec kSpec{
    .caption = u"Support us",
    .clientWidth = 7725,
    .clientHeight = 4155,
    .frame = Frame::Sizable,
    .controls = kControls,
};

}  // namespace

const FormSpec& frmSupport::Spec() const { return kSpec; }

void frmSupport::Click(int id) {
  if (id == kCommand1) Command1_Click();
}

void frmSupport::Command1_Click() {
  // This page's link asks for "OPEN" and the parameters "0", unlike the program's other links.
  shell_.Open(View().Handle(), u"OPEN", MakerSite::Address(u"/support-us"), Text(u"0"), Text(),
              kShowCommand);
}

}  // namespace brindlework
