// A stand-in for the program in the end-to-end drag test, built on the same window system: a
// window laid out like the program's, whose list box accepts dropped files.
//
//   drop_probe [<out-dir>]            shows the window; writes <out-dir>\ready.txt with the
//                                     list box's screen rectangle ("left top width height") and
//                                     <out-dir>\dropped.txt with each drop's event text (GBK);
//                                     its button shows a message box "已保存 <lines>". <out-dir>
//                                     is the current directory when not given.
//   drop_probe --measure <out-file>   times putting long texts into list boxes with and without
//                                     word wrap, one line of results per case
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/codec.h"
#include "platform/win32/windows_api.h"
#include "platform/window_system.h"
#include "runtime/ui/components/drop_effect.h"

// After windows.h, which it needs.
#include <shellapi.h>

namespace marvane {
namespace {

using os::WindowHandle;

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

// Files only, with the program's effect rules: Control copies (Control+Shift would link, which is
// refused), Shift moves, no key takes the first of copy, move and link that the source allows.
class FileSink final : public os::DropSink {
 public:
  FileSink(os::WindowSystem* windows, WindowHandle list, WindowHandle bar, std::wstring out)
      : windows_(windows), list_(list), bar_(bar), out_(std::move(out)) {}

  std::uint32_t DragEnter(os::DragData& data, std::uint32_t keys, std::uint32_t allowed) override {
    acceptable_ = data.HasFormat(os::kFilesFormat);
    return Effect(keys, allowed);
  }
  std::uint32_t DragOver(std::uint32_t keys, std::uint32_t allowed) override {
    return Effect(keys, allowed);
  }
  void DragLeave() override {}
  std::uint32_t Drop(os::DragData& data, std::uint32_t keys, std::uint32_t allowed) override {
    std::uint32_t effect = Effect(keys, allowed);
    std::vector<std::string> paths;
    if (effect == os::drag::kEffectNone || !data.GetFiles(&paths)) return effect;
    std::string text;
    for (const std::string& path : paths)
      text += paths.size() == 1 ? path : path + "\r\n";
    WriteBytes(out_ + L"\\dropped.txt", text);
    windows_->SetText(list_, text);
    windows_->SetStatusText(bar_, 0, 0, " " + std::to_string(paths.size()));
    return effect;
  }

 private:
  std::uint32_t Effect(std::uint32_t keys, std::uint32_t allowed) const {
    return ui::DropEffect(acceptable_, keys, allowed);
  }

  os::WindowSystem* windows_;
  WindowHandle list_;
  WindowHandle bar_;
  std::wstring out_;
  bool acceptable_ = false;
};

// Ends the loop when the window goes; a click on the button reports the list box's line count in
// a message box, as the program reports a save.
class Events final : public os::WindowEvents {
 public:
  explicit Events(const os::Services& services) : services_(services) {}
  void OnClicked(WindowHandle control) override {
    if (control != button) return;
    std::string text = services_.windows->GetText(list);
    std::size_t lines = text.empty() ? 0 : 1;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
      if (at + 1 < text.size()) ++lines;
    }
    os::MessageBoxRequest box;
    box.owner = top;
    box.text = "\xD2\xD1\xB1\xA3\xB4\xE6 " + std::to_string(lines);  // 已保存 n
    box.caption = "\xD0\xC5\xCF\xA2\xA3\xBA";                        // 信息：
    box.style = 0x40 | 0x2000;
    services_.dialogs->ShowMessageBox(box);
  }
  void OnFocusChanged(WindowHandle, bool) override {}
  void OnDestroyed(WindowHandle window) override {
    if (window == top) services_.windows->PostQuit(0);
  }
  void OnEndRequest(int code) override { services_.windows->PostQuit(code); }
  void OnContentChanged(WindowHandle) override {}
  WindowHandle top = 0, list = 0, button = 0;

 private:
  os::Services services_;
};

// The program's window: label, choice and save button on top, the list box inside the group box,
// the status bar at the bottom.
struct Window {
  WindowHandle top = 0, group = 0, list = 0, bar = 0, label = 0, combo = 0, button = 0;
};

Window Build(os::WindowSystem* windows, bool wrap) {
  Window w;
  os::TopLevelArgs top;
  top.caption = "Marvane drop probe";
  top.rect = {200, 100, 468, 533};
  top.minimize_box = true;
  w.top = windows->CreateTopLevel(top);
  os::GroupBoxArgs group;
  group.parent = w.top;
  group.id = 140;
  group.rect = {8, 48, 448, 432};
  group.caption =
      "\xC7\xEB\xBD\xAB\xC1\xD0\xB1\xED\xCE\xC4\xBC\xFE\xCD\xCF\xB7\xC5\xD6\xC1\xD5\xE2\xC0\xEF";
  w.group = windows->CreateGroupBox(group);
  os::EditArgs list;
  list.parent = w.top;
  list.id = 130;
  list.rect = {8, 21, 432, 402};
  list.multi_line = true;
  list.vertical_scroll = true;
  list.horizontal_scroll = !wrap;
  list.auto_horizontal_scroll = !wrap;
  list.input = os::EditInput::kReadOnly;
  list.case_conversion = os::CaseConversion::kUpper;
  list.border = os::Border::kPlain;
  list.tab_stop = true;
  w.list = windows->CreateEdit(list);
  windows->SetContainer(w.list, w.group);
  os::LabelArgs label;
  label.parent = w.top;
  label.id = 150;
  label.rect = {16, 16, 72, 24};
  label.caption = "\xC7\xEB\xD1\xA1\xD4\xF1\xCE\xDE\xC5\xCC\xA3\xBA";
  w.label = windows->CreateLabel(label);
  os::ComboBoxArgs combo;
  combo.parent = w.top;
  combo.id = 160;
  combo.rect = {96, 18, 224, 20};
  combo.tab_stop = true;
  combo.items = {"\xD4\xC6\xB8\xFC\xD0\xC2\xCE\xDE\xC5\xCC",
                 "\xCB\xB3\xCD\xF8\xCE\xDE\xC5\xCC"
                 "9\xCF\xB5\xC1\xD0"};
  combo.selection = 0;
  combo.item_height_adjust = 1;
  w.combo = windows->CreateComboBox(combo);
  os::ButtonArgs button;
  button.parent = w.top;
  button.id = 120;
  button.rect = {349, 14, 80, 25};
  button.caption = "\xB1\xA3\xB4\xE6";
  button.tab_stop = true;
  w.button = windows->CreateButton(button);
  os::StatusBarArgs bar;
  bar.parent = w.top;
  bar.id = 110;
  bar.rect = {0, 678, 462, 20};
  bar.parts = {{500, 0, ""}};
  w.bar = windows->CreateStatusBar(bar);
  for (WindowHandle h : {w.group, w.list, w.bar, w.label, w.combo, w.button}) {
    windows->Show(h, os::ShowMode::kNormal);
  }
  return w;
}

int Probe(const std::wstring& out) {
  os::Services services = os::DefaultServices();
  os::WindowSystem* windows = services.windows;
  Events events(services);
  windows->SetEventSink(&events);
  if (!windows->InitializeDragDrop()) return 3;
  Window w = Build(windows, true);
  events.top = w.top;
  events.list = w.list;
  events.button = w.button;
  FileSink sink(windows, w.list, w.bar, out);
  if (!w.list || !windows->RegisterDropTarget(w.list, &sink)) return 4;
  windows->Show(w.top, os::ShowMode::kNormal);

  RECT r;
  GetWindowRect(reinterpret_cast<HWND>(w.list), &r);
  WriteBytes(out + L"\\ready.txt", std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                                       std::to_string(r.right - r.left) + " " +
                                       std::to_string(r.bottom - r.top) + "\n");
  windows->RunMessageLoop({});
  windows->ReleaseDragDrop();
  return 0;
}

double SecondsToSet(os::WindowSystem* windows, WindowHandle list, const std::string& text) {
  windows->SetText(list, "");
  auto start = std::chrono::steady_clock::now();
  windows->SetText(list, text);
  // Reading it back makes sure the control has taken all of it.
  bool whole = windows->GetText(list).size() == text.size();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return whole ? seconds : -1;
}

int Measure(const std::wstring& out) {
  os::WindowSystem* windows = os::DefaultServices().windows;
  std::string report;
  for (bool wrap : {true, false}) {
    Window w = Build(windows, wrap);
    windows->Show(w.top, os::ShowMode::kNormal);
    for (std::size_t size : {10000, 30000, 50000, 100000}) {
      // Short lines, one line without a blank (XML without line ends), one line of words.
      for (const char* kind : {"lines", "one", "words"}) {
        std::string text;
        while (text.size() < size) {
          if (kind[0] == 'l' && text.size() % 80 == 78) {
            text += "\r\n";
          } else {
            text += kind[0] == 'w' && text.size() % 10 == 9 ? ' ' : 'A';
          }
        }
        double seconds = SecondsToSet(windows, w.list, text);
        char row[160];
        std::snprintf(row, sizeof row, "%s chars=%zu %-5s seconds=%.3f\n",
                      wrap ? "wrap  " : "nowrap", size, kind, seconds);
        report += row;
        WriteBytes(out, report);  // a case that never ends still leaves the earlier ones
      }
    }
    windows->Destroy(w.top);
  }
  return 0;
}

}  // namespace
}  // namespace marvane

int main() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count == 1) return marvane::Probe(L".");
  if (count == 2) return marvane::Probe(args[1]);
  if (count == 3 && std::wstring(args[1]) == L"--measure") return marvane::Measure(args[2]);
  std::fprintf(stderr, "usage: drop_probe [<out-dir>] | drop_probe --measure <out-file>\n");
  return 2;
}
