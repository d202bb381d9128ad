// The window system: top-level windows, the standard controls the components are built on, drag
// and drop, and the message loop. Texts are GBK; a backend converts at its own boundary.
//
// Backends: platform/win32 (the real one) and platform/headless (in memory, with a scripted user).
// Each control has its own CreateArgs struct; the component runtime derives them from the stored
// settings, so no backend knows anything of the form description.
//
// Every position and size crossing this interface is in the form's pixels: pixels at 96 DPI. A
// backend that shows windows at another DPI scales them, and their fonts, on its side.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace marvane::os {

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const Rect&) const = default;
};

enum class HAlign { kLeft, kCenter, kRight };
enum class VAlign { kTop, kCenter, kBottom };

// Frame styles shared by the edit box and the label.
enum class Border {
  kNone,
  kClientEdge,   // sunken
  kDialogFrame,  // modal-dialog frame
  kStaticEdge,
  kClientEdgeAndDialogFrame,
  kPlain,  // a one-pixel line
};

// 0xFF000000 means "the system's default colour"; others are 0x00BBGGRR.
inline constexpr std::uint32_t kDefaultColor = 0xFF000000;

struct ControlBase {
  WindowHandle parent = 0;
  std::int32_t id = 0;  // control number
  Rect rect;            // in the parent's client area
  bool disabled = false;
  bool tab_stop = false;
};

struct TopLevelArgs {
  std::string_view caption;
  Rect rect;  // outer size; left/top on the screen
  bool title_bar = true;
  bool system_menu = true;
  bool minimize_box = false;
  bool maximize_box = false;
  bool sizing_frame = false;
  bool tool_window = false;
  bool client_edge = false;
  bool topmost = false;
  bool movable = true;
  std::uint32_t background = kDefaultColor;
  std::string_view icon;  // a Windows icon file's bytes; empty: the default icon
};

enum class CaseConversion { kNone, kLower, kUpper };
enum class EditInput { kNormal, kReadOnly, kPassword };

struct EditArgs : ControlBase {
  std::string_view text;
  bool multi_line = false;
  bool horizontal_scroll = false;  // scroll bar
  bool vertical_scroll = false;    // scroll bar
  bool auto_horizontal_scroll = false;
  HAlign align = HAlign::kLeft;
  EditInput input = EditInput::kNormal;
  char16_t password_char = u'*';
  CaseConversion case_conversion = CaseConversion::kNone;
  Border border = Border::kNone;
  std::uint32_t text_color = 0;
  std::uint32_t background = 0xFFFFFF;
  bool hide_selection = true;
  std::uint32_t max_length = 0;  // 0: no limit at all (not the platform's small default)
  std::int32_t selection_start = 0;
  std::int32_t selection_length = 0;
};

struct ButtonArgs : ControlBase {
  std::string_view caption;
  bool default_button = false;
  HAlign align = HAlign::kCenter;
  VAlign valign = VAlign::kCenter;
};

struct GroupBoxArgs : ControlBase {
  std::string_view caption;
  HAlign align = HAlign::kLeft;
  std::uint32_t text_color = 0;
  std::uint32_t background = kDefaultColor;
};

struct LabelArgs : ControlBase {
  std::string_view caption;
  Border border = Border::kNone;
};

enum class ComboKind { kSimple, kDropDown, kDropDownList };
// A drop-down combo box is given at least this height, which its dropped list uses.
inline constexpr std::int32_t kComboListMinHeight = 160;

struct ComboBoxArgs : ControlBase {
  ComboKind kind = ComboKind::kDropDownList;
  bool sorted = false;
  std::string_view text;
  std::vector<std::string> items;
  std::int32_t selection = -1;
  std::uint32_t max_length = 0;
  std::int32_t item_height_adjust = 0;
  std::uint32_t text_color = 0;
  std::uint32_t background = 0xFFFFFF;
};

enum class Dock { kBottom, kTop, kNone };

struct StatusPart {
  std::int32_t width = -1;   // -1: to the right edge
  std::uint32_t border = 0;  // 0 sunken, 0x100 none, 0x200 raised
  std::string text;
};

struct StatusBarArgs : ControlBase {
  Dock dock = Dock::kBottom;
  bool size_grip = false;
  std::uint32_t background = kDefaultColor;
  std::vector<StatusPart> parts;
};

enum class ShowMode { kHide, kNormal, kMinimized, kMaximized };

// Drag and drop, in the platform's own numbering: key state MK_* and effects DROPEFFECT_*.
namespace drag {
inline constexpr std::uint32_t kShift = 0x4;
inline constexpr std::uint32_t kControl = 0x8;
inline constexpr std::uint32_t kEffectNone = 0;
inline constexpr std::uint32_t kEffectCopy = 1;
inline constexpr std::uint32_t kEffectMove = 2;
inline constexpr std::uint32_t kEffectLink = 4;
}  // namespace drag

// The data of a drag, as the drop target asks for it.
class DragData {
 public:
  virtual ~DragData() = default;
  // Format numbers: kTextFormat, kFilesFormat, or a number from RegisterFormat.
  virtual bool HasFormat(std::uint32_t format) = 0;
  // The format's data read as GBK text from global memory.
  virtual bool GetText(std::uint32_t format, std::string* text) = 0;
  // The dropped-file list, GBK paths in the platform's order; false when there is none.
  virtual bool GetFiles(std::vector<std::string>* paths) = 0;
};

inline constexpr std::uint32_t kTextFormat = 1;    // CF_TEXT
inline constexpr std::uint32_t kFilesFormat = 15;  // CF_HDROP

class DropSink {
 public:
  virtual ~DropSink() = default;
  // Each returns the drop effect to give back to the platform.
  virtual std::uint32_t DragEnter(DragData& data, std::uint32_t keys, std::uint32_t allowed) = 0;
  virtual std::uint32_t DragOver(std::uint32_t keys, std::uint32_t allowed) = 0;
  virtual void DragLeave() = 0;
  virtual std::uint32_t Drop(DragData& data, std::uint32_t keys, std::uint32_t allowed) = 0;
};

// What the window system reports to the component runtime.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // A push button was clicked.
  virtual void OnClicked(WindowHandle control) = 0;
  virtual void OnFocusChanged(WindowHandle control, bool gained) = 0;
  // A window or control is being destroyed (children before their parent).
  virtual void OnDestroyed(WindowHandle window) = 0;
  // Another thread asked the program to end (the private message to the hidden owner window).
  virtual void OnEndRequest(int code) = 0;
  // An edit box's text changed: once for each SetText and each edit by the user; not on creation.
  virtual void OnContentChanged(WindowHandle edit) = 0;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Where the events go; null: nowhere.
  virtual void SetEventSink(WindowEvents* events) = 0;
  // Once per GUI thread, before any drag and drop.
  virtual bool InitializeDragDrop() = 0;
  // Undoes one InitializeDragDrop.
  virtual void ReleaseDragDrop() = 0;

  // Creation: 0 on failure, such as a control's parent that does not exist. A control starts
  // hidden, whatever its parent shows, until Show.
  virtual WindowHandle CreateTopLevel(const TopLevelArgs& args) = 0;
  virtual WindowHandle CreateHiddenOwner() = 0;
  virtual WindowHandle CreateEdit(const EditArgs& args) = 0;
  virtual WindowHandle CreateButton(const ButtonArgs& args) = 0;
  virtual WindowHandle CreateGroupBox(const GroupBoxArgs& args) = 0;
  virtual WindowHandle CreateLabel(const LabelArgs& args) = 0;
  virtual WindowHandle CreateComboBox(const ComboBoxArgs& args) = 0;
  virtual WindowHandle CreateStatusBar(const StatusBarArgs& args) = 0;
  // Destroys the window and its children; each is reported through OnDestroyed.
  virtual void Destroy(WindowHandle window) = 0;
  // False once the window is destroyed, and for 0.
  virtual bool Exists(WindowHandle window) = 0;

  // Moves a control into another container, keeping its position relative to the new one.
  virtual void SetContainer(WindowHandle control, WindowHandle container) = 0;
  // Showing a top-level window that holds no focus yet puts the focus on its first tab stop.
  virtual void Show(WindowHandle window, ShowMode mode) = 0;
  // The window's own visible state as last shown or hidden, whatever its containers show.
  virtual bool IsVisible(WindowHandle window) = 0;
  virtual void Enable(WindowHandle window, bool enabled) = 0;
  // The window's own enabled state as last set, whatever its containers' is.
  virtual bool IsEnabled(WindowHandle window) = 0;
  // Position in the parent's client area (screen for a top-level window) and outer size; a
  // drop-down combo box's height is its closed height, whatever height it was given.
  virtual Rect GetRect(WindowHandle window) = 0;
  // In the terms GetRect reports.
  virtual void SetRect(WindowHandle window, const Rect& rect) = 0;
  // The window or control that holds the keyboard focus; 0 when none does.
  virtual WindowHandle GetFocus() = 0;
  // In the form's pixels.
  virtual void ScreenSize(std::int32_t* width, std::int32_t* height) = 0;

  // Shows the cursor that the data names (platform/cursor_data.h) while the mouse is over the
  // window's client area or a part of the control. False, and the default cursor, when it names
  // none or the window does not exist.
  virtual bool SetCursor(WindowHandle window, std::string_view cursor) = 0;

  // Text of a window, button, label, group box, edit box or (for a drop-down list) the selected
  // item of a combo box, or a status bar's first part. An edit box gives back what it was given
  // after its case conversion.
  virtual void SetText(WindowHandle window, std::string_view text) = 0;
  virtual std::string GetText(WindowHandle window) = 0;

  // An index outside the list, negative or past its end, selects no item.
  virtual void SetComboSelection(WindowHandle combo, std::int32_t index) = 0;
  // The selected item's index; -1 when none is.
  virtual std::int32_t GetComboSelection(WindowHandle combo) = 0;

  // Replaces all parts: widths, borders and texts.
  virtual void SetStatusParts(WindowHandle bar, const std::vector<StatusPart>& parts) = 0;
  // One part's border and text; an index with no part is ignored.
  virtual void SetStatusText(WindowHandle bar, std::int32_t index, std::uint32_t border,
                             std::string_view text) = 0;

  // Drag and drop.
  // The same number for the same name, whatever its case.
  virtual std::uint32_t RegisterFormat(std::string_view name) = 0;
  // Drops on the window reach sink until revoked or the window goes; false when refused.
  virtual bool RegisterDropTarget(WindowHandle window, DropSink* sink) = 0;
  virtual void RevokeDropTarget(WindowHandle window) = 0;

  // The message loop: runs until the quit message, calling idle(count) with a rising count while
  // no message waits, until it returns false; user activity starts idle processing afresh.
  virtual void RunMessageLoop(const std::function<bool(int count)>& idle) = 0;
  // Handles the messages waiting, and those they post, then returns; a quit message met on the
  // way stays for the loop.
  virtual void ProcessPendingMessages() = 0;
  // Ends the loop once no other posted message waits.
  virtual void PostQuit(int code) = 0;
  // From another thread: hands the end request to the GUI thread through the hidden owner.
  virtual void SendEndRequest(WindowHandle owner, int code) = 0;
  // Runs task on the GUI thread from the message loop, right after the message being handled now
  // and before any later input; dropped unrun when the window is destroyed first. A task posted
  // from DropSink::Drop runs only once the program the drag came from has been let go (the
  // platform's own calls that end its drag are answered first).
  virtual void PostTask(WindowHandle window, std::function<void()> task) = 0;
  // Milliseconds from some start, wrapping round.
  virtual std::uint32_t TickCount() = 0;
};

}  // namespace marvane::os
