// How a failure reaches the user: the system's description as the message's end, and a
// start-up that fails in any way reported like a handler's failure, with exit code 1.
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/Program.h"
#include "platform/win32/Win32Error.h"
#include "unit/Fakes.h"

namespace brindlework {
namespace {

// FormatMessageW ends every system text with CR LF, on Windows as under Wine.
TEST(Failures, TheSystemsDescriptionLosesItsLineBreak) {
  const Error error = win32::Win32Error(ERROR_ACCESS_DENIED);
  EXPECT_EQ(error.Number(), 5);
  const Text& text = error.Description();
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), u'\r');
  EXPECT_NE(text.back(), u'\n');
}

// Fails while the main window loads, before it shows, with an exception other than Error.
class BrokenSettings final : public SettingsStore {
 public:
  void Save(const Text&, const Text&, const Text&, const Text&) override {}
  Text Get(const Text&, const Text&, const Text&, const Text&) const override {
    throw std::runtime_error("broken");
  }
};

TEST(Failures, AStartUpThatThrowsAnythingShowsTheMessageAndEndsWithOne) {
  testing::FakeProcess process;  // no item: the editor starts
  testing::FakeShell shell;
  testing::FakeMessages messages;
  testing::FakeFileDialogs fileDialogs;
  testing::FakeRegistry registry;
  testing::FakeShortcutWriter shortcuts;
  testing::FakeShortcutReader shortcutReader;
  testing::FakeIconFiles icons;
  testing::FakeSiteIconFetch sites;
  BrokenSettings settings;
  EXPECT_EQ(RunProgram(GetModuleHandleW(nullptr), {process, shell, messages, fileDialogs, registry,
                                                   shortcuts, shortcutReader, icons, sites,
                                                   settings}),
            1);
  EXPECT_EQ(messages.shown, std::vector<Text>{FailureMessage(win32::HresultError(E_UNEXPECTED))});
  EXPECT_EQ(FindWindowW(L"Brindlework.Form", nullptr), nullptr);
}

}  // namespace
}  // namespace brindlework
