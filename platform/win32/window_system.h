// The window system on Win32: our own window classes for the top-level window, the label and the
// hidden owner; the standard controls subclassed so that their destruction, focus and (for a group
// box holding controls) their children's notifications reach the same handling.
#pragma once

#include "platform/win32/windows_api.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/window_system.h"

namespace marvane::os::win32 {

class OleDropTarget;

// The private message to the hidden owner window that carries an end request.
inline constexpr UINT kEndRequestMessage = 0x83E7;
// The private message that runs the first task posted for a window.
inline constexpr UINT kRunTaskMessage = WM_APP + 0x3E8;

// What the window system keeps for each window it created.
struct Win32Window {
  enum class Kind { kTopLevel, kOwner, kEdit, kButton, kGroupBox, kLabel, kComboBox, kStatusBar };
  Kind kind = Kind::kTopLevel;
  ComboKind combo_kind = ComboKind::kDropDownList;
  Dock dock = Dock::kNone;
  // Colours for WM_CTLCOLOR*: text and background; no brush means the system's colours.
  bool has_text_color = false;
  COLORREF text_color = 0;
  COLORREF background = 0;
  HBRUSH brush = nullptr;
  HICON big_icon = nullptr;
  HICON small_icon = nullptr;
  HFONT font = nullptr;  // a label paints with it
  // The standard cursor shown over it; null for its class's own. Shared, so never destroyed.
  HCURSOR cursor = nullptr;
  OleDropTarget* drop_target = nullptr;
  // A control's place in runtime pixels, kept to place it anew when the DPI changes.
  Rect logical;
  // A top-level window's DPI, the font its controls use at that DPI (owned), its icon file (to
  // make the icons anew at another DPI) and the control to give the focus back to.
  UINT dpi = 96;
  HFONT gui_font = nullptr;
  std::string icon_file;
  HWND focus = nullptr;
  // An edit box's content set by the program and not yet handed to the control: text that a
  // handler replaces before anyone sees it is never laid out.
  std::optional<std::string> pending_text;
  // A combo box's addition to its item height and a status bar's part widths, in runtime pixels.
  std::int32_t item_height_adjust = 0;
  std::vector<std::int32_t> part_widths;

  Win32Window() = default;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;
  ~Win32Window();
};

class Win32WindowSystem final : public WindowSystem {
 public:
  Win32WindowSystem() = default;
  ~Win32WindowSystem() override;
  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

  void SetEventSink(WindowEvents* events) override { events_ = events; }
  bool InitializeDragDrop() override;
  void ReleaseDragDrop() override;

  WindowHandle CreateTopLevel(const TopLevelArgs& args) override;
  WindowHandle CreateHiddenOwner() override;
  WindowHandle CreateEdit(const EditArgs& args) override;
  WindowHandle CreateButton(const ButtonArgs& args) override;
  WindowHandle CreateGroupBox(const GroupBoxArgs& args) override;
  WindowHandle CreateLabel(const LabelArgs& args) override;
  WindowHandle CreateComboBox(const ComboBoxArgs& args) override;
  WindowHandle CreateStatusBar(const StatusBarArgs& args) override;
  void Destroy(WindowHandle window) override;
  bool Exists(WindowHandle window) override;

  void SetContainer(WindowHandle control, WindowHandle container) override;
  void Show(WindowHandle window, ShowMode mode) override;
  bool IsVisible(WindowHandle window) override;
  void Enable(WindowHandle window, bool enabled) override;
  bool IsEnabled(WindowHandle window) override;
  Rect GetRect(WindowHandle window) override;
  void SetRect(WindowHandle window, const Rect& rect) override;
  WindowHandle GetFocus() override;
  void ScreenSize(std::int32_t* width, std::int32_t* height) override;
  bool SetCursor(WindowHandle window, std::string_view cursor) override;

  void SetText(WindowHandle window, std::string_view text) override;
  std::string GetText(WindowHandle window) override;

  void SetComboSelection(WindowHandle combo, std::int32_t index) override;
  std::int32_t GetComboSelection(WindowHandle combo) override;

  void SetStatusParts(WindowHandle bar, const std::vector<StatusPart>& parts) override;
  void SetStatusText(WindowHandle bar, std::int32_t index, std::uint32_t border,
                     std::string_view text) override;

  std::uint32_t RegisterFormat(std::string_view name) override;
  bool RegisterDropTarget(WindowHandle window, DropSink* sink) override;
  void RevokeDropTarget(WindowHandle window) override;

  void RunMessageLoop(const std::function<bool(int count)>& idle) override;
  void ProcessPendingMessages() override;
  void PostQuit(int code) override;
  void SendEndRequest(WindowHandle owner, int code) override;
  void PostTask(WindowHandle window, std::function<void()> task) override;
  std::uint32_t TickCount() override;

  // Window procedures of our own classes and of the subclassed controls.
  LRESULT OwnWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT ControlMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  // Around the platform's Drop call: the tasks posted meanwhile run once the drag source is let go.
  class DropScope {
   public:
    explicit DropScope(Win32WindowSystem* system) : system_(system) {
      if (system_) system_->in_drop_ = true;
    }
    ~DropScope() {
      if (system_) system_->in_drop_ = false;
    }
    DropScope(const DropScope&) = delete;
    DropScope& operator=(const DropScope&) = delete;

   private:
    Win32WindowSystem* system_;
  };

 private:
  struct ChildStyle {
    DWORD style = 0;
    DWORD ex_style = 0;
  };

  // Around everything that may run one of the program's handlers: the wait cursor shows while it
  // runs, and edit boxes get the text it left them once it returns.
  class HandlerScope {
   public:
    explicit HandlerScope(Win32WindowSystem* system);
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

   private:
    Win32WindowSystem* system_;
    HCURSOR previous_;
  };

  Win32Window* Find(HWND hwnd);
  // The record of a control, also for the inner parts of a combo box.
  Win32Window* FindControl(HWND hwnd, HWND* control);
  // Creates a child of a standard or own class with the default GUI font, records and subclasses
  // it. Null on failure.
  HWND CreateChild(const wchar_t* window_class, const ControlBase& base, std::string_view text,
                   ChildStyle style, std::unique_ptr<Win32Window> record);
  // Handling shared by the top-level window and a group box that holds controls: clicks and
  // colours of the children. False when the message is not one of those.
  bool ParentMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  HBRUSH BackgroundOf(HWND container);
  void LayOutStatusBars(HWND parent);
  void Forget(HWND hwnd);
  void RevokeDrop(HWND hwnd, Win32Window* record);
  void PaintLabel(HWND hwnd, Win32Window* record);
  // The record of the top-level window a window belongs to (itself for a top-level window).
  Win32Window* RootOf(HWND hwnd);
  UINT DpiFor(HWND hwnd);
  // Makes the icons for the window's DPI.
  void SetIcons(HWND top, Win32Window* record);
  // Places the window's controls, fonts and icons anew for another DPI.
  void ChangeDpi(HWND top, Win32Window* record, UINT dpi, const RECT* suggested);
  // WM_SETCURSOR: the window's own cursor over its client area and inner parts; true when shown.
  bool CursorMessage(HWND hwnd, Win32Window* record, WPARAM wparam, LPARAM lparam);
  // Gives the focus back to the control that had it; true when the message is handled.
  bool FocusMessage(HWND hwnd, Win32Window* record, UINT message, WPARAM wparam);
  // Keyboard handling of our own: Tab leaves a read-only edit box, Escape never closes anything.
  bool KeyMessage(HWND hwnd, Win32Window* record, UINT message, WPARAM wparam, LPARAM lparam,
                  LRESULT* result);
  // Hands an edit box's pending text to the control; all of them with null.
  void FlushText(HWND hwnd, Win32Window* record);
  void FlushTexts();
  void RunTask(HWND hwnd);
  // Handles the drag source's last calls into a drop target, which come once Drop has returned.
  void LetDragSourceGo();
  // One message taken from the queue: keyboard navigation among a window's controls, or the
  // message translated and dispatched.
  void Deliver(MSG& msg);
  // The combo box's item height: its font's, plus the stored addition at the window's DPI.
  void AdjustItemHeight(HWND combo, Win32Window* record);
  // The status bar's part edges at the window's DPI.
  void PlaceParts(HWND bar, Win32Window* record);

  WindowEvents* events_ = nullptr;
  bool ole_initialized_ = false;
  std::unordered_map<HWND, std::unique_ptr<Win32Window>> windows_;
  // Inner windows of combo boxes (field, list) to the combo box they belong to.
  std::unordered_map<HWND, HWND> inner_;
  // Tasks waiting for their window's private message, in the order they were posted.
  struct PostedTask {
    HWND hwnd = nullptr;
    std::function<void()> run;
    bool after_drop = false;  // posted from the platform's Drop call
  };
  std::deque<PostedTask> tasks_;
  bool in_drop_ = false;
  int handlers_running_ = 0;
  // While the program's text goes into an edit box: the control's own EN_CHANGE is not reported,
  // since SetText reports each change once whether the control sends one or not.
  bool setting_text_ = false;
};

// The window procedure of our own classes and the subclass procedure of the standard controls.
LRESULT CALLBACK OwnWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK ControlSubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                     UINT_PTR id, DWORD_PTR self);

// Window class names of our own classes.
inline constexpr wchar_t kTopLevelClass[] = L"MarvaneWindow";
inline constexpr wchar_t kLabelClass[] = L"MarvaneLabel";
inline constexpr wchar_t kOwnerClass[] = L"MarvaneOwner";

// Registers our own window classes once per process; false when that fails.
bool RegisterOwnClasses();

inline HWND ToHwnd(WindowHandle handle) {
  return reinterpret_cast<HWND>(handle);
}
inline WindowHandle ToHandle(HWND hwnd) {
  return reinterpret_cast<WindowHandle>(hwnd);
}

// 0xFF000000 and any value with the high byte set stand for the system's colour.
inline bool IsDefaultColor(std::uint32_t color) {
  return (color & 0xFF000000) != 0;
}

// Window styles of a frame style shared by the edit box and the label.
void AddBorderStyle(Border border, DWORD* style, DWORD* ex_style);

}  // namespace marvane::os::win32
