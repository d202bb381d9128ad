// The record the headless window system keeps for each window and control.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "platform/cursor_data.h"
#include "platform/headless/gbk_case.h"
#include "platform/headless/headless_window_system.h"

namespace marvane::os::headless {

struct HeadlessWindowSystem::Window {
  WindowKind kind = WindowKind::kTopLevel;
  WindowHandle handle = 0;
  WindowHandle parent = 0;
  std::vector<WindowHandle> children;  // in creation order
  Rect rect;
  std::string text;  // caption, edit content, or the field of an editable combo box
  bool visible = false;
  bool enabled = true;
  bool tab_stop = false;
  bool dying = false;  // destruction has begun
  ShowMode show_mode = ShowMode::kHide;
  std::uint32_t cursor = cursor::kDefault;  // the standard cursor shown over it

  // The creation arguments, their string views pointing into the two owned copies below.
  std::variant<std::monostate, TopLevelArgs, EditArgs, ButtonArgs, GroupBoxArgs, LabelArgs,
               ComboBoxArgs, StatusBarArgs>
      args;
  std::string arg_text;
  std::string arg_icon;

  // Edit box. The text set last is kept as it was given and converted in place when it is first
  // read: a raw list that a conversion replaces at once is never converted at all.
  CaseConversion case_conversion = CaseConversion::kNone;
  bool case_pending = false;
  EditInput input = EditInput::kNormal;
  std::uint32_t max_length = 0;
  // Combo box.
  ComboKind combo_kind = ComboKind::kDropDownList;
  std::vector<std::string> items;
  std::int32_t selection = -1;
  // Status bar.
  std::vector<StatusPart> parts;
  Dock dock = Dock::kNone;

  DropSink* drop_sink = nullptr;

  // Brings an edit box's text to the case its style asks for, before anything reads or extends it.
  void ConvertPendingCase() {
    if (!case_pending) return;
    ConvertCase(text, case_conversion);
    case_pending = false;
  }
};

}  // namespace marvane::os::headless
