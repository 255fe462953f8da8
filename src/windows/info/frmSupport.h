#pragma once
// The Support window: an appeal to recommend the program, and a link to the support-us page.

#include "platform/Shell.h"
#include "platform/Window.h"

namespace brindlework {

class frmSupport final : public Form {
 public:
  enum Id : int { kLabel1 = 100, kCommand1, kLabel2 };

  explicit frmSupport(ShellOpen& shell) : shell_(shell) {}

  const FormSpec& Spec() const override;
  void Click(int id) override;

  void Command1_Click();

 private:
  ShellOpen& shell_;
};

}  // namespace brindlework
