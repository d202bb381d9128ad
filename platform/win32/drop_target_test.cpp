#include "platform/win32/drop_target.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/window_system.h"
#include "tests/support/win32/file_data_object.h"

namespace marvane::os::win32 {
namespace {

using testing::FileDataObject;

// A sink that answers with a fixed effect and records what it was told.
class RecordingSink final : public DropSink {
 public:
  std::uint32_t DragEnter(DragData& data, std::uint32_t keys, std::uint32_t allowed) override {
    calls.push_back("enter " + std::to_string(keys) + " " + std::to_string(allowed));
    data.GetFiles(&files);
    return answer;
  }
  std::uint32_t DragOver(std::uint32_t keys, std::uint32_t allowed) override {
    calls.push_back("over " + std::to_string(keys) + " " + std::to_string(allowed));
    return answer;
  }
  void DragLeave() override { calls.push_back("leave"); }
  std::uint32_t Drop(DragData& data, std::uint32_t keys, std::uint32_t allowed) override {
    calls.push_back("drop " + std::to_string(keys) + " " + std::to_string(allowed));
    data.GetFiles(&files);
    return answer;
  }
  std::uint32_t answer = drag::kEffectCopy;
  std::vector<std::string> calls;
  std::vector<std::string> files;
};

TEST(OleDropTargetTest, PassesKeysAndEffectsBothWays) {
  RecordingSink sink;
  auto target = new OleDropTarget(&sink, nullptr);
  auto data = new FileDataObject({L"C:\\a.ini"});
  POINTL at{10, 10};
  const DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  for (std::uint32_t answer : {drag::kEffectCopy, drag::kEffectNone, drag::kEffectMove}) {
    sink.answer = answer;
    DWORD effect = allowed;
    EXPECT_EQ(target->DragEnter(data, MK_LBUTTON | MK_CONTROL, at, &effect), S_OK);
    EXPECT_EQ(effect, answer);
    effect = allowed;
    EXPECT_EQ(target->DragOver(MK_LBUTTON | MK_SHIFT, at, &effect), S_OK);
    EXPECT_EQ(effect, answer);
    effect = allowed;
    EXPECT_EQ(target->Drop(data, MK_SHIFT, at, &effect), S_OK);
    EXPECT_EQ(effect, answer);
  }
  EXPECT_EQ(sink.calls[0], "enter 9 7");
  EXPECT_EQ(sink.calls[1], "over 5 7");
  EXPECT_EQ(sink.calls[2], "drop 4 7");
  EXPECT_EQ(sink.files, std::vector<std::string>{"C:\\a.ini"});

  // Once disconnected from its sink it refuses everything and calls nothing.
  target->Disconnect();
  sink.calls.clear();
  DWORD effect = allowed;
  EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, at, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = allowed;
  EXPECT_EQ(target->Drop(data, 0, at, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  target->DragLeave();
  EXPECT_TRUE(sink.calls.empty());
  target->Release();
  data->Release();
}

TEST(ObjectDragDataTest, FileListsComeOutAsGbkInOrder) {
  const struct {
    std::vector<std::wstring> wide;
    std::vector<std::string> gbk;
  } cases[] = {
      {{L"Z:\\tmp\\list.ini"}, {"Z:\\tmp\\list.ini"}},
      {{L"C:\\\u5BA2\u6237\u673A.xml", L"C:\\b.ini"},
       {"C:\\\xBF\xCD\xBB\xA7\xBB\xFA.xml", "C:\\b.ini"}},
      {{L"C:\\\uAC00.ini"}, {"C:\\?.ini"}},  // cannot be held in GBK: names no file
  };
  for (const auto& c : cases) {
    auto object = new FileDataObject(c.wide);
    ObjectDragData data(object);
    EXPECT_TRUE(data.HasFormat(kFilesFormat));
    EXPECT_FALSE(data.HasFormat(kTextFormat));
    std::vector<std::string> paths{"stale"};
    ASSERT_TRUE(data.GetFiles(&paths));
    EXPECT_EQ(paths, c.gbk);
    object->Release();
  }
}

TEST(ObjectDragDataTest, TextFormats) {
  UINT html = RegisterClipboardFormatW(L"HTML Format");
  auto object = new FileDataObject({});
  std::wstring wide = L"\u4E2D\u6587";
  object->Offer(CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(wide.c_str()),
                                            (wide.size() + 1) * sizeof(wchar_t)));
  object->Offer(CF_TEXT, std::string("narrow\0tail", 11));
  object->Offer(static_cast<CLIPFORMAT>(html), "<b>x</b>");  // no terminator in the block
  ObjectDragData data(object);
  std::string text;
  ASSERT_TRUE(data.GetText(kTextFormat, &text));
  EXPECT_EQ(text, "\xD6\xD0\xCE\xC4");  // the wide text, not the narrow one
  ASSERT_TRUE(data.GetText(html, &text));
  EXPECT_EQ(text, "<b>x</b>");
  EXPECT_FALSE(data.GetText(RegisterClipboardFormatW(L"UniformResourceLocator"), &text));
  std::vector<std::string> paths;
  EXPECT_FALSE(data.GetFiles(&paths));
  object->Release();

  auto narrow_only = new FileDataObject({});
  narrow_only->Offer(CF_TEXT, std::string("narrow\0tail", 11));
  ObjectDragData narrow(narrow_only);
  ASSERT_TRUE(narrow.GetText(kTextFormat, &text));
  EXPECT_EQ(text, "narrow");
  narrow_only->Release();
}

TEST(Win32DropRegistrationTest, RegistersOnceAndAgainAfterRevoking) {
  Win32WindowSystem system;
  ASSERT_TRUE(system.InitializeDragDrop());
  TopLevelArgs args;
  args.rect = {0, 0, 300, 200};
  WindowHandle top = system.CreateTopLevel(args);
  EditArgs edit_args;
  edit_args.parent = top;
  edit_args.rect = {8, 8, 200, 100};
  WindowHandle edit = system.CreateEdit(edit_args);
  RecordingSink sink;
  EXPECT_TRUE(system.RegisterDropTarget(edit, &sink));
  EXPECT_FALSE(system.RegisterDropTarget(edit, &sink));
  system.RevokeDropTarget(edit);
  EXPECT_TRUE(system.RegisterDropTarget(edit, &sink));
  EXPECT_FALSE(system.RegisterDropTarget(0, &sink));
  // Destroying the window revokes its registration; a new window registers afresh.
  system.Destroy(top);
  EXPECT_EQ(RevokeDragDrop(ToHwnd(edit)), DRAGDROP_E_INVALIDHWND);
  EXPECT_NE(system.RegisterFormat("HTML Format"), 0u);
  EXPECT_EQ(system.RegisterFormat("HTML Format"), system.RegisterFormat("HTML Format"));
  system.ReleaseDragDrop();
}

}  // namespace
}  // namespace marvane::os::win32
