#include "app/conversion_window.h"

#include <cstring>

#include "app/cloud_list_reader.h"
#include "app/identifiers.h"
#include "app/texts.h"
#include "app/xml_list_reader.h"
#include "platform/platform.h"
#include "runtime/commands/file/file_commands.h"
#include "runtime/commands/text/text_commands.h"
#include "runtime/ui/components/drop_target.h"
#include "runtime/ui/components/status_bar.h"
#include "runtime/ui/libraries.h"
#include "runtime/values/service_table.h"
#include "runtime/values/values.h"

namespace marvane::app {
namespace {

using commands::FindText;

// The only state that lives between events.
Text dropped_file_path = nullptr;

// Property access through the runtime's service table.
OwnedText GetTextProperty(std::uint32_t unit, std::int32_t property) {
  std::int64_t value = Services().get_property(kStartupWindow, unit, property, -1);
  return OwnedText(reinterpret_cast<char*>(static_cast<std::intptr_t>(value)));
}

void SetTextProperty(std::uint32_t unit, std::int32_t property, const char* text) {
  ValueRecord v = PointerValue(text, type::kText);
  Services().set_property(kStartupWindow, unit, property, -1, v.low, v.high);
}

void SetIntProperty(std::uint32_t unit, std::int32_t property, std::int32_t value) {
  Services().set_property(kStartupWindow, unit, property, -1, static_cast<std::uint32_t>(value), 0);
}

// FindText with the start omitted and case-sensitive: a position, or -1.
std::int32_t Find(const char* text, const char* marker) {
  return IntOf(CallCore(FindText, {TextArg(text), TextArg(marker), {}, BoolValue(false)}));
}

bool Equals(const char* a, const char* b) {
  return std::strcmp(a ? a : "", b) == 0;
}

void ShowMessage(const char* text, std::int32_t style, const char* caption, bool owned) {
  ValueRecord caption_arg = caption ? TextArg(caption) : ValueRecord{};
  ValueRecord owner = owned ? StartupWindowRef() : ValueRecord{};
  CallCore(commands::ShowMessageBox, {TextArg(text), IntValue(style), caption_arg, owner});
}

}  // namespace

const char* DroppedFilePath() {
  return dropped_file_path;
}

std::int64_t OnWindowCreated(const std::uintptr_t*, std::int32_t) {
  ValueRecord handle =
      CallCore(ui::GetWindowHandle, {ComponentRef(kEditClientList, type::kEditBox)});
  CallLibrary(ui::RegisterDropArea,
              {ComponentRef(kDropTarget, type::kDropTarget), IntValue(IntOf(handle))});
  return 0;
}

std::int64_t OnFileDropped(const std::uintptr_t* args, std::int32_t count) {
  const char* dropped = count > 0 ? *reinterpret_cast<const Text*>(args[0]) : nullptr;
  Free(dropped_file_path);
  dropped_file_path = MakeText(dropped);

  // The bytes become the text in their own block, as ToText would make it and with the byte set
  // let go at once: a large list is then held once, not twice, while it is shown.
  OwnedText text(
      TextFromOwnedByteSet(PointerOf(CallCore(commands::ReadWholeFile, {TextArg(dropped)}))));
  SetTextProperty(kEditClientList, kEditContent, text.get());

  // The raw text is let go before a conversion, which reads the file afresh: a large list is
  // then not held once more while it is converted.
  if (Find(text.get(), text::kIpAddrMarker) != -1 && Find(text.get(), text::kNameMarker) != -1) {
    text.reset();
    SetIntProperty(kComboSelectKind, kComboSelection, 0);
    ConvertDroppedList();
    return 0;
  }
  if (Find(text.get(), text::kClientInforMarker) != -1) {
    text.reset();
    SetIntProperty(kComboSelectKind, kComboSelection, 1);
    ConvertDroppedList();
    return 0;
  }
  ShowMessage(text::kUnsupported, 0, nullptr, false);
  return 0;
}

void ConvertDroppedList() {
  std::int32_t count = 0;
  OwnedText kind = GetTextProperty(kComboSelectKind, kComboContent);
  if (Equals(kind.get(), text::kCloudUpdateKind)) {
    OwnedText list(ReadCloudUpdateList(dropped_file_path, &count));
    SetTextProperty(kEditClientList, kEditContent, list.get());
  }
  kind = GetTextProperty(kComboSelectKind, kComboContent);
  if (Equals(kind.get(), text::kXmlListKind)) {
    OwnedText list(ReadXmlClientList(dropped_file_path, &count));
    SetTextProperty(kEditClientList, kEditContent, list.get());
  }
  OwnedText digits(static_cast<char*>(PointerOf(CallCore(commands::ToText, {IntValue(count)}))));
  std::string status =
      std::string(text::kCountPrefix) + std::string(TextView(digits.get())) + text::kCountSuffix;
  CallLibrary(ui::SetStatusPartText,
              {ComponentRef(kStatusBar, type::kStatusBar), IntValue(0), TextArg(status.c_str())});
}

std::int64_t OnSaveClicked(const std::uintptr_t*, std::int32_t) {
  OwnedText content = GetTextProperty(kEditClientList, kEditContent);
  if (!content) {
    ShowMessage(text::kNothingToSave, os::message_box::kStopIcon, nullptr, true);
    return 0;
  }
  OwnedText directory(static_cast<char*>(PointerOf(CallCore(commands::GetRunDirectory, {}))));
  std::string path = std::string(TextView(directory.get())) + text::kListFileName;
  OwnedByteSet bytes(PointerOf(CallCore(commands::ToByteSet, {TextArg(content.get())})));
  bool written =
      CallCore(commands::WriteToFile, {TextArg(path.c_str()), ByteSetArg(bytes.get())}).low != 0;
  if (written) {
    ShowMessage((text::kSaved + path).c_str(), os::message_box::kInformationIcon,
                text::kSuccessCaption, true);
  } else {
    ShowMessage(text::kSaveFailed, os::message_box::kStopIcon, text::kErrorCaption, true);
  }
  return 0;
}

void ReleaseDroppedPath() {
  Free(dropped_file_path);
  dropped_file_path = nullptr;
}

}  // namespace marvane::app
