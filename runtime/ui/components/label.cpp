#include "runtime/ui/component.h"
#include "runtime/ui/components/simple_controls.h"
#include "runtime/ui/form/stream_reader.h"
#include "runtime/ui/runtime_state.h"

namespace marvane::ui {
namespace {

constexpr std::uint32_t kVersion = 2;
constexpr int kAppearanceWords = 16;

os::Border BorderOf(std::uint32_t style) {
  switch (style) {
    case 1:
      return os::Border::kClientEdge;
    case 2:
      return os::Border::kDialogFrame;
    case 3:
      return os::Border::kStaticEdge;
    case 4:
      return os::Border::kClientEdgeAndDialogFrame;
    case 5:
      return os::Border::kPlain;
    default:
      return os::Border::kNone;
  }
}

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
  os::LabelArgs a;
  a.parent = p.parent;
  a.id = p.control_number;
  a.rect = p.rect;
  a.disabled = p.disabled;
  a.tab_stop = p.tab_stop;
  a.caption = caption;
  a.border = BorderOf(appearance.empty() ? 0 : appearance[0]);
  os::WindowHandle handle = Windows().CreateLabel(a);
  return handle ? new Component(p.window_id, p.unit_id, handle) : nullptr;
}

}  // namespace

const PropertyInfo kLabelProperties[] = {{1005, 0}};
const std::int32_t kLabelPropertyCount = 0;

void* LabelInterface(int number) {
  return number == interface_number::kCreate ? reinterpret_cast<void*>(&Create) : nullptr;
}

}  // namespace marvane::ui
