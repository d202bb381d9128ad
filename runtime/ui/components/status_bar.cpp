#include "runtime/ui/components/status_bar.h"

#include "runtime/ui/component.h"
#include "runtime/ui/components/class_support.h"
#include "runtime/ui/components/stored_data.h"
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

// The stored settings, in stream order; own property n (from 8) is field n - 8.
struct BarData {
  enum Field { kBackground, kPosition, kGrip, kFont, kImages, kParts, kFieldCount };
  std::uint32_t background = os::kDefaultColor;
  std::uint32_t position = 0;
  std::uint32_t grip = 0;
  std::string font, images;
  std::vector<Part> parts;
};

bool ParseParts(std::string_view table, std::vector<Part>* parts) {
  StreamReader r(table);
  std::uint32_t count = r.Count(kMinPartSize);
  std::vector<Part> read;
  for (std::uint32_t i = 0; i < count && r.ok(); ++i) {
    Part part;
    part.width = r.I32();
    part.border = r.U32();
    part.icon = r.I32();
    part.text = r.ZeroText();
    part.tip = r.ZeroText();
    read.push_back(std::move(part));
  }
  if (!r.ok()) return false;
  *parts = std::move(read);
  return true;
}

std::string PartTable(const std::vector<Part>& parts) {
  StoredDataWriter w;
  w.U32(static_cast<std::uint32_t>(parts.size()));
  std::string table = w.Take();
  for (const Part& part : parts) {
    StoredDataWriter p;
    p.U32(static_cast<std::uint32_t>(part.width));
    p.U32(part.border);
    p.U32(static_cast<std::uint32_t>(part.icon));
    table += p.Take();
    table += part.text;
    table += '\0';
    table += part.tip;
    table += '\0';
  }
  return table;
}

std::string Serialize(const BarData& d) {
  StoredDataWriter w;
  w.U32(kVersion);
  w.U32(d.background);
  w.U32(d.position);
  w.U32(d.grip);
  w.Counted(d.font);
  w.Counted(d.images);
  w.Counted(PartTable(d.parts));
  return w.Take();
}

// The parts as the bar lays them out: a width of -1 reaches the right edge and ends the list.
std::vector<os::StatusPart> Shown(const std::vector<Part>& parts) {
  std::vector<os::StatusPart> shown;
  for (const Part& part : parts) {
    shown.push_back({part.width, part.border, part.text});
    if (part.width == -1) break;
  }
  return shown;
}

class StatusBar final : public Component {
 public:
  StatusBar(const CreateParams& p, os::WindowHandle handle, BarData data)
      : Component(p.window_id, p.unit_id, handle), data_(std::move(data)) {}

  void SetPartText(std::int32_t index, std::string_view text) {
    if (index < 0 || static_cast<std::size_t>(index) >= data_.parts.size()) return;
    Part& part = data_.parts[static_cast<std::size_t>(index)];
    part.text = text;
    Windows().SetStatusText(handle(), index, part.border, part.text);
  }
  BarData& data() { return data_; }

 private:
  BarData data_;
};

Component* Create(const CreateParams& p) {
  StreamReader r(p.data);
  BarData d;
  std::uint32_t version = r.U32();
  d.background = r.U32();
  d.position = r.U32();
  d.grip = r.U32();
  d.font = r.CountedBlock();
  d.images = r.CountedBlock();
  std::string table = r.CountedBlock();
  if (!r.ok() || version > kVersion || !ParseParts(table, &d.parts)) return nullptr;

  os::StatusBarArgs a;
  a.parent = p.parent;
  a.id = p.control_number;
  a.rect = p.rect;
  a.disabled = p.disabled;
  a.dock = d.position == 0 ? os::Dock::kBottom : d.position == 1 ? os::Dock::kTop : os::Dock::kNone;
  a.size_grip = d.grip != 0;
  a.background = d.background;
  a.parts = Shown(d.parts);
  os::WindowHandle handle = Windows().CreateStatusBar(a);
  if (!handle) return nullptr;
  return new StatusBar(p, handle, std::move(d));
}

void GetProperty(Component* object, std::int32_t index, PropertyValue* value) {
  const BarData& d = static_cast<StatusBar*>(object)->data();
  switch (index) {
    case BarData::kBackground:
      value->number = d.background;
      break;
    case BarData::kPosition:
      value->number = d.position;
      break;
    case BarData::kGrip:
      value->number = d.grip;
      break;
    case BarData::kFont:
      value->bytes = d.font;
      break;
    case BarData::kImages:
      value->bytes = d.images;
      break;
    case BarData::kParts:
      value->bytes = PartTable(d.parts);
      break;
    default:
      break;
  }
}

// A new part table is laid out at once; the other settings take a bar made anew.
int SetProperty(Component* object, std::int32_t index, const PropertyInput& value) {
  auto* bar = static_cast<StatusBar*>(object);
  BarData& d = bar->data();
  switch (index) {
    case BarData::kBackground:
      d.background = static_cast<std::uint32_t>(value.number);
      return 1;
    case BarData::kPosition:
      d.position = static_cast<std::uint32_t>(value.number);
      return 1;
    case BarData::kGrip:
      d.grip = static_cast<std::uint32_t>(value.number);
      return 1;
    case BarData::kFont:
      d.font = value.bytes;
      return 1;
    case BarData::kImages:
      d.images = value.bytes;
      return 1;
    case BarData::kParts:
      if (ParseParts(value.bytes, &d.parts))
        Windows().SetStatusParts(bar->handle(), Shown(d.parts));
      return 0;
    default:
      return 0;
  }
}

std::string AllPropertyData(Component* object) {
  return Serialize(static_cast<StatusBar*>(object)->data());
}

}  // namespace

// Own properties 8-13: background, position, size grip, font, image list, part table.
const PropertyInfo kStatusBarProperties[] = {
    {property_type::kColor, 0}, {property_type::kChoice, 0},      {property_type::kLogical, 0},
    {property_type::kFont, 0},  {property_type::kBinaryBlock, 0}, {property_type::kBinaryBlock, 0}};
const std::int32_t kStatusBarPropertyCount = 6;

void* StatusBarInterface(int number) {
  return ProcedureFor(number, {Create, SetProperty, GetProperty, AllPropertyData});
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
