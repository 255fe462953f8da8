#pragma once
// Windows as data: each window is a table of controls that the window system turns into a real
// window, and a class whose handlers read and write those controls through FormView.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/Text.h"

namespace brindlework {

// Positions and sizes in twips (1440 per inch), from the top-left corner of the client area.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class ControlKind { Label, TextBox, Button, ComboBox, Picture };

struct FontSpec {
  TextView face;
  double points = 8.25;
  int weight = 400;
  bool underline = false;
};

// Colours are 0x00BBGGRR; a value with the top bit set names a system colour by its index.
using Colour = std::uint32_t;
inline constexpr Colour kSystemColour = 0x80000000u;
// The selection colour (COLOR_HIGHLIGHT): follows the user's colour scheme.
inline constexpr Colour kHighlight = kSystemColour | 13;

struct ControlSpec {
  ControlKind kind = ControlKind::Label;
  int id = 0;  // unique within its window; the handlers are chosen by it
  TextView name;
  TextView caption;
  TwipsRect rect;
  int tabIndex = 0;
  // What a screen reader announces for an input control: its own label may not come just
  // before it in the tab order, where the reader would look for one.
  TextView accessibleName;
  const FontSpec* font = nullptr;  // null: the window's default font
  std::optional<Colour> textColour;
  std::span<const TextView> listItems;  // the entries of a combo box, in order
  bool isDefault = false;               // pressed by Enter
  bool isCancel = false;                // pressed by Esc
  // A text box where a paste of files (a file copied in Explorer) is a drop of them on it; in
  // the others a paste changes the text only, so it cannot change a field away from the focus.
  bool pasteIsDrop = false;
};

// A menu entry: level 1 on the bar, level 2 in the drop-down of the level-1 entry above it.
// The caption "-" is a separator. "&" marks the access key.
struct MenuSpec {
  int level = 1;
  int id = 0;
  TextView name;
  TextView caption;
};

// A straight line drawn on the window's background.
struct LineSpec {
  Colour colour = 0;
  int widthPixels = 1;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // twips
};

enum class Frame { Sizable, FixedDialog };

struct TwipsPoint {
  int x = 0;
  int y = 0;
};

struct FormSpec {
  TextView caption;
  int clientWidth = 0;  // twips
  int clientHeight = 0;
  Frame frame = Frame::Sizable;
  // Where the client area's top-left corner sits on the screen; none: the system's default.
  std::optional<TwipsPoint> screenPosition;
  bool appIcon = true;  // the program's icon in the title bar
  bool acceptsFiles = false;  // takes items dropped from the shell or a browser (Drop)
  std::span<const ControlSpec> controls;
  std::span<const MenuSpec> menu;
  std::span<const LineSpec> lines;
};

// The controls of a loaded window, as its handlers see them.
class FormView {
 public:
  virtual ~FormView() = default;
  // Each call names a control of the table: any other id throws Error.
  virtual Text GetText(int control) const = 0;
  virtual void SetText(int control, const Text& text) = 0;
  // The selected entry of a combo box's list, -1 when none is selected.
  virtual int ListIndex(int control) const = 0;
  // Selects the entry at the index; -1 selects none and empties the combo box's text.
  virtual void SetListIndex(int control, int index) = 0;
  virtual Text ListItem(int control, int index) const = 0;
  virtual void SetCaption(const Text& caption) = 0;
  virtual WindowHandle Handle() const = 0;
  // Closes the window; the form can be shown again later, loaded afresh.
  virtual void Unload() = 0;
};

// One item dropped on a window, or pasted into a text box marked pasteIsDrop.
struct DroppedItem {
  enum class Kind {
    File,   // a path of the file system
    Place,  // a place of the shell without a path (This PC, the Recycle Bin): its parsing name
    Link,   // a web address
  };
  Kind kind = Kind::File;
  Text text;  // what the item field takes: the path, the parsing name or the address
  // A place's display name, a link's page title; empty for a file, or when none is known.
  Text name;
  bool operator==(const DroppedItem&) const = default;
};

// A window class: its table, its load handler and the handlers of its controls and menus.
// One instance of each is shared for the whole run; its window is loaded while shown.
class Form {
 public:
  virtual ~Form() = default;
  virtual const FormSpec& Spec() const = 0;
  // Runs once each time the window is loaded, before it is first shown.
  virtual void Form_Load() {}
  // A click of the control or menu entry with this id.
  virtual void Click(int id) = 0;
  // Items dropped on a window whose table accepts them, in their order, and the control under
  // the drop point (0: the window itself, or outside its client area). Items pasted into a text
  // box marked pasteIsDrop come here too, as a drop on that text box.
  virtual void Drop(int /*control*/, std::span<const DroppedItem> /*items*/) {}

  bool IsLoaded() const { return view_ != nullptr; }
  // Called by the window system when it loads and unloads the window.
  void Attach(FormView* view) { view_ = view; }

 protected:
  FormView& View() const { return *view_; }

 private:
  FormView* view_ = nullptr;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // Loads the form's window if it is not loaded (running Form_Load), shows it modeless without
  // owner, and brings it to the front.
  virtual void Show(Form& form) = 0;
  // Closes every window of the program at once; no handler runs.
  virtual void EndProgram() = 0;
};

}  // namespace brindlework
