#include <algorithm>
#include <thread>

#include "platform/gbk_bytes.h"
#include "platform/platform.h"
#include "runtime/ui/components/window.h"
#include "runtime/ui/dispatch.h"
#include "runtime/ui/idle.h"
#include "runtime/ui/properties.h"
#include "runtime/ui/runtime.h"
#include "runtime/ui/runtime_state.h"
#include "runtime/ui/texts.h"
#include "runtime/values/core.h"
#include "runtime/values/heap.h"
#include "runtime/values/runtime_error.h"
#include "runtime/values/service_table.h"

namespace marvane::ui {
namespace {

std::thread::id& GuiThread() {
  static std::thread::id id;
  return id;
}

// What the core asks of loaded windows for reports and object lookups.
class Directory final : public WindowDirectory {
 public:
  bool WindowTag(std::uint32_t window_id, std::string* tag) const override {
    LoadedWindow* window = FindLoaded(window_id);
    if (!window) return false;
    *tag = window->record->units.empty() ? std::string() : window->record->units[0].tag;
    return true;
  }
  bool UnitTag(std::uint32_t window_id, std::uint32_t unit_id, std::string* tag) const override {
    LoadedWindow* window = FindLoaded(window_id);
    if (!window) return false;
    int index = FindUnitIndex(*window->record, unit_id);
    if (index < 0) return false;
    const Unit& unit = window->record->units[static_cast<std::size_t>(index)];
    if (unit.menu_item) return false;
    *tag = unit.tag;
    return true;
  }
  std::intptr_t ComponentObject(std::uint32_t window_id, std::uint32_t unit_id) const override {
    LoadedWindow* window = FindLoaded(window_id);
    if (!window) return 0;
    int index = FindUnitIndex(*window->record, unit_id);
    if (index < 0 || window->record->units[static_cast<std::size_t>(index)].menu_item) return 0;
    Component* object = window->objects[static_cast<std::size_t>(index)].get();
    if (!object) return 0;
    if (object->handle() == 0) {
      // Only a class without a window may have none; a destroyed control has lost its object.
      const ComponentClassInfo* info =
          FindClass(window->record->units[static_cast<std::size_t>(index)].class_type);
      if (!info || !(info->state_flags & kClassNoWindow)) return 0;
    } else if (!Windows().Exists(object->handle())) {
      return 0;
    }
    return reinterpret_cast<std::intptr_t>(object);
  }
  std::uintptr_t SystemWindowOf(std::intptr_t object) const override {
    return reinterpret_cast<Component*>(object)->handle();
  }
};

Directory& TheDirectory() {
  static Directory directory;
  return directory;
}

void EndSequence(int code);

// What the window system reports.
class Events final : public os::WindowEvents {
 public:
  void OnClicked(os::WindowHandle control) override {
    if (Component* c = ComponentByHandle(control)) c->OnClicked();
  }
  void OnFocusChanged(os::WindowHandle control, bool gained) override {
    if (Component* c = ComponentByHandle(control)) {
      RaiseSimpleEvent(c->window_id(), c->unit_id(), gained ? event::kGotFocus : event::kLostFocus);
    }
  }
  void OnDestroyed(os::WindowHandle handle) override {
    for (auto& loaded : State().loaded) {
      LoadedWindow& window = *loaded;
      if (window.handle() != handle) continue;
      // Its components without a window of their own go with it, before it as its controls did.
      const auto& units = window.record->units;
      for (std::size_t i = 1; i < window.objects.size(); ++i) {
        const ComponentClassInfo* info = FindClass(units[i].class_type);
        if (window.objects[i] && info && (info->state_flags & kClassNoWindow)) {
          window.objects[i]->OnDestroyed();
        }
      }
      // Each tells the runtime, which lets go of it: the window's own notice frees `window`.
      window.objects[0]->OnDestroyed();
      return;
    }
    if (Component* c = ComponentByHandle(handle)) c->OnDestroyed();
  }
  void OnEndRequest(int code) override { EndProgram(code); }
  void OnContentChanged(os::WindowHandle edit) override {
    if (Component* c = ComponentByHandle(edit)) c->OnContentChanged();
  }
};

Events& TheEvents() {
  static Events events;
  return events;
}

// Splits at the last backslash, stepping over double-byte characters whole.
std::string RunDirectoryOf(const std::string& path) {
  std::size_t last = std::string::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    auto c = static_cast<unsigned char>(path[i]);
    if (gbk::IsLeadByte(c) && i + 1 < path.size()) {
      ++i;
    } else if (c == '\\') {
      last = i;
    }
  }
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

// A component's notice that its platform window is gone: the runtime lets go of its object, and
// of the whole window when it is the window's own unit; the last window to go ends the loop.
void ForgetDestroyed(std::uint32_t window_id, std::uint32_t unit_id) {
  RuntimeState& state = State();
  auto it = std::find_if(state.loaded.begin(), state.loaded.end(),
                         [&](const auto& w) { return w->record->id == window_id; });
  if (it == state.loaded.end()) return;
  int index = FindUnitIndex(*(*it)->record, unit_id);
  if (index < 0) return;
  if (index > 0) {
    (*it)->objects[static_cast<std::size_t>(index)].reset();
    return;
  }
  state.loaded.erase(it);
  if (state.loaded.empty() && state.loop_started) Windows().PostQuit(0);
}

void DestroyLoaded(LoadedWindow* window) {
  os::WindowHandle handle = window->handle();
  if (handle && Windows().Exists(handle)) {
    Windows().Destroy(handle);  // the window's notice drops it from the loaded list
  }
  auto& loaded = State().loaded;
  loaded.erase(std::remove_if(loaded.begin(), loaded.end(),
                              [&](const auto& w) { return w.get() == window; }),
               loaded.end());
}

[[noreturn]] void LoadFailed(std::uint32_t window_id) {
  Fatal(text::kLoadWindowFailed, window_id, 0);
}

void EndSequence(int code) {
  RuntimeState& state = State();
  state.ending = true;
  if (std::this_thread::get_id() != GuiThread() && state.hidden_owner) {
    Windows().SendEndRequest(state.hidden_owner, code);
    return;
  }
  if (state.end_started) return;
  state.end_started = true;
  DropIdleCallbacks();
  while (!state.loaded.empty())
    DestroyLoaded(state.loaded.back().get());
  std::vector<Procedure> procedures;
  procedures.swap(state.exit_procedures);
  for (Procedure p : procedures)
    p();
  if (const ProgramHeader* program = state.program) {
    for (std::int32_t i = 0; i < program->library_count; ++i) {
      const LibraryDescriptor* library = program->libraries[i];
      if (library && library->notify) library->notify(library_notify::kEnd, 0, 0);
    }
  }
  if (state.hidden_owner && Windows().Exists(state.hidden_owner)) {
    Windows().Destroy(state.hidden_owner);
  }
  state.hidden_owner = 0;
  if (state.drag_drop_initialized) Windows().ReleaseDragDrop();
  state.drag_drop_initialized = false;
}

}  // namespace

std::intptr_t IndexedEntry(int index, std::intptr_t argument) {
  switch (index) {
    case 6:
      InitializeRuntime();
      return 0;
    case 3:
      RegisterExitProcedure(reinterpret_cast<Procedure>(argument));
      return 0;
    default:
      return 0;
  }
}

void SetProgram(const ProgramHeader* header) {
  State().program = header;
  // The service table's entries that belong to the window runtime.
  ServiceTable& services = Services();
  services.get_property = GetProperty;
  services.set_property = SetProperty;
  services.run_message_loop = RunMessageLoop;
  services.load_window = LoadWindow;
  services.indexed_entry = IndexedEntry;
}

void InitializeRuntime() {
  RuntimeState& state = State();
  const ProgramHeader* program = state.program;
  SetWindowDirectory(&TheDirectory());
  SetEndSequence(EndSequence);
  Windows().SetEventSink(&TheEvents());

  if (!state.drag_drop_initialized) state.drag_drop_initialized = Windows().InitializeDragDrop();

  std::string directory = RunDirectoryOf(os::Current().process->ProgramPath());
  SetRunDirectory(directory);
  if (!directory.empty()) os::Current().process->SetCurrentDirectory(directory);

  state.hidden_owner = Windows().CreateHiddenOwner();
  GuiThread() = std::this_thread::get_id();
  if (program && program->constants_size)
    SetConstantRange(program->constants, program->constants_size);

  if (program) {
    for (std::int32_t i = 0; i < program->library_count; ++i) {
      const LibraryDescriptor* library = program->libraries[i];
      if (library && library->notify) {
        library->notify(library_notify::kStart, reinterpret_cast<std::intptr_t>(&Notify), 0);
      }
    }
    if (program->form_description_size != 0) {
      std::string_view stream(reinterpret_cast<const char*>(program->form_description),
                              program->form_description_size);
      if (!ReadFormDescription(stream, &state.form)) ReportFatal(text::kFormUnreadable, 0, 0, 0);
    }
  }
  // Handler identifiers are offsets from the program's code base; the dispatch turns them into
  // procedures when an event is raised, and an identifier outside the table binds nothing.
}

void RegisterExitProcedure(Procedure procedure) {
  auto& list = State().exit_procedures;
  if (std::find(list.begin(), list.end(), procedure) == list.end()) list.push_back(procedure);
}

std::intptr_t LoadWindow(std::uint32_t window_id) {
  RuntimeState& state = State();
  WindowRecord* record = nullptr;
  for (WindowRecord& w : state.form.windows) {
    if (w.id == window_id) record = &w;
  }
  if (!record || record->units.empty()) LoadFailed(window_id);

  state.loaded.push_back(std::make_unique<LoadedWindow>());
  LoadedWindow* window = state.loaded.back().get();
  window->record = record;
  window->objects.resize(record->units.size());

  for (std::size_t i = 0; i < record->units.size(); ++i) {
    const Unit& unit = record->units[i];
    if (unit.menu_item) continue;
    const ComponentClassInfo* info = FindClass(unit.class_type);
    CreateProc create = nullptr;
    if (info && info->interface_proc) {
      create = reinterpret_cast<CreateProc>(info->interface_proc(interface_number::kCreate));
    }
    Component* object = nullptr;
    if (create) {
      CreateParams params;
      params.data = unit.component_data;
      params.disabled = (unit.flags & kUnitDisabled) != 0;
      params.tab_stop = (unit.flags & kUnitTabStop) != 0;
      params.parent = i == 0 ? 0 : window->handle();
      params.control_number = ControlNumberOf(*record, i);
      params.rect = {unit.left, unit.top, unit.width, unit.height};
      params.window_id = window_id;
      params.unit_id = unit.id;
      object = create(params);
    }
    if (!object) {
      DestroyLoaded(window);
      LoadFailed(window_id);
    }
    window->objects[i].reset(object);
  }

  os::WindowSystem& ws = Windows();
  for (std::size_t i = 1; i < record->units.size(); ++i) {
    const Unit& unit = record->units[i];
    Component* object = window->objects[i].get();
    if (!object || !object->handle() || unit.container == 0) continue;
    int container = FindUnitIndex(*record, unit.container);
    if (container > 0 && window->objects[static_cast<std::size_t>(container)]) {
      ws.SetContainer(object->handle(),
                      window->objects[static_cast<std::size_t>(container)]->handle());
    }
  }
  for (std::size_t i = 0; i < record->units.size(); ++i) {
    Component* object = window->objects[i].get();
    if (!object || !object->handle()) continue;  // classes without a window are never shown
    ws.SetCursor(object->handle(), record->units[i].cursor);
    if (i == 0) continue;  // the window shows once its events have run
    bool visible = (record->units[i].flags & kUnitVisible) != 0;
    ws.Show(object->handle(), visible ? os::ShowMode::kNormal : os::ShowMode::kHide);
  }

  RaiseSimpleEvent(window_id, 0, event::kWindowCreated);
  if (FindLoaded(window_id)) RaiseSimpleEvent(window_id, 0, event::kWindowLoaded);
  if (FindLoaded(window_id)) RaiseSimpleEvent(window_id, 0, event::kWindowAboutToShow);
  if (!FindLoaded(window_id)) return 0;
  auto* top = static_cast<WindowComponent*>(window->objects[0].get());
  // The focus moves into the window as it shows; its got-focus event is raised once, below.
  ++state.delivery_suppressed;
  ws.Show(top->handle(), top->start_mode());
  --state.delivery_suppressed;
  if (Component* focused = ComponentByHandle(ws.GetFocus())) {
    RaiseSimpleEvent(focused->window_id(), focused->unit_id(), event::kGotFocus);
  }
  return reinterpret_cast<std::intptr_t>(top);
}

void RunMessageLoop() {
  RuntimeState& state = State();
  state.loop_started = true;
  if (state.loaded.empty()) return;
  Windows().RunMessageLoop(IdleStep);
}

std::intptr_t Notify(int code, std::intptr_t p1, std::intptr_t p2) {
  switch (code) {
    case notify::kFindClass:
      return reinterpret_cast<std::intptr_t>(FindClass(static_cast<std::uint32_t>(p1)));
    case notify::kComponentDestroyed:
      ForgetDestroyed(static_cast<std::uint32_t>(p1), static_cast<std::uint32_t>(p2));
      return 0;
    case notify::kRaiseShortEvent:
      return RaiseShortEvent(reinterpret_cast<ShortEventRequest*>(p1));
    case notify::kRaiseEvent:
      return RaiseEvent(reinterpret_cast<EventRequest*>(p1));
    default:
      return RuntimeRequest(code, p1, p2);
  }
}

void ResetRuntime() {
  RuntimeState& state = State();
  while (!state.loaded.empty())
    DestroyLoaded(state.loaded.back().get());
  const ProgramHeader* program = state.program;
  state = RuntimeState();
  state.program = program;
  SetWindowDirectory(nullptr);
  SetEndSequence(nullptr);
  SetRunDirectory("");
}

}  // namespace marvane::ui
