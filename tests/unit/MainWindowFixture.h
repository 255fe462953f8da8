#pragma once
// The main window loaded into fakes, with every service the pinning handlers use.

#include <gtest/gtest.h>

#include <memory>

#include "Fakes.h"
#include "windows/info/frmAbout.h"
#include "windows/info/frmSupport.h"
#include "windows/main/frmMain.h"

namespace brindlework::testing {

class MainWindowTest : public ::testing::Test {
 protected:
  using F = frmMain;

  MainWindowTest() { Start(); }

  // A new run of the program: a fresh window over the same store and files.
  void Start() {
    windows = std::make_unique<FakeWindowSystem>();
    form = std::make_unique<frmMain>(*windows, shell, about, support,
                                     pinning::Services{process, messages, shortcuts, settings});
    windows->Show(*form);
    View().log = &log;
  }

  FakeForm& View() { return windows->ViewOf(*form); }
  Text Field(int control) { return View().texts.at(control); }
  // The user's typing: no event, no log entry.
  void Type(int control, const Text& text) { View().texts.at(control) = text; }
  void SelectModifier(int index) { View().selected.at(F::kCombo1) = index; }
  void Press(int button) { form->Click(button); }
  // Starts recording the order of what the services and fields are told.
  void Record() {
    log.events.clear();
    messages.log = shortcuts.log = settings.log = &log;
  }
  Text TextEvent(int control, const Text& text) {
    return u"text " + DecimalText(control) + u"=" + text;
  }

  FakeProcess process;
  FakeShell shell;
  FakeMessages messages;
  FakeShortcutWriter shortcuts;
  FakeSettingsStore settings;
  EventLog log;
  frmAbout about{process, shell, messages};
  frmSupport support{shell};
  std::unique_ptr<FakeWindowSystem> windows;
  std::unique_ptr<frmMain> form;
};

}  // namespace brindlework::testing
