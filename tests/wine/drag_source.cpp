// The other side of the end-to-end drag test: a small window that, when the left mouse button goes
// down on it, drags a dropped-file list of the paths it was given (copy, move and link allowed, or
// the DROPEFFECT_* bits in the environment variable MARVANE_DRAG_EFFECTS).
//
//   drag_source <out-dir> <path>...
//
// Writes <out-dir>\source-ready.txt with its window's screen rectangle ("left top width height")
// once shown, and <out-dir>\source-result.txt when the drag ends: "result <hex> effect <n>", then
// "released <t>", the Unix time at which DoDragDrop let the source go.
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/support/win32/file_data_object.h"
#include "tests/support/win32/unix_time.h"

// After windows.h, which it needs.
#include <shellapi.h>

namespace {

std::wstring out_dir;
std::vector<std::wstring> paths;

void WriteText(const std::wstring& name, const std::string& text) {
  HANDLE h = CreateFileW((out_dir + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
}

class Source final : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
      *object = static_cast<IDropSource*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the stack for the whole drag.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

DWORD AllowedEffects() {
  wchar_t value[16] = {};
  DWORD n = GetEnvironmentVariableW(L"MARVANE_DRAG_EFFECTS", value, 16);
  if (n == 0 || n >= 16) return DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  return static_cast<DWORD>(std::wcstoul(value, nullptr, 10));
}

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_LBUTTONDOWN: {
      auto data = new marvane::testing::FileDataObject(paths);
      Source source;
      DWORD effect = DROPEFFECT_NONE;
      HRESULT result = DoDragDrop(data, &source, AllowedEffects(), &effect);
      const double released = marvane::testing::UnixNow();
      data->Release();
      char lines[128];
      std::snprintf(lines, sizeof lines, "result %08lx effect %lu\nreleased %.6f\n",
                    static_cast<unsigned long>(result), static_cast<unsigned long>(effect),
                    released);
      WriteText(L"source-result.txt", lines);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count < 3) {
    std::fprintf(stderr, "usage: drag_source <out-dir> <path>...\n");
    return 2;
  }
  out_dir = args[1];
  for (int i = 2; i < count; ++i)
    paths.emplace_back(args[i]);
  if (FAILED(OleInitialize(nullptr))) return 3;

  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_HIGHLIGHT);
  wc.lpszClassName = L"MarvaneDragSource";
  RegisterClassW(&wc);
  HWND hwnd =
      CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Marvane drag source", WS_POPUP | WS_BORDER,
                      20, 20, 120, 80, nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 4;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  RECT r;
  GetWindowRect(hwnd, &r);
  WriteText(L"source-ready.txt", std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                                     std::to_string(r.right - r.left) + " " +
                                     std::to_string(r.bottom - r.top) + "\n");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  OleUninitialize();
  return 0;
}
