// Files dropped on the live main window, as the shell drops them: a pin made by GO! comes back
// into the fields and is written again the same.
// Places, links and files dragged through OLE, as from Explorer or a browser.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <thread>

#include "LiveForms.h"
#include "LoopbackServer.h"
#include "ShortcutFiles.h"
#include "Ui.h"
#include "UserState.h"
#include "unit/Fakes.h"

namespace brindlework {
namespace {

using F = frmMain;
using win32::ComPtr;
using UniqueIdList = win32::Unique<ITEMIDLIST*, ILFree>;
using Blocks = std::vector<std::pair<UINT, HGLOBAL>>;  // clipboard formats and their memory

HGLOBAL Global(const void* bytes, std::size_t size) {
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  std::memcpy(GlobalLock(memory), bytes, size);
  GlobalUnlock(memory);
  return memory;
}

// A browser's link: its address, and the page's title as the name of the .url file it would save.
Blocks Link(const std::wstring& address, const std::wstring& title) {
  FILEGROUPDESCRIPTORW group{1};
  (title + L".url").copy(group.fgd[0].cFileName, MAX_PATH - 1);
  return {{RegisterClipboardFormatW(L"UniformResourceLocatorW"),
           Global(address.c_str(), (address.size() + 1) * sizeof(wchar_t))},
          {RegisterClipboardFormatW(CFSTR_FILEDESCRIPTORW), Global(&group, sizeof group)}};
}

// A text, as a browser drags a selection of words.
std::pair<UINT, HGLOBAL> Unicode(const std::wstring& text) {
  return {CF_UNICODETEXT, Global(text.c_str(), (text.size() + 1) * sizeof(wchar_t))};
}

// The shell's data object of one item, as Explorer offers it: the ID list of the item's folder
// and the item's own ID within it.
ComPtr<IDataObject> ShellItem(const ITEMIDLIST* item) {
  UniqueIdList folder(ILClone(item));
  ILRemoveLastID(folder.get());
  const ITEMIDLIST* child = ILFindLastID(item);
  // Exported but missing from the import library; SHCreateDataObject is missing in Wine 8.
  const auto create =
      reinterpret_cast<decltype(&CIDLData_CreateFromIDArray)>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"shell32.dll"), "CIDLData_CreateFromIDArray")));
  ComPtr<IDataObject> data;
  if (create) create(folder.get(), 1, &child, data.put());
  return data;
}

std::wstring NameOf(const ITEMIDLIST* item, SIGDN form) {
  win32::UniqueCoMem name;
  SHGetNameFromIDList(item, form, name.put());
  return name ? name.get() : L"";
}

// A drag's source that lets go over the target on its second question.
class LetGo final : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IDropSource ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the drag's stack
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
    return ++asked_ < 2 ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  int asked_ = 0;
};

// A WM_DROPFILES's data as the shell builds it: a DROPFILES block in global memory, followed by
// the wide paths, each ended by a NUL, and one more NUL. `point` in client coordinates, or
// outside the client area with `nonClient`. The receiver frees it with DragFinish.
HDROP ShellDrop(const std::vector<std::wstring>& paths, POINT point, bool nonClient = false) {
  std::wstring names;
  for (const auto& path : paths) names += path + L'\0';
  names += L'\0';
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                                     sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = point;
  drop->fNC = nonClient;
  drop->fWide = TRUE;
  std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(drop + 1));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// A shortcut's bytes without what records its target's folders on this disk, which anything
// that writes into one of them changes between two saves: the target's times in the header
// (0x1C to 0x33) and the target's ID list (its 16-bit size at 76, right after the header).
std::string WithoutTargetTrail(std::string bytes) {
  constexpr std::size_t kHeader = 76;
  if (bytes.size() < kHeader + 2) return bytes;
  std::fill(bytes.begin() + 0x1C, bytes.begin() + 0x34, '\0');
  const std::size_t idList = static_cast<unsigned char>(bytes[kHeader]) |
                             static_cast<unsigned char>(bytes[kHeader + 1]) << 8;
  return bytes.erase(kHeader, 2 + idList);
}

class DropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = forms.Show(forms.main, L"Brindlework to windows taskbar!");
    ASSERT_NE(window, nullptr);
  }

  HWND Control(int id) const { return GetDlgItem(window, id); }
  std::wstring Text(int id) const {
    wchar_t text[512] = L"";
    GetWindowTextW(Control(id), text, 512);
    return text;
  }
  void Type(int id, const std::wstring& text) const { SetWindowTextW(Control(id), text.c_str()); }
  void Press(int id) const {
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(id)));
  }
  // The centre of a control, in the window's client coordinates.
  POINT Centre(int id) const {
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  // Drops as the shell does, and checks that the window freed the drop, whatever it made of it.
  void Drop(const std::vector<std::wstring>& paths, POINT point, bool nonClient = false) const {
    const HDROP drop = ShellDrop(paths, point, nonClient);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(GlobalFlags(drop), GMEM_INVALID_HANDLE);
  }

  // Files (when any) as the shell copies them, and a text beside them, on the clipboard alone.
  void Clipboard(const std::vector<std::wstring>& paths, const std::wstring& text) const {
    ASSERT_TRUE(OpenClipboard(window) && EmptyClipboard());
    if (!paths.empty()) SetClipboardData(CF_HDROP, ShellDrop(paths, {}));
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
  }
  // Real keys in the field, taken through the dialog manager as the program's loop takes them.
  void Paste(int id, std::initializer_list<WORD> keys) const {
    SetFocus(Control(id));
    testing::PressKeys(window, keys);
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
      if (!IsDialogMessageW(window, &message)) DispatchMessageW(&message);
    }
  }
  // Any blocks on the clipboard alone.
  void Clipboard(const Blocks& blocks) const {
    ASSERT_TRUE(OpenClipboard(window) && EmptyClipboard());
    for (const auto& [format, memory] : blocks) SetClipboardData(format, memory);
    CloseClipboard();
  }
  // Drags onto the control's centre, the source allowing `allowed`: the shell item's data
  // object, or with none the clipboard's; then the window runs the drop's posted work. Gives the
  // effect that the drop chose.
  DWORD Drag(const ITEMIDLIST* item, int id, DWORD allowed) {
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ComPtr<IDataObject> data = item ? ShellItem(item) : ComPtr<IDataObject>();
    if (!item) OleGetClipboard(data.put());
    LetGo source;
    DWORD effect = DROPEFFECT_SCROLL;  // none that a drop can choose
    dragging = true;
    if (data) DoDragDrop(data.get(), &source, allowed, &effect);
    dragging = false;
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
      if (!IsDialogMessageW(window, &message)) DispatchMessageW(&message);
    }
    return effect;
  }

  testing::ComApartment com;
  testing::TestDesktop desktop;
  testing::ScratchFolder folder;
  testing::LiveFormsOf<testing::FakeMessages> forms;
  HWND window = nullptr;
  bool dragging = false;  // inside DoDragDrop: the source waits
};

// GO!, the pin dropped back (outside the client area, over the icon field: the window itself),
// GO! again: the fields as typed, icon number included, the same shortcut, and no message of its
// own.
TEST_F(DropTest, APinDroppedBackFillsTheFieldsAndGoWritesItAgainTheSame) {
  const std::wstring item = L"C:\\Files\\\u4E2D\u6587 report.brt";
  // As Windows' Change Icon dialog writes it: the environment string stays through it all.
  const std::wstring icon = L"%SystemRoot%\\system32\\shell32.dll,3";
  const std::wstring title = L"Report \u4E2D\u6587";
  Type(F::kTxtToExecute, item);
  Type(F::kTxtIcon, icon);
  Type(F::kTxtTitle, title);
  SendMessageW(Control(F::kCombo1), CB_SETCURSEL, 1, 0);  // ALT
  Type(F::kText1, L"7");
  Type(F::kTxtHotKey, L"CTRL+ALT+7");
  Press(F::kCommand1);
  ASSERT_EQ(forms.messages.shown, std::vector<brindlework::Text>{u"done!"});
  const std::wstring pin = desktop / (title + L".lnk");
  const std::string written = testing::FileBytes(pin);

  for (const int id : {F::kTxtToExecute, F::kTxtIcon, F::kTxtTitle, F::kText1, F::kTxtHotKey}) {
    Type(id, L"x");
  }
  SendMessageW(Control(F::kCombo1), CB_SETCURSEL, 0, 0);  // SHIFT
  Drop({pin}, Centre(F::kTxtIcon), true);
  EXPECT_EQ(Text(F::kTxtToExecute), item);
  EXPECT_EQ(Text(F::kTxtIcon), icon);
  EXPECT_EQ(Text(F::kTxtTitle), title);
  EXPECT_EQ(Text(F::kCombo1), L"ALT");
  EXPECT_EQ(Text(F::kText1), L"7");
  EXPECT_EQ(Text(F::kTxtHotKey), L"CTRL+ALT+7");
  EXPECT_EQ(forms.messages.shown.size(), 1u);

  ASSERT_TRUE(DeleteFileW(pin.c_str()));
  Press(F::kCommand1);
  EXPECT_EQ(forms.messages.shown.back(), u"done!");
  EXPECT_EQ(testing::ReadShortcut(pin).iconIndex, 3);
  EXPECT_EQ(WithoutTargetTrail(testing::FileBytes(pin)), WithoutTargetTrail(written));
}

// On the icon row a program, a folder and a picture each become an icon location that GO!
// writes and Windows loads an icon from; several files, or a shortcut that cannot be read,
// change no field and are told.
TEST_F(DropTest, TheIconRowTakesOneFileAndRefusalsAreTold) {
  const std::wstring program = folder / L"icons \u4E2D.exe";  // this program: it holds icons
  ASSERT_TRUE(CopyFileW(win32::W(win32::Win32Process::ProgramPath()), program.c_str(), TRUE));
  const std::wstring picture = folder / L"picture.png";
  ASSERT_TRUE(CopyFileW(testing::BuiltProgram(L"picture-3x2.png").c_str(), picture.c_str(), TRUE));
  const std::wstring damaged = folder / L"damaged.lnk";
  testing::CreateTestFile(damaged, "not a shortcut");
  Type(F::kTxtToExecute, L"C:\\item");
  Type(F::kTxtTitle, L"pin");
  const std::wstring pin = desktop / L"pin.lnk";
  const std::pair<std::wstring, int> drops[] = {
      {program, F::kTxtIcon}, {folder.Path().wstring(), F::kLabel3}, {picture, F::kCommand3}};
  for (const auto& [path, control] : drops) {
    SCOPED_TRACE(testing::ToUtf8(path));
    Type(F::kTxtIcon, L"");
    Drop({path}, Centre(control));
    if (path == program) {
      EXPECT_EQ(Text(F::kTxtIcon), program);
    } else if (path == picture) {
      EXPECT_EQ(Text(F::kTxtIcon).rfind(forms.iconsFolder / L"", 0), 0u);
    }
    Press(F::kCommand1);
    ASSERT_EQ(forms.messages.shown.back(), u"done!");
    const auto written = testing::ReadShortcut(pin);
    HICON icon = nullptr;
    EXPECT_EQ(ExtractIconExW(written.iconPath.c_str(), written.iconIndex, &icon, nullptr, 1), 1u);
    EXPECT_TRUE(win32::UniqueIcon(icon));
  }
  EXPECT_EQ(forms.messages.shown.size(), 3u);

  Drop({damaged, program}, Centre(F::kTxtTitle));
  Drop({damaged}, Centre(F::kTxtTitle));
  ASSERT_EQ(forms.messages.shown.size(), 5u);
  EXPECT_EQ(forms.messages.shown[3], u"Drop one item at a time.");
  EXPECT_TRUE(forms.messages.shown[4].starts_with(u"Error "))
      << testing::Utf8(forms.messages.shown[4]);
  EXPECT_EQ(Text(F::kTxtToExecute), L"C:\\item");
  // While the window is disabled (a handler waits for a fetch), a drop is freed and ignored.
  EnableWindow(window, FALSE);
  Drop({program}, Centre(F::kTxtToExecute));
  EnableWindow(window, TRUE);
  EXPECT_EQ(Text(F::kTxtToExecute), L"C:\\item");
}

// What Explorer and a browser drag, dropped through OLE: a place by its parsing name (its shell ID
// list decides over the made-up path that Wine's object offers beside it), a link with its
// scheme's icon, a file by its folder's ID list joined with its own, each with its name as the
// title; several items told once the source has let go; the icon row; a link where the source
// allows one, else a copy, and never a move.
TEST_F(DropTest, PlacesLinksAndFilesDraggedInFillTheFields) {
  UniqueIdList bin;
  ASSERT_EQ(SHGetKnownFolderIDList(FOLDERID_RecycleBinFolder, 0, nullptr, bin.put()), S_OK);
  SHFILEINFOW shown{};
  SHGetFileInfoW(reinterpret_cast<const wchar_t*>(bin.get()), 0, &shown, sizeof shown,
                 SHGFI_PIDL | SHGFI_ICONLOCATION);
  const std::wstring file = folder / L"Garden plan.exe";  // this program: it holds icons
  ASSERT_TRUE(CopyFileW(win32::W(win32::Win32Process::ProgramPath()), file.c_str(), TRUE));
  const UniqueIdList fileList(ILCreateFromPathW(file.c_str()));
  const std::wstring address = L"brtest://garden/plan?a=1&b=2";
  const std::wstring linkIcon = L"%SystemRoot%\\system32\\shell32.dll,3";
  constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  constexpr DWORD kCopyMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  const struct {
    const char* what;
    const ITEMIDLIST* list;  // a shell item, or none: `clipboard` dragged
    Blocks clipboard;
    int control;
    DWORD allowed, effect;
    std::wstring item, icon, title;
    const char16_t* message;
    bool disabled = false;  // as while a message box or a picker is open
  } drags[] = {
      // clang-format off
      {"the Recycle Bin", bin.get(), {}, F::kTxtTitle, kAll, DROPEFFECT_LINK,
       NameOf(bin.get(), SIGDN_DESKTOPABSOLUTEPARSING),
       shown.szDisplayName + (L"," + std::to_wstring(shown.iIcon)),
       NameOf(bin.get(), SIGDN_NORMALDISPLAY), nullptr},
      {"a link while the window is disabled", nullptr, Link(address, L"Garden plan"),
       F::kTxtToExecute, kCopyMove, DROPEFFECT_NONE, L"", L"", L"", nullptr, true},
      {"a link", nullptr, Link(address, L"Garden plan"), F::kTxtToExecute, kCopyMove,
       DROPEFFECT_COPY, address, linkIcon, L"Garden plan", nullptr},
      {"a text", nullptr, {Unicode(L"Note: call Bob")}, F::kTxtToExecute, kAll, DROPEFFECT_NONE,
       L"", L"", L"", nullptr},
      {"two addresses split by a paragraph separator", nullptr,
       {Unicode(L"https://a.example/\u2029https://b.example/")}, F::kTxtToExecute, kAll,
       DROPEFFECT_NONE, L"", L"", L"", nullptr},
      {"a file", fileList.get(), {}, F::kCommand1, kAll,
       DROPEFFECT_LINK, file, file, L"Garden plan", nullptr},
      {"two files", nullptr, {{CF_HDROP, ShellDrop({file, folder.Path().wstring()}, {})}},
       F::kTxtToExecute, kAll, DROPEFFECT_LINK, L"", L"", L"", u"Drop one item at a time."},
      {"a link on the icon row", nullptr, Link(address, L"Garden plan"), F::kCommand3, kAll,
       DROPEFFECT_LINK, L"", linkIcon, L"", nullptr},
      {"a link to move", nullptr, Link(address, L"Garden plan"), F::kTxtToExecute, DROPEFFECT_MOVE,
       DROPEFFECT_NONE, L"", L"", L"", nullptr},
      // clang-format on
  };
  // The source's thread waits inside its drag loop until Drop returns: no message before that.
  forms.messages.onShow = [&](const brindlework::Text&) {
    EXPECT_FALSE(dragging) << "a message shown while the source waits";
  };
  for (const auto& drag : drags) {
    SCOPED_TRACE(drag.what);
    Press(F::kCommand2);  // Clear all
    forms.messages.shown.clear();
    if (!drag.list) Clipboard(drag.clipboard);
    EnableWindow(window, !drag.disabled);
    EXPECT_EQ(Drag(drag.list, drag.control, drag.allowed), drag.effect);
    EnableWindow(window, TRUE);
    EXPECT_EQ(Text(F::kTxtToExecute), drag.item);
    EXPECT_EQ(Text(F::kTxtIcon), drag.icon);
    EXPECT_EQ(Text(F::kTxtTitle), drag.title);
    EXPECT_EQ(forms.messages.shown, drag.message ? std::vector<brindlework::Text>{drag.message}
                                                 : std::vector<brindlework::Text>{});
    if (drag.list == bin.get()) testing::SaveScreenshot(window, L"drop-place");
  }
  ASSERT_TRUE(OpenClipboard(window) && EmptyClipboard() && CloseClipboard());
}

// A paste of files into the item or the icon field is a drop there, and the text beside them is
// not pasted; a paste in the title field, or of a text alone, pastes the text. The clipboard is
// free while the message shows.
TEST_F(DropTest, FilesPastedIntoTheItemOrIconFieldAreDroppedThere) {
  const std::wstring program = folder / L"icons.exe";  // this program: it holds icons
  ASSERT_TRUE(CopyFileW(win32::W(win32::Win32Process::ProgramPath()), program.c_str(), TRUE));
  bool clipboardFree = false;
  forms.messages.onShow = [&](const brindlework::Text&) {
    std::thread([&] { clipboardFree = OpenClipboard(nullptr) && CloseClipboard(); }).join();
  };
  Clipboard({program}, L"text");
  Type(F::kTxtToExecute, L"C:\\kept");
  Paste(F::kTxtToExecute, {VK_CONTROL, VK_INSERT});  // Copy, never a paste
  EXPECT_EQ(Text(F::kTxtToExecute), L"C:\\kept");
  Paste(F::kTxtToExecute, {VK_CONTROL, 'V'});
  EXPECT_EQ(Text(F::kTxtToExecute), program);
  Press(F::kCommand2);  // Clear all
  Paste(F::kTxtIcon, {VK_SHIFT, VK_INSERT});
  EXPECT_EQ(Text(F::kTxtIcon), program);
  EXPECT_EQ(Text(F::kTxtToExecute), L"");
  Paste(F::kTxtTitle, {VK_CONTROL, 'V'});
  EXPECT_EQ(Text(F::kTxtTitle), L"text");

  Clipboard({program, folder.Path().wstring()}, L"text");
  Paste(F::kTxtToExecute, {VK_CONTROL, 'V'});
  EXPECT_EQ(forms.messages.shown, std::vector<brindlework::Text>{u"Drop one item at a time."});
  EXPECT_TRUE(clipboardFree);
  Clipboard({}, L"C:\\typed");
  Paste(F::kTxtToExecute, {VK_CONTROL, 'V'});
  EXPECT_EQ(Text(F::kTxtToExecute), L"C:\\typed");
  // Explorer's copy of a place: its ID list decides, not the made-up path Wine offers beside it.
  UniqueIdList bin;
  ASSERT_EQ(SHGetKnownFolderIDList(FOLDERID_RecycleBinFolder, 0, nullptr, bin.put()), S_OK);
  ASSERT_EQ(OleSetClipboard(ShellItem(bin.get()).get()), S_OK);  // OLE is the window's, here
  Paste(F::kTxtToExecute, {VK_CONTROL, 'V'});
  EXPECT_EQ(Text(F::kTxtToExecute), NameOf(bin.get(), SIGDN_DESKTOPABSOLUTEPARSING));
  // The ID list alone, with no path beside it, as Windows' Explorer copies a place.
  FORMATETC format{static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_SHELLIDLIST)), nullptr,
                   DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM list{};
  ASSERT_EQ(ShellItem(bin.get())->GetData(&format, &list), S_OK);
  Clipboard(Blocks{{format.cfFormat, list.hGlobal}});  // the clipboard owns it now
  Type(F::kTxtToExecute, L"");
  Paste(F::kTxtToExecute, {VK_CONTROL, 'V'});
  EXPECT_EQ(Text(F::kTxtToExecute), NameOf(bin.get(), SIGDN_DESKTOPABSOLUTEPARSING));
  ASSERT_TRUE(OpenClipboard(window) && EmptyClipboard() && CloseClipboard());
}

// A site's link dragged in (the fetch waits inside the drop's posted work), then its address at
// GO!: the site's icon, made once, in the field and on the pin.
TEST_F(DropTest, ALinkToASiteAndItsAddressAtGoWearTheSitesIcon) {
  testing::LoopbackServer server;
  server.Add("/", "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nConnection: close\r\n\r\n" +
                      testing::FileBytes(testing::BuiltProgram(L"picture-3x2.png")));
  Clipboard(Link(server.Address("/"), L"Garden"));
  EXPECT_EQ(Drag(nullptr, F::kTxtToExecute, DROPEFFECT_LINK), DROPEFFECT_LINK);
  const std::wstring made = Text(F::kTxtIcon);
  EXPECT_EQ(made.rfind(forms.iconsFolder / L"", 0), 0u) << testing::ToUtf8(made);
  Type(F::kTxtIcon, server.Address("/"));
  Press(F::kCommand1);
  EXPECT_EQ(forms.messages.shown, std::vector<brindlework::Text>{u"done!"});
  EXPECT_EQ(testing::ReadShortcut(desktop / L"Garden.lnk").iconPath, made);
  ASSERT_TRUE(OpenClipboard(window) && EmptyClipboard() && CloseClipboard());
}

}  // namespace
}  // namespace brindlework
