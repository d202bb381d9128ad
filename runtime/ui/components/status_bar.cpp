#include "runtime/ui/components/status_bar.h"

#include "runtime/ui/component.h"
#include "runtime/ui/components/class_support.h"
#include "runtime/ui/form/stream_reader.h"
#include "runtime/ui/runtime.h"
#include "runtime/ui/runtime_state.h"
#include "runtime/values/core.h"
#include "runtime/values/values.h"

namespace marvane::ui {
namespace {

constexpr std::uint32_t kVersion = 1;
// Width, border, icon, and two zero-ended texts of at least one byte each.
constexpr std::size_t kMinPartSize = 14;

struct Part {
  std::int32_t width = -1;
  std::uint32_t border = 0;
  std::int32_t icon = -1;
  std::string text, tip;
};

class StatusBar final : public Component {
 public:
  StatusBar(const CreateParams& p, os::WindowHandle handle, std::vector<Part> parts)
      : Component(p.window_id, p.unit_id, handle), parts_(std::move(parts)) {}

  void SetPartText(std::int32_t index, std::string_view text) {
    if (index < 0 || static_cast<std::size_t>(index) >= parts_.size()) return;
    Part& part = parts_[static_cast<std::size_t>(index)];
    part.text = text;
    Windows().SetStatusText(handle(), index, part.border, part.text);
  }

 private:
  std::vector<Part> parts_;
};

bool ParseParts(std::string_view table, std::vector<Part>* parts) {
  StreamReader r(table);
  std::uint32_t count = r.Count(kMinPartSize);
  for (std::uint32_t i = 0; i < count && r.ok(); ++i) {
    Part part;
    part.width = r.I32();
    part.border = r.U32();
    part.icon = r.I32();
    part.text = r.ZeroText();
    part.tip = r.ZeroText();
    parts->push_back(std::move(part));
  }
  return r.ok();
}

Component* Create(const CreateParams& p) {
  StreamReader r(p.data);
  std::uint32_t version = r.U32();
  std::uint32_t background = r.U32();
  std::uint32_t position = r.U32();
  std::uint32_t grip = r.U32();
  r.CountedBlock();  // font: the default here
  r.CountedBlock();  // image list: none here
  std::string table = r.CountedBlock();
  std::vector<Part> parts;
  if (!r.ok() || version > kVersion || !ParseParts(table, &parts)) return nullptr;

  os::StatusBarArgs a;
  a.parent = p.parent;
  a.id = p.control_number;
  a.rect = p.rect;
  a.disabled = p.disabled;
  a.dock = position == 0 ? os::Dock::kBottom : position == 1 ? os::Dock::kTop : os::Dock::kNone;
  a.size_grip = grip != 0;
  a.background = background;
  // A width of -1 reaches the right edge and ends the laid-out list.
  for (const Part& part : parts) {
    a.parts.push_back({part.width, part.border, part.text});
    if (part.width == -1) break;
  }
  os::WindowHandle handle = Windows().CreateStatusBar(a);
  if (!handle) return nullptr;
  return new StatusBar(p, handle, std::move(parts));
}

}  // namespace

// Own properties 8-13 (background, position, size grip, font, image list, part table) are kept
// in the stored data; this program reads or writes none of them.
const PropertyInfo kStatusBarProperties[] = {
    {property_type::kColor, 0}, {property_type::kChoice, 0},      {property_type::kLogical, 0},
    {property_type::kFont, 0},  {property_type::kBinaryBlock, 0}, {property_type::kBinaryBlock, 0}};
const std::int32_t kStatusBarPropertyCount = 6;

void* StatusBarInterface(int number) {
  return ProcedureFor(number, {Create});
}

void SetStatusPartText(ValueRecord* /*result*/, std::int32_t argc, ValueRecord* args) {
  const ValueRecord& self = Arg(argc, args, 0);
  auto* component =
      reinterpret_cast<Component*>(Notify(request::kComponentObjectOrFail, self.low, self.high));
  auto* bar = dynamic_cast<StatusBar*>(component);
  if (!bar) return;
  const ValueRecord& text = Arg(argc, args, 2);
  bar->SetPartText(IntOf(Arg(argc, args, 1)), IsOmitted(text) ? "" : TextOf(text));
}

}  // namespace marvane::ui
