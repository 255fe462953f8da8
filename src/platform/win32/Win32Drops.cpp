// What the main window takes from a drag (OLE), a shell drop of files (WM_DROPFILES) and a paste.
//
// A drag or a paste is read in this order; the first format offered decides:
//   1. "Shell IDList Array": each item's file-system path, or, for a place without one (This PC,
//      the Recycle Bin, Control Panel), its parsing name with its display name;
//   2. CF_HDROP: the files' paths;
//   3. a link, taken by a drag only: "UniformResourceLocatorW", else "UniformResourceLocator",
//      else a text (CF_UNICODETEXT) that is one http:// or https:// address; its name is the
//      first name of "FileGroupDescriptorW" without ".url".
// A paste of anything else, and so of a link, is the text box's own paste of text. A drag of
// anything else, a damaged ID list, a source that offers only a move, or a disabled window (one
// of its message boxes or pickers is open) is refused. Every block is read within its size.
#include "platform/win32/Win32Drops.h"

#include <ole2.h>
#include <shlobj.h>

#include <atomic>
#include <cstddef>
#include <new>

#include "platform/DropBlocks.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/WinText.h"

namespace brindlework::win32 {
namespace {

static_assert(offsetof(FILEGROUPDESCRIPTORW, fgd) + offsetof(FILEDESCRIPTORW, cFileName) ==
              kFirstDescriptorNameOffset);
static_assert(sizeof(FILEGROUPDESCRIPTORW) == kFileGroupDescriptorSize);

CLIPFORMAT Format(const wchar_t* name) {
  return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name));
}
CLIPFORMAT ShellIdList() { return Format(L"Shell IDList Array"); }

// ILCombine's and the shell's ID lists come from the COM allocator.
inline void FreeIdList(ITEMIDLIST* list) { CoTaskMemFree(list); }
using UniqueIdList = Unique<ITEMIDLIST*, FreeIdList>;

// One format of a data object as global memory, locked for the scope. ReleaseStgMedium frees
// it, whether it is a copy for us or the source's own (then pUnkForRelease lets it go).
class Medium {
 public:
  Medium(IDataObject& data, CLIPFORMAT format) {
    FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    held_ = SUCCEEDED(data.GetData(&wanted, &medium_));
    if (!held_ || medium_.tymed != TYMED_HGLOBAL || !medium_.hGlobal) return;
    if (const void* bytes = GlobalLock(medium_.hGlobal)) {
      block_ = Block(static_cast<const std::byte*>(bytes), GlobalSize(medium_.hGlobal));
    }
  }
  ~Medium() {
    if (block_) GlobalUnlock(medium_.hGlobal);
    if (held_) ReleaseStgMedium(&medium_);
  }
  Medium(const Medium&) = delete;
  Medium& operator=(const Medium&) = delete;

  // None when the object did not give the format, or not as global memory.
  const std::optional<Block>& Bytes() const { return block_; }
  HGLOBAL Global() const { return medium_.hGlobal; }

 private:
  STGMEDIUM medium_{};
  bool held_ = false;
  std::optional<Block> block_;
};

std::optional<Text> NameOf(PCIDLIST_ABSOLUTE list, SIGDN form) {
  UniqueCoMem name;
  if (FAILED(SHGetNameFromIDList(list, form, name.put()))) return std::nullopt;
  return ToText(name.get());
}

// The items of a shell ID list; none when it is damaged or names something the shell cannot.
std::optional<std::vector<DroppedItem>> IdListItems(Block block) {
  const auto lists = ReadIdListArray(block);
  if (!lists) return std::nullopt;
  const auto parent = reinterpret_cast<PCIDLIST_ABSOLUTE>(lists->parent.data());
  std::vector<DroppedItem> items;
  for (const Block& relative : lists->items) {
    // Each item's list is relative to the parent folder: only the two joined name it.
    const UniqueIdList whole(
        ILCombine(parent, reinterpret_cast<PCUIDLIST_RELATIVE>(relative.data())));
    if (!whole) throw std::bad_alloc();
    if (auto path = NameOf(whole.get(), SIGDN_FILESYSPATH)) {
      items.push_back({DroppedItem::Kind::File, std::move(*path), {}});
    } else if (auto parsing = NameOf(whole.get(), SIGDN_DESKTOPABSOLUTEPARSING)) {
      items.push_back({DroppedItem::Kind::Place, std::move(*parsing),
                       NameOf(whole.get(), SIGDN_NORMALDISPLAY).value_or(Text())});
    } else {
      return std::nullopt;
    }
  }
  return items;
}

std::vector<DroppedItem> FileItems(HDROP files) {
  const UINT count = DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0);
  std::vector<DroppedItem> items;
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(files, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(files, i, path.data(), static_cast<UINT>(path.size())));
    items.push_back({DroppedItem::Kind::File, ToText(path), {}});
  }
  return items;
}

Text FromAnsi(std::span<const char> text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return ToText(wide);
}

std::optional<Text> Address(IDataObject& data) {
  if (const Medium url(data, Format(L"UniformResourceLocatorW")); url.Bytes()) {
    if (Text address = WideTextOf(*url.Bytes()); !address.empty()) return address;
  }
  if (const Medium url(data, Format(L"UniformResourceLocator")); url.Bytes()) {
    if (Text address = FromAnsi(AnsiTextOf(*url.Bytes())); !address.empty()) return address;
  }
  if (const Medium text(data, CF_UNICODETEXT); text.Bytes()) {
    if (Text address = WideTextOf(*text.Bytes()); IsWebAddress(address)) return address;
  }
  return std::nullopt;
}

// The page's title, as a browser names the shortcut file it would make of the link.
Text LinkName(IDataObject& data) {
  const Medium descriptor(data, Format(L"FileGroupDescriptorW"));
  if (!descriptor.Bytes()) return {};
  Text name = FirstDescriptorName(*descriptor.Bytes()).value_or(Text());
  constexpr TextView kUrl = u".url";
  if (name.size() > kUrl.size() &&
      CompareStringOrdinal(W(name) + name.size() - kUrl.size(), static_cast<int>(kUrl.size()),
                           L".url", static_cast<int>(kUrl.size()), TRUE) == CSTR_EQUAL) {
    name.resize(name.size() - kUrl.size());
  }
  return name;
}

enum class Reading { Drag, Paste };

// What the window takes of the data, in the order above; none when it takes nothing.
std::optional<std::vector<DroppedItem>> ItemsOf(IDataObject& data, Reading reading) {
  // The list decides even beside CF_HDROP: Explorer offers both for files, and Wine a made-up
  // path for a place.
  if (const Medium list(data, ShellIdList()); list.Bytes()) return IdListItems(*list.Bytes());
  if (const Medium files(data, CF_HDROP); files.Bytes()) {
    auto items = FileItems(static_cast<HDROP>(files.Global()));
    if (items.empty()) return std::nullopt;
    return items;
  }
  if (reading == Reading::Paste) return std::nullopt;
  auto address = Address(data);
  if (!address) return std::nullopt;
  return std::vector<DroppedItem>{{DroppedItem::Kind::Link, std::move(*address), LinkName(data)}};
}

// The integrity level of a process's token (its mandatory label's last sub-authority); none
// when it cannot be read.
std::optional<DWORD> IntegrityLevel(HANDLE process) {
  UniqueHandle token;
  if (!OpenProcessToken(process, TOKEN_QUERY, token.put())) return std::nullopt;
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
  std::vector<std::byte> label(size);
  if (size == 0 || !GetTokenInformation(token.get(), TokenIntegrityLevel, label.data(), size, &size)) {
    return std::nullopt;
  }
  const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
  const UCHAR count = *GetSidSubAuthorityCount(sid);
  if (count == 0) return std::nullopt;
  return *GetSidSubAuthority(sid, count - 1u);
}

// True when Explorer's OLE drops cannot reach this program; false whenever that is not known.
bool AboveShell() {
  const HWND shell = GetShellWindow();
  DWORD shellProcess = 0;
  if (!shell || !GetWindowThreadProcessId(shell, &shellProcess)) return false;
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcess));
  if (!process) return false;
  const auto own = IntegrityLevel(GetCurrentProcess());
  const auto shells = IntegrityLevel(process.get());
  return own && shells && *own > *shells;
}

// Explorer runs at a lower integrity level than a program started as administrator, and the
// system holds back its drop messages from such a window. Not elevated, the filter stays as it is:
// loosening it would only let lower-integrity senders in.
void LetDropsInWhenElevated(HWND hwnd) {
  UniqueHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) throw LastError();
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) {
    throw LastError();
  }
  if (!elevation.TokenIsElevated) return;
  constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA, which the headers lack
  // Wine accepts these calls and changes nothing.
  for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData}) {
    if (!ChangeWindowMessageFilterEx(hwnd, message, MSGFLT_ALLOW, nullptr)) throw LastError();
  }
}

// The effect of a drop that is taken: a link where the source allows one, else a copy. Never a
// move: a source told so deletes its original.
DWORD EffectFor(DWORD allowed) {
  if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
  if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  return DROPEFFECT_NONE;
}

}  // namespace

// The window's OLE drop target. The source's thread waits inside its drag loop for each call, so
// each one only reads the data; the form has the drop later, posted.
class DropReceiver::Target final : public IDropTarget {
 public:
  explicit Target(DropReceiver& receiver) : receiver_(&receiver) {}
  // The receiver is going: a call still on its way finds nothing to drop on.
  void Detach() { receiver_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IDropTarget) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    if (!data || !effect) return E_INVALIDARG;
    taken_ = Enabled() && Read(*data).has_value();
    *effect = taken_ ? EffectFor(*effect) : DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    if (!effect) return E_INVALIDARG;
    *effect = taken_ && Enabled() ? EffectFor(*effect) : DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    taken_ = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) override {
    if (!data || !effect) return E_INVALIDARG;
    taken_ = false;
    const DWORD chosen = EffectFor(*effect);
    *effect = DROPEFFECT_NONE;
    if (chosen == DROPEFFECT_NONE || !Enabled()) return S_OK;
    auto items = Read(*data);
    if (!items) return S_OK;
    try {
      receiver_->Dropped(std::move(*items), point);
    } catch (...) {
      return S_OK;
    }
    *effect = chosen;
    return S_OK;
  }

 private:
  // While one of its message boxes or pickers is open, the window is disabled and takes nothing;
  // Wine still calls the target then.
  bool Enabled() const { return receiver_ && IsWindowEnabled(receiver_->window_); }

  // Nothing may leave a COM call but its result: data that cannot be read is not taken.
  static std::optional<std::vector<DroppedItem>> Read(IDataObject& data) noexcept {
    try {
      return ItemsOf(data, Reading::Drag);
    } catch (...) {
      return std::nullopt;
    }
  }

  std::atomic<ULONG> references_{1};
  DropReceiver* receiver_;
  bool taken_ = false;  // what DragEnter read is taken: DragOver has no data to read
};

DropReceiver::DropReceiver(HWND window, OleDrops ole, UINT message)
    : window_(window), message_(message) {
  LetDropsInWhenElevated(window);
  // Windows refuses RegisterDragDrop on a thread without OLE, even inside a COM apartment.
  ole_ = OleInitialize(nullptr);
  if (FAILED(ole_) || (ole == OleDrops::UnlessAboveShell && AboveShell())) return;
  *target_.put() = new Target(*this);
  // Refused: files still come as WM_DROPFILES.
  registered_ = SUCCEEDED(RegisterDragDrop(window, target_.get()));
}

DropReceiver::~DropReceiver() {
  if (registered_) RevokeDragDrop(window_);
  if (target_) target_->Detach();
  target_.reset();
  if (SUCCEEDED(ole_)) OleUninitialize();
}

void DropReceiver::Dropped(std::vector<DroppedItem> items, POINTL screenPoint) {
  POINT point{screenPoint.x, screenPoint.y};
  RECT client{};
  const bool inside = ScreenToClient(window_, &point) && GetClientRect(window_, &client) &&
                      PtInRect(&client, point);
  dropped_.push_back({std::move(items), inside ? std::optional(point) : std::nullopt});
  if (!PostMessageW(window_, message_, 0, 0)) {
    dropped_.pop_back();
    throw LastError();
  }
}

std::optional<WindowDrop> DropReceiver::Take() {
  if (dropped_.empty()) return std::nullopt;
  WindowDrop drop = std::move(dropped_.front());
  dropped_.pop_front();
  return drop;
}

WindowDrop DropReceiver::FilesOf(HDROP drop) {
  const UniqueDrop owned(drop);
  WindowDrop files{FileItems(drop), std::nullopt};
  // FALSE: dropped outside the client area, which counts as the window itself.
  if (POINT point{}; DragQueryPoint(drop, &point)) files.point = point;
  return files;
}

std::optional<std::vector<DroppedItem>> DropReceiver::Pasted() {
  // Asked first: a paste of text binds neither OLE's clipboard nor shell32.
  if (!IsClipboardFormatAvailable(CF_HDROP) && !IsClipboardFormatAvailable(ShellIdList())) {
    return std::nullopt;
  }
  ComPtr<IDataObject> data;
  // Another program holds the clipboard: the paste does nothing.
  if (FAILED(OleGetClipboard(data.put()))) return std::vector<DroppedItem>{};
  // A file cut in Explorer is taken like a copy: nothing is written back, so it stays put.
  return ItemsOf(*data.get(), Reading::Paste);
}

}  // namespace brindlework::win32
