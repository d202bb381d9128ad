// A data object offering a dropped-file list (wide paths) and, optionally, further formats as
// global memory: the drag source of the end-to-end drag test and the drop target's unit tests.
#pragma once

#include "platform/win32/windows_api.h"
// After windows.h, which it needs.
#include <ole2.h>

#include <map>
#include <string>
#include <vector>

namespace marvane::testing {

class FileDataObject final : public IDataObject {
 public:
  explicit FileDataObject(std::vector<std::wstring> paths) : paths_(std::move(paths)) {}
  FileDataObject(const FileDataObject&) = delete;
  FileDataObject& operator=(const FileDataObject&) = delete;

  // Offers bytes (copied as they are) under a format number; no file list when paths is empty.
  void Offer(CLIPFORMAT format, std::string bytes) { extra_[format] = std::move(bytes); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  ~FileDataObject() = default;
  bool Offers(CLIPFORMAT format) const;

  LONG references_ = 1;
  std::vector<std::wstring> paths_;
  std::map<CLIPFORMAT, std::string> extra_;
};

}  // namespace marvane::testing
