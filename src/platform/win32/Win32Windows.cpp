#include "platform/win32/Win32Windows.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "platform/Error.h"
#include "platform/win32/AccessibleNames.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/WinText.h"
#include "version.h"

namespace brindlework::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"Brindlework.Form";
// Posted by a window's OLE drop target for each drop it took.
constexpr UINT kDroppedMessage = WM_APP + 1;
// The drop-down list of a combo box at 96 DPI: its own height comes on top of the control's.
constexpr int kComboListPixels = 120;
// The windows' default font: the classic dialog font (Tahoma) at 8 points, whose line height the
// tables' labels were laid out for. The system's message font is larger on current Windows and
// would cut two-line labels short.
constexpr FontSpec kDefaultFont{u"MS Shell Dlg 2", 8};

COLORREF ResolveColour(Colour colour) {
  if (colour & kSystemColour) return GetSysColor(static_cast<int>(colour & ~kSystemColour));
  return static_cast<COLORREF>(colour);
}

UniqueFont MakeFont(const FontSpec& spec, UINT dpi, BYTE charSet = ANSI_CHARSET) {
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(std::lround(spec.points * dpi / 72.0));
  font.lfWeight = spec.weight;
  font.lfUnderline = spec.underline;
  font.lfCharSet = charSet;
  font.lfQuality = CLEARTYPE_QUALITY;
  const auto face = ToWide(spec.face);
  wcsncpy_s(font.lfFaceName, face.c_str(), _TRUNCATE);
  return UniqueFont(CreateFontIndirectW(&font));
}

UniqueMenu BuildMenu(std::span<const MenuSpec> entries) {
  if (entries.empty()) return {};
  UniqueMenu bar(CreateMenu());
  if (!bar) throw LastError();
  HMENU popup = nullptr;  // the drop-down being filled, which the bar owns
  for (const auto& entry : entries) {
    const auto caption = ToWide(entry.caption);
    if (entry.level == 1) {
      UniqueMenu created(CreatePopupMenu());
      if (!created || !AppendMenuW(bar.get(), MF_POPUP | MF_STRING,
                                   reinterpret_cast<UINT_PTR>(created.get()), caption.c_str())) {
        throw LastError();
      }
      popup = created.release();
    } else if (popup) {
      const bool separator = entry.caption == u"-";
      if (!AppendMenuW(popup, separator ? MF_SEPARATOR : MF_STRING,
                       static_cast<UINT_PTR>(entry.id), separator ? nullptr : caption.c_str())) {
        throw LastError();
      }
    }
  }
  return bar;
}

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

ControlClass ClassOf(const ControlSpec& spec) {
  switch (spec.kind) {
    case ControlKind::Label: return {L"Static", SS_LEFT | SS_NOTIFY, 0};
    case ControlKind::TextBox:
      return {L"Edit", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Button:
      return {L"Button",
              static_cast<DWORD>(WS_TABSTOP | BS_MULTILINE |
                                 (spec.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)),
              0};
    case ControlKind::ComboBox:
      return {L"ComboBox", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0};
    case ControlKind::Picture: return {L"Static", SS_ICON | SS_REALSIZECONTROL | SS_NOTIFY, 0};
  }
  return {L"Static", 0, 0};
}

// BeginPaint and EndPaint as one scope.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
  ~PaintDc() { EndPaint(hwnd_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// An object selected into a DC for the scope; the one it replaced goes back at the end, so the
// object can be deleted after it.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, old_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

// One loaded window: the real HWND of a form, its controls and the GDI objects they use.
// The window owns this object, not the other way round: a window the user closes destroys
// itself and deletes its NativeForm on WM_NCDESTROY. So hwnd_ is a plain handle that the
// window clears as it goes, and only a window still open when the program ends is destroyed
// from here: an owner such as UniqueWindow would destroy it a second time.
class NativeForm final : public FormView {
 public:
  NativeForm(Win32WindowSystem& system, Form& form) : system_(system), form_(form) {}

  ~NativeForm() override {
    // Still open at the end of the run: the window goes quietly, as its form may be gone.
    if (hwnd_) {
      names_.Clear();
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      DestroyWindow(hwnd_);
    }
  }

  Form& GetForm() const { return form_; }
  HWND Window() const { return hwnd_; }

  // Creates the window hidden, runs the form's load handler, then shows it.
  void Load(HINSTANCE instance) {
    const FormSpec& spec = form_.Spec();
    const bool sizable = spec.frame == Frame::Sizable;
    style_ = WS_CLIPCHILDREN | (sizable ? WS_OVERLAPPEDWINDOW : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
    // Only the flag: DragAcceptFiles would bind shell32 at every start for what it sets.
    exStyle_ = (sizable ? 0 : WS_EX_DLGMODALFRAME) | (spec.acceptsFiles ? WS_EX_ACCEPTFILES : 0);
    UniqueMenu menu = BuildMenu(spec.menu);
    const auto caption = ToWide(spec.caption);
    hwnd_ = CreateWindowExW(exStyle_, kFormClass, caption.c_str(), style_, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu.get(),
                            instance, this);
    if (!hwnd_) throw LastError();
    menu.release();  // the window owns its menu now
    if (spec.acceptsFiles) {
      drops_ = std::make_unique<DropReceiver>(hwnd_, system_.oleDrops_, kDroppedMessage);
    }
    dpi_ = GetDpiForWindow(hwnd_);
    CreateControls(instance);
    NameControls();
    Layout(false);  // CreateControls made them in place
    PlaceWindow();

    form_.Attach(this);
    form_.Form_Load();
    ShowWindow(hwnd_, SW_SHOW);
    FocusFirst();
  }

  void BringToFront() const {
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
  }

  // FormView
  Text GetText(int control) const override {
    const HWND window = Control(control);
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    return ToText(text.data(), static_cast<std::size_t>(std::max(copied, 0)));
  }
  void SetText(int control, const Text& text) override {
    if (!SetWindowTextW(Control(control), W(text))) throw LastError();
  }
  int ListIndex(int control) const override {
    return static_cast<int>(SendMessageW(Control(control), CB_GETCURSEL, 0, 0));
  }
  void SetListIndex(int control, int index) override {
    // CB_SETCURSEL answers CB_ERR for -1 too, by its contract: only an entry can be missing.
    const auto result = SendMessageW(Control(control), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (result == CB_ERR && index != -1) throw Win32Error(ERROR_INVALID_INDEX);
  }
  Text ListItem(int control, int index) const override {
    const HWND combo = Control(control);
    const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) throw Win32Error(ERROR_INVALID_INDEX);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return ToText(text.data(), static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
  }
  void SetCaption(const Text& caption) override {
    if (!SetWindowTextW(hwnd_, W(caption))) throw LastError();
  }
  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void Unload() override { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      auto* self = static_cast<NativeForm*>(create->lpCreateParams);
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<NativeForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
  }

 private:
  struct Place {
    int x, y, width, height;
  };

  struct ControlWindow {
    const ControlSpec* spec;
    HWND hwnd;
  };

  HWND Control(int id) const {
    for (const auto& control : controls_) {
      if (control.spec->id == id) return control.hwnd;
    }
    throw Win32Error(ERROR_INVALID_WINDOW_HANDLE);
  }

  const ControlSpec* SpecOf(HWND hwnd) const {
    for (const auto& control : controls_) {
      if (control.hwnd == hwnd) return control.spec;
    }
    return nullptr;
  }

  void CreateControls(HINSTANCE instance) {
    std::vector<const ControlSpec*> ordered;
    for (const auto& spec : form_.Spec().controls) ordered.push_back(&spec);
    // Created in tab order: the dialog manager's Tab follows the order of creation.
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    for (const ControlSpec* spec : ordered) {
      const ControlClass kind = ClassOf(*spec);
      const auto caption = ToWide(spec->caption);
      // Made in place: moved afterwards, each control would take another round of messages.
      const Place place = PlaceOf(*spec);
      const HWND hwnd = CreateWindowExW(
          kind.exStyle, kind.name, caption.c_str(),
          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, place.x, place.y, place.width,
          place.height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec->id)), instance,
          nullptr);
      if (!hwnd) throw LastError();
      controls_.push_back({spec, hwnd});
      if (spec->kind == ControlKind::TextBox) SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
      if (spec->pasteIsDrop) {
        // A procedure of its own, not SetWindowSubclass: that would import comctl32 at start.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PasteProcedure));
      }
      for (TextView item : spec->listItems) {
        const auto entry = ToWide(item);
        SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
      }
    }
  }

  // A failure leaves a control unnamed: the names help, but the window works without them.
  void NameControls() {
    for (const auto& control : controls_) {
      if (!control.spec->accessibleName.empty()) {
        static_cast<void>(names_.Set(control.hwnd, control.spec->accessibleName));
      }
    }
  }

  // A control's place in pixels at the window's DPI; a combo box's height includes its list.
  Place PlaceOf(const ControlSpec& spec) const {
    const TwipsRect& r = spec.rect;
    int height = TwipsToPixels(r.height, dpi_);
    if (spec.kind == ControlKind::ComboBox) {
      height += MulDiv(kComboListPixels, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
    }
    return {TwipsToPixels(r.left, dpi_), TwipsToPixels(r.top, dpi_), TwipsToPixels(r.width, dpi_),
            height};
  }

  // Fonts and icons for the window's DPI, with `move` the controls' places too; runs again when
  // the window moves to another DPI.
  void Layout(bool move) {
    // Any script the user types into the text boxes, not only the ANSI code page's.
    UniqueFont defaultFont = MakeFont(kDefaultFont, dpi_, DEFAULT_CHARSET);
    std::vector<UniqueFont> fonts;
    std::vector<UniqueIcon> icons;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    for (const auto& control : controls_) {
      if (move) {
        const Place place = PlaceOf(*control.spec);
        SetWindowPos(control.hwnd, nullptr, place.x, place.y, place.width, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      HFONT font = defaultFont.get();
      if (control.spec->font) {
        fonts.push_back(MakeFont(*control.spec->font, dpi_));
        font = fonts.back().get();
      }
      SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
      if (control.spec->kind == ControlKind::Picture) {
        const TwipsRect& r = control.spec->rect;
        const int size = TwipsToPixels(std::min(r.width, r.height), dpi_);
        UniqueIcon icon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(BRINDLEWORK_ICON),
                                                      IMAGE_ICON, size, size, 0)));
        SendMessageW(control.hwnd, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
        icons.push_back(std::move(icon));
      }
    }
    // Only now that no control uses them may the previous fonts and icons go.
    defaultFont_ = std::move(defaultFont);
    fonts_ = std::move(fonts);
    icons_ = std::move(icons);
  }

  // The window's outer size for the client area of the table, at the table's screen position
  // or where the system placed it.
  void PlaceWindow() {
    const FormSpec& spec = form_.Spec();
    const int width = TwipsToPixels(spec.clientWidth, dpi_);
    const int height = TwipsToPixels(spec.clientHeight, dpi_);
    RECT outer{0, 0, width, height};
    AdjustWindowRectExForDpi(&outer, style_, GetMenu(hwnd_) != nullptr, exStyle_, dpi_);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int x = 0;
    int y = 0;
    if (spec.screenPosition) {
      x = TwipsToPixels(spec.screenPosition->x, dpi_) + outer.left;
      y = TwipsToPixels(spec.screenPosition->y, dpi_) + outer.top;
    } else {
      flags |= SWP_NOMOVE;
    }
    SetWindowPos(hwnd_, nullptr, x, y, outer.right - outer.left, outer.bottom - outer.top, flags);
    // A menu bar that wraps, or a frame drawn otherwise than computed: correct by what is seen.
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int dx = width - client.right;
    const int dy = height - client.bottom;
    if (dx != 0 || dy != 0) {
      RECT window{};
      GetWindowRect(hwnd_, &window);
      SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left + dx,
                   window.bottom - window.top + dy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
  }

  void FocusFirst() {
    for (const auto& control : controls_) {
      if (GetWindowLongW(control.hwnd, GWL_STYLE) & WS_TABSTOP) {
        SetFocus(control.hwnd);
        return;
      }
    }
  }

  void Paint() {
    const PaintDc dc(hwnd_);
    for (const LineSpec& line : form_.Spec().lines) {
      const int width = MulDiv(line.widthPixels, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
      const UniquePen pen(CreatePen(PS_INSIDEFRAME, width, ResolveColour(line.colour)));
      const Selection selected(dc.get(), pen.get());
      MoveToEx(dc.get(), TwipsToPixels(line.x1, dpi_), TwipsToPixels(line.y1, dpi_), nullptr);
      LineTo(dc.get(), TwipsToPixels(line.x2, dpi_), TwipsToPixels(line.y2, dpi_));
    }
  }

  int DefaultButton() const {
    // A push button with the focus is the one Enter presses; otherwise the table's default.
    if (const ControlSpec* focused = SpecOf(GetFocus());
        focused && focused->kind == ControlKind::Button) {
      return focused->id;
    }
    for (const auto& control : controls_) {
      if (control.spec->isDefault) return control.spec->id;
    }
    return 0;
  }

  int CancelButton() const {
    for (const auto& control : controls_) {
      if (control.spec->isCancel) return control.spec->id;
    }
    return 0;
  }

  // Runs a handler of the form; what it throws is reported and the program goes on.
  template <typename Handler>
  void Guarded(Handler handler) {
    try {
      handler();
    } catch (...) {
      ReportCurrentFailure(system_.messages_);
    }
  }

  void Dispatch(int id) {
    Guarded([&] { form_.Click(id); });
  }

  // A drop goes to the form with the control under its point.
  void Deliver(const WindowDrop& drop) {
    int control = 0;
    if (drop.point) {
      const HWND child = ChildWindowFromPointEx(hwnd_, *drop.point, CWP_SKIPINVISIBLE);
      if (const ControlSpec* spec = SpecOf(child)) control = spec->id;
    }
    form_.Drop(control, drop.items);
  }

  // A paste into a text box marked pasteIsDrop: when the clipboard holds files or a shell ID
  // list, they go to the form as a drop on that box and nothing is pasted (true); otherwise the
  // box pastes (false).
  bool PasteItems(HWND edit) {
    const ControlSpec* spec = SpecOf(edit);
    if (!spec) return false;
    bool taken = true;
    Guarded([&] {
      // Pasted lets go of the clipboard before the form runs: the form may show a message box,
      // and while the clipboard is held no other program can use it.
      const auto items = DropReceiver::Pasted();
      taken = items.has_value();
      if (taken) form_.Drop(spec->id, *items);
    });
    return taken;
  }

  // The procedure of a text box marked pasteIsDrop; the box's own procedure is in its user data.
  // Ctrl+V comes as WM_PASTE; Wine 8's edit pastes Shift+Insert without one, so that key is
  // taken here too.
  static LRESULT CALLBACK PasteProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool paste = message == WM_PASTE ||
                       (message == WM_KEYDOWN && wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0);
    // No form while ~NativeForm destroys the window: the box then only does what it would.
    auto* self = reinterpret_cast<NativeForm*>(GetWindowLongPtrW(GetParent(edit), GWLP_USERDATA));
    if (paste && self && self->PasteItems(edit)) return 0;
    const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_USERDATA));
    return CallWindowProcW(own, edit, message, wParam, lParam);
  }

  void OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    // Enter and Esc from the dialog manager; no control or menu entry has these ids.
    if (id == IDOK || id == IDCANCEL) {
      const int button = id == IDOK ? DefaultButton() : CancelButton();
      if (button != 0) Dispatch(button);
      return;
    }
    if (lParam == 0) {  // a menu entry
      if (code == 0) Dispatch(id);
      return;
    }
    const ControlSpec* spec = SpecOf(reinterpret_cast<HWND>(lParam));
    if (!spec) return;
    const bool click = (spec->kind == ControlKind::ComboBox) ? code == CBN_SELCHANGE
                                                             : code == BN_CLICKED;
    if (click) Dispatch(id);
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
      // A drop that arrives while the window is disabled (a fetch or a message box is waiting
      // inside a handler) is freed and ignored: delivered, it would re-enter the form mid-work.
      case WM_DROPFILES: {
        // FilesOf frees the drop, which is the receiver's, on every way out.
        const auto drop = reinterpret_cast<HDROP>(wParam);
        if (!IsWindowEnabled(hwnd_)) {
          DragFinish(drop);
          return 0;
        }
        Guarded([&] { Deliver(DropReceiver::FilesOf(drop)); });
        return 0;
      }
      case kDroppedMessage:
        // One message for each drop taken.
        if (auto drop = drops_ ? drops_->Take() : std::nullopt) {
          if (IsWindowEnabled(hwnd_)) Guarded([&] { Deliver(*drop); });
        }
        return 0;
      case DM_GETDEFID:
        if (const int id = DefaultButton()) return MAKELRESULT(id, DC_HASDEFID);
        return 0;
      case WM_CTLCOLORSTATIC: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        const ControlSpec* spec = SpecOf(reinterpret_cast<HWND>(lParam));
        if (spec && spec->textColour) SetTextColor(dc, ResolveColour(*spec->textColour));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      case WM_PAINT:
        Paint();
        return 0;
      case WM_ACTIVATE:
        // Keep the focus where the user left it when the window is activated again.
        if (LOWORD(wParam) == WA_INACTIVE) {
          const HWND focus = GetFocus();
          if (focus && IsChild(hwnd_, focus)) savedFocus_ = focus;
        } else if (savedFocus_ && IsWindow(savedFocus_)) {
          SetFocus(savedFocus_);
          return 0;
        }
        break;
      case WM_DPICHANGED: {
        dpi_ = HIWORD(wParam);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Layout(true);
        InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
      }
      case WM_DESTROY:
        drops_.reset();  // the OLE target goes while its window is still there
        names_.Clear();
        break;
      case WM_NCDESTROY: {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        form_.Attach(nullptr);
        hwnd_ = nullptr;
        system_.Closed(this);  // deletes this object: nothing may follow
        return 0;
      }
      default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  }

  Win32WindowSystem& system_;
  Form& form_;
  HWND hwnd_ = nullptr;
  DWORD style_ = 0;
  DWORD exStyle_ = 0;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  std::vector<ControlWindow> controls_;
  AccessibleNames names_;
  std::unique_ptr<DropReceiver> drops_;  // for a window whose table takes drops
  UniqueFont defaultFont_;
  std::vector<UniqueFont> fonts_;
  std::vector<UniqueIcon> icons_;
  HWND savedFocus_ = nullptr;
};

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance, MessageBoxService& messages,
                                     OleDrops oleDrops)
    : instance_(instance), messages_(messages), oleDrops_(oleDrops) {}

Win32WindowSystem::~Win32WindowSystem() {
  // Windows still open at the end of the run close with their objects.
  auto open = std::move(open_);
  open.clear();
  if (formClass_) UnregisterClassW(MAKEINTATOM(formClass_), instance_);
}

void Win32WindowSystem::RegisterFormClass() {
  if (formClass_) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &NativeForm::Procedure;
  windowClass.hInstance = instance_;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kFormClass;
  windowClass.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(BRINDLEWORK_ICON),
                                                    IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(BRINDLEWORK_ICON), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  formClass_ = RegisterClassExW(&windowClass);
  if (!formClass_) throw LastError();
}

void Win32WindowSystem::Show(Form& form) {
  for (const auto& native : open_) {
    if (&native->GetForm() == &form) {
      native->BringToFront();
      return;
    }
  }
  RegisterFormClass();  // on the first window: launch mode never gets here

  auto native = std::make_unique<NativeForm>(*this, form);
  NativeForm* loading = native.get();
  open_.push_back(std::move(native));
  try {
    loading->Load(instance_);
  } catch (...) {
    // A load that failed leaves the form unloaded, to be loaded afresh next time.
    form.Attach(nullptr);
    std::erase_if(open_, [loading](const auto& open) { return open.get() == loading; });
    throw;
  }
}

void Win32WindowSystem::EndProgram() {
  // Every window disappears at once and the loop ends; no close handler runs. The windows are
  // destroyed with this object, since the handler that asked is still running in one of them.
  for (const auto& native : open_) ShowWindow(native->Window(), SW_HIDE);
  PostQuitMessage(0);
}

void Win32WindowSystem::Closed(NativeForm* form) {
  std::erase_if(open_, [form](const auto& open) { return open.get() == form; });
  if (open_.empty()) PostQuitMessage(0);
}

int Win32WindowSystem::RunMessageLoop() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Tab, Enter, Esc and access keys work in every form as in a dialog.
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    const bool ours = std::any_of(open_.begin(), open_.end(),
                                  [root](const auto& native) { return native->Window() == root; });
    if (ours && IsDialogMessageW(root, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

void ReportCurrentFailure(MessageBoxService& messages) {
  try {
    throw;
  } catch (const Error& error) {
    messages.Show(FailureMessage(error));
  } catch (const std::bad_alloc&) {
    messages.Show(FailureMessage(HresultError(E_OUTOFMEMORY)));
  } catch (...) {
    messages.Show(FailureMessage(HresultError(E_UNEXPECTED)));
  }
}

}  // namespace brindlework::win32
