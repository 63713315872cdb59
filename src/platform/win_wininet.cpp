// WININET.DLL loaded by its full path in the system directory and called through the
// entry points looked up at load. Texts go to and come from the ANSI functions in the
// ANSI code page.
#include <windows.h>
#include <wininet.h>

#include <array>

#include "platform/text.h"
#include "platform/wininet.h"

namespace kestrune::platform {

namespace {

using GetLastResponseInfoFn = BOOL(WINAPI*)(LPDWORD, LPSTR, LPDWORD);
using OpenFn = HINTERNET(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
using ConnectFn = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, INTERNET_PORT, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR);
using FtpSetCurrentDirectoryFn = BOOL(WINAPI*)(HINTERNET, LPCSTR);
using CloseHandleFn = BOOL(WINAPI*)(HINTERNET);
using QueryDataAvailableFn = BOOL(WINAPI*)(HINTERNET, LPDWORD, DWORD, DWORD_PTR);
using ReadFileFn = BOOL(WINAPI*)(HINTERNET, LPVOID, DWORD, LPDWORD);
using FtpOpenFileFn = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, DWORD, DWORD, DWORD_PTR);
using HttpOpenRequestFn = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*, DWORD, DWORD_PTR);
using HttpSendRequestFn = BOOL(WINAPI*)(HINTERNET, LPCSTR, DWORD, LPVOID, DWORD);
using HttpQueryInfoFn = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, LPDWORD, LPDWORD);
using SetOptionFn = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD);

// The entry points in the order they are looked up; the first missing one is reported.
constexpr std::array<const char*, 11> kEntryNames = {
    "InternetGetLastResponseInfoA", "InternetOpenA",   "InternetConnectA",   "FtpSetCurrentDirectoryA",
    "InternetCloseHandle",          "InternetQueryDataAvailable", "InternetReadFile", "FtpOpenFileA",
    "HttpOpenRequestA",             "HttpSendRequestA", "HttpQueryInfoA"};

class WinInet final : public InternetApi {
 public:
  explicit WinInet(HMODULE module) : module_(module) {}
  ~WinInet() override { FreeLibrary(module_); }

  // Looks up the entry points; returns the first missing one, or nullptr.
  const char* bind() {
    std::array<FARPROC, kEntryNames.size()> found{};
    for (size_t i = 0; i < kEntryNames.size(); ++i) {
      found[i] = GetProcAddress(module_, kEntryNames[i]);
      if (!found[i]) return kEntryNames[i];
    }
    lastResponse_ = reinterpret_cast<GetLastResponseInfoFn>(reinterpret_cast<void*>(found[0]));
    open_ = reinterpret_cast<OpenFn>(reinterpret_cast<void*>(found[1]));
    connect_ = reinterpret_cast<ConnectFn>(reinterpret_cast<void*>(found[2]));
    ftpSetDir_ = reinterpret_cast<FtpSetCurrentDirectoryFn>(reinterpret_cast<void*>(found[3]));
    close_ = reinterpret_cast<CloseHandleFn>(reinterpret_cast<void*>(found[4]));
    query_ = reinterpret_cast<QueryDataAvailableFn>(reinterpret_cast<void*>(found[5]));
    read_ = reinterpret_cast<ReadFileFn>(reinterpret_cast<void*>(found[6]));
    ftpOpen_ = reinterpret_cast<FtpOpenFileFn>(reinterpret_cast<void*>(found[7]));
    httpOpen_ = reinterpret_cast<HttpOpenRequestFn>(reinterpret_cast<void*>(found[8]));
    httpSend_ = reinterpret_cast<HttpSendRequestFn>(reinterpret_cast<void*>(found[9]));
    httpQuery_ = reinterpret_cast<HttpQueryInfoFn>(reinterpret_cast<void*>(found[10]));
    setOption_ = reinterpret_cast<SetOptionFn>(reinterpret_cast<void*>(GetProcAddress(module_, "InternetSetOptionA")));
    return nullptr;
  }

  std::optional<std::string> lastResponseInfo() override {
    std::string buffer(3000, '\0');
    DWORD error = 0;
    DWORD length = static_cast<DWORD>(buffer.size());
    if (!lastResponse_(&error, buffer.data(), &length) || length == 0) return std::nullopt;
    buffer.resize(length < buffer.size() ? length : buffer.size());
    while (!buffer.empty() && buffer.back() == '\0') buffer.pop_back();
    if (buffer.empty()) return std::nullopt;
    return FromAnsi(buffer);
  }

  InternetHandle open(const std::string& agent) override {
    return open_(ToAnsi(agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  }

  InternetHandle connect(InternetHandle session, const std::string& host, uint16_t port, InternetService service,
                         const char* user, const char* password) override {
    const bool ftp = service == InternetService::Ftp;
    if (port == 0) port = ftp ? INTERNET_DEFAULT_FTP_PORT : INTERNET_DEFAULT_HTTP_PORT;
    const std::string ansiUser = user ? ToAnsi(user) : std::string();
    const std::string ansiPassword = password ? ToAnsi(password) : std::string();
    return connect_(static_cast<HINTERNET>(session), ToAnsi(host).c_str(), port, user ? ansiUser.c_str() : nullptr,
                    password ? ansiPassword.c_str() : nullptr, ftp ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP, 0, 0);
  }

  bool ftpSetCurrentDirectory(InternetHandle connection, const std::string& directory) override {
    return ftpSetDir_(static_cast<HINTERNET>(connection), ToAnsi(directory).c_str()) != FALSE;
  }

  bool closeHandle(InternetHandle handle) override { return close_(static_cast<HINTERNET>(handle)) != FALSE; }

  bool queryDataAvailable(InternetHandle file, uint32_t& bytes) override {
    DWORD n = 0;
    if (!query_(static_cast<HINTERNET>(file), &n, 0, 0)) return false;
    bytes = n;
    return true;
  }

  bool readFile(InternetHandle file, void* buffer, uint32_t size, uint32_t& read) override {
    DWORD n = 0;
    if (!read_(static_cast<HINTERNET>(file), buffer, size, &n)) return false;
    read = n;
    return true;
  }

  InternetHandle ftpOpenFile(InternetHandle connection, const std::string& name) override {
    return ftpOpen_(static_cast<HINTERNET>(connection), ToAnsi(name).c_str(), GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0);
  }

  InternetHandle httpOpenRequest(InternetHandle connection, const std::string& verb, const std::string& object) override {
    return httpOpen_(static_cast<HINTERNET>(connection), verb.c_str(), ToAnsi(object).c_str(), nullptr, nullptr, nullptr,
                     INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  }

  bool httpSendRequest(InternetHandle request, const std::string& headers) override {
    return httpSend_(static_cast<HINTERNET>(request), headers.c_str(), static_cast<DWORD>(headers.size()), nullptr, 0) !=
           FALSE;
  }

  bool httpQueryInfo(InternetHandle request, HttpInfo what, uint32_t bufferSize, std::string& value) override {
    std::string buffer(bufferSize, '\0');
    DWORD length = bufferSize;
    const DWORD info = what == HttpInfo::ContentLength ? HTTP_QUERY_CONTENT_LENGTH : HTTP_QUERY_STATUS_CODE;
    if (!httpQuery_(static_cast<HINTERNET>(request), info, buffer.data(), &length, nullptr)) return false;
    buffer.resize(length < bufferSize ? length : bufferSize);
    value = FromAnsi(buffer.c_str());
    return true;
  }

  bool setTimeouts(InternetHandle session, uint32_t milliseconds) override {
    if (!setOption_) return false;
    bool ok = true;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                         INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
      DWORD value = milliseconds;
      ok = setOption_(static_cast<HINTERNET>(session), option, &value, sizeof value) && ok;
    }
    return ok;
  }

  uint32_t lastError() override { return GetLastError(); }

 private:
  HMODULE module_;
  GetLastResponseInfoFn lastResponse_ = nullptr;
  OpenFn open_ = nullptr;
  ConnectFn connect_ = nullptr;
  FtpSetCurrentDirectoryFn ftpSetDir_ = nullptr;
  CloseHandleFn close_ = nullptr;
  QueryDataAvailableFn query_ = nullptr;
  ReadFileFn read_ = nullptr;
  FtpOpenFileFn ftpOpen_ = nullptr;
  HttpOpenRequestFn httpOpen_ = nullptr;
  HttpSendRequestFn httpSend_ = nullptr;
  HttpQueryInfoFn httpQuery_ = nullptr;
  SetOptionFn setOption_ = nullptr;
};

}  // namespace

InternetLibrary loadInternetLibrary() {
  wchar_t dir[MAX_PATH];
  const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  // The full path keeps a WININET.DLL planted beside the program from being loaded.
  HMODULE module = LoadLibraryExW((std::wstring(dir, n) + L"\\wininet.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) return {};
  auto api = std::make_unique<WinInet>(module);
  if (const char* missing = api->bind()) return {nullptr, missing};
  return {std::move(api), {}};
}

}  // namespace kestrune::platform
