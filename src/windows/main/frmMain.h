#pragma once
// The editor window: the item, icon, title and hotkey of a pin, and the menus.

#include "pinning/Fields.h"
#include "platform/Window.h"

namespace brindlework {

class frmMain final : public Form {
 public:
  enum Id : int {
    kCommand7 = 100,
    kTxtToExecute,
    kLabel6,
    kLabel3,
    kTxtIcon,
    kCommand3,
    kLabel1,
    kTxtTitle,
    kCommand6,
    kLabel4,
    kCombo1,
    kLabel5,
    kText1,
    kCommand5,
    kCommand2,
    kTxtHotKey,
    kCommand4,
    kCommand1,
    kMnuMain = 200,
    kMnuExit,
    kMnuHelp,
    kMnuHelp2,
    kMnuAbout,
    kMnuSpacer,
    kMnuSupport,
  };

  explicit frmMain(const pinning::Services& pinning) : pinning_(pinning) {}

  const FormSpec& Spec() const override;
  void Form_Load() override;
  void Click(int id) override;

  void Command1_Click();
  void Command2_Click();
  void Command3_Click() {}
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click() {}
  void Combo1_Click() {}

 private:
  pinning::Services pinning_;
};

}  // namespace brindlework
