#include "runtime/ui/form/form_description.h"

#include <algorithm>
#include <unordered_set>
#include <utility>
#include <vector>

#include "runtime/ui/form/stream_reader.h"

namespace marvane::ui {
namespace {

bool ReadUnitRecord(std::string_view record, Unit* unit) {
  if (IsMenuItemId(unit->id)) {
    unit->menu_item = true;
    unit->component_data = std::string(record);
    return true;
  }
  StreamReader r(record);
  unit->class_type = r.U32();
  unit->event_source = r.U32();
  r.Skip(16);
  unit->name = r.ZeroText();
  unit->second_name = r.ZeroText();
  r.Skip(4);  // object slot, filled at run time
  unit->left = r.I32();
  unit->top = r.I32();
  unit->width = r.I32();
  unit->height = r.I32();
  r.Skip(4);
  unit->container = r.U32();
  unit->children = r.U32s(r.Count(4));
  unit->cursor = r.CountedBlock();
  unit->tag = r.ZeroText();
  r.Skip(4);
  unit->flags = r.U32();
  r.Skip(4);
  std::uint32_t events = r.Count(8);
  for (std::uint32_t i = 0; i < events && r.ok(); ++i) {
    EventBinding binding;
    binding.event = r.I32();
    binding.handler = r.U32();
    unit->events.push_back(binding);
  }
  r.Skip(20);
  unit->component_data = r.Rest();
  return r.ok();
}

// The unit collection: identifiers, offsets counted from the end of the offset list, then the
// units, each a dword length and its record.
bool ReadUnits(std::uint32_t count, std::string_view block, std::vector<Unit>* units) {
  // A window without its own unit cannot be built.
  if (count == 0) return false;
  StreamReader r(block);
  std::vector<std::uint32_t> ids = r.U32s(count);
  std::vector<std::uint32_t> offsets = r.U32s(count);
  if (!r.ok()) return false;
  std::string_view body = block.substr(r.position());
  std::unordered_set<std::uint32_t> seen;
  // Where each record lies, found before any is decoded: records that shared bytes would decode
  // the same bytes again and again, so a small stream could make the reader build far more than
  // it holds.
  std::vector<std::pair<std::size_t, std::size_t>> spans;  // [offset of the length, end)
  spans.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!IsValidId(ids[i]) || !seen.insert(ids[i]).second) return false;
    if (offsets[i] > body.size()) return false;
    StreamReader at(body.substr(offsets[i]));
    std::uint32_t length = at.U32();
    if (!at.ok() || length > at.remaining()) return false;
    spans.emplace_back(offsets[i], std::size_t{offsets[i]} + 4 + length);
  }
  std::vector<std::pair<std::size_t, std::size_t>> sorted = spans;
  std::sort(sorted.begin(), sorted.end());
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    if (sorted[i].first < sorted[i - 1].second) return false;
  }
  units->reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    Unit unit;
    unit.id = ids[i];
    const auto [begin, end] = spans[i];
    if (!ReadUnitRecord(body.substr(begin + 4, end - begin - 4), &unit)) return false;
    units->push_back(std::move(unit));
  }
  return true;
}

bool ReadWindow(StreamReader& r, WindowRecord* window) {
  window->stored[0] = r.U32();
  window->stored[1] = r.U32();
  window->texts[0] = r.CountedText();
  window->texts[1] = r.CountedText();
  // Each unit takes at least its identifier, offset and length.
  std::uint32_t count = r.U32();
  std::string block = r.CountedBlock();
  if (!r.ok() || count > block.size() / 12) return false;
  return ReadUnits(count, block, &window->units);
}

}  // namespace

bool ReadFormDescription(std::string_view stream, FormDescription* form) {
  *form = {};
  if (stream.empty()) return true;
  StreamReader r = StreamReader::Buffered(stream);
  // Window identifiers, then one slot per window that the runtime fills in.
  std::string table = r.CountedBlock();
  if (!r.ok() || table.size() % 8 != 0) return false;
  std::size_t count = table.size() / 8;
  StreamReader ids(table);
  std::unordered_set<std::uint32_t> seen;
  FormDescription read;
  read.windows.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    WindowRecord window;
    window.id = ids.U32();
    if (!IsValidId(window.id) || !seen.insert(window.id).second) return false;
    if (!ReadWindow(r, &window)) return false;
    read.windows.push_back(std::move(window));
  }
  // Bytes after the last window mean the stream and its stated size disagree.
  if (!r.ok() || !r.AtEnd()) return false;
  *form = std::move(read);
  return true;
}

const WindowRecord* FindWindow(const FormDescription& form, std::uint32_t window_id) {
  auto it = std::find_if(form.windows.begin(), form.windows.end(),
                         [&](const WindowRecord& w) { return w.id == window_id; });
  return it == form.windows.end() ? nullptr : &*it;
}

const Unit* FindUnit(const WindowRecord& window, std::uint32_t unit_id) {
  auto it = std::find_if(window.units.begin(), window.units.end(),
                         [&](const Unit& u) { return u.id == unit_id; });
  return it == window.units.end() ? nullptr : &*it;
}

}  // namespace marvane::ui
