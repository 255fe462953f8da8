#pragma once
// The About window: title, version, icon, the maker's home page and the system information tool.

#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Window.h"

namespace brindlework {

class frmAbout final : public Form {
 public:
  enum Id : int {
    kCmdOK = 100,
    kPicIcon,
    kCmdSysInfo,
    kLblDescription,
    kLblTitle,
    kLblVersion,
    kLabel1,
    kLabel2,
  };

  frmAbout(Process& process, ShellOpen& shell, MessageBoxService& messages, Registry& registry)
      : process_(process), shell_(shell), messages_(messages), registry_(registry) {}

  const FormSpec& Spec() const override;
  void Form_Load() override;
  void Click(int id) override;

  void cmdOK_Click();
  void Label1_Click();
  void cmdSysInfo_Click();

 private:
  Process& process_;
  ShellOpen& shell_;
  MessageBoxService& messages_;
  Registry& registry_;
};

}  // namespace brindlework
