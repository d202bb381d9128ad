#include "platform/win32/window_system.h"

namespace marvane::os::win32 {

WindowHandle Win32WindowSystem::CreateButton(const ButtonArgs& args) {
  ChildStyle style;
  style.style = (args.default_button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_MULTILINE;
  style.style |= args.align == HAlign::kLeft    ? BS_LEFT
                 : args.align == HAlign::kRight ? BS_RIGHT
                                                : BS_CENTER;
  style.style |= args.valign == VAlign::kTop      ? BS_TOP
                 : args.valign == VAlign::kBottom ? BS_BOTTOM
                                                  : BS_VCENTER;
  auto record = std::make_unique<Win32Window>();
  record->kind = Win32Window::Kind::kButton;
  return ToHandle(CreateChild(L"BUTTON", args, args.caption, style, std::move(record)));
}

}  // namespace marvane::os::win32
