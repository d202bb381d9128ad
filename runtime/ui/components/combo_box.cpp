#include "runtime/ui/components/combo_box.h"

#include <algorithm>

#include "runtime/ui/component.h"
#include "runtime/ui/components/class_support.h"
#include "runtime/ui/form/stream_reader.h"
#include "runtime/ui/runtime_state.h"

namespace marvane::ui {
namespace {

constexpr std::uint32_t kVersion = 3;

struct ComboData {
  std::uint32_t type = 2, max_length = 0, selection_start = 0, selection_length = 0, sorted = 0;
  std::int32_t row_height = 0;
  std::uint32_t text_color = 0, background = 0xFFFFFF;
  std::int32_t selection = -1;
  std::string font, item_values, content;
  std::vector<std::string> items;
};

bool Parse(std::string_view bytes, ComboData* d) {
  StreamReader r(bytes);
  std::uint32_t version = r.U32();
  if (!r.ok() || version > kVersion) return false;
  d->type = r.U32();
  d->max_length = r.U32();
  d->selection_start = r.U32();
  d->selection_length = r.U32();
  d->sorted = r.U32();
  d->row_height = r.I32();
  d->text_color = r.U32();
  d->background = r.U32();
  d->selection = r.I32();
  d->font = r.CountedBlock();
  d->item_values = r.CountedBlock();
  d->content = r.CountedText();
  std::uint32_t count = r.ShortCount(4);
  for (std::uint32_t i = 0; i < count && r.ok(); ++i)
    d->items.push_back(r.CountedText());
  if (version >= 2) {
    r.CountedText();
    r.CountedText();
  }
  if (version >= 3) r.U32();
  return r.ok();
}

class ComboBox final : public Component {
 public:
  ComboBox(const CreateParams& p, os::WindowHandle handle, ComboData data)
      : Component(p.window_id, p.unit_id, handle), data_(std::move(data)) {}
  ComboData& data() { return data_; }

 private:
  ComboData data_;
};

std::int32_t Clamp(std::int64_t selection, std::size_t count) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(selection, -1, static_cast<std::int64_t>(count) - 1));
}

Component* Create(const CreateParams& p) {
  ComboData d;
  if (!Parse(p.data, &d)) return nullptr;
  auto a = ControlArgs<os::ComboBoxArgs>(p);
  a.kind = d.type == 0   ? os::ComboKind::kSimple
           : d.type == 1 ? os::ComboKind::kDropDown
                         : os::ComboKind::kDropDownList;
  // The height given to a drop-down includes its list.
  if (a.kind != os::ComboKind::kSimple)
    a.rect.height = std::max(a.rect.height, os::kComboListMinHeight);
  a.sorted = d.sorted == 1;
  a.text = d.content;
  a.items = d.items;
  a.selection = Clamp(d.selection, d.items.size());
  a.max_length = d.max_length;
  a.item_height_adjust = d.row_height;
  a.text_color = d.text_color;
  a.background = d.background;
  os::WindowHandle handle = Windows().CreateComboBox(a);
  if (!handle) return nullptr;
  return new ComboBox(p, handle, std::move(d));
}

// Own properties from 8: type, content, then settings; 19 is the current selection.
constexpr std::int32_t kType = 0;
constexpr std::int32_t kContent = 1;
constexpr std::int32_t kSelection = 11;

void GetProperty(Component* object, std::int32_t index, PropertyValue* value) {
  auto* combo = static_cast<ComboBox*>(object);
  switch (index) {
    case kType:
      value->number = combo->data().type;
      break;
    case kContent:
      value->bytes = Windows().GetText(combo->handle());
      break;
    case kSelection:
      value->number = Windows().GetComboSelection(combo->handle());
      break;
    default:
      break;
  }
}

int SetProperty(Component* object, std::int32_t index, const PropertyInput& value) {
  auto* combo = static_cast<ComboBox*>(object);
  switch (index) {
    case kType:
      // Kept for the next creation; this program never changes it.
      combo->data().type = static_cast<std::uint32_t>(value.number);
      return 0;
    case kContent:
      combo->data().content = value.bytes;
      // A drop-down list shows only its items; its field cannot take a text.
      if (combo->data().type != 2) Windows().SetText(combo->handle(), value.bytes);
      return 0;
    case kSelection: {
      // Selecting this way raises no event.
      std::int32_t selection = Clamp(value.number, combo->data().items.size());
      combo->data().selection = selection;
      Windows().SetComboSelection(combo->handle(), selection);
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace

const PropertyInfo kComboBoxProperties[] = {
    {property_type::kChoice, 0},  {property_type::kText, 0},       {property_type::kInteger, 0},
    {property_type::kInteger, 0}, {property_type::kInteger, 0},    {property_type::kLogical, 0},
    {property_type::kInteger, 0}, {property_type::kColor, 0},      {property_type::kColor, 0},
    {property_type::kFont, 0},    {property_type::kItemValues, 0}, {property_type::kInteger, 0},
};
const std::int32_t kComboBoxPropertyCount = 12;

void* ComboBoxInterface(int number) {
  return ProcedureFor(number, {Create, SetProperty, GetProperty});
}

}  // namespace marvane::ui
