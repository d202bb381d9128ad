#include "runtime/ui/components/drop_target.h"

#include "platform/window_system.h"
#include "runtime/ui/component.h"
#include "runtime/ui/components/class_support.h"
#include "runtime/ui/components/drop_effect.h"
#include "runtime/ui/dispatch.h"
#include "runtime/ui/form/stream_reader.h"
#include "runtime/ui/runtime.h"
#include "runtime/ui/runtime_state.h"
#include "runtime/values/core.h"
#include "runtime/values/values.h"

namespace marvane::ui {
namespace {

constexpr std::uint32_t kVersion = 1;
enum Kind { kText, kHtml, kLink, kFiles, kKindCount };
constexpr std::int32_t kEventOf[kKindCount] = {0, 1, 2, 3};

class DropTarget final : public Component, public os::DropSink {
 public:
  DropTarget(const CreateParams& p, const bool accepts[kKindCount])
      : Component(p.window_id, p.unit_id, 0) {
    for (int k = 0; k < kKindCount; ++k)
      accepts_[k] = accepts[k];
    html_format_ = Windows().RegisterFormat("HTML Format");
    link_format_ = Windows().RegisterFormat("UniformResourceLocator");
  }
  ~DropTarget() override { Revoke(); }

  bool Register(os::WindowHandle window) {
    if (registered_) return false;
    if (!Windows().RegisterDropTarget(window, this)) return false;
    registered_ = window;
    return true;
  }

  // The component's window is gone: no more drops, and the runtime is told; it frees this object
  // in answer, so that is the last thing done here.
  void OnDestroyed() override {
    Revoke();
    Notify(notify::kComponentDestroyed, window_id(), unit_id());
  }

  bool& accepts(int kind) { return accepts_[kind]; }

  std::uint32_t DragEnter(os::DragData& data, std::uint32_t keys, std::uint32_t allowed) override {
    acceptable_ = false;
    if (accepts_[kText] && data.HasFormat(os::kTextFormat)) acceptable_ = true;
    if (!acceptable_ && accepts_[kFiles] && data.HasFormat(os::kFilesFormat)) acceptable_ = true;
    if (!acceptable_ && accepts_[kLink] && data.HasFormat(link_format_)) acceptable_ = true;
    if (!acceptable_ && accepts_[kHtml] && data.HasFormat(html_format_)) acceptable_ = true;
    return Effect(keys, allowed);
  }
  std::uint32_t DragOver(std::uint32_t keys, std::uint32_t allowed) override {
    return Effect(keys, allowed);
  }
  void DragLeave() override {}
  // The data is taken at once, and the event raised from the message loop right after: the
  // program that started the drag is released while the handler converts a list or shows a box.
  std::uint32_t Drop(os::DragData& data, std::uint32_t keys, std::uint32_t allowed) override {
    std::uint32_t effect = Effect(keys, allowed);
    if (effect == os::drag::kEffectNone) return effect;
    std::string text;
    int kind = kKindCount;
    if (accepts_[kText] && !data.HasFormat(html_format_) && data.GetText(os::kTextFormat, &text)) {
      kind = kText;
    } else if (accepts_[kHtml] && data.GetText(html_format_, &text)) {
      kind = kHtml;
    } else if (accepts_[kLink] && data.GetText(link_format_, &text)) {
      kind = kLink;
    } else if (accepts_[kFiles]) {
      std::vector<std::string> paths;
      if (data.GetFiles(&paths)) {
        kind = kFiles;
        text = FilesText(paths);
      }
    }
    if (kind != kKindCount) PostRaise(kind, std::move(text));
    return effect;
  }

  // Files the program was given at start arrive as a drop of them would.
  bool TakeGivenFiles(const std::vector<std::string>& paths) {
    if (!registered_ || !accepts_[kFiles] || paths.empty()) return false;
    PostRaise(kFiles, FilesText(paths));
    return true;
  }

 private:
  // The effect from the key state and what the source allows.
  std::uint32_t Effect(std::uint32_t keys, std::uint32_t allowed) const {
    return DropEffect(acceptable_, keys, allowed);
  }

  void PostRaise(int kind, std::string text) {
    Windows().PostTask(registered_, [window = window_id(), unit = unit_id(), kind,
                                     text = std::move(text)] { Raise(window, unit, kind, text); });
  }

  static std::string FilesText(const std::vector<std::string>& paths) {
    if (paths.size() == 1) return paths[0];
    std::string text;
    for (const std::string& path : paths)
      text += path + "\r\n";
    return text;
  }

  // Hands the text to the handler by reference, in runtime memory that is freed afterwards, also
  // when a fatal report ends the program from inside the handler.
  static void Raise(std::uint32_t window, std::uint32_t unit, int kind, const std::string& text) {
    Text variable = MakeText(text);
    auto release = [&variable] {
      Notify(request::kFree, reinterpret_cast<std::intptr_t>(variable), 0);
    };
    struct Release {
      decltype(release)& run;
      ~Release() { run(); }
    } released_at_end{release};
    EventRequest request;
    request.window_id = window;
    request.unit_id = unit;
    request.event = kEventOf[kind];
    request.argument_count = 1;
    request.arguments[0].payload = reinterpret_cast<std::uintptr_t>(&variable);
    request.arguments[0].type = type::kText;
    request.arguments[0].state = kByReference;
    Notify(notify::kRaiseEvent, reinterpret_cast<std::intptr_t>(&request), 0);
  }

  void Revoke() {
    // The window the registration named, which need not be the one the drop target was created
    // under: revoking that one would leave the registration to end only with its window.
    if (registered_ && Windows().Exists(registered_)) Windows().RevokeDropTarget(registered_);
    registered_ = 0;
  }

  bool accepts_[kKindCount] = {};
  std::uint32_t html_format_ = 0, link_format_ = 0;
  os::WindowHandle registered_ = 0;
  bool acceptable_ = false;
};

Component* Create(const CreateParams& p) {
  StreamReader r(p.data);
  std::uint32_t version = r.U32();
  bool accepts[kKindCount] = {};
  for (bool& a : accepts)
    a = r.U32() != 0;
  if (!r.ok() || version > kVersion) return nullptr;
  return new DropTarget(p, accepts);
}

void GetProperty(Component* object, std::int32_t index, PropertyValue* value) {
  if (index >= 0 && index < kKindCount)
    value->number = static_cast<DropTarget*>(object)->accepts(index);
}

int SetProperty(Component* object, std::int32_t index, const PropertyInput& value) {
  if (index >= 0 && index < kKindCount)
    static_cast<DropTarget*>(object)->accepts(index) = value.number != 0;
  return 0;
}

}  // namespace

const PropertyInfo kDropTargetProperties[] = {{property_type::kLogical, 0},
                                              {property_type::kLogical, 0},
                                              {property_type::kLogical, 0},
                                              {property_type::kLogical, 0}};
const std::int32_t kDropTargetPropertyCount = 4;

void* DropTargetInterface(int number) {
  return ProcedureFor(number, {Create, SetProperty, GetProperty});
}

bool DropGivenFiles(const std::vector<std::string>& paths) {
  for (const auto& window : State().loaded) {
    for (const auto& object : window->objects) {
      auto* target = dynamic_cast<DropTarget*>(object.get());
      if (target && target->TakeGivenFiles(paths)) return true;
    }
  }
  return false;
}

void RegisterDropArea(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const ValueRecord& self = Arg(argc, args, 0);
  auto* component =
      reinterpret_cast<Component*>(Notify(request::kComponentObjectOrFail, self.low, self.high));
  auto* target = dynamic_cast<DropTarget*>(component);
  auto window = static_cast<os::WindowHandle>(Arg(argc, args, 1).low);
  *result = BoolValue(target && target->Register(window));
}

}  // namespace marvane::ui
