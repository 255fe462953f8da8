#pragma once
// The editor window: the item, icon, title and hotkey of a pin, and the menus.

#include "pinning/Fields.h"
#include "pinning/WebIcons.h"
#include "platform/IconFiles.h"
#include "platform/OpenFileDialog.h"
#include "platform/Process.h"
#include "platform/Shell.h"
#include "platform/ShortcutReader.h"
#include "platform/SiteIconFetch.h"
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

  // `about` and `support`: the info windows that the Help menu shows.
  frmMain(WindowSystem& windows, ShellOpen& shell, Form& about, Form& support,
          OpenFileDialogService& fileDialogs, Process& process, MessageBoxService& messages,
          ShortcutWriter& shortcuts, ShortcutReader& shortcutReader, IconFiles& icons,
          SiteIconFetch& sites, SettingsStore& settings)
      : CommonDialog1(fileDialogs),
        windows_(windows),
        shell_(shell),
        about_(about),
        support_(support),
        process_(process),
        messages_(messages),
        shortcutReader_(shortcutReader),
        icons_{icons, sites},
        pinning_{process, messages, shortcuts, settings} {}

  const FormSpec& Spec() const override;
  void Form_Load() override;
  void Click(int id) override;
  void Drop(int control, std::span<const DroppedItem> items) override;

  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click();
  void Combo1_Click() {}
  void mnuExit_Click();
  void mnuHelp2_Click();
  void MnuAbout_Click();
  void mnuSupport_Click();

  // The open-file dialog of both pickers; its settings keep their values between presses.
  OpenFileDialog CommonDialog1;

 private:
  void PickFile(int field, TextView filter, bool fromProgramFolder);

  WindowSystem& windows_;
  ShellOpen& shell_;
  Form& about_;
  Form& support_;
  Process& process_;
  MessageBoxService& messages_;
  ShortcutReader& shortcutReader_;
  pinning::IconServices icons_;
  pinning::Services pinning_;
};

}  // namespace brindlework
