// What every window's table must hold, whatever the window.
#include <gtest/gtest.h>

#include "FakeProgram.h"

namespace brindlework::testing {
namespace {

// A screen reader looks for an input's label just before it in z-order, which the tab order
// decides: each input carries its own name instead.
TEST(WindowTables, EveryInputControlHasAnAccessibleName) {
  FakeProgram program;
  const Form* forms[] = {&program.main, &program.about, &program.support};
  for (const Form* form : forms) {
    for (const ControlSpec& control : form->Spec().controls) {
      if (control.kind != ControlKind::TextBox && control.kind != ControlKind::ComboBox) continue;
      EXPECT_FALSE(control.accessibleName.empty()) << Utf8(control.name);
    }
  }
}

}  // namespace
}  // namespace brindlework::testing
