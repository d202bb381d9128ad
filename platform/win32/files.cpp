#include "platform/win32/files.h"

#include "platform/win32/windows_api.h"

#include "platform/win32/codec.h"

namespace marvane::os::win32 {
namespace {

// ReadFile and WriteFile take 32-bit counts; one call never asks for more than this.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

// FILETIME counts 100 ns from 1601; FileIdentity counts ns from 1970, which fits 64 bits.
constexpr std::int64_t kEpochDifference = 116444736000000000;

std::int64_t Nanoseconds(LARGE_INTEGER filetime) {
  return (filetime.QuadPart - kEpochDifference) * 100;
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }
  HANDLE release() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }

 private:
  HANDLE h_;
};

class Win32File final : public File {
 public:
  explicit Win32File(HANDLE h) : h_(h) {}
  ~Win32File() override { Close(); }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  // Fills the buffer unless the end of the file comes first.
  std::int64_t Read(void* buffer, std::size_t size) override {
    if (!h_) return -1;
    auto out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
      std::size_t ask = size - done < kMaxTransfer ? size - done : kMaxTransfer;
      DWORD n = 0;
      if (!ReadFile(h_, out + done, static_cast<DWORD>(ask), &n, nullptr)) return -1;
      if (n == 0) break;
      done += n;
    }
    return static_cast<std::int64_t>(done);
  }

  bool Write(const void* data, std::size_t size) override {
    if (!h_) return false;
    auto in = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
      std::size_t ask = size - done < kMaxTransfer ? size - done : kMaxTransfer;
      DWORD n = 0;
      if (!WriteFile(h_, in + done, static_cast<DWORD>(ask), &n, nullptr) || n == 0) return false;
      done += n;
    }
    return true;
  }

  bool Seek(std::uint64_t position) override {
    if (!h_ || position > static_cast<std::uint64_t>(INT64_MAX)) return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(position);
    return SetFilePointerEx(h_, to, nullptr, FILE_BEGIN) != 0;
  }

  std::int64_t Position() override {
    LARGE_INTEGER zero{}, at{};
    if (!h_ || !SetFilePointerEx(h_, zero, &at, FILE_CURRENT)) return -1;
    return at.QuadPart;
  }

  std::int64_t Length() override {
    LARGE_INTEGER size{};
    if (!h_ || !GetFileSizeEx(h_, &size)) return -1;
    return size.QuadPart;
  }

  bool Flush() override { return h_ && FlushFileBuffers(h_) != 0; }

  bool Close() override {
    if (!h_) return false;
    HANDLE h = h_;
    h_ = nullptr;
    return CloseHandle(h) != 0;
  }

 private:
  HANDLE h_;
};

DWORD ShareMode(Share share) {
  switch (share) {
    case Share::kReadWrite:
      return FILE_SHARE_READ | FILE_SHARE_WRITE;
    case Share::kWriteOnly:
      return FILE_SHARE_WRITE;
    case Share::kReadOnly:
      return FILE_SHARE_READ;
    case Share::kNone:
      break;
  }
  return 0;
}

DWORD Disposition(Creation creation) {
  switch (creation) {
    case Creation::kOpenExisting:
      return OPEN_EXISTING;
    case Creation::kOpenAlways:
      return OPEN_ALWAYS;
    case Creation::kCreateNew:
      return CREATE_NEW;
    case Creation::kCreateAlways:
      break;
  }
  return CREATE_ALWAYS;
}

// Windows refuses to write, replace or delete a file marked read-only. Wine run as root does not:
// it keeps the mark as the file's Unix mode, which root may write through. Refusing such a file
// here ourselves keeps both alike.
bool ReadOnlyFile(const std::wstring& name) {
  DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY) ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  SetLastError(ERROR_ACCESS_DENIED);
  return true;
}

}  // namespace

std::unique_ptr<File> Win32FileSystem::Open(std::string_view path, Access access, Creation creation,
                                            Share share) {
  if (path.empty()) return nullptr;
  DWORD rights = access == Access::kRead    ? GENERIC_READ
                 : access == Access::kWrite ? GENERIC_WRITE
                                            : GENERIC_READ | GENERIC_WRITE;
  std::wstring name = Wide(path);
  // Before the creation: it would empty the file.
  if (access != Access::kRead && ReadOnlyFile(name)) return nullptr;
  Handle h(CreateFileW(name.c_str(), rights, ShareMode(share), nullptr, Disposition(creation),
                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.valid()) return nullptr;
  // A device would block or swallow the data; only files on a disk are files here.
  if (GetFileType(h.get()) != FILE_TYPE_DISK) return nullptr;
  return std::make_unique<Win32File>(h.release());
}

bool Win32FileSystem::FindFirst(std::string_view pattern) {
  if (pattern.empty()) return false;
  std::wstring name = Wide(pattern);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(name.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

bool Win32FileSystem::Identify(std::string_view path, FileIdentity* identity) {
  if (path.empty()) return false;
  std::wstring name = Wide(path);
  // No access rights asked: reading the attributes must not be refused by another opener.
  Handle h(CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h.valid()) return false;
  BY_HANDLE_FILE_INFORMATION info;
  FILE_BASIC_INFO basic;
  if (!GetFileInformationByHandle(h.get(), &info) ||
      !GetFileInformationByHandleEx(h.get(), FileBasicInfo, &basic, sizeof basic)) {
    return false;
  }
  identity->device = info.dwVolumeSerialNumber;
  identity->file = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  identity->size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  identity->change_time = Nanoseconds(basic.ChangeTime);
  identity->modification_time = Nanoseconds(basic.LastWriteTime);
  return true;
}

bool Win32FileSystem::Remove(std::string_view path) {
  if (path.empty()) return false;
  std::wstring name = Wide(path);
  return !ReadOnlyFile(name) && DeleteFileW(name.c_str()) != 0;
}

bool Win32FileSystem::Replace(std::string_view source, std::string_view target) {
  if (source.empty() || target.empty()) return false;
  std::wstring from = Wide(source);
  std::wstring to = Wide(target);
  if (ReadOnlyFile(to)) return false;
  {
    // FlushFileBuffers needs write access.
    Handle h(CreateFileW(from.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid() || !FlushFileBuffers(h.get())) return false;
  }
  return MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace marvane::os::win32
