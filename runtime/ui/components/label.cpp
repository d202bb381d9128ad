#include "runtime/ui/component.h"
#include "runtime/ui/components/class_support.h"
#include "runtime/ui/components/simple_controls.h"
#include "runtime/ui/form/stream_reader.h"
#include "runtime/ui/runtime_state.h"

namespace marvane::ui {
namespace {

constexpr std::uint32_t kVersion = 2;
constexpr int kAppearanceWords = 16;

Component* Create(const CreateParams& p) {
  StreamReader r(p.data);
  std::uint32_t version = r.U32();
  // The first appearance word is the border style; the others only shape the painting.
  std::vector<std::uint32_t> appearance = r.U32s(kAppearanceWords);
  r.CountedBlock();
  r.CountedBlock();
  std::string caption = r.CountedText();
  r.CountedText();
  r.CountedText();
  if (!r.ok() || version > kVersion) return nullptr;
  auto a = ControlArgs<os::LabelArgs>(p);
  a.caption = caption;
  a.border = BorderFromStyle(appearance.empty() ? 0 : appearance[0]);
  os::WindowHandle handle = Windows().CreateLabel(a);
  return handle ? new Component(p.window_id, p.unit_id, handle) : nullptr;
}

}  // namespace

const PropertyInfo kLabelProperties[] = {{property_type::kText, 0}};
const std::int32_t kLabelPropertyCount = 0;

void* LabelInterface(int number) {
  return ProcedureFor(number, {Create});
}

}  // namespace marvane::ui
