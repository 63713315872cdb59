// Network install locations: connection, download and transfer loop, the global list.
#include "objects/cmp_TCustomNetInstallLocation.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "objects/net_errors.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "runtime/params.h"
#include "runtime/process_messages.h"
#include "runtime/published.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {

// "host:port" names a port other than the protocol's default one (0).
std::pair<std::string, uint16_t> splitHostAndPort(const std::string& hostname) {
  const std::string host = Trim(hostname);
  const size_t colon = host.rfind(':');
  if (colon == std::string::npos || colon == 0 || host.find(':') != colon || colon + 1 == host.size() ||
      host.size() - colon > 6)
    return {host, 0};
  unsigned long port = 0;
  for (size_t i = colon + 1; i < host.size(); ++i) {
    if (host[i] < '0' || host[i] > '9') return {host, 0};
    port = port * 10 + static_cast<unsigned long>(host[i] - '0');
  }
  if (port == 0 || port > 65535) return {host, 0};
  return {host.substr(0, colon), static_cast<uint16_t>(port)};
}

// The HTTP object of a remote file: the server directory with one "/" before the name,
// always starting with "/" (a relative object would make an invalid request line).
std::string httpObject(const std::string& directory, const std::string& remoteName) {
  std::string path = ServerDirectory(directory);
  if (path.front() != '/') path.insert(path.begin(), '/');
  if (path.back() != '/') path += '/';
  return path + remoteName;
}

// The text of a block's first 30 bytes (fewer when it is shorter or holds a zero byte).
bool startsWithNotFoundPage(const char* block, uint32_t size) {
  const uint32_t n = std::min<uint32_t>(size, 30);
  std::string head(block, std::find(block, block + n, '\0'));
  return UpperCase(head).find("404") != std::string::npos;
}

}  // namespace

const ClassInfo& TCustomNetInstallLocation::classInfo() {
  static const ClassInfo info{"TCustomNetInstallLocation", &TComponent::classInfo(), nullptr, {}};
  return info;
}

const ClassInfo& TNetInstallLocation::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TCustomNetInstallLocation::LoginInformation>("LoginInformation"), eventProp("OnAfterDownload"),
      eventProp("OnAfterLogin"), eventProp("OnBeforeDownload"), eventProp("OnBeforeLogin"), eventProp("OnDataReceived")};
  static const ClassInfo info{"TNetInstallLocation", &TCustomNetInstallLocation::classInfo(), create<TNetInstallLocation>, props};
  return info;
}

void registerNetClasses(ClassRegistry& registry) { registry.Register(TNetInstallLocation::classInfo()); }

TCustomNetInstallLocation::TCustomNetInstallLocation(TComponent* owner)
    : TComponent(owner), loginInformation_(std::make_unique<TLoginInformation>(this)) {
  NetInstallLocations().Add(this);
}

TCustomNetInstallLocation::~TCustomNetInstallLocation() {
  if (file_ && api_) api_->closeHandle(file_);
  Disconnect();
  api_.reset();
  NetInstallLocations().Remove(this);
  if (LastConnectedLocation() == this) SetLastConnectedLocation(nullptr);
}

void TCustomNetInstallLocation::SetLoginInformation(const TLoginInformation* value) {
  if (value) loginInformation_->Assign(*value);
}

void TCustomNetInstallLocation::UseInternetApi(std::unique_ptr<platform::InternetApi> api) { api_ = std::move(api); }

std::string TCustomNetInstallLocation::serverResponse() const {
  std::optional<std::string> text = api_ ? api_->lastResponseInfo() : std::nullopt;
  return text ? Trim(*text) : std::string();
}

template <class E>
void TCustomNetInstallLocation::raise(std::string_view step, std::initializer_list<FmtArg> args) const {
  // The code first: reading the response is a call of its own that may change it.
  const uint32_t code = api_ ? api_->lastError() : 0;
  const std::string host = LastConnectedLocation() ? LastConnectedLocation()->LoginHostname() : std::string();
  throw E(NetErrorMessage(step, args, code, host, serverResponse()));
}

void TCustomNetInstallLocation::LoadWinInet() {
  platform::InternetLibrary library = platform::loadInternetLibrary();
  if (!library.api) {
    if (library.missingEntry.empty())
      throw ENIL_FailLoadWININET(TranslateMessage(
          "Failed to load the Wininet.dll. If this is a hybrid installation, you might want to include the WININET.DLL "
          "file in the PresetupFiles property of the TInstall component"));
    std::string name = library.missingEntry;
    if (!name.empty() && name.back() == 'A') name.pop_back();
    throw ENIL_FailLoadDLLProc(Format(TranslateMessage("Failed to load the procedure %s from WININET.DLL"), {name}));
  }
  UseInternetApi(std::move(library.api));
}

void TCustomNetInstallLocation::Connect() {
  SetLastConnectedLocation(this);
  if (!api_) LoadWinInet();
  const TLoginInformation& login = *loginInformation_;
  if (!session_) {
    std::string agent = ChangeFileExt(ExtractFileName(ParamStr(0)), "");
    session_ = api_->open(agent.empty() ? "Kestrune" : agent);
    if (!session_) raise<ENIL_OpenSession>("Cannot open internet connection", {});
    // Without time-outs of its own the library may wait for a silent server forever.
    api_->setTimeouts(session_, timeoutMilliseconds_);
  }
  const bool ftp = login.Protocol == TInternetProtocol::ipFTP;
  if (!connection_) {
    if (OnBeforeLogin) OnBeforeLogin(this);
    const auto [host, port] = splitHostAndPort(login.Hostname);
    const char* user = nullptr;
    const char* password = nullptr;
    if (!login.Anonymous) {
      user = login.Username.c_str();
      password = login.Password.c_str();
    } else if (!ftp) {
      user = "";
      password = "";
    }
    connection_ = api_->connect(session_, host, port, ftp ? platform::InternetService::Ftp : platform::InternetService::Http,
                                user, password);
    if (!connection_) raise<ENIL_OpenService>("Cannot connect to host %s", {login.Hostname});
    ftpDirectory_.clear();
    api_->setTimeouts(connection_, timeoutMilliseconds_);
    if (OnAfterLogin) OnAfterLogin(this);
  }
  // A relative directory is relative to the current one: setting it again on the same
  // connection would go one level deeper with every download.
  const std::string dir = ServerDirectory(login.Directory);
  if (ftp && dir != ftpDirectory_) {
    if (!api_->ftpSetCurrentDirectory(connection_, dir)) raise<ENIL_FTPSetDir>("Cannot set directory on server to %s", {dir});
    ftpDirectory_ = dir;
  }
}

bool TCustomNetInstallLocation::Disconnect() {
  bool ok = true;
  if (connection_ && api_) {
    if (api_->closeHandle(connection_)) {
      connection_ = nullptr;
      ftpDirectory_.clear();
    } else {
      ok = false;
    }
  }
  if (session_ && api_) {
    if (api_->closeHandle(session_)) session_ = nullptr;
    else ok = false;
  }
  return ok;
}

platform::InternetHandle TCustomNetInstallLocation::openRemoteFile() {
  const TLoginInformation& login = *loginInformation_;
  if (login.Protocol == TInternetProtocol::ipFTP) {
    platform::InternetHandle file = api_->ftpOpenFile(connection_, remoteName_);
    if (!file) raise<ENIL_FTPOpenFile>("Cannot open file %s on server", {remoteName_});
    return file;
  }
  platform::InternetHandle request = api_->httpOpenRequest(connection_, "GET", httpObject(login.Directory, remoteName_));
  if (!request) raise<ENIL_HTTPOpenFile>("Cannot open file %s on server", {remoteName_});
  // The library takes the time-outs of a request from the request itself.
  api_->setTimeouts(request, timeoutMilliseconds_);
  if (!api_->httpSendRequest(request, "Accept: */*\r\n\r\n")) {
    file_ = request;  // closed by Download
    raise<ENIL_HTTPSendRequest>("Cannot send request for file %s to the server", {remoteName_});
  }
  return request;
}

void TCustomNetInstallLocation::Download(const std::string& remoteName, const std::string& localPath) {
  Connect();
  localPath_ = localPath;
  remoteName_ = remoteName;
  if (OnBeforeDownload) OnBeforeDownload(this);
  bool aborted = false;
  try {
    file_ = openRemoteFile();
    aborted = transfer();
  } catch (...) {
    // The transfer's error is the one to report; the handle goes in any case.
    if (file_) api_->closeHandle(file_);
    file_ = nullptr;
    throw;
  }
  const bool closed = api_->closeHandle(file_);
  file_ = nullptr;
  if (!closed) raise<ENIL_FTPCloseFile>("Cannot close the file %s on the server", {remoteName_});
  if (OnAfterDownload) OnAfterDownload(this, aborted);
}

int32_t TCustomNetInstallLocation::expectedSize(bool http) {
  if (!http) {
    uint32_t available = 0;
    if (!api_->queryDataAvailable(file_, available))
      raise<ENIL_FailDataQuery>("Could not query file %s on server", {remoteName_});
    return static_cast<int32_t>(std::min<uint32_t>(available, INT32_MAX));
  }
  std::string text;
  if (!api_->httpQueryInfo(file_, platform::HttpInfo::ContentLength, 33, text)) {
    if (api_->lastError() == platform::kErrorHttpHeaderNotFound) return 0;
    raise<ENIL_FailDataQuery>("Could not query file %s on server", {remoteName_});
  }
  char* end = nullptr;
  const std::string trimmed = Trim(text);
  const long long value = std::strtoll(trimmed.c_str(), &end, 10);
  if (trimmed.empty() || *end != '\0' || value < 0 || value > INT32_MAX) return 0;
  return static_cast<int32_t>(value);
}

// Only a 200 answer carries the file; any other status (a not-found page, a server error)
// is the file not being there, whatever the page says.
void TCustomNetInstallLocation::checkHttpStatus() {
  std::string status;
  if (!api_->httpQueryInfo(file_, platform::HttpInfo::StatusCode, 33, status))
    raise<ENIL_FailDataQuery>("Could not query file %s on server", {remoteName_});
  if (Trim(status) != "200") raise<ENIL_FileNotFound>("Could not find the file %s on the server", {remoteName_});
}

bool TCustomNetInstallLocation::transfer() {
  const bool http = loginInformation_->Protocol == TInternetProtocol::ipHTTP;
  if (http) checkHttpStatus();
  const int32_t fileSize = expectedSize(http);
  // The local file appears only when the whole remote file is in it. A local file that
  // cannot even be started (a missing or read-only folder) is the same local failure as
  // one that cannot be written to.
  std::optional<platform::PendingFile> out;
  try {
    out.emplace(localPath_);
  } catch (const platform::PlatformError&) {
    throwWriteDestFile();
  }
  std::vector<char> block(kBlockSize);
  uint32_t read = 0;
  if (!api_->readFile(file_, block.data(), kBlockSize, read))
    raise<ENIL_ReadFile>("Could not read from file %s on the server", {remoteName_});
  if (http && startsWithNotFoundPage(block.data(), read))
    raise<ENIL_FileNotFound>("Could not find the file %s on the server", {remoteName_});
  int64_t total = 0;
  while (read > 0) {
    total += read;
    const int32_t reported = static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX));
    if (OnDataReceived) OnDataReceived(this, remoteName_, static_cast<int32_t>(read), reported, fileSize, block.data());
    if (onProgress_) onProgress_(remoteName_, static_cast<int32_t>(read), reported, fileSize, block.data());
    ProcessMessages();
    if (NetAbortRequested()) return true;
    if (out->file().write(block.data(), read) != read) throwWriteDestFile();
    if (!api_->readFile(file_, block.data(), kBlockSize, read))
      raise<ENIL_ReadFile>("Could not read from file %s on the server", {remoteName_});
  }
  if (total < 1) raise<ENIL_FileNotFound>("Could not find the file %s on the server", {remoteName_});
  // A connection that ends before the announced length has delivered part of the file.
  if (http && fileSize > 0 && total < fileSize)
    raise<ENIL_ReadFile>("Could not read from file %s on the server", {remoteName_});
  try {
    out->commit();
  } catch (const platform::PlatformError&) {
    throwWriteDestFile();
  }
  return false;
}

void TCustomNetInstallLocation::throwWriteDestFile() const {
  throw ENIL_WriteDestFile(Format(TranslateMessage("%s could not write to the local dest file %s"), {Name(), localPath_}));
}

void TNetInstallLocationList::Add(TCustomNetInstallLocation* location) {
  if (!location) {
    const std::string host = LastConnectedLocation() ? LastConnectedLocation()->LoginHostname() : std::string();
    throw IENetList(NetErrorMessage("Cannot add a blank location to the global net location list", {}, 0, host, ""));
  }
  items_.push_back(location);
}

void TNetInstallLocationList::Remove(TCustomNetInstallLocation* location) {
  items_.erase(std::remove(items_.begin(), items_.end(), location), items_.end());
}



}  // namespace kestrune
