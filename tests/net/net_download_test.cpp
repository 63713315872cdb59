// Downloads through the Windows internet library from real servers on loopback, under
// Wine: HTTP and FTP, anonymous and named logins, directories with backslashes and the
// root directory; every way a download fails, with the four parts of its message; and a
// web distribution built, served and installed by the engine's own run, cancelled, resumed
// from an interrupted run's copy and refused when its archive is damaged.
// net_servers.sh starts the servers and passes KST_NET_ROOT (the served folder) and
// KST_NET_PORTS ("http ftp stall down").
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <sstream>

#include "archive/cmp_TKstrCompress.h"
#include "engine/MainForm.h"
#include "engine/cmp_TInstall.h"
#include "engine/engine_Build.h"
#include "engine/exit_codes.h"
#include "engine/register_classes.h"
#include "engine/script_loader.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "objects/cmp_TCustomNetInstallLocation.h"
#include "objects/net_errors.h"
#include "platform/files.h"
#include "platform/system.h"
#include "routines/routines_Registry.h"
#include "runtime/sysutils.h"
#include "runtime/text_form.h"

namespace kestrune {
namespace {

struct Ports {
  int http = 0, ftp = 0, stall = 0, down = 0;
};

Ports ports() {
  Ports p;
  std::istringstream(platform::environmentVariable("KST_NET_PORTS").value_or("")) >> p.http >> p.ftp >> p.stall >> p.down;
  return p;
}
std::string served() { return platform::environmentVariable("KST_NET_ROOT").value_or(""); }
std::string host(int port) { return "127.0.0.1:" + std::to_string(port); }

std::string readAll(const std::string& path) {
  if (!platform::fileExists(path)) return "(missing " + path + ")";
  std::vector<uint8_t> bytes = platform::readWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}
void writeAll(const std::string& path, const std::string& bytes) {
  platform::forceDirectories(ExtractFileDir(path));
  platform::writeWholeFile(path, bytes.data(), bytes.size());
}
std::string randomBytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen());
  return s;
}
std::string replaceAll(std::string text, const std::string& what, const std::string& with) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
  return text;
}

// The temporary files (".tmp") and downloaded archives (".1") in a folder.
size_t temporaryLeftovers(const std::string& folder) {
  size_t n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(folder)))
    n += entry.path().extension() == ".tmp" || entry.path().extension() == ".1";
  return n;
}

class NetDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Without its servers a case proves nothing: it fails rather than passes unseen.
    if (ports().http == 0 || served().empty())
      GTEST_FAIL() << "KST_NET_PORTS and KST_NET_ROOT missing: run through net_servers.sh";
    ResetRunState();
    local = platform::createTempFile("kst");
    platform::deleteFile(local);
  }
  void TearDown() override {
    platform::deleteFile(local);
    ResetRunState();
  }
  std::unique_ptr<TNetInstallLocation> location(TInternetProtocol protocol, int port, const std::string& directory) {
    auto l = std::make_unique<TNetInstallLocation>(nullptr);
    l->SetName("NetLocation");
    l->LoginInformation()->Protocol = protocol;
    l->LoginInformation()->Hostname = host(port);
    l->LoginInformation()->Directory = directory;
    l->SetTimeoutMilliseconds(3000);
    return l;
  }
  std::string local;
};

TEST_F(NetDownloadTest, FilesComeWholeOverHttpAndFtpFromEveryDirectory) {
  const std::string data = randomBytes(50000, 7);
  writeAll(served() + "\\http\\zarvo.1", data);
  writeAll(served() + "\\http\\kst\\web\\zarvo.1", data);
  writeAll(served() + "\\ftp\\zarvo.1", data);
  writeAll(served() + "\\ftp\\pub\\v2\\zarvo.1", data);
  writeAll(served() + "\\ftp\\private\\zarvo.1", data);
  struct Case {
    TInternetProtocol protocol;
    int port;
    const char* directory;
    const char* user;
  };
  const Case cases[] = {{TInternetProtocol::ipHTTP, ports().http, "", nullptr},
                        {TInternetProtocol::ipHTTP, ports().http, "kst\\web", nullptr},
                        {TInternetProtocol::ipFTP, ports().ftp, " ", nullptr},
                        {TInternetProtocol::ipFTP, ports().ftp, "pub\\v2", nullptr},
                        {TInternetProtocol::ipFTP, ports().ftp, "", "kestrune"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.protocol == TInternetProtocol::ipFTP ? "ftp " : "http ") + c.directory);
    auto loc = location(c.protocol, c.port, c.directory);
    if (c.user) {
      loc->LoginInformation()->Anonymous = false;
      loc->LoginInformation()->Username = c.user;
      loc->LoginInformation()->Password = "heslo";
    }
    int32_t lastTotal = 0, blocks = 0;
    loc->OnDataReceived = [&](TComponent*, const std::string& name, int32_t bytes, int32_t total, int32_t, const void*) {
      EXPECT_EQ(name, "zarvo.1");
      EXPECT_LE(bytes, 8192);
      lastTotal = total;
      ++blocks;
    };
    loc->Download("zarvo.1", local);
    EXPECT_TRUE(readAll(local) == data);
    EXPECT_EQ(lastTotal, 50000);
    EXPECT_GE(blocks, 7);
    platform::deleteFile(local);
    loc->Download("zarvo.1", local);  // again over the same connection
    EXPECT_TRUE(readAll(local) == data);
    platform::deleteFile(local);
  }
}

// Every failure ends with the step's text, the code's name, the server and its response,
// and leaves no local file.
TEST_F(NetDownloadTest, FailuresNameTheStepTheCodeTheServerAndItsAnswer) {
  writeAll(served() + "\\http\\empty.1", "");
  writeAll(served() + "\\ftp\\empty.1", "");
  writeAll(served() + "\\http\\page.1", "<html><h1>404 Not Found</h1></html>");
  struct Case {
    TInternetProtocol protocol;
    int port;
    const char* directory;
    const char* password;  // a named login
    const char* file;
    std::string expected;  // the whole message, or its start up to " Response from server"
  };
  const std::string http = host(ports().http), ftp = host(ports().ftp), down = host(ports().down);
  const Case cases[] = {
      {TInternetProtocol::ipHTTP, ports().down, "", nullptr, "a.1",
       "Cannot send request for file a.1 to the server. Error message ERROR_INTERNET_CANNOT_CONNECT. Server " + down +
           ". Response from server No server response"},
      {TInternetProtocol::ipFTP, ports().down, "", nullptr, "a.1",
       "Cannot connect to host " + down + ". Error message ERROR_INTERNET_CANNOT_CONNECT. Server " + down +
           ". Response from server No server response"},
      {TInternetProtocol::ipFTP, ports().ftp, "", "wrong", "a.1",
       "Cannot connect to host " + ftp + ". Error message ERROR_INTERNET_LOGIN_FAILURE. Server " + ftp +
           ". Response from server 530"},
      {TInternetProtocol::ipFTP, ports().ftp, "no\\such", nullptr, "a.1",
       "Cannot set directory on server to no/such. Error message ERROR_INTERNET_EXTENDED_ERROR. Server " + ftp +
           ". Response from server 550"},
      {TInternetProtocol::ipFTP, ports().ftp, "", nullptr, "missing.1",
       "Cannot open file missing.1 on server. Error message ERROR_INTERNET_EXTENDED_ERROR. Server " + ftp +
           ". Response from server 550"},
      {TInternetProtocol::ipFTP, ports().ftp, "", nullptr, "empty.1",
       "Could not find the file empty.1 on the server. Error message "},
      {TInternetProtocol::ipHTTP, ports().http, "", nullptr, "missing.1",
       "Could not find the file missing.1 on the server. Error message "},
      {TInternetProtocol::ipHTTP, ports().http, "", nullptr, "page.1",
       "Could not find the file page.1 on the server. Error message "},
      {TInternetProtocol::ipHTTP, ports().http, "", nullptr, "empty.1",
       "Could not find the file empty.1 on the server. Error message "},
      {TInternetProtocol::ipHTTP, ports().http, "short", nullptr, "cut.1",
       "Could not read from file cut.1 on the server. Error message "},
      {TInternetProtocol::ipHTTP, ports().stall, "", nullptr, "a.1",
       // Windows names the time-out; Wine says the connection was aborted.
       "Cannot send request for file a.1 to the server. Error message ERROR_INTERNET_"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    auto loc = location(c.protocol, c.port, c.directory);
    if (c.password) {
      loc->LoginInformation()->Anonymous = false;
      loc->LoginInformation()->Username = "kestrune";
      loc->LoginInformation()->Password = c.password;
    }
    const auto start = std::chrono::steady_clock::now();
    std::string message;
    try {
      loc->Download(c.file, local);
      ADD_FAILURE() << "no error";
    } catch (const ENIL& e) {
      message = e.Message();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(message.substr(0, c.expected.size()), c.expected) << message;
    EXPECT_NE(message.find(". Server " + host(c.port) + ". Response from server "), std::string::npos) << message;
    EXPECT_FALSE(platform::fileExists(local));
  }
}

// The library comes from the system directory only: wininet_standin.sh puts a stand-in
// without HttpQueryInfoA there, then none at all, in a throwaway prefix.
TEST(StandInLibrary, LoadingNamesWhatIsMissing) {
  const std::string standin = platform::environmentVariable("KST_WININET_STANDIN").value_or("");
  if (standin.empty()) GTEST_FAIL() << "KST_WININET_STANDIN missing: run through wininet_standin.sh";
  TNetInstallLocation location(nullptr);
  location.LoginInformation()->Hostname = "127.0.0.1";
  std::string message = "(nothing raised)";
  try {
    location.Download("a.1", platform::createTempFile("kst") + ".1");
  } catch (const Exception& e) {
    message = std::string(e.ClassName()) + ": " + e.Message();
  }
  EXPECT_EQ(message, standin == "none"
                         ? "ENIL_FailLoadWININET: Failed to load the Wininet.dll. If this is a hybrid installation, you "
                           "might want to include the WININET.DLL file in the PresetupFiles property of the TInstall "
                           "component"
                         : "ENIL_FailLoadDLLProc: Failed to load the procedure HttpQueryInfo from WININET.DLL");
}

// A web distribution as its author and its user meet it: built, put on the server,
// installed by the engine's run; cancelled while downloading; installed from the copy an
// interrupted run left; refused when the served archive is damaged, and downloaded again
// by the next run; no temporary file is left behind.
class WebInstallTest : public NetDownloadTest {
 protected:
  void SetUp() override {
    NetDownloadTest::SetUp();
    if (IsSkipped()) return;
    registerKitClasses(ClassRegistry::Global());
    root = platform::createTempFile("kweb");
    platform::deleteFile(root);
    root += ".d";
    for (const char* d : {"\\src", "\\arc", "\\dest"}) platform::forceDirectories(root + d);
    writeAll(root + "\\src\\readme.txt", "Zarvotill web\r\n");
    writeAll(root + "\\src\\big.bin", randomBytes(200000, 11));
    std::string text = readAll(KESTRUNE_NET_TESTS "/web_run.kfm");
    script = ObjectTextToBinary(replaceAll(replaceAll(replaceAll(replaceAll(text, "@SRC@", root + "\\src"), "@ARC@",
                                                                 root + "\\arc"),
                                                      "@DEST@", root + "\\dest"),
                                           "@PORT@", std::to_string(ports().http)));
    DeleteRegistryTree(rkLocalMachine, "\\SOFTWARE\\Kestrune");
  }
  void TearDown() override {
    form.reset();
    DeleteRegistryTree(rkLocalMachine, "\\SOFTWARE\\Kestrune");
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(root), ec);
    NetDownloadTest::TearDown();
  }
  TCustomInstall* load() {
    form.reset();
    ResetRunState();
    form = engine::LoadScript(script);
    return engine::FindEngine(*form);
  }
  std::string run(TCustomInstall& engine) {
    try {
      engine.Process();
    } catch (const std::exception& e) {
      engine.HandleInstallException(e);
      return e.what();
    }
    return "";
  }
  std::string root;
  std::vector<uint8_t> script;
  std::unique_ptr<engine::TfrmMain> form;
};

TEST_F(WebInstallTest, BuiltServedInstalledCancelledResumedAndRefusedWhenDamaged) {
  // Every run below leaves the temporary folder as it found it.
  const std::string temp = ExtractFileDir(local);
  const size_t leftovers = temporaryLeftovers(temp);

  // The build: the group's archive and filelist.lst in the location's folder.
  TCustomInstall* install = load();
  ASSERT_NE(install, nullptr);
  install->Compress({TCompressOption::coRelocateArchives, TCompressOption::coReserved, TCompressOption::coForceFilesNet,
                     TCompressOption::coIncludeAll});
  WriteFileList(*install);
  const std::string built = root + "\\arc\\" + install->NetPath();
  EXPECT_EQ(install->NetPath(), "127.0.0.1" + std::to_string(ports().http) + "\\kstweb");
  const std::string web = served() + "\\http\\kst\\web";
  for (const char* name : {"\\Program.1", "\\filelist.lst"}) writeAll(web + name, readAll(built + name));

  // The installation downloads the list and the archive and installs from it.
  install = load();
  std::vector<std::string> downloads;
  install->NetLocation()->OnBeforeDownload = [&](TComponent* s) {
    downloads.push_back(static_cast<TCustomNetInstallLocation*>(s)->RemoteName());
  };
  ASSERT_EQ(run(*install), "");
  EXPECT_EQ(install->Ending(), TRunEnding::reGood);
  EXPECT_EQ(downloads, (std::vector<std::string>{"filelist.lst", "Program.1"}));
  EXPECT_EQ(readAll(root + "\\dest\\Program\\big.bin").size(), 200000u);
  EXPECT_EQ(readAll(root + "\\dest\\Program\\readme.txt"), "Zarvotill web\r\n");
  auto* big = dynamic_cast<TCustomInstallFile*>(form->FindComponent("Big"));
  EXPECT_EQ(big->Size(), 200000);  // from filelist.lst
  for (const char* name : {"\\Program\\big.bin", "\\Program\\readme.txt"}) platform::deleteFile(root + "\\dest" + name);

  // A cancel during the archive's download ends the run as aborted without a local copy.
  install = load();
  std::string copy;
  install->NetLocation()->OnDataReceived = [&](TComponent* s, const std::string& name, int32_t, int32_t, int32_t,
                                               const void*) {
    if (name != "Program.1") return;
    copy = static_cast<TCustomNetInstallLocation*>(s)->LocalPath();
    SetNetAbortRequested(true);
    SharedArchiveEngine().SetAbort(true);
  };
  EXPECT_EQ(run(*install), "Installation aborted by the user");
  EXPECT_EQ(engine::ExitCodeAfterRun(install), engine::kExitUserAbort);
  ASSERT_FALSE(copy.empty());
  EXPECT_FALSE(platform::fileExists(copy));
  EXPECT_FALSE(platform::fileExists(root + "\\dest\\Program\\big.bin"));
  SharedArchiveEngine().SetAbort(false);

  // A run interrupted after its download left the copy and the record: the next run uses
  // the copy, so it installs even with the archive gone from the server.
  install = load();
  const std::string keep = root + "\\arc\\kept.1";
  const std::string archive = readAll(web + "\\Program.1");  // the good run removed its copy
  writeAll(keep, archive);
  platform::deleteFile(web + "\\Program.1");
  downloads.clear();
  install->NetLocation()->OnBeforeDownload = [&](TComponent*) { downloads.push_back("download"); };
  auto* group = dynamic_cast<TFileRelated*>(form->FindComponent("Program"));
  install->OnBeforeReadArchiveInfo = [&](TComponent*) { group->RememberLocalFile(keep); };
  ASSERT_EQ(run(*install), "");
  EXPECT_EQ(downloads.size(), 1u) << "only filelist.lst";
  EXPECT_EQ(readAll(root + "\\dest\\Program\\big.bin").size(), 200000u);
  platform::deleteFile(root + "\\dest\\Program\\big.bin");
  platform::deleteFile(root + "\\dest\\Program\\readme.txt");

  // A kept copy that cannot be read fails its run, which drops it (as it drops a download
  // that fails at extraction): the next run downloads the archive again.
  writeAll(web + "\\Program.1", archive);
  writeAll(keep, "not an archive");
  install = load();
  group = dynamic_cast<TFileRelated*>(form->FindComponent("Program"));
  install->OnBeforeReadArchiveInfo = [&](TComponent*) { group->RememberLocalFile(keep); };
  EXPECT_NE(run(*install), "");
  EXPECT_FALSE(platform::fileExists(keep));
  install = load();
  ASSERT_EQ(run(*install), "");
  EXPECT_TRUE(readAll(root + "\\dest\\Program\\big.bin") == readAll(root + "\\src\\big.bin"));
  platform::deleteFile(root + "\\dest\\Program\\big.bin");

  // A served archive whose data is damaged (inside big.bin's data, which is most of the
  // archive) is downloaded but its damaged member is never installed.
  std::string damaged = archive;
  for (size_t i = damaged.size() / 2; i < damaged.size() / 2 + 64; ++i) damaged[i] = static_cast<char>(~damaged[i]);
  writeAll(web + "\\Program.1", damaged);
  install = load();
  EXPECT_EQ(run(*install), "error");  // zlib's
  EXPECT_EQ(install->Ending(), TRunEnding::reFailed);
  EXPECT_FALSE(platform::fileExists(root + "\\dest\\Program\\big.bin"));

  // The damaged copy is not kept for the next run: with the server's archive mended, that
  // run downloads it again and installs.
  writeAll(web + "\\Program.1", archive);
  install = load();
  downloads.clear();
  install->NetLocation()->OnBeforeDownload = [&](TComponent* s) {
    downloads.push_back(static_cast<TCustomNetInstallLocation*>(s)->RemoteName());
  };
  ASSERT_EQ(run(*install), "");
  EXPECT_EQ(downloads, (std::vector<std::string>{"filelist.lst", "Program.1"}));
  EXPECT_TRUE(readAll(root + "\\dest\\Program\\big.bin") == readAll(root + "\\src\\big.bin"));
  EXPECT_EQ(temporaryLeftovers(temp), leftovers);
}

}  // namespace
}  // namespace kestrune
