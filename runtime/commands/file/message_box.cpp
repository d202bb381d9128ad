// ShowMessageBox: a modal box with the message as text, answered by the button pressed.
#include "platform/platform.h"
#include "runtime/commands/file/file_commands.h"
#include "runtime/commands/file/texts.h"
#include "runtime/commands/text/text_commands.h"
#include "runtime/values/core.h"

namespace marvane::commands {
namespace {

constexpr std::uint32_t kSystemModal = 0x1000;  // MB_SYSTEMMODAL
constexpr std::uint32_t kTaskModal = 0x2000;    // MB_TASKMODAL

// Numbers, truth values and date-times read as ToText writes them; other types as "".
OwnedText FormattedText(const ValueRecord& message) {
  const bool formatted = (type::IsNumeric(message.type) && !type::IsArray(message.type)) ||
                         message.type == type::kBool || message.type == type::kDateTime;
  if (!formatted) return nullptr;
  return OwnedText(static_cast<char*>(PointerOf(CallCore(ToText, {message}))));
}

os::WindowHandle Owner(const ValueRecord& owner) {
  if (owner.type == type::kWindow) {
    // No owner when the window is not loaded: request 2006 answers 0 for it.
    return SystemWindowOf(RuntimeRequest(request::kComponentObject, owner.low, 0));
  }
  if (owner.type == type::kInt) return owner.low;
  return 0;
}

// IDOK 1 ... IDNO 7 become 0 ... 6; anything else, failure included, is 0.
std::int32_t ButtonIndex(int answer) {
  return answer >= 1 && answer <= 7 ? answer - 1 : 0;
}

}  // namespace

void ShowMessageBox(ValueRecord* result, std::int32_t argc, ValueRecord* args) {
  const ValueRecord& message = Arg(argc, args, 0);
  const ValueRecord& caption = Arg(argc, args, 2);
  OwnedText formatted;
  os::MessageBoxRequest box;
  if (message.type == type::kText) {
    box.text = TextOf(message);
  } else {
    formatted = FormattedText(message);
    box.text = TextView(formatted.get());
  }
  box.caption = IsOmitted(caption) ? file_text::kDefaultCaption : TextOf(caption);
  box.style = Arg(argc, args, 1).low;
  if (!(box.style & kSystemModal)) box.style |= kTaskModal;
  // A fourth argument counts only when the caller passed four.
  box.owner = argc >= 4 ? Owner(args[3]) : 0;
  *result = IntValue(ButtonIndex(os::Current().dialogs->ShowMessageBox(box)));
}

}  // namespace marvane::commands
