#include "runtime/ui/components/edit_box.h"

#include "runtime/ui/component.h"
#include "runtime/ui/components/class_support.h"
#include "runtime/ui/components/stored_data.h"
#include "runtime/ui/dispatch.h"
#include "runtime/ui/form/stream_reader.h"
#include "runtime/ui/runtime_state.h"

namespace marvane::ui {
namespace {

constexpr std::uint32_t kVersion = 2;
// The class's own event: its text changed, set by the program or edited by the user.
constexpr std::int32_t kContentChanged = 0;

// The stored settings, in stream order; property n (from 9) is field n - 9 of `settings`.
struct EditData {
  enum Field {
    kBorder,
    kTextColor,
    kBackground,
    kHideSelection,
    kMaxLength,
    kMultiLine,
    kScrollBars,
    kAlign,
    kInput,
    kPasswordChar,
    kCase,
    kAdjuster,
    kAdjusterMin,
    kAdjusterMax,
    kSelectionStart,
    kSelectionLength,
    kFieldCount
  };
  std::int64_t settings[kFieldCount] = {};
  std::string font, content, extra1, extra2;
};

bool Parse(std::string_view bytes, EditData* d) {
  StreamReader r(bytes);
  std::uint32_t version = r.U32();
  if (!r.ok() || version > kVersion) return false;
  for (int i = 0; i < EditData::kFieldCount; ++i) {
    d->settings[i] = i == EditData::kPasswordChar ? r.U16() : r.I32();
  }
  d->font = r.CountedBlock();
  d->content = r.CountedText();
  d->extra1 = r.CountedText();
  d->extra2 = r.CountedText();
  return r.ok();
}

std::string Serialize(const EditData& d) {
  StoredDataWriter w;
  w.U32(kVersion);
  for (int i = 0; i < EditData::kFieldCount; ++i) {
    if (i == EditData::kPasswordChar) {
      w.U16(static_cast<std::uint16_t>(d.settings[i]));
    } else {
      w.U32(static_cast<std::uint32_t>(d.settings[i]));
    }
  }
  w.Counted(d.font);
  w.Counted(d.content);
  w.Counted(d.extra1);
  w.Counted(d.extra2);
  return w.Take();
}

class EditBox final : public Component {
 public:
  EditBox(const CreateParams& p, os::WindowHandle handle, EditData data)
      : Component(p.window_id, p.unit_id, handle), data_(std::move(data)) {}
  EditData& data() { return data_; }
  void OnContentChanged() override { RaiseSimpleEvent(window_id(), unit_id(), kContentChanged); }

 private:
  EditData data_;
};

os::WindowHandle CreateControl(const CreateParams& p, const EditData& d) {
  const auto* s = d.settings;
  auto a = ControlArgs<os::EditArgs>(p);
  a.text = d.content;
  a.hide_selection = s[EditData::kHideSelection] != 0;
  a.multi_line = s[EditData::kMultiLine] != 0;
  std::int64_t bars = s[EditData::kScrollBars];
  if (a.multi_line) {
    a.horizontal_scroll = bars == 1 || bars == 3;
    a.vertical_scroll = bars == 2 || bars == 3;
    a.auto_horizontal_scroll = a.horizontal_scroll;
  } else {
    a.auto_horizontal_scroll = true;
  }
  std::int64_t align = s[EditData::kAlign];
  a.align = align == 1 ? os::HAlign::kCenter : align == 2 ? os::HAlign::kRight : os::HAlign::kLeft;
  std::int64_t input = s[EditData::kInput];
  a.input = input == 1   ? os::EditInput::kReadOnly
            : input == 2 ? os::EditInput::kPassword
                         : os::EditInput::kNormal;
  a.password_char = static_cast<char16_t>(s[EditData::kPasswordChar]);
  std::int64_t conversion = s[EditData::kCase];
  a.case_conversion = conversion == 1   ? os::CaseConversion::kLower
                      : conversion == 2 ? os::CaseConversion::kUpper
                                        : os::CaseConversion::kNone;
  a.border = BorderFromStyle(s[EditData::kBorder]);
  a.text_color = static_cast<std::uint32_t>(s[EditData::kTextColor]);
  a.background = static_cast<std::uint32_t>(s[EditData::kBackground]);
  a.max_length = static_cast<std::uint32_t>(s[EditData::kMaxLength]);
  a.selection_start = static_cast<std::int32_t>(s[EditData::kSelectionStart]);
  a.selection_length = static_cast<std::int32_t>(s[EditData::kSelectionLength]);
  return Windows().CreateEdit(a);
}

Component* Create(const CreateParams& p) {
  EditData d;
  if (!Parse(p.data, &d)) return nullptr;
  os::WindowHandle handle = CreateControl(p, d);
  if (!handle) return nullptr;
  return new EditBox(p, handle, std::move(d));
}

// Own properties: 8 content, then the stored settings in stream order from 9.
constexpr std::int32_t kContent = 0;
constexpr std::int32_t kFont = 4;  // property 12 sits between the colours and hide selection

// Settings index of an own property (index = number - 8), or -1 for content and font.
int FieldOf(std::int32_t index) {
  if (index == kContent || index == kFont) return -1;
  return index < kFont ? index - 1 : index - 2;
}

void GetProperty(Component* object, std::int32_t index, PropertyValue* value) {
  auto* edit = static_cast<EditBox*>(object);
  if (index == kContent) {
    value->bytes = Windows().GetText(edit->handle());
  } else if (index == kFont) {
    value->bytes = edit->data().font;
  } else if (index > 0 && index < kEditBoxPropertyCount) {
    value->number = edit->data().settings[FieldOf(index)];
  }
}

int SetProperty(Component* object, std::int32_t index, const PropertyInput& value) {
  auto* edit = static_cast<EditBox*>(object);
  EditData& d = edit->data();
  if (index == kContent) {
    // The control holds the text; the stored data takes it from there when it is next needed
    // (AllPropertyData), so a long list is not kept twice.
    Windows().SetText(edit->handle(), value.bytes);
    return 0;
  }
  if (index == kFont) {
    d.font = value.bytes;
    return 0;
  }
  if (index <= 0 || index >= kEditBoxPropertyCount) return 0;
  int field = FieldOf(index);
  d.settings[field] = value.number;
  // These styles can only change by creating the control anew.
  switch (field) {
    case EditData::kHideSelection:
    case EditData::kMultiLine:
    case EditData::kScrollBars:
    case EditData::kAlign:
      return 1;
    default:
      return 0;
  }
}

std::string AllPropertyData(Component* object) {
  auto* edit = static_cast<EditBox*>(object);
  edit->data().content = Windows().GetText(edit->handle());
  return Serialize(edit->data());
}

}  // namespace

const PropertyInfo kEditBoxProperties[] = {
    {property_type::kText, 0},    {property_type::kChoice, 0},  {property_type::kColor, 0},
    {property_type::kColor, 0},   {property_type::kFont, 0},    {property_type::kLogical, 0},
    {property_type::kInteger, 0}, {property_type::kLogical, 0}, {property_type::kChoice, 0},
    {property_type::kChoice, 0},  {property_type::kChoice, 0},  {property_type::kInteger, 0},
    {property_type::kChoice, 0},  {property_type::kLogical, 0}, {property_type::kInteger, 0},
    {property_type::kInteger, 0}, {property_type::kInteger, 0}, {property_type::kInteger, 0},
};
const std::int32_t kEditBoxPropertyCount = 18;

void* EditBoxInterface(int number) {
  return ProcedureFor(number, {Create, SetProperty, GetProperty, AllPropertyData});
}

}  // namespace marvane::ui
