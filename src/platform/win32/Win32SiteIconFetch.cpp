// A site's icon, fetched by a worker thread while the caller waits with its owner disabled.
//
// The worker and the waiting side share one block, counted by references: whichever lets go
// last frees it, so Cancel returns at once, and a worker that Wine keeps blocked until its own
// timeout still finds its block. Under the block's lock: the cancelled flag, the request in
// flight (Cancel takes it out and closes it, which ends a blocked call on Windows; the worker
// closes it only if it is still there) and the result, kept only when no Cancel came first.
// The worker touches no window and posts nothing: it sets an event when it is done.
//
// Redirects are followed here, not by WinHTTP: Wine's own misplace relative Locations and follow
// file: ones, and the redirect rule (SiteIcons.h) decides what may be followed at all.
#include "platform/win32/Win32SiteIconFetch.h"

#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <objbase.h>
#include <winhttp.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/SiteIcons.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32IconFiles.h"
#include "platform/win32/WinText.h"
#include "version.h"

namespace brindlework::win32 {
namespace {

using UniqueInternet = Unique<HINTERNET, WinHttpCloseHandle>;

constexpr wchar_t kUserAgent[] = L"" BRINDLEWORK_TITLE "/" BRINDLEWORK_VERSION;
// Wine ends a wait that timed out with Winsock's WSAETIMEDOUT, where Windows gives 12002.
constexpr DWORD kSocketTimedOut = 10060;
// A proxy that asks for a sign-in, which is never sent.
constexpr DWORD kProxySignIn = 407;
constexpr DWORD kReadChunk = 64 * 1024;

FetchedIcon Unreached(DWORD error) {
  using enum Unreachable;
  FetchedIcon failed{.outcome = FetchedIcon::Outcome::Unreachable,
                     .error = static_cast<std::int32_t>(error)};
  switch (error) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: failed.cause = NameNotFound; break;
    case ERROR_WINHTTP_CANNOT_CONNECT: failed.cause = NoConnection; break;
    case ERROR_WINHTTP_TIMEOUT:
    case kSocketTimedOut: failed.cause = TooSlow; break;
    case ERROR_WINHTTP_REDIRECT_FAILED: failed.cause = TooManyRedirects; break;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    case ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED: failed.cause = Insecure; break;
    default: failed.cause = Other; break;
  }
  return failed;
}

FetchedIcon Fetched(std::string_view picture) {
  const auto bytes = std::as_bytes(std::span(picture));
  return {.outcome = FetchedIcon::Outcome::Fetched, .bytes = {bytes.begin(), bytes.end()}};
}

// A request's host or path: ASCII, as the address reader makes them.
std::wstring Widened(std::string_view ascii) {
  return {ascii.begin(), ascii.end()};
}

class ExclusiveLock {
 public:
  explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

 private:
  SRWLOCK& lock_;
};

// What the waiting side and the worker share. The address and limits are copied in before the
// worker starts and only read after that.
class Shared {
 public:
  Shared(WebAddress address, const FetchLimits& limits, ULONGLONG deadline)
      : address(std::move(address)),
        step(static_cast<DWORD>(limits.step.count())),
        largestPicture(limits.largestPicture),
        deadline(deadline),
        finished(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (!finished) throw LastError();
  }
  Shared(const Shared&) = delete;
  Shared& operator=(const Shared&) = delete;

  void AddRef() { InterlockedIncrement(&references_); }
  void Release() {
    if (InterlockedDecrement(&references_) == 0) delete this;
  }

  // Whether the worker should stop: cancelled, or past the whole fetch's deadline.
  bool Stopped() {
    const ExclusiveLock locked(lock_);
    return cancelled_ || GetTickCount64() >= deadline;
  }

  // From this instant no result is used; the request in flight is closed.
  void Cancel() {
    HINTERNET request = nullptr;
    {
      const ExclusiveLock locked(lock_);
      cancelled_ = true;
      request = std::exchange(request_, nullptr);
    }
    if (request) WinHttpCloseHandle(request);
  }

  // The worker's request in flight, for Cancel to close; false when cancelled already.
  bool Hold(HINTERNET request) {
    const ExclusiveLock locked(lock_);
    if (cancelled_) return false;
    request_ = request;
    return true;
  }
  // True when the request is still there, now the worker's again to close.
  bool TakeBack(HINTERNET request) {
    const ExclusiveLock locked(lock_);
    if (request_ != request) return false;
    request_ = nullptr;
    return true;
  }

  void Finish(FetchedIcon result, std::optional<Error> fault) {
    {
      const ExclusiveLock locked(lock_);
      if (!cancelled_) {
        result_ = std::move(result);
        fault_ = std::move(fault);
      }
      done_ = true;
    }
    SetEvent(finished.get());
  }

  // The worker's result when it is done and nothing cancelled it; a fault of its own is thrown.
  std::optional<FetchedIcon> Result() {
    const ExclusiveLock locked(lock_);
    if (!done_ || cancelled_) return std::nullopt;
    if (fault_) throw *fault_;
    return std::move(result_);
  }

  const WebAddress address;
  const DWORD step;
  const std::size_t largestPicture;
  const ULONGLONG deadline;  // GetTickCount64's
  const UniqueHandle finished;

 private:
  ~Shared() = default;

  LONG references_ = 1;
  SRWLOCK lock_ = SRWLOCK_INIT;
  bool cancelled_ = false;
  HINTERNET request_ = nullptr;
  bool done_ = false;
  FetchedIcon result_;
  std::optional<Error> fault_;
};

// A request handle held in the shared block for its life.
class InFlight {
 public:
  InFlight(Shared& shared, HINTERNET request)
      : shared_(shared), request_(request), held_(shared.Hold(request)) {
    if (!held_) WinHttpCloseHandle(request_);
  }
  ~InFlight() {
    if (held_ && shared_.TakeBack(request_)) WinHttpCloseHandle(request_);
  }
  InFlight(const InFlight&) = delete;
  InFlight& operator=(const InFlight&) = delete;

  explicit operator bool() const { return held_; }
  HINTERNET get() const { return request_; }

 private:
  Shared& shared_;
  HINTERNET request_;
  bool held_;
};

// COM for the worker, which decodes: its own thread, with no window, so multithreaded.
class MultithreadedCom {
 public:
  MultithreadedCom() { Check(CoInitializeEx(nullptr, COINIT_MULTITHREADED)); }
  ~MultithreadedCom() { CoUninitialize(); }
  MultithreadedCom(const MultithreadedCom&) = delete;
  MultithreadedCom& operator=(const MultithreadedCom&) = delete;
};

// One request with its redirects.
struct Response {
  enum class Outcome { Answered, Failed, Stopped };
  Outcome outcome = Outcome::Stopped;
  DWORD error = 0;  // Failed: why
  DWORD status = 0;
  WebAddress final;      // after the redirects
  bool picture = false;  // its Content-Type says image/...
  bool whole = false;    // its body is all here, within its limit and as sent (not encoded)
  std::string body;      // read only for a status of 200
};

std::optional<std::wstring> Header(HINTERNET request, DWORD query) {
  DWORD size = 0;
  if (WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                          &size, WINHTTP_NO_HEADER_INDEX) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return std::nullopt;
  }
  std::wstring value(size / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                           WINHTTP_NO_HEADER_INDEX)) {
    return std::nullopt;
  }
  value.resize(size / sizeof(wchar_t));
  return value;
}

// A Content-Length; none when absent or not a number. A huge one stays huge.
std::optional<std::uint64_t> Length(const std::optional<std::wstring>& text) {
  if (!text || text->empty()) return std::nullopt;
  std::uint64_t length = 0;
  for (const wchar_t digit : *text) {
    if (digit < L'0' || digit > L'9') return std::nullopt;
    length = std::min<std::uint64_t>(length * 10 + (digit - L'0'), UINT64_MAX / 10);
  }
  return length;
}

// One fetch, on the worker's thread.
class Worker {
 public:
  explicit Worker(Shared& shared) : shared_(shared) {}

  FetchedIcon Run() {
    session_.reset(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                               WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    const int step = static_cast<int>(shared_.step);
    if (!session_ || !WinHttpSetTimeouts(session_.get(), step, step, step, step)) {
      throw LastError();
    }
    // The address itself: only its failure makes the site unreachable.
    const Response first = Get(shared_.address, false);
    if (first.outcome == Response::Outcome::Stopped) return Unreached(ERROR_WINHTTP_TIMEOUT);
    if (first.outcome == Response::Outcome::Failed) return Unreached(first.error);
    if (first.status == kProxySignIn) return Unreached(kProxySignIn);
    if (first.status == 200 && first.picture) {
      return first.whole && Decodes(first.body) ? Fetched(first.body) : FetchedIcon{};
    }
    const std::string_view page =
        first.status == 200 && first.whole ? std::string_view(first.body) : std::string_view();
    for (const WebAddress& candidate : IconCandidates(page, first.final)) {
      if (candidate == first.final) continue;  // the page itself, fetched already
      const Response icon = Get(candidate, true);
      if (icon.outcome == Response::Outcome::Stopped) return Unreached(ERROR_WINHTTP_TIMEOUT);
      if (icon.outcome == Response::Outcome::Answered && icon.status == 200 && icon.whole &&
          Decodes(icon.body)) {
        return Fetched(icon.body);
      }
    }
    return {};  // no icon
  }

 private:
  Response Stopped() { return {}; }
  // A failed call: stopped when Cancel closed its handle or the deadline passed meanwhile.
  Response Failed(DWORD error) {
    if (shared_.Stopped()) return Stopped();
    return {.outcome = Response::Outcome::Failed, .error = error};
  }

  // The address with its redirects; a candidate's body is read as a picture, the address's own
  // as a page unless it says it is a picture.
  Response Get(WebAddress address, bool candidate) {
    for (int redirects = 0;; ++redirects) {
      if (shared_.Stopped()) return Stopped();
      const UniqueInternet connection(
          WinHttpConnect(session_.get(), Widened(address.host).c_str(), address.port, 0));
      if (!connection) return Failed(GetLastError());
      const HINTERNET opened =
          WinHttpOpenRequest(connection.get(), L"GET", Widened(address.pathAndQuery).c_str(),
                             nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                             address.secure ? WINHTTP_FLAG_SECURE : 0);
      if (!opened) return Failed(GetLastError());
      const InFlight request(shared_, opened);
      if (!request) return Stopped();
      // Per request: Wine refuses these on a session. No cookie is kept or sent, no Windows
      // sign-in is offered to a site or proxy, redirects come back to us, and an answer that
      // never starts is bounded too (Wine's default waits for ever).
      const std::pair<DWORD, DWORD> options[] = {
          {WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_COOKIES},
          {WINHTTP_OPTION_AUTOLOGON_POLICY, WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH},
          {WINHTTP_OPTION_REDIRECT_POLICY, WINHTTP_OPTION_REDIRECT_POLICY_NEVER},
          {WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, shared_.step},
      };
      for (auto [option, value] : options) {
        if (!WinHttpSetOption(request.get(), option, &value, sizeof value)) {
          return Failed(GetLastError());
        }
      }
      DWORD status = 0, size = sizeof status;
      if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                              WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
          !WinHttpReceiveResponse(request.get(), nullptr) ||
          !WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                               WINHTTP_NO_HEADER_INDEX)) {
        return Failed(GetLastError());
      }
      const std::string location =
          Utf8(ToText(Header(request.get(), WINHTTP_QUERY_LOCATION).value_or(L"")));
      const Redirect next = NextAddress(address, static_cast<int>(status), location, redirects);
      if (next.outcome == Redirect::Outcome::Follow) {
        address = next.next;
        continue;
      }
      if (next.outcome == Redirect::Outcome::Refused) return Failed(ERROR_WINHTTP_REDIRECT_FAILED);
      Response response{
          .outcome = Response::Outcome::Answered, .status = status, .final = std::move(address)};
      if (status == 200 && !ReadBody(request.get(), candidate, response)) {
        return Failed(GetLastError());
      }
      return response;
    }
  }

  // Reads the body within its limit, checking between reads for Cancel and the deadline, which
  // a server sending a byte at a time would otherwise outlast. False when a read failed.
  bool ReadBody(HINTERNET request, bool candidate, Response& response) {
    const auto type = Header(request, WINHTTP_QUERY_CONTENT_TYPE).value_or(L"");
    response.picture = CompareStringOrdinal(type.c_str(), std::min<int>(type.size(), 6), L"image/",
                                            6, TRUE) == CSTR_EQUAL;
    // No Accept-Encoding is sent, so an encoded body is one that cannot be read as it is.
    const bool encoded = Header(request, WINHTTP_QUERY_CONTENT_ENCODING).has_value();
    const std::optional<std::uint64_t> declared =
        Length(Header(request, WINHTTP_QUERY_CONTENT_LENGTH));
    const bool asPicture = candidate || response.picture;
    const std::size_t limit = asPicture ? shared_.largestPicture : kPageLimit;
    // A page is cut at its limit; one byte past a picture's tells one that is too large.
    const std::size_t most = asPicture ? limit + 1 : limit;
    std::string& body = response.body;
    bool ended = false;
    while (!ended && body.size() < most) {
      if (shared_.Stopped()) return false;  // which Failed finds
      const std::size_t start = body.size();
      const auto wanted = static_cast<DWORD>(std::min<std::size_t>(most - start, kReadChunk));
      body.resize(start + wanted);
      DWORD read = 0;
      if (!WinHttpReadData(request, &body[start], wanted, &read)) return false;
      body.resize(start + read);
      ended = read == 0;
    }
    // WinHTTP reports a body cut short of its Content-Length as complete.
    const bool cut = ended && declared && body.size() < *declared;
    response.whole = !encoded && !cut && body.size() <= limit;
    return true;
  }

  bool Decodes(std::string_view picture) {
    if (!com_) com_.emplace();
    return win32::Decodes(std::as_bytes(std::span(picture)));
  }

  Shared& shared_;
  UniqueInternet session_;
  std::optional<MultithreadedCom> com_;
};

DWORD WINAPI Work(void* parameter) {
  ComPtr<Shared> shared;
  *shared.put() = static_cast<Shared*>(parameter);  // the worker's own reference
  FetchedIcon result;
  std::optional<Error> fault;
  try {
    result = Worker(*shared.get()).Run();
  } catch (const Error& error) {
    fault = error;
  } catch (...) {  // std::bad_alloc, the one other fault the worker can meet
    fault = Win32Error(ERROR_NOT_ENOUGH_MEMORY);
  }
  shared->Finish(std::move(result), std::move(fault));
  return 0;
}

// The owner takes no input while the fetch runs, and is enabled again on every way out.
class DisabledOwner {
 public:
  explicit DisabledOwner(HWND owner)
      : owner_(owner), wasEnabled_(owner && !EnableWindow(owner, FALSE)) {}
  ~DisabledOwner() { Enable(); }
  DisabledOwner(const DisabledOwner&) = delete;
  DisabledOwner& operator=(const DisabledOwner&) = delete;

  void Enable() {
    if (wasEnabled_) EnableWindow(owner_, TRUE);
  }

 private:
  HWND owner_;
  bool wasEnabled_;
};

enum class Waited { Over, Cancelled };

// Waits for the worker until `until` (GetTickCount64's), running the thread's messages as a
// modal loop does. WM_QUIT ends the wait as a Cancel and is posted again for the thread's loop.
Waited WaitQuietly(HANDLE finished, ULONGLONG until) {
  for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
    const DWORD waited = MsgWaitForMultipleObjectsEx(1, &finished, static_cast<DWORD>(until - now),
                                                     QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (waited == WAIT_OBJECT_0) break;
    if (waited == WAIT_FAILED) throw LastError();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return Waited::Cancelled;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return Waited::Over;
}

struct Progress {
  Shared& shared;
  bool closing = false;  // closed by its timer, not by the user
};

HRESULT CALLBACK ProgressEvent(HWND dialog, UINT notification, WPARAM, LPARAM, LONG_PTR data) {
  auto& progress = *reinterpret_cast<Progress*>(data);
  switch (notification) {
    case TDN_CREATED: SendMessageW(dialog, TDM_SET_PROGRESS_BAR_MARQUEE, TRUE, 0); break;
    case TDN_TIMER:
      if (!progress.closing &&
          (WaitForSingleObject(progress.shared.finished.get(), 0) == WAIT_OBJECT_0 ||
           GetTickCount64() >= progress.shared.deadline)) {
        progress.closing = true;
        SendMessageW(dialog, TDM_CLICK_BUTTON, IDCANCEL, 0);
      }
      break;
    case TDN_BUTTON_CLICKED:
      // The user's Cancel, Esc or close: from this instant no result is used.
      if (!progress.closing) progress.shared.Cancel();
      break;
  }
  return S_OK;
}

// The progress window until the worker is done, the deadline passes or the user cancels.
Waited ShowProgress(HWND owner, Shared& shared) {
  const std::wstring text = L"Fetching the icon of " + Widened(shared.address.host) + L"\u2026";
  Progress progress{shared};
  TASKDIALOGCONFIG config{.cbSize = sizeof config};
  config.hwndParent = owner;
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_SHOW_MARQUEE_PROGRESS_BAR |
                   TDF_CALLBACK_TIMER | TDF_POSITION_RELATIVE_TO_WINDOW;
  config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
  config.pszWindowTitle = L"" BRINDLEWORK_TITLE;
  config.pszContent = text.c_str();
  config.pfCallback = ProgressEvent;
  config.lpCallbackData = reinterpret_cast<LONG_PTR>(&progress);
  const HRESULT shown = TaskDialogIndirect(&config, nullptr, nullptr, nullptr);
  if (FAILED(shown)) {
    shared.Cancel();
    throw HresultError(shown);
  }
  return progress.closing ? Waited::Over : Waited::Cancelled;
}

}  // namespace

FetchedIcon Win32SiteIconFetch::Fetch(WindowHandle owner, const Text& text) {
  const std::optional<WebAddress> address = ParseWebAddress(text);
  if (!address) return Unreached(ERROR_WINHTTP_INVALID_URL);
  const ULONGLONG start = GetTickCount64();
  ComPtr<Shared> shared;
  *shared.put() =
      new Shared(*address, limits_, start + static_cast<ULONGLONG>(limits_.whole.count()));
  shared->AddRef();  // the worker's, which it lets go of
  if (const UniqueHandle worker(CreateThread(nullptr, 0, Work, shared.get(), 0, nullptr));
      !worker) {
    const Error failed = LastError();
    shared->Release();
    throw failed;
  }
  const HWND window = reinterpret_cast<HWND>(owner);
  DisabledOwner disabled(window);
  const ULONGLONG quietUntil =
      std::min(shared->deadline, start + static_cast<ULONGLONG>(limits_.progressDelay.count()));
  Waited waited = WaitQuietly(shared->finished.get(), quietUntil);
  if (waited == Waited::Over && WaitForSingleObject(shared->finished.get(), 0) != WAIT_OBJECT_0 &&
      GetTickCount64() < shared->deadline) {
    // The dialog disables its owner itself and, when it ends, gives it back both input and
    // activation; Windows does neither for an owner that was disabled already.
    disabled.Enable();
    waited = ShowProgress(window, *shared.get());
  }
  if (waited == Waited::Cancelled) {
    shared->Cancel();
    return {.outcome = FetchedIcon::Outcome::Cancelled};
  }
  if (std::optional<FetchedIcon> result = shared->Result()) return std::move(*result);
  // The deadline: the worker may go on until its own step's limit, but nothing waits for it.
  shared->Cancel();
  return Unreached(ERROR_WINHTTP_TIMEOUT);
}

}  // namespace brindlework::win32
