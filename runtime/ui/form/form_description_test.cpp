#include "runtime/ui/form/form_description.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "resources/embedded.h"
#include "runtime/ui/form/stream_reader.h"
#include "runtime/values/value_record.h"
#include "tests/support/runtime_fixture.h"

namespace marvane::ui {
namespace {

using testing::Gbk;

constexpr std::uint32_t kWindowId = 0x52010001;
constexpr std::uint32_t kOwnUnit = 0x06010000;
constexpr std::uint32_t kGroupBox = 0x16010014;
constexpr std::uint32_t kEditBox = 0x16010015;
constexpr std::size_t kIconSize = 9662;

FormDescription ReadEmbedded() {
  FormDescription form;
  EXPECT_TRUE(ReadFormDescription(resources::FormDescriptionStream(), &form));
  return form;
}

TEST(FormDescription, WindowAndUnitsMatchTheTable) {
  struct Expected {
    std::uint32_t id;
    std::uint32_t class_type;
    const char* name;  // UTF-8
    std::int32_t left, top, width, height;
    std::uint32_t container;
    std::vector<std::uint32_t> children;
    std::uint32_t flags;
    std::vector<std::pair<std::int32_t, std::uint32_t>> events;  // event, handler identifier
  };
  const Expected units[] = {
      {kOwnUnit, type::kWindow, "", 50, 50, 468, 533, 0, {}, kUnitVisible, {{0, 0}}},
      {0x16010074, type::kDropTarget, "拖放对象", 184, 288, 26, 26, 0, {}, 0, {{3, 1}}},
      {0x16010040, type::kStatusBar, "状态条", 0, 678, 462, 20, 0, {}, kUnitVisible, {}},
      {0x16010016,
       type::kButton,
       "按钮_保存",
       349,
       14,
       80,
       25,
       0,
       {},
       kUnitVisible | kUnitTabStop,
       {{0, 2}}},
      {kEditBox,
       type::kEditBox,
       "编辑框_客户机列表",
       8,
       21,
       432,
       402,
       kGroupBox,
       {},
       kUnitVisible | kUnitTabStop,
       {}},
      {kGroupBox, type::kGroupBox, "分组框1", 8, 48, 448, 432, 0, {kEditBox}, kUnitVisible, {}},
      {0x16010011, type::kLabel, "标签_选择无盘", 16, 16, 72, 24, 0, {}, kUnitVisible, {}},
      {0x16010010,
       type::kComboBox,
       "组合框_选择无盘",
       96,
       18,
       224,
       20,
       0,
       {},
       kUnitVisible | kUnitTabStop,
       {}},
  };
  FormDescription form = ReadEmbedded();
  ASSERT_EQ(form.windows.size(), 1u);
  const WindowRecord& window = form.windows[0];
  EXPECT_EQ(window.id, kWindowId);
  EXPECT_EQ(FindWindow(form, kWindowId), &window);
  EXPECT_EQ(window.texts[0], "");
  EXPECT_EQ(window.texts[1], "");
  ASSERT_EQ(window.units.size(), std::size(units));
  for (std::size_t i = 0; i < std::size(units); ++i) {
    const Expected& e = units[i];
    const Unit& u = window.units[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(u.id, e.id);
    EXPECT_EQ(FindUnit(window, e.id), &u);
    EXPECT_EQ(u.class_type, e.class_type);
    EXPECT_EQ(u.name, Gbk(e.name));
    EXPECT_EQ(u.second_name, "");
    EXPECT_EQ(u.event_source, 0u);
    EXPECT_EQ(std::vector<std::int32_t>({u.left, u.top, u.width, u.height}),
              std::vector<std::int32_t>({e.left, e.top, e.width, e.height}));
    EXPECT_EQ(u.container, e.container);
    EXPECT_EQ(u.children, e.children);
    EXPECT_EQ(u.cursor, std::string(4, '\0'));
    EXPECT_EQ(u.tag, "");
    EXPECT_EQ(u.flags, e.flags);
    EXPECT_FALSE(u.menu_item);
    std::vector<std::pair<std::int32_t, std::uint32_t>> events;
    for (const EventBinding& b : u.events)
      events.emplace_back(b.event, b.handler);
    EXPECT_EQ(events, e.events);
  }
  EXPECT_EQ(FindUnit(window, 0x16010099), nullptr);
  EXPECT_EQ(FindWindow(form, 0x52010002), nullptr);
}

TEST(FormDescription, HandlerIdentifiersFollowTheHandlerTable) {
  ASSERT_EQ(resources::kHandlerCount, 3u);
  EXPECT_STREQ(resources::kHandlerNames[resources::kHandlerOnWindowCreated], "OnWindowCreated");
  EXPECT_STREQ(resources::kHandlerNames[resources::kHandlerOnFileDropped], "OnFileDropped");
  EXPECT_STREQ(resources::kHandlerNames[resources::kHandlerOnSaveClicked], "OnSaveClicked");
}

// One stored field of component data, as the class reads it.
struct Field {
  enum Kind { kDword, kWord, kText, kBlock, kIcon } kind;
  std::uint32_t value = 0;
  std::string bytes;
};
Field D(std::uint32_t v) {
  return {Field::kDword, v, {}};
}
Field W(std::uint16_t v) {
  return {Field::kWord, v, {}};
}
Field T(const char* utf8) {
  return {Field::kText, 0, Gbk(utf8)};
}
Field B(std::string bytes = {}) {
  return {Field::kBlock, 0, std::move(bytes)};
}
Field Icon() {
  return {Field::kIcon, 0, {}};
}

TEST(FormDescription, ComponentDataHoldsEveryStoredSetting) {
  // Status bar part table: count 1; width 500, border 0, icon -1, empty text, empty tip.
  const std::string parts("\x01\0\0\0\xF4\x01\0\0\0\0\0\0\xFF\xFF\xFF\xFF\0\0", 18);
  const std::pair<std::uint32_t, std::vector<Field>> expected[] = {
      {kOwnUnit, {D(6),  D(2), D(1),   D(0xFF000000), D(0),         D(1),
                  D(1),  D(1), D(1),  // version .. movable
                  D(0),  D(0), D(1),   D(0),          D(0),         D(1),
                  D(0),  D(0), D(0),   D(0),  // unnamed, always on top
                  T(""), B(),  Icon(), B(),           T("Marvane"), T("")}},
      {0x16010074, {D(1), D(0), D(0), D(0), D(1)}},
      {0x16010040, {D(1), D(0xFF000000), D(0), D(0), B(), B(), B(parts)}},
      {0x16010016, {D(1), D(0), D(1), D(1), B(), B(), T("保存")}},
      {kEditBox, {D(2), D(5), D(0), D(0xFFFFFF), D(1), D(0), D(1), D(2),  D(0),  D(1), W('*'),
                  D(2), D(0), D(0), D(100),      D(0), D(0), B(),  T(""), T(""), T("")}},
      {kGroupBox, {D(1), D(0), D(0), D(0xFF000000), B(), T("请将列表文件拖放至这里")}},
      {0x16010011, {D(2), D(0),          D(8), D(0), D(0x808080), D(0xFFFFFF),       D(0x808080),
                    D(0), D(0xFF000000), D(1), D(0), D(0x808080), D(0xFFFFFF),       D(0x808080),
                    D(0), D(1),          D(0), B(),  B(),         T("请选择无盘："), T(""),
                    T("")}},
      {0x16010010,
       {D(3), D(2), D(0), D(0), D(0), D(0), D(1), D(0), D(0xFFFFFF), D(0), B(), B(), T(""), W(2),
        T("云更新无盘"), T("顺网无盘9系列"), T(""), T(""), D(0)}},
  };
  FormDescription form = ReadEmbedded();
  ASSERT_EQ(form.windows.size(), 1u);
  for (const auto& [id, fields] : expected) {
    SCOPED_TRACE(id);
    const Unit* unit = FindUnit(form.windows[0], id);
    ASSERT_NE(unit, nullptr);
    StreamReader r(unit->component_data);
    for (std::size_t i = 0; i < fields.size(); ++i) {
      SCOPED_TRACE("field " + std::to_string(i));
      const Field& f = fields[i];
      switch (f.kind) {
        case Field::kDword:
          EXPECT_EQ(r.U32(), f.value);
          break;
        case Field::kWord:
          EXPECT_EQ(r.U16(), f.value);
          break;
        case Field::kText:
          EXPECT_EQ(r.CountedText(), f.bytes);
          break;
        case Field::kBlock:
          EXPECT_EQ(r.CountedBlock(), f.bytes);
          break;
        case Field::kIcon:
          EXPECT_EQ(r.CountedBlock().size(), kIconSize);
          break;
      }
    }
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.AtEnd()) << r.remaining() << " bytes left over";
  }
}

std::string WindowIcon() {
  FormDescription form = ReadEmbedded();
  if (form.windows.empty()) return {};
  StreamReader r(form.windows[0].units[0].component_data);
  r.Skip(4 * 19);  // version and eighteen dwords
  r.CountedText();
  r.CountedBlock();
  return r.CountedBlock();
}

TEST(FormDescription, IconIsOneValid48By48ImageWithAlpha) {
  const std::string icon = WindowIcon();
  ASSERT_EQ(icon.size(), kIconSize);
  StreamReader r(icon);
  // Directory: reserved, type 1 (icon), one image.
  EXPECT_EQ(r.U16(), 0);
  EXPECT_EQ(r.U16(), 1);
  EXPECT_EQ(r.U16(), 1);
  // Entry: 48 x 48, no palette, 1 plane, 32 bits, image size, image offset.
  EXPECT_EQ(r.U8(), 48);
  EXPECT_EQ(r.U8(), 48);
  EXPECT_EQ(r.U8(), 0);
  EXPECT_EQ(r.U8(), 0);
  EXPECT_EQ(r.U16(), 1);
  EXPECT_EQ(r.U16(), 32);
  EXPECT_EQ(r.U32(), kIconSize - 22);
  EXPECT_EQ(r.U32(), 22u);
  // Bitmap header: the height counts the colour image and the mask.
  EXPECT_EQ(r.U32(), 40u);
  EXPECT_EQ(r.I32(), 48);
  EXPECT_EQ(r.I32(), 96);
  EXPECT_EQ(r.U16(), 1);
  EXPECT_EQ(r.U16(), 32);
  EXPECT_EQ(r.U32(), 0u);  // no compression
  EXPECT_EQ(r.U32(), 48u * 48 * 4 + 48 * 8);
  r.Skip(16);
  const std::string pixels = r.Bytes(48 * 48 * 4);
  const std::string mask = r.Bytes(48 * 8);
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(r.AtEnd());
  // The mask marks exactly the fully transparent pixels, and the picture has some of both.
  int transparent = 0, opaque = 0;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) {
      auto alpha = static_cast<unsigned char>(pixels[(y * 48 + x) * 4 + 3]);
      bool masked = (static_cast<unsigned char>(mask[y * 8 + x / 8]) >> (7 - x % 8)) & 1;
      EXPECT_EQ(masked, alpha == 0) << x << "," << y;
      transparent += alpha == 0;
      opaque += alpha == 255;
    }
  }
  EXPECT_GT(transparent, 0);
  EXPECT_GT(opaque, 48 * 48 / 3);
}

TEST(FormDescription, ExportedIconFileIsTheEmbeddedIcon) {
  std::ifstream file(MARVANE_ICON_FILE, std::ios::binary);
  ASSERT_TRUE(file) << MARVANE_ICON_FILE;
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, WindowIcon());
}

// Every strict prefix is refused and leaves no half-read form behind.
TEST(FormDescription, EveryTruncationIsRefused) {
  const std::string_view stream = resources::FormDescriptionStream();
  for (std::size_t n = 1; n < stream.size(); ++n) {
    FormDescription form;
    form.windows.resize(1);
    if (ReadFormDescription(stream.substr(0, n), &form) || !form.windows.empty()) {
      ADD_FAILURE() << "prefix of " << n << " bytes accepted or left a form";
      break;
    }
  }
}

TEST(FormDescription, EmptyStreamHasNoWindows) {
  FormDescription form;
  form.windows.resize(1);
  EXPECT_TRUE(ReadFormDescription({}, &form));
  EXPECT_TRUE(form.windows.empty());
}

std::size_t DecodedBytes(const FormDescription& form) {
  std::size_t n = 0;
  for (const WindowRecord& w : form.windows) {
    n += 8 + w.texts[0].size() + w.texts[1].size();
    for (const Unit& u : w.units) {
      n += u.name.size() + u.second_name.size() + u.cursor.size() + u.tag.size() +
           u.component_data.size() + 4 * u.children.size() + 8 * u.events.size();
    }
  }
  return n;
}

// A dword of all ones dropped anywhere: wherever it lands on a length or a count, the read must
// fail rather than trust it; elsewhere it may decode, but never into more than the stream holds.
TEST(FormDescription, OverwrittenDwordsNeverInventData) {
  const std::string original(resources::FormDescriptionStream());
  // The icon's bytes are opaque to the reader; landing there shows nothing and costs the most.
  const std::string icon = WindowIcon();
  const std::size_t icon_at = original.find(icon);
  ASSERT_NE(icon_at, std::string::npos);
  int refused = 0;
  for (std::size_t at = 0; at + 4 <= original.size(); ++at) {
    if (at >= icon_at && at + 4 <= icon_at + icon.size()) continue;
    std::string stream = original;
    stream.replace(at, 4, "\xFF\xFF\xFF\xFF");
    FormDescription form;
    if (ReadFormDescription(stream, &form)) {
      EXPECT_LE(DecodedBytes(form), stream.size()) << "at " << at;
    } else {
      ++refused;
    }
  }
  EXPECT_GT(refused, 0);
}

// --- hand-built streams -------------------------------------------------------------------------

void Put(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<char>(v >> (8 * i)));
}

struct UnitFields {
  std::uint32_t id = kOwnUnit;
  std::string name = "w";
  std::vector<std::uint32_t> children;
  std::uint32_t children_count = 0;
  std::uint32_t cursor_length = 4;
  std::uint32_t events_count = 1;
  std::string data = std::string("\x06\0\0\0", 4);
  std::string raw;  // used instead of the record when not empty
};

std::string Record(const UnitFields& u) {
  if (!u.raw.empty()) return u.raw;
  std::string out;
  Put(out, type::kWindow);
  Put(out, 0);
  out.append(16, '\0');
  out += u.name + '\0' + '\0';
  Put(out, 0);
  for (std::uint32_t v : {1, 2, 3, 4})
    Put(out, v);
  Put(out, 0);
  Put(out, 0);
  Put(out, u.children_count);
  for (std::uint32_t c : u.children)
    Put(out, c);
  Put(out, u.cursor_length);
  Put(out, 0);
  out += "t";
  out += '\0';
  Put(out, 0);
  Put(out, kUnitVisible);
  Put(out, 0);
  Put(out, u.events_count);
  Put(out, 0);
  Put(out, 7);
  out.append(20, '\0');
  return out + u.data;
}

struct FormFields {
  std::vector<std::uint32_t> windows = {kWindowId};
  std::uint32_t table_length = 8;
  std::vector<UnitFields> units = {UnitFields{}};
  std::int64_t unit_count = -1;    // stored count when not -1
  std::int64_t first_offset = -1;  // stored offset of the first unit when not -1
  std::int64_t first_length = -1;  // stored length of the first unit when not -1
  std::string trailing;
};

std::string Build(const FormFields& f) {
  std::string out;
  Put(out, f.table_length);
  for (std::uint32_t w : f.windows)
    Put(out, w);
  for (std::size_t i = 0; i < f.windows.size(); ++i)
    Put(out, 0);
  for (std::size_t w = 0; w < f.windows.size(); ++w) {
    Put(out, 11);
    Put(out, 12);
    Put(out, 1);
    out += "a";
    Put(out, 0);
    std::string ids, offsets, bodies;
    for (std::size_t i = 0; i < f.units.size(); ++i) {
      std::string record = Record(f.units[i]);
      Put(ids, f.units[i].id);
      Put(offsets, i == 0 && f.first_offset >= 0 ? static_cast<std::uint32_t>(f.first_offset)
                                                 : static_cast<std::uint32_t>(bodies.size()));
      Put(bodies, i == 0 && f.first_length >= 0 ? static_cast<std::uint32_t>(f.first_length)
                                                : static_cast<std::uint32_t>(record.size()));
      bodies += record;
    }
    Put(out, f.unit_count >= 0 ? static_cast<std::uint32_t>(f.unit_count)
                               : static_cast<std::uint32_t>(f.units.size()));
    Put(out, static_cast<std::uint32_t>(ids.size() + offsets.size() + bodies.size()));
    out += ids + offsets + bodies;
  }
  return out + f.trailing;
}

TEST(FormDescription, HandBuiltStreams) {
  struct Case {
    const char* name;
    std::function<void(FormFields&)> edit;
    bool ok;
  };
  UnitFields child;
  child.id = 0x16010002;
  const Case cases[] = {
      {"well formed", [](FormFields&) {}, true},
      {"two units", [&](FormFields& f) { f.units.push_back(child); }, true},
      {"no units", [](FormFields& f) { f.unit_count = 0; }, false},
      {"more units than identifiers", [](FormFields& f) { f.unit_count = 2; }, false},
      {"hostile unit count", [](FormFields& f) { f.unit_count = 0xFFFFFFFF; }, false},
      {"offset past the block", [](FormFields& f) { f.first_offset = 0x7FFFFFFF; }, false},
      {"unit length past the block", [](FormFields& f) { f.first_length = 0xFFFFFFF0; }, false},
      {"record cut inside the name", [](FormFields& f) { f.first_length = 25; }, false},
      {"hostile children count", [](FormFields& f) { f.units[0].children_count = 0x40000000; },
       false},
      {"hostile events count", [](FormFields& f) { f.units[0].events_count = 0x20000000; }, false},
      {"hostile cursor length", [](FormFields& f) { f.units[0].cursor_length = 0xFFFFFFF0; },
       false},
      {"unit identifier with serial 0", [](FormFields& f) { f.units[0].id = 0x06000000; }, false},
      {"unit identifier without type", [](FormFields& f) { f.units[0].id = 0x10000001; }, false},
      // Found by fuzzing: two units read from the same bytes.
      {"two units sharing one record",
       [&](FormFields& f) {
         f.units.push_back(child);
         f.first_offset = 4 + Record(f.units[0]).size();
       },
       false},
      {"repeated unit identifier",
       [&](FormFields& f) {
         f.units.push_back(child);
         f.units[1].id = f.units[0].id;
       },
       false},
      {"invalid window identifier", [](FormFields& f) { f.windows = {0x50000001}; }, false},
      {"repeated window identifier",
       [](FormFields& f) {
         f.windows = {kWindowId, kWindowId};
         f.table_length = 16;
       },
       false},
      {"two windows",
       [](FormFields& f) {
         f.windows = {kWindowId, 0x52010002};
         f.table_length = 16;
       },
       true},
      {"window table not a whole number of windows", [](FormFields& f) { f.table_length = 7; },
       false},
      {"window table longer than the stream", [](FormFields& f) { f.table_length = 0x7FFFFFF8; },
       false},
      {"a byte after the last window", [](FormFields& f) { f.trailing = "x"; }, false},
      {"menu item kept whole",
       [](FormFields& f) {
         f.units[0].id = 0x26010001;
         f.units[0].raw = "mi";
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FormFields fields;
    c.edit(fields);
    FormDescription form;
    EXPECT_EQ(ReadFormDescription(Build(fields), &form), c.ok);
    if (!c.ok) {
      EXPECT_TRUE(form.windows.empty());
    }
  }
  // A menu item's record is kept undecoded.
  FormFields fields;
  UnitFields menu;
  menu.id = 0x26010001;
  menu.raw = "menu";
  fields.units.push_back(menu);
  FormDescription form;
  ASSERT_TRUE(ReadFormDescription(Build(fields), &form));
  ASSERT_EQ(form.windows[0].units.size(), 2u);
  EXPECT_TRUE(form.windows[0].units[1].menu_item);
  EXPECT_EQ(form.windows[0].units[1].component_data, "menu");
  EXPECT_FALSE(form.windows[0].units[0].menu_item);
}

}  // namespace
}  // namespace marvane::ui
