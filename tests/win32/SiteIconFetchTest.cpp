// A site's icon fetched for real through WinHTTP from a loopback server in this process: the
// right candidate and its largest frame, candidates that must not be used, the deadline, and
// Cancel pressed in the progress window by a thread playing the user.
#include <gtest/gtest.h>
#include <windows.h>

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

// An answer of 200 with these headers; the connection's end ends the body.
std::string Ok(std::string_view body, const std::string& headers = "") {
  return "HTTP/1.1 200 OK\r\nConnection: close\r\n" + headers + "\r\n" + std::string(body);
}

std::vector<std::byte> Bytes(std::string_view text) {
  const auto bytes = std::as_bytes(std::span(text));
  return {bytes.begin(), bytes.end()};
}

class SiteIconFetchTest : public ::testing::Test {
 protected:
  FetchedIcon Fetch(const std::wstring& address, win32::FetchLimits limits = {}) {
    const FetchedIcon fetched = win32::Win32SiteIconFetch(limits).Fetch(
        reinterpret_cast<WindowHandle>(owner.get()), win32::ToText(address));
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
    return fetched;
  }
  // The paths asked for, in order, from each request's "GET <path> HTTP/1.1".
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const auto& head : server.Requests())
      paths.push_back(head.substr(4, head.find(' ', 4) - 4));
    return paths;
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
             "HTTP/1.1 302 Found\r\nLocation: sub/page.html\r\nSet-Cookie: a=1; Path=/\r\n"
             "Connection: close\r\n\r\n");
  // The best link names a port where nothing listens: only the next one is then tried.
  server.Add("/sub/page.html", Ok(R"(<link rel="icon" sizes="16x16" href="small.png">
      <link rel="shortcut icon" sizes="48x48" href="icons/site.ico">
      <link rel="icon" sizes="64x64" href="http://127.0.0.1:1/refused.png">)"));
  server.Add("/sub/icons/site.ico", Ok(ico));
  const FetchedIcon fetched = Fetch(server.Address("/start"));
  EXPECT_EQ(fetched.bytes, Bytes(ico));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"/start", "/sub/page.html", "/sub/icons/site.ico"}));
  for (const std::string& head : server.Requests()) {
    EXPECT_NE(head.find("\r\nUser-Agent: Brindlework/" BRINDLEWORK_VERSION "\r\n"), head.npos);
    EXPECT_EQ(head.find("Cookie"), head.npos) << head;  // not even the one the redirect set
  }

  testing::ScratchFolder scratch;
  win32::Win32IconFiles icons([&] { return win32::ToText(scratch / L"Icons"); });
  const std::wstring made = win32::ToWide(icons.IconOfBytes(fetched.bytes).path);
  const win32::UniqueIcon icon(
      static_cast<HICON>(LoadImageW(nullptr, made.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
  const RGBQUAD centre = testing::IconPixels(icon.get(), 32).at(16 * 32 + 16);
  EXPECT_EQ(centre.rgbRed + centre.rgbBlue, 0);
  EXPECT_NEAR(centre.rgbGreen, 0xC0, 2);
}

TEST_F(SiteIconFetchTest, PicturesTooLargeCutShortEncodedOrDamagedAreSkipped) {
  std::string largest = png;
  largest.resize(win32::FetchLimits{}.largestPicture, '\0');  // zeros after the picture
  server.Add("/", Ok(R"(<link rel=icon sizes=64x64 href="/large.png">
      <link rel=icon sizes=48x48 href="/cut.png"><link rel=icon sizes=32x32 href="/zip.png">)"));
  server.Add("/large.png", Ok(largest + '\0'));
  server.Add("/cut.png", Ok(png, "Content-Length: " + std::to_string(png.size() + 1) + "\r\n"));
  server.Add("/zip.png", Ok(png, "Content-Encoding: gzip\r\n"));
  server.Add("/favicon.ico", Ok(png.substr(0, png.size() / 2)));
  EXPECT_EQ(Fetch(server.Address("/")).outcome, Outcome::NoIcon);
  EXPECT_EQ(Paths(),
            (std::vector<std::string>{"/", "/large.png", "/cut.png", "/zip.png", "/favicon.ico"}));
  server.Add("/favicon.ico", Ok(largest));
  EXPECT_EQ(Fetch(server.Address("/")).bytes, Bytes(largest));
}

TEST_F(SiteIconFetchTest, TooSlowUnreachableOrCancelledInTheProgressWindow) {
  // The held page would come after 10 s, within a step: only the whole fetch's limit ends the
  // wait, with the progress window shown or not yet.
  server.Add("/held", Ok(R"(<link rel=icon href="/icon.png">)"), true);
  server.Add("/icon.png", Ok(png));
  const std::pair<win32::FetchLimits, std::wstring> rows[] = {
      {{.step = 20s, .whole = 1s, .progressDelay = 100ms}, server.Address("/held")},
      {{.step = 20s, .whole = 1s, .progressDelay = 10s}, server.Address("/held")},
      {{}, L"http://127.0.0.1:1/"},  // nothing listens there
  };
  for (const auto& [limits, address] : rows) {
    const FetchedIcon fetched = Fetch(address, limits);
    EXPECT_EQ(fetched.outcome, Outcome::Unreachable);
    EXPECT_EQ(fetched.cause,
              address == rows[2].second ? Unreachable::NoConnection : Unreachable::TooSlow);
  }

  bool ownerDisabled = false;  // the title names the program, as every window of it
  std::thread user([&] {
    HWND dialog = nullptr;
    testing::WaitUntil([&] { return (dialog = FindWindowW(L"#32770", L"Brindlework")); }, 5s);
    ownerDisabled = !IsWindowEnabled(owner.get());
    testing::SaveScreenshot(dialog, L"fetch-progress");
    SendMessageTimeoutW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0, SMTO_BLOCK, 5000, nullptr);
    server.Release();  // the page comes after Cancel, and must not be used
  });
  EXPECT_EQ(Fetch(server.Address("/held"), {.progressDelay = 100ms}).outcome, Outcome::Cancelled);
  user.join();
  EXPECT_TRUE(ownerDisabled);
}

}  // namespace
}  // namespace brindlework
