#include "platform/win32/drop_target.h"

#include <shellapi.h>

#include "platform/win32/codec.h"
#include "platform/win32/window_system.h"

namespace marvane::os::win32 {
namespace {

// How long the handler of a drop waits for the drag source's calls after Drop: for the first (its
// release of the drop target comes a millisecond or two after Drop returns), then after each for
// the next, and at most in all.
constexpr DWORD kDragSourceFirstCallMs = 100;
constexpr DWORD kDragSourceNextCallMs = 20;
constexpr DWORD kDragSourceLimitMs = 1000;

// OLE's window of this thread, through which calls from other processes reach its objects.
HWND OleWindowOfThisThread() {
  const DWORD thread = GetCurrentThreadId();
  HWND hwnd = nullptr;
  while ((hwnd = FindWindowExW(HWND_MESSAGE, hwnd, L"OleMainThreadWndClass", nullptr))) {
    if (GetWindowThreadProcessId(hwnd, nullptr) == thread) return hwnd;
  }
  return nullptr;
}

FORMATETC GlobalFormat(std::uint32_t format) {
  return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// A medium got from a data object, released when it goes.
class Medium {
 public:
  Medium(IDataObject* object, std::uint32_t format) {
    FORMATETC wanted = GlobalFormat(format);
    ok_ = object && object->GetData(&wanted, &medium_) == S_OK;
    if (ok_ && (medium_.tymed != TYMED_HGLOBAL || !medium_.hGlobal)) {
      ReleaseStgMedium(&medium_);
      ok_ = false;
    }
  }
  ~Medium() {
    if (ok_) ReleaseStgMedium(&medium_);
  }
  Medium(const Medium&) = delete;
  Medium& operator=(const Medium&) = delete;
  bool ok() const { return ok_; }
  HGLOBAL global() const { return medium_.hGlobal; }

 private:
  STGMEDIUM medium_{};
  bool ok_ = false;
};

// The units of global memory up to the first zero unit or the block's end.
template <typename Unit>
bool ReadGlobal(HGLOBAL global, std::basic_string<Unit>* out) {
  SIZE_T size = GlobalSize(global);
  auto units = static_cast<const Unit*>(GlobalLock(global));
  if (!units) return false;
  std::size_t count = size / sizeof(Unit);
  std::size_t length = 0;
  while (length < count && units[length] != 0)
    ++length;
  out->assign(units, length);
  GlobalUnlock(global);
  return true;
}

}  // namespace

HRESULT OleDropTarget::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG OleDropTarget::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG OleDropTarget::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT OleDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (!sink_ || !data) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  ObjectDragData view(data);
  *effect = sink_->DragEnter(view, keys, *effect);
  return S_OK;
}

HRESULT OleDropTarget::DragOver(DWORD keys, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = sink_ ? sink_->DragOver(keys, *effect) : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT OleDropTarget::DragLeave() {
  if (sink_) sink_->DragLeave();
  return S_OK;
}

HRESULT OleDropTarget::Drop(IDataObject* data, DWORD keys, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (!sink_ || !data) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  ObjectDragData view(data);
  Win32WindowSystem::DropScope scope(system_);
  *effect = sink_->Drop(view, keys, *effect);
  return S_OK;
}

bool ObjectDragData::HasFormat(std::uint32_t format) {
  FORMATETC wanted = GlobalFormat(format);
  return object_->QueryGetData(&wanted) == S_OK;
}

bool ObjectDragData::GetText(std::uint32_t format, std::string* text) {
  if (format == CF_TEXT) {
    Medium wide_medium(object_, CF_UNICODETEXT);
    std::wstring wide;
    if (wide_medium.ok() && ReadGlobal(wide_medium.global(), &wide)) {
      *text = Gbk(wide);
      return true;
    }
  }
  Medium medium(object_, format);
  return medium.ok() && ReadGlobal(medium.global(), text);
}

bool ObjectDragData::GetFiles(std::vector<std::string>* paths) {
  Medium medium(object_, CF_HDROP);
  if (!medium.ok()) return false;
  auto drop = static_cast<HDROP>(medium.global());
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  paths->clear();
  for (UINT i = 0; i < count; ++i) {
    UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    UINT got = DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(got);
    paths->push_back(GbkPath(path));
  }
  return true;
}

// The drag source's last calls into the drop target come once Drop has returned (its release of the
// target above all), and it waits for each to be answered: a source such as Explorer would hang
// until the handler of the drop ended. They come as messages to OLE's window of this thread; those,
// and only those, are handled here (input and the messages of our windows keep their order) until
// none has come for a while.
void Win32WindowSystem::LetDragSourceGo() {
  HWND ole = OleWindowOfThisThread();
  if (!ole) return;
  const DWORD start = GetTickCount();
  DWORD wait = kDragSourceFirstCallMs;
  DWORD since = start;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, ole, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&msg);
      wait = kDragSourceNextCallMs;
      since = GetTickCount();
    }
    const DWORD now = GetTickCount();
    if (now - since >= wait || now - start >= kDragSourceLimitMs) return;
    MsgWaitForMultipleObjectsEx(0, nullptr, wait - (now - since), QS_POSTMESSAGE | QS_SENDMESSAGE,
                                0);
  }
}

bool Win32WindowSystem::InitializeDragDrop() {
  if (ole_initialized_) return true;
  // S_FALSE (already initialised on this thread) counts as well and is balanced the same way.
  ole_initialized_ = SUCCEEDED(OleInitialize(nullptr));
  return ole_initialized_;
}

void Win32WindowSystem::ReleaseDragDrop() {
  if (!ole_initialized_) return;
  ole_initialized_ = false;
  OleUninitialize();
}

bool Win32WindowSystem::RegisterDropTarget(WindowHandle window, DropSink* sink) {
  HWND hwnd = ToHwnd(window);
  Win32Window* record = Find(hwnd);
  if (!record || record->drop_target || !sink) return false;
  auto target = new OleDropTarget(sink, this);
  if (FAILED(RegisterDragDrop(hwnd, target))) {
    target->Release();
    return false;
  }
  record->drop_target = target;
  return true;
}

void Win32WindowSystem::RevokeDropTarget(WindowHandle window) {
  HWND hwnd = ToHwnd(window);
  RevokeDrop(hwnd, Find(hwnd));
}

// Must happen while the window still exists.
void Win32WindowSystem::RevokeDrop(HWND hwnd, Win32Window* record) {
  if (!record || !record->drop_target) return;
  RevokeDragDrop(hwnd);
  record->drop_target->Disconnect();
  record->drop_target->Release();
  record->drop_target = nullptr;
}

}  // namespace marvane::os::win32
