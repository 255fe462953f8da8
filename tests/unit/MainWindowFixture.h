#pragma once
// The main window loaded into fakes, as the pinning handlers meet it.

#include <gtest/gtest.h>

#include "FakeProgram.h"

namespace brindlework::testing {

class MainWindowTest : public ::testing::Test, protected FakeProgram {
 protected:
  using F = frmMain;

  MainWindowTest() { Start(); }

  // The window of a new run over the same store: loaded afresh, Form_Load and all.
  void Start() {
    if (main.IsLoaded()) windows.Close(main);
    windows.Show(main);
    View().log = &log;
  }

  FakeForm& View() { return windows.ViewOf(main); }
  Text Field(int control) { return View().texts.at(control); }
  // The user's typing: no event, no log entry.
  void Type(int control, const Text& text) { View().texts.at(control) = text; }
  void SelectModifier(int index) { View().selected.at(F::kCombo1) = index; }
  void Press(int button) { main.Click(button); }
  // Starts recording the order of what the services and fields are told.
  void Record() {
    log.events.clear();
    messages.log = shortcuts.log = settings.log = sites.log = &log;
  }
  Text TextEvent(int control, const Text& text) {
    return u"text " + DecimalText(control) + u"=" + text;
  }

  EventLog log;
};

}  // namespace brindlework::testing
