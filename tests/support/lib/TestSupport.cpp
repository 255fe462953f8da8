#include "TestSupport.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace brindlework::testing {
namespace fs = std::filesystem;

bool RunningUnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::wstring BuiltProgram(const wchar_t* fileName) {
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  return (fs::path(self).parent_path() / fileName).wstring();
}

ScratchFolder::ScratchFolder() {
  static int counter = 0;
  path_ = fs::temp_directory_path() /
          (L"brindlework-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter));
  fs::remove_all(path_);
  fs::create_directories(path_);
  // The long form: the temporary folder may be named in its short form (C:\Users\RUNNER~1 on CI
  // machines), and a path that the system gives back, compared here as text, may be long.
  std::wstring full(32768, L'\0');
  full.resize(GetLongPathNameW(path_.c_str(), full.data(), static_cast<DWORD>(full.size())));
  if (!full.empty()) path_ = full;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void CreateTestFile(const std::wstring& path, std::string_view content) {
  std::ofstream(fs::path(path), std::ios::binary) << content;
}

std::string FileBytes(const std::wstring& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::wstring> FileNames(const fs::path& folder) {
  std::vector<std::wstring> names;
  std::error_code missing;
  for (const auto& entry : fs::directory_iterator(folder, missing)) {
    names.push_back(entry.path().filename().wstring());
  }
  return names;
}

Recording::Recording() : file_(folder_ / L"record.txt") {
  SetEnvironmentVariableW(L"BRINDLEWORK_RECORD", file_.c_str());
}

Recording::~Recording() { SetEnvironmentVariableW(L"BRINDLEWORK_RECORD", nullptr); }

std::string ToUtf8(const std::wstring& text) {
  std::string out(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr),
                  '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                      static_cast<int>(out.size()), nullptr, nullptr);
  return out;
}

std::wstring FromUtf8(const std::string& text) {
  std::wstring out(
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0),
      L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                      static_cast<int>(out.size()));
  return out;
}

std::vector<std::wstring> Recording::Lines() const {
  std::ifstream in(fs::path(file_), std::ios::binary);
  std::vector<std::wstring> lines;
  std::string line;
  while (std::getline(in, line)) {
    lines.push_back(FromUtf8(line));
  }
  return lines;
}

std::vector<std::wstring> Recording::WaitForLines(std::size_t count, Milliseconds limit) const {
  const auto end = std::chrono::steady_clock::now() + limit;
  auto lines = Lines();
  while (lines.size() < count && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(20ms);
    lines = Lines();
  }
  return lines;
}

std::wstring Recording::LineFor(const std::wstring& item) {
  return Quoted(BuiltProgram(L"recorder.exe")) + L" " + Quoted(item);
}

ChildProcess::ChildProcess(const std::wstring& commandLine, const std::wstring& folder) {
  std::wstring mutableLine = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    throw std::runtime_error("CreateProcessW failed: " + std::to_string(GetLastError()));
  }
  const win32::UniqueHandle thread(info.hThread);
  process_.reset(info.hProcess);
  id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
  if (!WaitForExit(0ms)) {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
  }
}

std::optional<DWORD> ChildProcess::WaitForExit(Milliseconds limit) const {
  if (WaitForSingleObject(process_.get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

std::vector<HWND> ChildProcess::VisibleWindows() const { return VisibleWindowsOfProcess(id_); }

std::vector<HWND> VisibleWindowsOfProcess(DWORD processId) {
  struct Search {
    DWORD id;
    std::vector<HWND> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* search = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == search->id && IsWindowVisible(window)) search->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ChildProcess::WaitForWindow(const std::wstring& caption, Milliseconds limit) const {
  const auto end = std::chrono::steady_clock::now() + limit;
  do {
    for (HWND window : VisibleWindows()) {
      if (WindowText(window) == caption) return window;
    }
    std::this_thread::sleep_for(20ms);
  } while (std::chrono::steady_clock::now() < end);
  return nullptr;
}

std::wstring WindowText(HWND window) {
  wchar_t text[4096];
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, 5000, &length)) {
    return L"";
  }
  return std::wstring(text, length);
}

std::wstring ClassName(HWND window) {
  wchar_t name[256];
  return std::wstring(name, GetClassNameW(window, name, 256));
}

SIZE ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right - client.left, client.bottom - client.top};
}

void SaveScreenshot(HWND window, const std::wstring& name) {
  wchar_t folder[32768];
  if (!GetEnvironmentVariableW(L"BRINDLEWORK_SCREENSHOTS_WIN", folder, 32768)) return;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  std::this_thread::sleep_for(300ms);  // let the other process finish painting
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const win32::UniqueScreenDc screen(GetDC(nullptr));
  const win32::UniqueDc memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
  void* bits = nullptr;
  const win32::UniqueBitmap bitmap(
      CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return;
  const HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
  BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
  SelectObject(memory.get(), old);
  const DWORD stride = ((width * 3 + 3) / 4) * 4;
  const DWORD imageSize = stride * height;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageSize;
  std::ofstream out(fs::path(folder) / (name + L".bmp"), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
  out.write(static_cast<const char*>(bits), imageSize);
}

std::vector<RGBQUAD> IconPixels(HICON icon, int size, std::vector<bool>* masked) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  const win32::UniqueBitmap colour(info.hbmColor);
  const win32::UniqueBitmap mask(info.hbmMask);
  BITMAP bitmap{};
  GetObjectW(colour.get(), sizeof bitmap, &bitmap);
  if (bitmap.bmWidth != size || bitmap.bmHeight != size) return {};
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = size;
  format.bmiHeader.biHeight = -size;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  std::vector<RGBQUAD> pixels(static_cast<std::size_t>(size) * size);
  // The mask in the same format: a set bit reads as white.
  std::vector<RGBQUAD> maskPixels(masked ? pixels.size() : 0);
  const HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, colour.get(), 0, size, pixels.data(), &format, DIB_RGB_COLORS);
  const int maskRows =
      masked ? GetDIBits(screen, mask.get(), 0, size, maskPixels.data(), &format, DIB_RGB_COLORS)
             : size;
  ReleaseDC(nullptr, screen);
  if (rows != size || maskRows != size) return {};
  if (masked) {
    masked->clear();
    for (const RGBQUAD pixel : maskPixels) masked->push_back(pixel.rgbRed != 0);
  }
  return pixels;
}

}  // namespace brindlework::testing
