#include "runtime/ui/component.h"
#include "runtime/ui/components/class_support.h"
#include "runtime/ui/components/simple_controls.h"
#include "runtime/ui/dispatch.h"
#include "runtime/ui/form/stream_reader.h"
#include "runtime/ui/runtime_state.h"

namespace marvane::ui {
namespace {

constexpr std::uint32_t kVersion = 1;
constexpr std::int32_t kClicked = 0;

class Button final : public Component {
 public:
  using Component::Component;
  void OnClicked() override { RaiseSimpleEvent(window_id(), unit_id(), kClicked); }
};

Component* Create(const CreateParams& p) {
  StreamReader r(p.data);
  std::uint32_t version = r.U32();
  std::uint32_t type = r.U32();
  std::uint32_t halign = r.U32();
  std::uint32_t valign = r.U32();
  std::string picture = r.CountedBlock();
  std::string font = r.CountedBlock();
  std::string caption = r.CountedText();
  if (!r.ok() || version > kVersion) return nullptr;
  auto a = ControlArgs<os::ButtonArgs>(p);
  a.caption = caption;
  a.default_button = type == 1;
  a.align = halign == 0   ? os::HAlign::kLeft
            : halign == 2 ? os::HAlign::kRight
                          : os::HAlign::kCenter;
  a.valign = valign == 0   ? os::VAlign::kTop
             : valign == 2 ? os::VAlign::kBottom
                           : os::VAlign::kCenter;
  os::WindowHandle handle = Windows().CreateButton(a);
  return handle ? new Button(p.window_id, p.unit_id, handle) : nullptr;
}

// Own property 8: the caption, read from and written to the control.
void GetProperty(Component* object, std::int32_t index, PropertyValue* value) {
  if (index == 0) value->bytes = Windows().GetText(object->handle());
}

int SetProperty(Component* object, std::int32_t index, const PropertyInput& value) {
  if (index == 0) Windows().SetText(object->handle(), value.bytes);
  return 0;
}

}  // namespace

const PropertyInfo kButtonProperties[] = {{property_type::kText, 0}};
const std::int32_t kButtonPropertyCount = 1;

void* ButtonInterface(int number) {
  return ProcedureFor(number, {Create, SetProperty, GetProperty});
}

}  // namespace marvane::ui
