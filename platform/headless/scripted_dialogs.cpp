#include "platform/headless/scripted_dialogs.h"

namespace marvane::os::headless {

int ScriptedDialogs::ShowMessageBox(const MessageBoxRequest& request) {
  shown_.push_back(
      {request.owner, std::string(request.text), std::string(request.caption), request.style});
  if (on_show_) {
    Shown shown = shown_.back();  // the hook may show another box
    on_show_(shown);
  }
  if (answers_.empty()) return 1;  // IDOK
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace marvane::os::headless
