#include "platform/win32/colors.h"
#include "platform/win32/window_system.h"

namespace marvane::os::win32 {

// Controls placed inside it send it their notifications; its subclass hands them on to the same
// handling as the top-level window's.
WindowHandle Win32WindowSystem::CreateGroupBox(const GroupBoxArgs& args) {
  ChildStyle style;
  style.style = BS_GROUPBOX;
  style.style |= args.align == HAlign::kLeft     ? BS_LEFT
                 : args.align == HAlign::kCenter ? BS_CENTER
                                                 : BS_RIGHT;
  auto record = std::make_unique<Win32Window>();
  record->kind = Win32Window::Kind::kGroupBox;
  SetColors(record.get(), args.text_color, args.background);
  return ToHandle(CreateChild(L"BUTTON", args, args.caption, style, std::move(record)));
}

}  // namespace marvane::os::win32
