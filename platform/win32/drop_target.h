// OLE drag and drop: our drop-target object that hands each callback to a DropSink, and the
// DragData view of the platform's data object.
#pragma once

#include "platform/win32/windows_api.h"
// After windows.h, which it needs.
#include <ole2.h>

#include "platform/window_system.h"

namespace marvane::os::win32 {

class Win32WindowSystem;

class OleDropTarget final : public IDropTarget {
 public:
  // system: whose tasks posted from Drop wait for the drag source to be let go; may be null.
  OleDropTarget(DropSink* sink, Win32WindowSystem* system) : sink_(sink), system_(system) {}
  OleDropTarget(const OleDropTarget&) = delete;
  OleDropTarget& operator=(const OleDropTarget&) = delete;

  // After this every callback refuses the drag: OLE may hold the object beyond its window.
  void Disconnect() { sink_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                 DWORD* effect) override;

 private:
  ~OleDropTarget() = default;

  LONG references_ = 1;
  DropSink* sink_;
  Win32WindowSystem* system_;
};

// The data of one drag as the drop sink asks for it. Texts and paths come out as GBK; a path
// with a character GBK cannot hold carries "?" there and so names no file that can be opened.
class ObjectDragData final : public DragData {
 public:
  explicit ObjectDragData(IDataObject* object) : object_(object) {}
  bool HasFormat(std::uint32_t format) override;
  // The standard text format is taken from the data's wide text when it has one: the narrow
  // form is in the source system's own code page, which need not be GBK.
  bool GetText(std::uint32_t format, std::string* text) override;
  bool GetFiles(std::vector<std::string>* paths) override;

 private:
  IDataObject* object_;
};

}  // namespace marvane::os::win32
