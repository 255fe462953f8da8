// A site's icon fetched for real through WinHTTP from a loopback server in this process: the
// right candidate and its largest frame, candidates that must not be used, the deadline, and
// Cancel pressed in the progress window by a helper thread playing the user.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "LoopbackServer.h"
#include "TestSupport.h"
#include "Ui.h"
#include "UserState.h"
#include "platform/win32/Win32IconFiles.h"
#include "platform/win32/Win32SiteIconFetch.h"
#include "platform/win32/WinText.h"
#include "version.h"

namespace brindlework {
namespace {

using namespace std::chrono_literals;
using Outcome = FetchedIcon::Outcome;
using testing::WaitUntil;

std::vector<std::byte> Bytes(std::string_view text) {
  const auto bytes = std::as_bytes(std::span(text));
  return {bytes.begin(), bytes.end()};
}

HWND ProgressWindow() {
  for (const HWND window : testing::VisibleWindowsOfProcess(GetCurrentProcessId())) {
    if (testing::ClassName(window) == L"#32770" && GetDlgItem(window, IDCANCEL)) return window;
  }
  return nullptr;
}

class SiteIconFetchTest : public ::testing::Test {
 protected:
  // The fetch, while a helper thread plays the user: `answer` gets the progress window when it
  // shows. One still open 5 s later is closed, so that no run can hang.
  FetchedIcon Fetch(const std::wstring& address, win32::FetchLimits limits = {},
                    std::function<void(HWND)> answer = nullptr) {
    std::atomic<bool> over = false;
    std::thread user([&] {
      HWND dialog = nullptr;
      WaitUntil([&] { return over || (dialog = ProgressWindow()); }, 5s);
      if (dialog && answer) answer(dialog);
      if (!WaitUntil([&] { return over.load(); }, 5s))
        PostMessageW(ProgressWindow(), WM_CLOSE, 0, 0);
    });
    const FetchedIcon fetched = win32::Win32SiteIconFetch(limits).Fetch(
        reinterpret_cast<WindowHandle>(owner.get()), win32::ToText(address));
    over = true;
    user.join();
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
    return fetched;
  }

  testing::ComApartment com;
  testing::LoopbackServer server;
  win32::UniqueWindow owner{CreateWindowExW(0, L"Static", L"Fetch owner",
                                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                            nullptr, nullptr, nullptr, nullptr)};
  const std::string png = testing::FileBytes(testing::BuiltProgram(L"picture-3x2.png"));
};

TEST_F(SiteIconFetchTest, TheLargestFrameOfThePagesBestIconBehindARelativeRedirect) {
  // Its largest frame is the second, green: the first of two of that size.
  const std::string ico = testing::FileBytes(testing::BuiltProgram(L"three-frames.ico"));
  server.Add("/start",
             {.status = 302, .headers = "Location: sub/page.html\r\nSet-Cookie: a=1; Path=/\r\n"});
  // The best link names a port where nothing listens: only the next one is then tried.
  server.Add("/sub/page.html", {.body = R"(<link rel="icon" sizes="16x16" href="small.png">
      <link rel="shortcut icon" sizes="48x48" href="icons/site.ico">
      <link rel="icon" sizes="64x64" href="http://127.0.0.1:1/refused.png">)"});
  server.Add("/sub/small.png", {.headers = "Content-Type: image/png\r\n", .body = png});
  server.Add("/sub/icons/site.ico", {.body = ico});
  const FetchedIcon fetched = Fetch(server.Address("/start"));
  EXPECT_EQ(fetched.outcome, Outcome::Fetched);
  EXPECT_EQ(fetched.bytes, Bytes(ico));
  EXPECT_EQ(server.Requests(),
            (std::vector<std::string>{"/start", "/sub/page.html", "/sub/icons/site.ico"}));
  // Who asks, and no cookie sent on, not even one that the redirect set.
  EXPECT_NE(server.Heads().find("User-Agent: Brindlework/" BRINDLEWORK_VERSION "\r\n"),
            std::string::npos);
  EXPECT_EQ(server.Heads().find("Cookie"), std::string::npos) << server.Heads();
  // A picture's own address gives that picture.
  EXPECT_EQ(Fetch(server.Address("/sub/small.png")).bytes, Bytes(png));

  testing::ScratchFolder scratch;
  win32::Win32IconFiles icons([&] { return win32::ToText(scratch / L"Icons"); });
  const std::wstring made = win32::ToWide(icons.IconOfBytes(fetched.bytes).path);
  const win32::UniqueIcon icon(
      static_cast<HICON>(LoadImageW(nullptr, made.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
  const auto pixels = testing::IconPixels(icon.get(), 32);
  ASSERT_EQ(pixels.size(), 32u * 32u);
  for (const RGBQUAD pixel : pixels) {
    ASSERT_EQ(pixel.rgbRed, 0);
    ASSERT_NEAR(pixel.rgbGreen, 0xC0, 2);
    ASSERT_EQ(pixel.rgbBlue, 0);
  }
}

TEST_F(SiteIconFetchTest, PicturesTooLargeCutShortEncodedOrDamagedAreSkipped) {
  std::string largest = png;
  largest.resize(win32::FetchLimits{}.largestPicture, '\0');  // zeros after the picture
  server.Add("/", {.body = R"(<link rel=icon sizes=64x64 href="/large.png">
      <link rel=icon sizes=48x48 href="/cut.png"><link rel=icon sizes=32x32 href="/zip.png">)"});
  server.Add("/large.png", {.body = largest + '\0'});
  server.Add("/cut.png", {.body = png, .declaredLength = png.size() + 1});
  server.Add("/zip.png", {.headers = "Content-Encoding: gzip\r\n", .body = png});
  server.Add("/favicon.ico", {.body = png.substr(0, png.size() / 2)});
  EXPECT_EQ(Fetch(server.Address("/")).outcome, Outcome::NoIcon);
  EXPECT_EQ(server.Requests(),
            (std::vector<std::string>{"/", "/large.png", "/cut.png", "/zip.png", "/favicon.ico"}));

  server.Add("/favicon.ico", {.body = largest});
  const FetchedIcon fetched = Fetch(server.Address("/"));
  EXPECT_EQ(fetched.outcome, Outcome::Fetched);
  EXPECT_EQ(fetched.bytes, Bytes(largest));
}

TEST_F(SiteIconFetchTest, UnreachableTooSlowOrCancelledInTheProgressWindow) {
  server.Add("/slow", {.body = std::string(1000, ' '), .dribble = 100ms});
  const struct {
    std::wstring address;
    win32::FetchLimits limits;
    Unreachable cause;
  } rows[] = {
      {server.Address("/slow"),
       {.step = 3s, .whole = 1s, .progressDelay = 100ms},
       Unreachable::TooSlow},
      {server.Address("/slow"),
       {.step = 3s, .whole = 1s, .progressDelay = 10s},
       Unreachable::TooSlow},
      {L"http://127.0.0.1:1/", {}, Unreachable::NoConnection},  // nothing listens there
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::ToUtf8(row.address));
    const FetchedIcon fetched = Fetch(row.address, row.limits);
    EXPECT_EQ(fetched.outcome, Outcome::Unreachable);
    EXPECT_EQ(fetched.cause, row.cause);
  }

  server.Add("/held", {.body = R"(<link rel=icon href="/icon.png">)", .held = true});
  server.Add("/icon.png", {.body = png});
  bool ownerDisabled = false;
  std::wstring title;
  const FetchedIcon cancelled =
      Fetch(server.Address("/held"), {.progressDelay = 100ms}, [&](HWND dialog) {
        ownerDisabled = !IsWindowEnabled(owner.get());
        title = testing::WindowText(dialog);
        testing::SaveScreenshot(dialog, L"fetch-progress");
        SendMessageTimeoutW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0, SMTO_BLOCK, 5000,
                            nullptr);
        server.Release();  // the page comes after Cancel, and must not be used
      });
  EXPECT_EQ(cancelled.outcome, Outcome::Cancelled);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_EQ(title, L"Brindlework");
}

}  // namespace
}  // namespace brindlework
