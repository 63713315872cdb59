// The network location over a scripted internet library: what it asks the library for,
// in which order, the events around a download, the transfer loop's decisions (not-found
// pages, short and empty answers, a cancel) and the four-part message of every failing
// step. The real library against real servers is tested under Wine (tests/net).
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "common/error_text.h"
#include "objects/cmp_TCustomNetInstallLocation.h"
#include "objects/net_errors.h"
#include "platform/files.h"
#include "runtime/format.h"

namespace kestrune::test {

namespace {

struct Remote {
  std::string status = "200";
  std::optional<std::string> contentLength;  // header text; none: header missing
  std::string body;
};

class ScriptedInternet : public platform::InternetApi {
 public:
  std::map<std::string, Remote> files;
  std::string failing;  // the operation that fails
  uint32_t errorCode = 12002;
  std::string response;
  std::vector<std::string>* calls;

  explicit ScriptedInternet(std::vector<std::string>* log) : calls(log) {}
  std::optional<std::string> lastResponseInfo() override {
    return response.empty() ? std::nullopt : std::optional<std::string>(response);
  }
  platform::InternetHandle open(const std::string&) override { return step("open") ? &session_ : nullptr; }
  platform::InternetHandle connect(platform::InternetHandle, const std::string& host, uint16_t port,
                                   platform::InternetService service, const char* user, const char* password) override {
    return step(Format("connect %s %d %s %s %s", {host, static_cast<int>(port),
                                                  service == platform::InternetService::Ftp ? "ftp" : "http",
                                                  user ? "'" + std::string(user) + "'" : "null",
                                                  password ? "'" + std::string(password) + "'" : "null"}))
               ? &connection_
               : nullptr;
  }
  bool ftpSetCurrentDirectory(platform::InternetHandle, const std::string& dir) override { return step("cd " + dir); }
  bool closeHandle(platform::InternetHandle h) override {
    return step(h == &file_ ? "close file" : h == &connection_ ? "close connection" : "close session");
  }
  bool queryDataAvailable(platform::InternetHandle, uint32_t& bytes) override {
    bytes = static_cast<uint32_t>(current_->body.size());
    return step("query");
  }
  bool readFile(platform::InternetHandle, void* buffer, uint32_t size, uint32_t& read) override {
    if (!step("read")) return false;
    read = std::min<uint32_t>(size, static_cast<uint32_t>(current_->body.size() - pos_));
    std::memcpy(buffer, current_->body.data() + pos_, read);
    pos_ += read;
    return true;
  }
  platform::InternetHandle ftpOpenFile(platform::InternetHandle, const std::string& name) override {
    return select(name) && step("ftp open " + name) ? &file_ : nullptr;
  }
  platform::InternetHandle httpOpenRequest(platform::InternetHandle, const std::string& verb,
                                           const std::string& object) override {
    return select(object.substr(object.rfind('/') + 1)) && step(verb + " " + object) ? &file_ : nullptr;
  }
  bool httpSendRequest(platform::InternetHandle, const std::string& headers) override { return step("send " + headers); }
  bool httpQueryInfo(platform::InternetHandle, platform::HttpInfo what, uint32_t size, std::string& value) override {
    EXPECT_EQ(size, 33u);
    if (what == platform::HttpInfo::StatusCode) {
      value = current_->status;
      return step("status");
    }
    if (!current_->contentLength) {
      lastError_ = platform::kErrorHttpHeaderNotFound;
      return false;
    }
    value = *current_->contentLength;
    return step("length");
  }
  bool setTimeouts(platform::InternetHandle, uint32_t ms) override { return step(Format("timeouts %d", {static_cast<int>(ms)})); }
  uint32_t lastError() override { return lastError_; }

 private:
  bool step(const std::string& call) {
    calls->push_back(call);
    if (call.rfind(failing, 0) != 0 || failing.empty()) return true;
    lastError_ = errorCode;
    return false;
  }
  bool select(const std::string& name) {
    current_ = &files[name];
    pos_ = 0;
    return true;
  }
  int session_ = 0, connection_ = 0, file_ = 0;
  Remote* current_ = nullptr;
  size_t pos_ = 0;
  uint32_t lastError_ = 0;
};

class ScriptedLocation : public TNetInstallLocation {
 public:
  explicit ScriptedLocation(TComponent* owner) : TNetInstallLocation(owner) {
    auto api = std::make_unique<ScriptedInternet>(&calls);
    internet = api.get();
    pending = std::move(api);
  }
  // The scripted library logs into calls: close the handles while it is there.
  ~ScriptedLocation() override { Disconnect(); }
  void LoadWinInet() override {
    calls.push_back("load");
    UseInternetApi(std::move(pending));
  }
  std::vector<std::string> calls;
  ScriptedInternet* internet;
  std::unique_ptr<platform::InternetApi> pending;
};

class NetLocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRunState();
    location = new ScriptedLocation(&owner);
    location->SetName("NetLocation");
    local = platform::createTempFile("kst");
    platform::deleteFile(local);
  }
  void TearDown() override {
    platform::deleteFile(local);
    ResetRunState();
  }
  std::string localText() {
    std::vector<uint8_t> bytes = platform::readWholeFile(local);
    return std::string(bytes.begin(), bytes.end());
  }
  TComponent owner{nullptr};
  ScriptedLocation* location = nullptr;
  std::string local;
};

}  // namespace

TEST_F(NetLocationTest, HttpDownloadAsksForTheFileOnceConnectedAndReportsEveryBlock) {
  TLoginInformation login;
  login.Hostname = "127.0.0.1:8080";
  login.Directory = "\\pub\\zarvotill";
  location->SetLoginInformation(&login);
  const std::string body(8192 * 2 + 100, 'x');
  location->internet->files["Group.1"] = {"200", std::string("16484"), body};
  std::vector<std::string> events;
  location->OnBeforeLogin = [&](TComponent*) { events.push_back("before login"); };
  location->OnAfterLogin = [&](TComponent*) { events.push_back("after login"); };
  location->OnBeforeDownload = [&](TComponent*) { events.push_back("before download"); };
  location->OnAfterDownload = [&](TComponent*, bool aborted) { events.push_back(aborted ? "aborted" : "done"); };
  location->OnDataReceived = [&](TComponent* s, const std::string& name, int32_t bytes, int32_t total, int32_t size, const void*) {
    EXPECT_EQ(s, location);
    events.push_back(Format("%s %d %d %d", {name, bytes, total, size}));
  };
  int attached = 0;
  location->SetOnProgress([&](const std::string&, int32_t, int32_t, int32_t, const void*) { ++attached; });

  location->Download("Group.1", local);
  location->Download("Group.1", local);  // the connection is kept
  EXPECT_EQ(localText(), body);
  EXPECT_EQ(attached, 6);
  EXPECT_EQ(events, (std::vector<std::string>{"before login", "after login", "before download", "Group.1 8192 8192 16484",
                                              "Group.1 8192 16384 16484", "Group.1 100 16484 16484", "done",
                                              "before download", "Group.1 8192 8192 16484",
                                              "Group.1 8192 16384 16484", "Group.1 100 16484 16484", "done"}));
  const std::vector<std::string> one = {"GET /pub/zarvotill/Group.1", "timeouts 60000", "send Accept: */*\r\n\r\n",
                                        "status", "length", "read", "read", "read", "read", "close file"};
  std::vector<std::string> expected = {"load", "open", "timeouts 60000", "connect 127.0.0.1 8080 http '' ''",
                                       "timeouts 60000"};
  expected.insert(expected.end(), one.begin(), one.end());
  expected.insert(expected.end(), one.begin(), one.end());
  EXPECT_EQ(location->calls, expected);
  EXPECT_EQ(LastConnectedLocation(), location);
  EXPECT_TRUE(location->Disconnect());
  EXPECT_EQ(location->calls.back(), "close session");
}

TEST_F(NetLocationTest, FtpLoginsAndDirectories) {
  TLoginInformation& login = *location->LoginInformation();
  login.Protocol = TInternetProtocol::ipFTP;
  login.Hostname = "ftp.zarvotill.cz";
  login.Directory = "  ";
  location->internet->files["a.1"] = {"", std::nullopt, "abc"};
  location->Download("a.1", local);
  login.Directory = "pub\\v2";
  location->Download("a.1", local);
  location->Download("a.1", local);  // a relative directory is set once per connection
  EXPECT_EQ(localText(), "abc");
  EXPECT_EQ(location->calls, (std::vector<std::string>{"load", "open", "timeouts 60000",
                                                      "connect ftp.zarvotill.cz 0 ftp null null", "timeouts 60000",
                                                      "cd /", "ftp open a.1", "query", "read", "read", "close file",
                                                      "cd pub/v2", "ftp open a.1", "query", "read", "read",
                                                      "close file", "ftp open a.1", "query", "read", "read",
                                                      "close file"}));

  auto* named = new ScriptedLocation(&owner);
  named->LoginInformation()->Assign(login);
  named->LoginInformation()->Anonymous = false;
  named->LoginInformation()->Username = "kst";
  named->LoginInformation()->Password = "tajné";
  named->Connect();
  EXPECT_EQ(named->calls.at(3), "connect ftp.zarvotill.cz 0 ftp 'kst' 'tajné'");

  // Complete logins: anonymous needs a host; a named one any of host, user, password.
  TLoginInformation check;
  EXPECT_FALSE(IsLoginComplete(check));
  check.Anonymous = false;
  EXPECT_FALSE(IsLoginComplete(check));
  check.Password = "x";
  EXPECT_TRUE(IsLoginComplete(check));
  check.Anonymous = true;
  EXPECT_FALSE(IsLoginComplete(check));
}

// Each failing step with its own text, the code's name, the server and its response.
TEST_F(NetLocationTest, EveryFailingStepNamesItsCodeServerAndResponse) {
  struct Case {
    bool ftp;
    const char* failing;
    uint32_t code;
    const char* step;
    const char* className;
  };
  const Case cases[] = {
      {false, "open", 12001, "Cannot open internet connection", "ENIL_OpenSession"},
      {false, "connect", 12029, "Cannot connect to host zarvotill.cz", "ENIL_OpenService"},
      {true, "cd", 12003, "Cannot set directory on server to up/dates", "ENIL_FTPSetDir"},
      {true, "ftp open", 12003, "Cannot open file f.1 on server", "ENIL_FTPOpenFile"},
      {true, "query", 12111, "Could not query file f.1 on server", "ENIL_FailDataQuery"},
      {false, "length", 12153, "Could not query file f.1 on server", "ENIL_FailDataQuery"},
      {true, "read", 12002, "Could not read from file f.1 on the server", "ENIL_ReadFile"},
      {true, "close file", 6, "Cannot close the file f.1 on the server", "ENIL_FTPCloseFile"},
      {false, "GET", 12005, "Cannot open file f.1 on server", "ENIL_HTTPOpenFile"},
      {false, "send", 12030, "Cannot send request for file f.1 to the server", "ENIL_HTTPSendRequest"},
      {false, "close file", 4242, "Cannot close the file f.1 on the server", "ENIL_FTPCloseFile"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    ScriptedLocation loc(nullptr);
    loc.LoginInformation()->Hostname = "zarvotill.cz";
    loc.LoginInformation()->Directory = "up\\dates";
    loc.LoginInformation()->Protocol = c.ftp ? TInternetProtocol::ipFTP : TInternetProtocol::ipHTTP;
    loc.internet->files["f.1"] = {"200", std::string("3"), "abc"};
    loc.internet->failing = c.failing;
    loc.internet->errorCode = c.code;
    loc.internet->response = c.ftp ? "550 No such file.\r\n" : "";
    try {
      loc.Download("f.1", local);
      ADD_FAILURE() << "no error";
    } catch (const ENIL& e) {
      EXPECT_STREQ(e.ClassName(), c.className);
      EXPECT_EQ(e.Message(), std::string(c.step) + ". Error message " + InternetErrorName(c.code) +
                                 ". Server zarvotill.cz. Response from server " +
                                 (c.ftp ? "550 No such file." : "No server response"));
    }
    // Only a failed close comes after the whole file is in place.
    EXPECT_EQ(platform::fileExists(local), std::string(c.failing) == "close file");
    platform::deleteFile(local);
  }
  EXPECT_EQ(InternetErrorName(4242), "Unregistered error code");
  int named = 0;
  for (uint32_t code = 0; code < 13000; ++code) named += InternetErrorName(code) != "Unregistered error code";
  EXPECT_EQ(named, 52);
  EXPECT_EQ(InternetErrorName(12031), "ERROR_INTERNET_CONNECTION_RESET");
  EXPECT_EQ(InternetErrorName(12138), "ERROR_GOPHER_UNKNOWN_LOCATOR");
  EXPECT_EQ(messageOf([] { NetInstallLocations().Add(nullptr); }),
            "Cannot add a blank location to the global net location list. Error message Unregistered error code. "
            "Server . Response from server No server response");
}

// What the transfer loop accepts as the file: a 200 answer of the announced length whose
// first 30 bytes do not say "404", with at least one byte.
TEST_F(NetLocationTest, TheTransferKeepsOnlyWholeFiles) {
  location->LoginInformation()->Hostname = "zarvotill.cz";
  const std::string late = std::string(30, '-') + "404 here";
  struct Case {
    Remote remote;
    const char* error;  // nullptr: saved
  };
  const Case cases[] = {
      {{"200", std::nullopt, "<h1>404 Not Found</h1>"}, "Could not find the file f.1 on the server"},
      {{"200", std::nullopt, std::string("ok\0 404", 7)}, nullptr},
      {{"200", std::nullopt, late}, nullptr},
      {{"404", std::string("30"), "<html><body>Nothing here</body>"}, "Could not find the file f.1 on the server"},
      {{"500", std::nullopt, "busy"}, "Could not find the file f.1 on the server"},
      {{"200", std::string("0"), ""}, "Could not find the file f.1 on the server"},
      {{"200", std::string("9000"), std::string(8192, 'a')}, "Could not read from file f.1 on the server"},
      {{"200", std::string("12 bytes"), "abc"}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.remote.body.substr(0, 20));
    location->internet->files["f.1"] = c.remote;
    const std::string message = messageOf([&] { location->Download("f.1", local); });
    if (c.error) {
      EXPECT_EQ(message.substr(0, message.find(". ")), c.error);
      EXPECT_FALSE(platform::fileExists(local));
    } else {
      EXPECT_EQ(message, "(nothing raised)");
      EXPECT_EQ(localText(), c.remote.body);
      platform::deleteFile(local);
    }
  }

  // A local file that cannot be made (its folder is a file) ends in the location's own
  // error naming it, as a failed write does.
  location->internet->files["f.1"] = {"200", std::nullopt, "abc"};
  platform::writeWholeFile(local, "old", 3);
  const std::string blocked = local + local[local.find_last_of("\\/")] + "f.1";
  EXPECT_EQ(messageOf([&] { location->Download("f.1", blocked); }),
            "NetLocation could not write to the local dest file " + blocked);
  EXPECT_EQ(localText(), "old");
  platform::deleteFile(local);

  // A cancel stops after the block that was being reported: no error, no local file.
  location->internet->files["f.1"] = {"200", std::nullopt, std::string(20000, 'z')};
  location->OnDataReceived = [](TComponent*, const std::string&, int32_t, int32_t, int32_t, const void*) {
    SetNetAbortRequested(true);
  };
  bool aborted = false;
  location->OnAfterDownload = [&](TComponent*, bool a) { aborted = a; };
  location->Download("f.1", local);
  EXPECT_TRUE(aborted);
  EXPECT_FALSE(platform::fileExists(local));
}

TEST_F(NetLocationTest, TheLibraryLoadsUnderWindowsOnly) {
  TNetInstallLocation plain(nullptr);
  plain.LoginInformation()->Hostname = "zarvotill.cz";
  const std::string message = messageOf([&] { plain.LoadWinInet(); });
#ifdef _WIN32
  EXPECT_EQ(message, "(nothing raised)");
#else
  EXPECT_EQ(message,
            "Failed to load the Wininet.dll. If this is a hybrid installation, you might want to include the "
            "WININET.DLL file in the PresetupFiles property of the TInstall component");
#endif
}

}  // namespace kestrune::test
