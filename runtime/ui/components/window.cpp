#include "runtime/ui/components/window.h"

#include "runtime/ui/components/class_support.h"

#include "runtime/ui/form/stream_reader.h"
#include "runtime/ui/runtime.h"
#include "runtime/ui/runtime_state.h"

namespace marvane::ui {
namespace {

constexpr std::uint32_t kVersion = 6;

struct WindowData {
  std::uint32_t border = 0, flag = 0, background = os::kDefaultColor;
  std::uint32_t maximize_box = 0, minimize_box = 0, control_box = 0, start_position = 0,
                movable = 1;
  std::uint32_t always_on_top = 0;
  std::string class_name, picture, icon, block, caption, text;
};

bool Parse(std::string_view bytes, WindowData* d) {
  StreamReader r(bytes);
  std::uint32_t version = r.U32();
  if (!r.ok() || version > kVersion) return false;
  d->border = r.U32();
  d->flag = r.U32();
  d->background = r.U32();
  d->maximize_box = r.U32();
  d->minimize_box = r.U32();
  d->control_box = r.U32();
  d->start_position = r.U32();
  d->movable = r.U32();
  r.Skip(5 * 4);
  if (version >= 2) r.Skip(4);
  if (version >= 3) {
    r.Skip(4);
    d->always_on_top = r.U32();
  }
  if (version >= 4) r.Skip(4);
  if (version >= 5) r.Skip(4);
  if (version >= 6) d->class_name = r.CountedText();
  d->picture = r.CountedBlock();
  d->icon = r.CountedBlock();
  d->block = r.CountedBlock();
  d->caption = r.CountedText();
  d->text = r.CountedText();
  return r.ok();
}

Component* Create(const CreateParams& p) {
  WindowData d;
  if (!Parse(p.data, &d)) return nullptr;
  os::TopLevelArgs args;
  args.caption = d.caption;
  bool framed = d.border != 0 && (!d.caption.empty() || d.control_box);
  args.title_bar = framed;
  args.system_menu = framed && d.control_box;
  args.sizing_frame = d.border == 1 || d.border == 3 || d.border == 5;
  args.tool_window = d.border == 3 || d.border == 4;
  args.client_edge = d.border == 5 || d.border == 6;
  args.maximize_box = d.maximize_box != 0;
  args.minimize_box = d.minimize_box != 0;
  args.topmost = d.always_on_top != 0;
  args.movable = d.movable != 0;
  args.background = d.background;
  args.icon = d.icon;
  args.rect = p.rect;
  if (d.start_position == 1) {
    std::int32_t sw = 0, sh = 0;
    Windows().ScreenSize(&sw, &sh);
    args.rect.left = (sw - p.rect.width) / 2;
    args.rect.top = (sh - p.rect.height) / 2;
  }
  os::WindowHandle handle = Windows().CreateTopLevel(args);
  if (!handle) return nullptr;
  auto* window = new WindowComponent(p.window_id, p.unit_id, handle);
  if (d.start_position == 2) window->set_start_mode(os::ShowMode::kMinimized);
  if (d.start_position == 3 && args.sizing_frame) window->set_start_mode(os::ShowMode::kMaximized);
  return window;
}

}  // namespace

void WindowComponent::OnDestroyed() {
  Component::OnDestroyed();
  // The last thing this object does: the runtime frees it in answer.
  Notify(notify::kComponentDestroyed, window_id(), unit_id());
}

// The window's own properties are not used by this program; it only creates the window.
const PropertyInfo kWindowProperties[] = {{property_type::kText, 0}};
const std::int32_t kWindowPropertyCount = 0;

void* WindowInterface(int number) {
  return ProcedureFor(number, {Create});
}

}  // namespace marvane::ui
