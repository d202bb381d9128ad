#include "runtime/ui/component.h"
#include "runtime/ui/components/class_support.h"
#include "runtime/ui/components/simple_controls.h"
#include "runtime/ui/form/stream_reader.h"
#include "runtime/ui/runtime_state.h"

namespace marvane::ui {
namespace {

constexpr std::uint32_t kVersion = 1;

Component* Create(const CreateParams& p) {
  StreamReader r(p.data);
  std::uint32_t version = r.U32();
  std::uint32_t align = r.U32();
  std::uint32_t text_color = r.U32();
  std::uint32_t background = r.U32();
  std::string font = r.CountedBlock();
  std::string caption = r.CountedText();
  if (!r.ok() || version > kVersion) return nullptr;
  auto a = ControlArgs<os::GroupBoxArgs>(p);
  a.caption = caption;
  a.align = align == 0 ? os::HAlign::kLeft : align == 1 ? os::HAlign::kCenter : os::HAlign::kRight;
  a.text_color = text_color;
  a.background = background;
  os::WindowHandle handle = Windows().CreateGroupBox(a);
  return handle ? new Component(p.window_id, p.unit_id, handle) : nullptr;
}

}  // namespace

const PropertyInfo kGroupBoxProperties[] = {{property_type::kText, 0}};
const std::int32_t kGroupBoxPropertyCount = 0;

void* GroupBoxInterface(int number) {
  return ProcedureFor(number, {Create});
}

}  // namespace marvane::ui
