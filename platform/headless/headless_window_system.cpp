#include "platform/headless/headless_window_system.h"

#include <algorithm>
#include <utility>

#include "platform/gbk_bytes.h"
#include "platform/headless/gbk_case.h"
#include "platform/headless/headless_window_record.h"

namespace marvane::os::headless {
namespace {

// A status bar takes its height from its font; the stored height only when one is given.
constexpr std::int32_t kStatusBarHeight = 22;
// A closed drop-down combo box is as high as its field, which its font sets; the height it is
// given is its list's.
constexpr std::int32_t kClosedComboHeight = 22;  // as the platform's at 96 DPI

bool LessIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(gbk::AsciiLower(x)) <
           static_cast<unsigned char>(gbk::AsciiLower(y));
  });
}

}  // namespace

HeadlessWindowSystem::HeadlessWindowSystem() : gui_thread_(std::this_thread::get_id()) {}

HeadlessWindowSystem::~HeadlessWindowSystem() {
  // Release senders from other threads before the members they wait on go away.
  std::unique_lock lock(sent_mutex_);
  closing_ = true;
  sent_done_.notify_all();
  sent_done_.wait(lock, [this] { return senders_waiting_ == 0; });
}

// --- Records.

HeadlessWindowSystem::Window* HeadlessWindowSystem::Find(WindowHandle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second.get();
}

HeadlessWindowSystem::Window* HeadlessWindowSystem::Live(WindowHandle window) const {
  Window* w = Find(window);
  return w && !w->dying ? w : nullptr;
}

bool HeadlessWindowSystem::Reachable(WindowHandle window) const {
  for (Window* w = Live(window); w; w = Live(w->parent)) {
    if (!w->visible || !w->enabled) return false;
    if (w->parent == 0) return true;
  }
  return false;
}

bool HeadlessWindowSystem::Within(WindowHandle window, WindowHandle ancestor) const {
  for (Window* w = Find(window); w; w = Find(w->parent)) {
    if (w->handle == ancestor) return true;
  }
  return false;
}

bool HeadlessWindowSystem::PassCreation() {
  if (fail_countdown_ == 0) {
    fail_countdown_ = -1;
    return false;
  }
  if (fail_countdown_ > 0) --fail_countdown_;
  return true;
}

HeadlessWindowSystem::Window& HeadlessWindowSystem::Add(std::unique_ptr<Window> window) {
  window->handle = next_handle_;
  next_handle_ += 4;  // never reused, so a stale handle never names a new window
  if (Window* parent = Find(window->parent)) parent->children.push_back(window->handle);
  Window& added = *window;
  windows_.emplace(added.handle, std::move(window));
  return added;
}

HeadlessWindowSystem::Window* HeadlessWindowSystem::NewControl(const ControlBase& base) {
  // A control needs a container that is not on its way out.
  if (!Live(base.parent) || !PassCreation()) return nullptr;
  auto w = std::make_unique<Window>();
  w->parent = base.parent;
  w->rect = base.rect;
  w->enabled = !base.disabled;
  w->tab_stop = base.tab_stop;
  w->visible = false;  // as the platform's controls: the runtime shows or hides each itself
  w->show_mode = ShowMode::kHide;
  return &Add(std::move(w));
}

// --- Creation.

WindowHandle HeadlessWindowSystem::CreateTopLevel(const TopLevelArgs& args) {
  if (!PassCreation()) return 0;
  auto w = std::make_unique<Window>();
  w->kind = WindowKind::kTopLevel;
  w->rect = args.rect;
  w->text = std::string(args.caption);
  w->arg_text = std::string(args.caption);
  w->arg_icon = std::string(args.icon);
  TopLevelArgs& kept = w->args.emplace<TopLevelArgs>(args);
  kept.caption = w->arg_text;
  kept.icon = w->arg_icon;
  return Add(std::move(w)).handle;
}

WindowHandle HeadlessWindowSystem::CreateHiddenOwner() {
  if (!PassCreation()) return 0;
  auto w = std::make_unique<Window>();
  w->kind = WindowKind::kHiddenOwner;
  return Add(std::move(w)).handle;
}

WindowHandle HeadlessWindowSystem::CreateEdit(const EditArgs& args) {
  Window* w = NewControl(args);
  if (!w) return 0;
  w->kind = WindowKind::kEdit;
  w->case_conversion = args.case_conversion;
  w->input = args.input;
  w->max_length = args.max_length;
  w->text = std::string(args.text);
  ConvertCase(w->text, w->case_conversion);
  w->arg_text = std::string(args.text);
  w->args.emplace<EditArgs>(args).text = w->arg_text;
  return w->handle;
}

WindowHandle HeadlessWindowSystem::CreateButton(const ButtonArgs& args) {
  Window* w = NewControl(args);
  if (!w) return 0;
  w->kind = WindowKind::kButton;
  w->text = w->arg_text = std::string(args.caption);
  w->args.emplace<ButtonArgs>(args).caption = w->arg_text;
  return w->handle;
}

WindowHandle HeadlessWindowSystem::CreateGroupBox(const GroupBoxArgs& args) {
  Window* w = NewControl(args);
  if (!w) return 0;
  w->kind = WindowKind::kGroupBox;
  w->text = w->arg_text = std::string(args.caption);
  w->args.emplace<GroupBoxArgs>(args).caption = w->arg_text;
  return w->handle;
}

WindowHandle HeadlessWindowSystem::CreateLabel(const LabelArgs& args) {
  Window* w = NewControl(args);
  if (!w) return 0;
  w->kind = WindowKind::kLabel;
  w->text = w->arg_text = std::string(args.caption);
  w->args.emplace<LabelArgs>(args).caption = w->arg_text;
  return w->handle;
}

WindowHandle HeadlessWindowSystem::CreateComboBox(const ComboBoxArgs& args) {
  Window* w = NewControl(args);
  if (!w) return 0;
  w->kind = WindowKind::kComboBox;
  w->combo_kind = args.kind;
  w->items = args.items;
  if (args.sorted) std::stable_sort(w->items.begin(), w->items.end(), LessIgnoringAsciiCase);
  const auto count = static_cast<std::int32_t>(w->items.size());
  w->selection = args.selection >= 0 && args.selection < count ? args.selection : -1;
  w->text = std::string(args.text);
  w->arg_text = std::string(args.text);
  w->args.emplace<ComboBoxArgs>(args).text = w->arg_text;
  return w->handle;
}

WindowHandle HeadlessWindowSystem::CreateStatusBar(const StatusBarArgs& args) {
  Window* w = NewControl(args);
  if (!w) return 0;
  w->kind = WindowKind::kStatusBar;
  w->parts = args.parts;
  if (w->parts.empty()) w->parts.push_back({});  // a new bar has one part across its width
  w->dock = args.dock;
  if (w->rect.height <= 0) w->rect.height = kStatusBarHeight;
  w->args.emplace<StatusBarArgs>(args);
  DockBar(*w);
  return w->handle;
}

// --- Destruction.

void HeadlessWindowSystem::Destroy(WindowHandle window) {
  Window* w = Live(window);
  if (!w) return;
  // Mark the whole tree first: a handler that destroys a part of it again must find it going.
  std::vector<Window*> stack{w};
  while (!stack.empty()) {
    Window* next = stack.back();
    stack.pop_back();
    next->dying = true;
    for (WindowHandle child : next->children) {
      if (Window* c = Find(child)) stack.push_back(c);
    }
  }
  DestroyTree(window);
}

void HeadlessWindowSystem::DestroyTree(WindowHandle window) {
  Window* w = Find(window);
  if (!w) return;
  std::vector<WindowHandle> children = w->children;
  for (WindowHandle child : children)
    DestroyTree(child);
  if (focus_ == window) {
    focus_ = 0;
    if (events_) events_->OnFocusChanged(window, false);
  }
  // Reported while the record still exists, so that the handler can still read it.
  if (events_) events_->OnDestroyed(window);
  w = Find(window);
  if (!w) return;
  if (Window* parent = Find(w->parent)) std::erase(parent->children, window);
  windows_.erase(window);
}

bool HeadlessWindowSystem::Exists(WindowHandle window) {
  return Find(window) != nullptr;
}

// --- Layout, visibility and focus.

void HeadlessWindowSystem::SetContainer(WindowHandle control, WindowHandle container) {
  Window* w = Live(control);
  Window* target = Live(container);
  // A top-level window has no container, and a control cannot go inside itself.
  if (!w || !target || w->parent == 0 || Within(container, control)) return;
  if (Window* old = Find(w->parent)) std::erase(old->children, control);
  w->parent = container;
  target->children.push_back(control);
  if (w->kind == WindowKind::kStatusBar) DockBar(*w);
}

void HeadlessWindowSystem::Show(WindowHandle window, ShowMode mode) {
  Window* w = Live(window);
  if (!w) return;
  bool was_visible = w->visible;
  w->show_mode = mode;
  w->visible = mode != ShowMode::kHide;
  if (!w->visible) {
    DropFocusWithin(window);
  } else if (!was_visible && w->kind == WindowKind::kTopLevel && !Within(focus_, window)) {
    // A window coming onto the screen takes the focus into its first tab stop.
    WindowHandle first = FirstTabStop(window);
    SetFocusTo(first ? first : window);
  }
}

bool HeadlessWindowSystem::IsVisible(WindowHandle window) {
  Window* w = Find(window);
  return w && w->visible;
}

bool HeadlessWindowSystem::OnScreen(WindowHandle window) const {
  Window* w = Find(window);
  if (!w) return false;
  for (; w; w = Find(w->parent)) {
    if (!w->visible) return false;
  }
  return true;
}

void HeadlessWindowSystem::Enable(WindowHandle window, bool enabled) {
  Window* w = Live(window);
  if (!w) return;
  w->enabled = enabled;
  if (!enabled) DropFocusWithin(window);
}

bool HeadlessWindowSystem::IsEnabled(WindowHandle window) {
  Window* w = Find(window);
  return w && w->enabled;
}

Rect HeadlessWindowSystem::GetRect(WindowHandle window) {
  Window* w = Find(window);
  if (!w) return {};
  Rect rect = w->rect;
  if (w->kind == WindowKind::kComboBox && w->combo_kind != ComboKind::kSimple) {
    rect.height = kClosedComboHeight;
  }
  return rect;
}

void HeadlessWindowSystem::SetRect(WindowHandle window, const Rect& rect) {
  Window* w = Live(window);
  if (!w) return;
  w->rect = rect;
  DockChildren(*w);
}

void HeadlessWindowSystem::ScreenSize(std::int32_t* width, std::int32_t* height) {
  *width = screen_width_;
  *height = screen_height_;
}

bool HeadlessWindowSystem::SetCursor(WindowHandle window, std::string_view cursor) {
  Window* w = Live(window);
  std::optional<std::uint32_t> named = cursor::Named(cursor);
  if (!w) return false;
  w->cursor = named.value_or(cursor::kDefault);
  return named.has_value();
}

void HeadlessWindowSystem::set_screen_size(std::int32_t width, std::int32_t height) {
  screen_width_ = width;
  screen_height_ = height;
}

void HeadlessWindowSystem::SetFocusTo(WindowHandle window) {
  if (window == focus_) return;
  WindowHandle old = focus_;
  focus_ = window;
  if (!events_) return;
  if (old && Find(old)) events_->OnFocusChanged(old, false);
  if (focus_ == window) events_->OnFocusChanged(window, true);
}

void HeadlessWindowSystem::DropFocusWithin(WindowHandle window) {
  if (focus_ == 0 || !Within(focus_, window)) return;
  WindowHandle old = focus_;
  focus_ = 0;
  if (events_) events_->OnFocusChanged(old, false);
}

WindowHandle HeadlessWindowSystem::FirstTabStop(WindowHandle top) const {
  // Depth first in creation order, the order in which the keyboard visits the controls.
  Window* w = Find(top);
  if (!w) return 0;
  for (WindowHandle child : w->children) {
    Window* c = Find(child);
    if (!c || c->dying || !c->visible || !c->enabled) continue;
    if (c->tab_stop) return child;
    if (WindowHandle inner = FirstTabStop(child)) return inner;
  }
  return 0;
}

void HeadlessWindowSystem::DockBar(Window& bar) {
  Window* parent = Find(bar.parent);
  if (!parent || bar.dock == os::Dock::kNone) return;
  // The headless window has no frame: its client area is its whole size.
  std::int32_t top = bar.dock == os::Dock::kBottom ? parent->rect.height - bar.rect.height : 0;
  bar.rect = {0, top, parent->rect.width, bar.rect.height};
}

void HeadlessWindowSystem::DockChildren(const Window& parent) {
  for (WindowHandle child : parent.children) {
    Window* c = Find(child);
    if (c && c->kind == WindowKind::kStatusBar) DockBar(*c);
  }
}

// --- Texts, combo boxes and status bars.

void HeadlessWindowSystem::SetText(WindowHandle window, std::string_view text) {
  Window* w = Live(window);
  if (!w) return;
  switch (w->kind) {
    case WindowKind::kEdit:
      // Assign in place: a list of a million clients is tens of megabytes, and a fresh buffer
      // of that size costs more than converting it.
      w->text.assign(text);
      w->case_pending = w->case_conversion != CaseConversion::kNone;
      if (events_) events_->OnContentChanged(window);
      return;
    case WindowKind::kComboBox:
      if (w->combo_kind == ComboKind::kDropDownList) {
        // A list without a field can only show one of its items.
        auto it = std::find(w->items.begin(), w->items.end(), text);
        if (it != w->items.end()) w->selection = static_cast<std::int32_t>(it - w->items.begin());
      } else {
        w->text = std::string(text);
      }
      return;
    case WindowKind::kStatusBar:
      w->parts.front().text = std::string(text);
      return;
    default:
      w->text = std::string(text);
  }
}

std::string HeadlessWindowSystem::GetText(WindowHandle window) {
  Window* w = Find(window);
  if (!w) return {};
  if (w->kind == WindowKind::kComboBox && w->combo_kind == ComboKind::kDropDownList) {
    return w->selection >= 0 ? w->items[static_cast<std::size_t>(w->selection)] : std::string();
  }
  if (w->kind == WindowKind::kStatusBar) return w->parts.front().text;
  w->ConvertPendingCase();
  return w->text;
}

void HeadlessWindowSystem::SetComboSelection(WindowHandle combo, std::int32_t index) {
  Window* w = Live(combo);
  if (!w || w->kind != WindowKind::kComboBox) return;
  // An index outside the list clears the selection, as the platform's list does.
  const auto count = static_cast<std::int32_t>(w->items.size());
  w->selection = index >= 0 && index < count ? index : -1;
  if (w->combo_kind != ComboKind::kDropDownList) {
    w->text = w->selection >= 0 ? w->items[static_cast<std::size_t>(w->selection)] : "";
  }
}

std::int32_t HeadlessWindowSystem::GetComboSelection(WindowHandle combo) {
  Window* w = Find(combo);
  return w && w->kind == WindowKind::kComboBox ? w->selection : -1;
}

void HeadlessWindowSystem::SetStatusParts(WindowHandle bar, const std::vector<StatusPart>& parts) {
  Window* w = Live(bar);
  // A bar always has at least one part.
  if (!w || w->kind != WindowKind::kStatusBar || parts.empty()) return;
  w->parts = parts;
}

void HeadlessWindowSystem::SetStatusText(WindowHandle bar, std::int32_t index, std::uint32_t border,
                                         std::string_view text) {
  Window* w = Live(bar);
  if (!w || w->kind != WindowKind::kStatusBar) return;
  if (index < 0 || index >= static_cast<std::int32_t>(w->parts.size())) return;
  StatusPart& part = w->parts[static_cast<std::size_t>(index)];
  part.border = border;
  part.text = std::string(text);
}

// --- Inspection.

std::optional<WindowKind> HeadlessWindowSystem::KindOf(WindowHandle window) const {
  Window* w = Find(window);
  return w ? std::optional<WindowKind>(w->kind) : std::nullopt;
}

WindowHandle HeadlessWindowSystem::ParentOf(WindowHandle window) const {
  Window* w = Find(window);
  return w ? w->parent : 0;
}

std::vector<WindowHandle> HeadlessWindowSystem::ChildrenOf(WindowHandle window) const {
  Window* w = Find(window);
  return w ? w->children : std::vector<WindowHandle>();
}

std::vector<WindowHandle> HeadlessWindowSystem::WindowsOfKind(WindowKind kind) const {
  std::vector<WindowHandle> found;
  for (const auto& [handle, w] : windows_) {
    if (w->kind == kind) found.push_back(handle);
  }
  return found;
}

WindowHandle HeadlessWindowSystem::FindByText(WindowKind kind, std::string_view text) {
  for (WindowHandle handle : WindowsOfKind(kind)) {
    if (GetText(handle) == text) return handle;
  }
  return 0;
}

ShowMode HeadlessWindowSystem::GetShowMode(WindowHandle window) const {
  Window* w = Find(window);
  return w ? w->show_mode : ShowMode::kHide;
}

std::uint32_t HeadlessWindowSystem::CursorOf(WindowHandle window) const {
  Window* w = Find(window);
  return w ? w->cursor : cursor::kDefault;
}

namespace {

template <typename Args, typename Record>
const Args* ArgsOf(const Record* w) {
  return w ? std::get_if<Args>(&w->args) : nullptr;
}

}  // namespace

const TopLevelArgs* HeadlessWindowSystem::top_level_args(WindowHandle window) const {
  return ArgsOf<TopLevelArgs>(Find(window));
}
const EditArgs* HeadlessWindowSystem::edit_args(WindowHandle window) const {
  return ArgsOf<EditArgs>(Find(window));
}
const ButtonArgs* HeadlessWindowSystem::button_args(WindowHandle window) const {
  return ArgsOf<ButtonArgs>(Find(window));
}
const GroupBoxArgs* HeadlessWindowSystem::group_box_args(WindowHandle window) const {
  return ArgsOf<GroupBoxArgs>(Find(window));
}
const LabelArgs* HeadlessWindowSystem::label_args(WindowHandle window) const {
  return ArgsOf<LabelArgs>(Find(window));
}
const ComboBoxArgs* HeadlessWindowSystem::combo_box_args(WindowHandle window) const {
  return ArgsOf<ComboBoxArgs>(Find(window));
}
const StatusBarArgs* HeadlessWindowSystem::status_bar_args(WindowHandle window) const {
  return ArgsOf<StatusBarArgs>(Find(window));
}

std::vector<std::string> HeadlessWindowSystem::ComboItems(WindowHandle combo) const {
  Window* w = Find(combo);
  return w ? w->items : std::vector<std::string>();
}

std::vector<StatusPart> HeadlessWindowSystem::StatusParts(WindowHandle bar) const {
  Window* w = Find(bar);
  return w ? w->parts : std::vector<StatusPart>();
}

DropSink* HeadlessWindowSystem::DropTargetOf(WindowHandle window) const {
  Window* w = Find(window);
  return w ? w->drop_sink : nullptr;
}

}  // namespace marvane::os::headless
