#include "tests/support/win32/file_data_object.h"

#include <shlobj.h>

#include <cstring>

namespace marvane::testing {
namespace {

HGLOBAL Copy(const void* data, std::size_t size) {
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!global) return nullptr;
  std::memcpy(GlobalLock(global), data, size);
  GlobalUnlock(global);
  return global;
}

// DROPFILES, then each wide path with its terminator, then one more terminator.
std::string DropList(const std::vector<std::wstring>& paths) {
  DROPFILES header{};
  header.pFiles = sizeof header;
  header.fWide = TRUE;
  std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
  for (const std::wstring& path : paths) {
    bytes.append(reinterpret_cast<const char*>(path.c_str()), (path.size() + 1) * sizeof(wchar_t));
  }
  bytes.append(sizeof(wchar_t), '\0');
  return bytes;
}

}  // namespace

HRESULT FileDataObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG FileDataObject::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG FileDataObject::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

bool FileDataObject::Offers(CLIPFORMAT format) const {
  return (format == CF_HDROP && !paths_.empty()) || extra_.count(format) != 0;
}

HRESULT FileDataObject::QueryGetData(FORMATETC* format) {
  if (!format) return E_INVALIDARG;
  if (!Offers(format->cfFormat)) return DV_E_FORMATETC;
  if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
  if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  return S_OK;
}

HRESULT FileDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  HRESULT status = QueryGetData(format);
  if (status != S_OK) return status;
  std::string bytes =
      format->cfFormat == CF_HDROP && !paths_.empty() ? DropList(paths_) : extra_[format->cfFormat];
  HGLOBAL global = Copy(bytes.data(), bytes.size());
  if (!global) return E_OUTOFMEMORY;
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = global;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT FileDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

HRESULT FileDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
  if (direction != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> formats;
  if (!paths_.empty()) formats.push_back({CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  for (const auto& [format, bytes] : extra_) {
    formats.push_back({format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  }
  return SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
}

}  // namespace marvane::testing
