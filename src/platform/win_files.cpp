// Files through the Win32 API (W functions; names are UTF-8 inside the program).
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/files.h"
#include "platform/plain_files.h"
#include "platform/platform_error.h"
#include "platform/text.h"

namespace kestrune::platform {

namespace {

HANDLE h(intptr_t v) { return reinterpret_cast<HANDLE>(v); }

[[noreturn]] void fail(const char* api) { throwWin32(api, GetLastError()); }

double daysOfFileTime(const FILETIME& utc) {
  FILETIME local;
  WORD date = 0, time = 0;
  if (FileTimeToLocalFileTime(&utc, &local) && FileTimeToDosDateTime(&local, &date, &time))
    return dosDateTimeToDateTime((static_cast<uint32_t>(date) << 16) | time);
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return 0;
  return encodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, 0});
}

}  // namespace

std::optional<File> File::tryOpen(const std::string& path, FileAccess access) {
  DWORD rights = access == FileAccess::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  HANDLE f = CreateFileW(Widen(path).c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::nullopt;
  return File(reinterpret_cast<intptr_t>(f));
}

File File::open(const std::string& path, FileAccess access) {
  auto f = tryOpen(path, access);
  if (!f) fail("CreateFileW");
  return std::move(*f);
}

File File::create(const std::string& path) {
  HANDLE f = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) fail("CreateFileW");
  return File(reinterpret_cast<intptr_t>(f));
}

File File::createNew(const std::string& path) {
  HANDLE f = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (f == INVALID_HANDLE_VALUE) fail("CreateFileW");
  return File(reinterpret_cast<intptr_t>(f));
}

void File::flush() {
  if (!FlushFileBuffers(h(handle_))) fail("FlushFileBuffers");
}

bool File::tryRenameOpen(const std::string& to, bool replace) {
  if (handle_ == -1) return false;
  return plain::renameOpenFile(h(handle_), Widen(to).c_str(), replace);
}

void replaceFile(const std::string& from, const std::string& to) {
  if (!MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING))
    fail("MoveFileExW");
}

bool renameNew(const std::string& from, const std::string& to) {
  if (MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0)) return true;
  const DWORD code = GetLastError();
  if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) return false;
  throwWin32("MoveFileExW", code);
}

bool fileReplaceable(const std::string& path) {
  // Write and delete access with every sharing allowed: refused while another handle
  // shares neither, for a running program's image and for a read-only file, which are the
  // cases where replacing the file would fail. The link itself is opened, not its target.
  HANDLE f =
      CreateFileW(Widen(path).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (f != INVALID_HANDLE_VALUE) {
    CloseHandle(f);
    return true;
  }
  const DWORD code = GetLastError();
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

bool sameFile(const std::string& a, const std::string& b) {
  auto info = [](const std::string& p, BY_HANDLE_FILE_INFORMATION& out) {
    HANDLE f = CreateFileW(Widen(p).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(f, &out) != 0;
    CloseHandle(f);
    return ok;
  };
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  if (!info(a, ia) || !info(b, ib)) return false;
  return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
         ia.nFileIndexLow == ib.nFileIndexLow;
}

size_t File::read(void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    DWORD n = 0;
    DWORD want = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
    if (!ReadFile(h(handle_), static_cast<char*>(buffer) + done, want, &n, nullptr)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      fail("ReadFile");
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}

size_t File::write(const void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    DWORD n = 0;
    DWORD want = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
    if (!WriteFile(h(handle_), static_cast<const char*>(buffer) + done, want, &n, nullptr) || n == 0) break;
    done += n;
  }
  return done;
}

int64_t File::seek(int64_t offset, SeekOrigin origin) {
  LARGE_INTEGER dist, pos;
  dist.QuadPart = offset;
  DWORD method = origin == SeekOrigin::Begin ? FILE_BEGIN : origin == SeekOrigin::Current ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(h(handle_), dist, &pos, method)) fail("SetFilePointerEx");
  return pos.QuadPart;
}

int64_t File::position() const {
  LARGE_INTEGER zero, pos;
  zero.QuadPart = 0;
  if (!SetFilePointerEx(h(handle_), zero, &pos, FILE_CURRENT)) fail("SetFilePointerEx");
  return pos.QuadPart;
}

int64_t File::size() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h(handle_), &size)) fail("GetFileSizeEx");
  return size.QuadPart;
}

void File::truncate() {
  if (!SetEndOfFile(h(handle_))) fail("SetEndOfFile");
}

double File::date() const {
  FILETIME write;
  if (!GetFileTime(h(handle_), nullptr, nullptr, &write)) fail("GetFileTime");
  return daysOfFileTime(write);
}

void File::setDate(double days) {
  FILETIME local, utc;
  if (auto dos = dateTimeToDosDateTime(days)) {
    if (!DosDateTimeToFileTime(static_cast<WORD>(*dos >> 16), static_cast<WORD>(*dos & 0xFFFF), &local))
      fail("DosDateTimeToFileTime");
  } else {
    const DateTimeParts p = decodeDateTime(days);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(p.year);
    st.wMonth = static_cast<WORD>(p.month);
    st.wDay = static_cast<WORD>(p.day);
    st.wHour = static_cast<WORD>(p.hour);
    st.wMinute = static_cast<WORD>(p.minute);
    st.wSecond = static_cast<WORD>(p.second);
    if (!SystemTimeToFileTime(&st, &local)) fail("SystemTimeToFileTime");
  }
  if (!LocalFileTimeToFileTime(&local, &utc)) fail("LocalFileTimeToFileTime");
  if (!SetFileTime(h(handle_), nullptr, nullptr, &utc)) fail("SetFileTime");
}

void File::close() {
  if (handle_ != -1) {
    CloseHandle(h(handle_));
    handle_ = -1;
  }
}

bool fileExists(const std::string& path) {
  if (path.empty()) return false;
  DWORD a = GetFileAttributesW(Widen(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool directoryExists(const std::string& path) {
  if (path.empty()) return false;
  DWORD a = GetFileAttributesW(Widen(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void forceDirectories(const std::string& path) {
  std::string p = path;
  while (p.size() > 3 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  if (p.empty() || directoryExists(p) || (p.size() == 2 && p[1] == ':')) return;
  auto slash = p.find_last_of("\\/");
  if (slash != std::string::npos && slash > 0) forceDirectories(p.substr(0, slash));
  if (!CreateDirectoryW(Widen(p).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) fail("CreateDirectoryW");
}

bool deleteFile(const std::string& path) { return DeleteFileW(Widen(path).c_str()) != 0; }

std::optional<double> fileAgeDays(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return daysOfFileTime(data.ftLastWriteTime);
}

std::optional<std::vector<std::string>> folderEntries(const std::string& path) {
  WIN32_FIND_DATAW data;
  std::wstring pattern = Widen(path);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<std::string> names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(Narrow(name));
  } while (FindNextFileW(find, &data));
  const DWORD code = GetLastError();
  FindClose(find);
  if (code != ERROR_NO_MORE_FILES) return std::nullopt;
  return names;
}

std::optional<FileSizeAndDate> fileSizeAndDate(const std::string& path) {
  // Under Wine this is answered without a round trip to the server, unlike opening the file.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  const int64_t size = static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  const int64_t stamp =
      static_cast<int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
  return FileSizeAndDate{size, daysOfFileTime(data.ftLastWriteTime), stamp};
}

std::string createTempFile(std::string_view prefix) {
  wchar_t dir[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  if (!GetTempPathW(MAX_PATH, dir)) fail("GetTempPathW");
  if (!GetTempFileNameW(dir, Widen(prefix).c_str(), 0, name)) fail("GetTempFileNameW");
  return Narrow(name);
}

std::optional<uint64_t> freeDiskSpace(const std::string& path) {
  ULARGE_INTEGER avail;
  if (!GetDiskFreeSpaceExW(Widen(path).c_str(), &avail, nullptr, nullptr)) return std::nullopt;
  return avail.QuadPart;
}

std::optional<uint32_t> fileAttributes(const std::string& path) {
  DWORD a = GetFileAttributesW(Widen(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return a;
}

bool setFileAttributes(const std::string& path, uint32_t attributes) {
  return SetFileAttributesW(Widen(path).c_str(), attributes) != 0;
}

}  // namespace kestrune::platform
