// Archive download through a network location: reuse of an earlier download, the login
// checks, progress reports, a cancelled transfer; and the archive locations the compress
// walk gives each helper.
#include <gtest/gtest.h>

#include "common/error_text.h"

#include <fstream>

#include "objects/cmp_TCustomNetInstallLocation.h"
#include "platform/files.h"
#include "routines/routines_Registry.h"
#include "runtime/exceptions.h"
#include "tree_fixture.h"

namespace kestrune::test {

namespace {

// A location that "downloads" by writing a file, reporting progress in two blocks.
class TFakeLocation : public TCustomNetInstallLocation {
 public:
  using TCustomNetInstallLocation::TCustomNetInstallLocation;
  std::string LoginHostname() const override { return "ftp.example.cz/pub"; }
  std::string LoginDirectory() const override { return directory; }
  TInternetProtocol LoginProtocol() const override { return TInternetProtocol::ipFTP; }
  bool LoginComplete() const override { return complete; }
  void DownloadFile(const std::string& remote, const std::string& local) override {
    ++transfers;
    Log().push_back("download " + remote);
    if (OnProgress()) {
      OnProgress()(remote, 3, 3, 6, "abc");
      if (cancel) SetNetAbortRequested(true);
      OnProgress()(remote, 3, 6, 6, "def");
    }
    std::ofstream(local) << "abcdef";
    if (cancel) throw Exception("connection closed");
  }
  std::string directory;
  bool complete = true;
  bool cancel = false;
  int transfers = 0;
};

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    ResetRunState();
    SetInstallRecordKey("\\SOFTWARE\\Kestrune\\Install\\InstallTest");
    engine = Make<TTestEngine>(&form, "Install");
    location = new TFakeLocation(&form);
    location->SetName("NetLocation");
    group = Make<TInstallFileGroup>(&form, "Group", engine);
    file = Make<TTestFile>(&form, "File", group);
  }
  void TearDown() override {
    DeleteRegistryTree(rkLocalMachine, "\\SOFTWARE\\Kestrune");
    ResetRunState();
  }
  TTestForm form;
  TTestEngine* engine = nullptr;
  TFakeLocation* location = nullptr;
  TInstallFileGroup* group = nullptr;
  TTestFile* file = nullptr;
};

}  // namespace

TEST_F(DownloadTest, LocationsAreInheritedByFilesOnlyAndMirroredOnDisk) {
  EXPECT_EQ(messageOf([&] { file->DownloadArchive(); }), "Could not find a net install location for File");
  engine->SetNetLocation(location);
  EXPECT_EQ(group->FindNetLocation(), location);  // straight from the engine
  auto* own = new TFakeLocation(&form);
  own->SetName("Own");
  own->directory = "updates/v2";
  group->SetNetLocation(own);
  EXPECT_EQ(file->FindNetLocation(), own);  // files inherit from their container
  EXPECT_EQ(file->NetPath(), "ftp.example.cz-pub\\updates-v2");
  EXPECT_EQ(engine->NetPath(), "ftp.example.cz-pub\\FTP Root directory");
  delete own;
  EXPECT_EQ(group->NetLocation(), nullptr);
}

TEST_F(DownloadTest, DownloadsReportProgressAndAreRememberedForTheNextRun) {
  engine->SetNetLocation(location);
  std::vector<int> percents;
  group->OnDataReceived = [&](TComponent*, const std::string&, int32_t, int32_t total, int32_t size, const void*) {
    percents.push_back(total * 100 / size);
  };
  Make<TRecorder>(&form, "Rec", file);
  group->OnBeforeInstallObjects = [&](TInstallContainer*) { file->DownloadArchive(); };
  engine->Process();
  EXPECT_EQ(percents, (std::vector<int>{50, 100}));
  EXPECT_EQ(std::count(Log().begin(), Log().end(), "File:-988"), 2);
  ASSERT_FALSE(file->LocalArchiveFile().empty());
  EXPECT_EQ(file->LocalArchiveFile().substr(file->LocalArchiveFile().size() - 2), ".1");
  EXPECT_TRUE(platform::fileExists(file->LocalArchiveFile()));

  // A later run (or a reloaded object) finds the downloaded copy: no second transfer.
  std::string path = file->LocalArchiveFile();
  file->SetLocalArchiveFile("");
  EXPECT_TRUE(file->ArchiveIsLocal());
  file->DownloadArchive();
  EXPECT_EQ(location->transfers, 1);
  EXPECT_EQ(file->LocalArchiveFile(), path);
  platform::deleteFile(path);
}

TEST_F(DownloadTest, IncompleteLoginAndCancelledTransfers) {
  engine->SetNetLocation(location);
  location->complete = false;
  EXPECT_EQ(messageOf([&] { file->DownloadArchive(); }),
            "File could not install itself because the LoginInformation property of the TInstall component has not "
            "been properly filled in");
  file->SetNetLocation(location);
  EXPECT_EQ(messageOf([&] { file->DownloadArchive(); }),
            "File could not install itself because the TNetLocation component's properties, in the NetLocation "
            "property, have not been filled in");
  location->complete = true;
  location->cancel = true;
  try {
    file->DownloadArchive();
    ADD_FAILURE() << "a cancelled download must raise";
  } catch (const EAIUserAbort& e) {
    EXPECT_EQ(e.Message(), "Installation aborted by the user");
  }
  EXPECT_EQ(file->LocalArchiveFile(), "");
}

TEST_F(DownloadTest, CompressGivesEachHelperItsArchive) {
  engine->SetArchiveFile("C:\\Build\\setup.1");
  group->SetArchiveFileType(nullptr);
  group->SetArchiveFile("C:\\Build\\group.1");
  auto* local = Make<TTestFile>(&form, "Local", group);
  local->SetArchiveFileType(FindStandardSpecifier<TpsInstallSource>());
  local->SetArchiveFile("\\extra.1");
  auto* elsewhere = Make<TTestFile>(&form, "Elsewhere", group);
  elsewhere->SetArchiveFileType(nullptr);
  elsewhere->SetArchiveFile("D:\\Other\\far.1");
  for (TTestFile* f : {file, local, elsewhere}) f->SetNet(false);
  engine->SetNetLocation(location);
  Log().clear();
  group->Compress({TCompressOption::coRelocateArchives, TCompressOption::coReserved, TCompressOption::coForceNetFilesLocal,
                   TCompressOption::coIncludeAll});
  EXPECT_EQ(Log(), (std::vector<std::string>{"File:readfile", "Local:readfile", "Elsewhere:readfile",
                                             "File:compress C:\\Build\\group.1 add",
                                             "Local:compress C:\\Build\\extra.1 new",
                                             "Elsewhere:compress C:\\Build\\Other\\far.1 new"}));
  // The helpers' own settings are back after the walk.
  EXPECT_EQ(local->ArchiveFileType()->Name(), "psInstallSource");
  EXPECT_EQ(local->ArchiveFile(), "\\extra.1");
  EXPECT_EQ(elsewhere->ArchiveFile(), "D:\\Other\\far.1");
}

#ifdef _WIN32
// A read-only archive cannot be deleted for a rebuild: the build stops with the file named.
TEST_F(DownloadTest, AnArchiveThatCannotBeDeletedStopsTheCompress) {
  std::string temp = platform::createTempFile("kst");
  std::string archive = temp.substr(0, temp.rfind('.')) + ".1";
  platform::File::create(archive).close();
  platform::deleteFile(temp);
  platform::setFileAttributes(archive, platform::kAttrReadOnly);
  group->SetArchiveFileType(nullptr);
  group->SetArchiveFile(archive);
  EXPECT_EQ(messageOf([&] { group->Compress({TCompressOption::coForceNetFilesLocal}); }),
            "Group cannot delete the archive file " + archive);
  platform::setFileAttributes(archive, 0);
  platform::deleteFile(archive);
}
#endif

}  // namespace kestrune::test
