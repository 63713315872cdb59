// Fuzzes what a server answers to a download: the HTTP status, the content length and the
// data, delivered in blocks of any size. A download either ends with the whole data in
// the local file (a 200 answer, not empty, no "404" at its start, at least the announced
// length) or raises one of the network location's errors and leaves no local file.
// Input: one byte (protocol and block size), the status line, "\n", the content length,
// "\n", the data.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "objects/cmp_TCustomNetInstallLocation.h"
#include "objects/net_errors.h"
#include "platform/files.h"

namespace {

using namespace kestrune;

struct Answer {
  bool ftp = false;
  uint32_t block = 1;
  std::string status, length, body;
};

class AnswerApi : public platform::InternetApi {
 public:
  explicit AnswerApi(const Answer& a) : a_(a) {}
  std::optional<std::string> lastResponseInfo() override { return std::nullopt; }
  platform::InternetHandle open(const std::string&) override { return &h_; }
  platform::InternetHandle connect(platform::InternetHandle, const std::string&, uint16_t, platform::InternetService,
                                   const char*, const char*) override {
    return &h_;
  }
  bool ftpSetCurrentDirectory(platform::InternetHandle, const std::string&) override { return true; }
  bool closeHandle(platform::InternetHandle) override { return true; }
  bool queryDataAvailable(platform::InternetHandle, uint32_t& bytes) override {
    bytes = static_cast<uint32_t>(a_.body.size());
    return true;
  }
  bool readFile(platform::InternetHandle, void* buffer, uint32_t size, uint32_t& read) override {
    read = static_cast<uint32_t>(std::min<size_t>({size, a_.block, a_.body.size() - pos_}));
    std::memcpy(buffer, a_.body.data() + pos_, read);
    pos_ += read;
    return true;
  }
  platform::InternetHandle ftpOpenFile(platform::InternetHandle, const std::string&) override { return &h_; }
  platform::InternetHandle httpOpenRequest(platform::InternetHandle, const std::string&, const std::string&) override {
    return &h_;
  }
  bool httpSendRequest(platform::InternetHandle, const std::string&) override { return true; }
  bool httpQueryInfo(platform::InternetHandle, platform::HttpInfo what, uint32_t size, std::string& value) override {
    value = (what == platform::HttpInfo::StatusCode ? a_.status : a_.length).substr(0, size - 1);
    return true;
  }
  bool setTimeouts(platform::InternetHandle, uint32_t) override { return true; }
  uint32_t lastError() override { return 0; }

 private:
  const Answer& a_;
  size_t pos_ = 0;
  int h_ = 0;
};

class AnswerLocation : public TNetInstallLocation {
 public:
  explicit AnswerLocation(const Answer& a) : TNetInstallLocation(nullptr), a_(a) {}
  void LoadWinInet() override { UseInternetApi(std::make_unique<AnswerApi>(a_)); }

 private:
  const Answer& a_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  Answer a;
  a.ftp = data[0] & 1;
  a.block = 1u + (data[0] >> 1) * 97u;
  std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t nl = rest.find('\n');
  if (nl == std::string::npos) return 0;
  a.status = rest.substr(0, nl);
  rest.erase(0, nl + 1);
  nl = rest.find('\n');
  if (nl == std::string::npos) return 0;
  a.length = rest.substr(0, nl);
  a.body = rest.substr(nl + 1);

  static const std::string local = "/tmp/kst-fuzz-net-" + std::to_string(getpid()) + ".1";
  platform::deleteFile(local);
  AnswerLocation location(a);
  location.LoginInformation()->Hostname = "fuzz";
  location.LoginInformation()->Protocol = a.ftp ? TInternetProtocol::ipFTP : TInternetProtocol::ipHTTP;
  try {
    location.Download("f.1", local);
  } catch (const ENIL_FileNotFound&) {
    if (platform::fileExists(local)) __builtin_trap();
    return 0;
  } catch (const ENIL_ReadFile&) {
    if (platform::fileExists(local)) __builtin_trap();
    return 0;
  }
  std::vector<uint8_t> got = platform::readWholeFile(local);
  if (std::string(got.begin(), got.end()) != a.body || a.body.empty()) __builtin_trap();
  platform::deleteFile(local);
  return 0;
}
