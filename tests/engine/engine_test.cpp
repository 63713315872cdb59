// The engine: creation rules, command line, setters, the run's order of calls, the install
// record, the endings and unfinished work across a restart.
#include <gtest/gtest.h>

#include "archive/archive_names.h"
#include "common/error_text.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "engine/cmp_TInstall.h"
#include "objects/cmp_GrabCall.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "objects/cmp_TPathSpecifier.h"
#include "objects/run_log.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "routines/routines_Registry.h"
#include "runtime/exceptions.h"
#include "runtime/seams.h"
#include "runtime/params.h"
#include "runtime/published.h"
#include "translation/cmp_TTranslator.h"
#include "ui/application.h"
#include "ui/forms.h"

namespace kestrune {
namespace {

using test::messageOf;

std::vector<std::string> g_log;

class TEngineForm : public TComponent {
 public:
  TEngineForm() : TComponent(nullptr) { SetName("frmMain"); }
  ~TEngineForm() override { DestroyComponents(); }
  bool IsFormOrDataModule() const override { return true; }
};

class TResumable : public TInstallFileGroup {
 public:
  using TInstallFileGroup::TInstallFileGroup;
  void CompleteAfterReboot() override { g_log.push_back("complete " + Name()); }
};

// Runs the installation as the main form's activation does: an exception that leaves the
// run goes to the application, which keeps EAbort silent and hands the rest to the
// engine's handler. Returns whether an exception left the run.
bool runAsActivation(TInstall& engine) {
  try {
    engine.Process();
    return false;
  } catch (const EAbort&) {
    return true;
  } catch (const std::exception& e) {
    engine.HandleInstallException(e);
    return true;
  }
}

std::vector<std::string> tail(const std::vector<std::string>& log, size_t n) {
  return std::vector<std::string>(log.end() - static_cast<std::ptrdiff_t>(std::min(n, log.size())), log.end());
}

void params(std::vector<std::string> p) {
  p.insert(p.begin(), platform::moduleFileName());
  SetProgramParams(std::move(p));
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log.clear();
    params({});
    DeleteRegistryTree(rkLocalMachine, "\\SOFTWARE\\Kestrune");
    DeleteRegistryTree(rkLocalMachine, std::string(kRunOnceKey));
    SetInstallRecordKey("");
  }
  void TearDown() override {
    DeleteRegistryTree(rkLocalMachine, "\\SOFTWARE\\Kestrune");
    DeleteRegistryTree(rkLocalMachine, std::string(kRunOnceKey));
  }
  // An engine loaded as from the script, not started automatically.
  TInstall* load(std::vector<std::string> commandLine = {}) {
    params(std::move(commandLine));
    auto* engine = new TInstall(&form);
    engine->SetName("Install");
    engine->SetLoading(true);
    engine->SetRunAutomatic(false);
    engine->SetUseLoadingProgram(false);
    try {
      engine->Loaded();
    } catch (...) {
      delete engine;
      throw;
    }
    return engine;
  }
  void record(TInstall& engine) {
    auto* grab = dynamic_cast<TGrabCall*>(form.FindComponent("Grab"));
    if (!grab) {
      grab = new TGrabCall(&form);
      grab->SetName("Grab");
    }
    grab->SetContainer(&engine);
    grab->OnCall = [](TInstallContainer* c, int call, TPersistent*) { g_log.push_back(c->Name() + " " + std::to_string(call)); };
  }
  TEngineForm form;
};

TEST_F(EngineTest, CreationRulesAndDefaults) {
  auto* engine = new TInstall(&form);
  EXPECT_EQ(engine->DestDir(), "\\MyApplication");
  EXPECT_EQ(engine->DestDirType()->Name(), "psProgramFiles");
  EXPECT_EQ(engine->ArchiveFileType()->Name(), "psMainArchiveFile");
  EXPECT_EQ(engine->GroupName(), "Main");
  EXPECT_FALSE(engine->AllowChoice());
  EXPECT_TRUE(engine->RunAutomatic() && engine->UseLoadingProgram() && engine->AutoMaximizeWindow());
  EXPECT_EQ(CurrentEngine(), engine);
  EXPECT_EQ(messageOf([&] { new TInstall(&form); }),
            "The TInstall component does not currently support the use of 2 TInstall components in the same project");
  delete engine;
  EXPECT_EQ(CurrentEngine(), nullptr);
  // The default theme picture comes from the program's resources when it has one.
  SetThemeBitmapLoader([] { return std::vector<uint8_t>{'B', 'M', 0, 0}; });
  engine = new TInstall(&form);
  EXPECT_EQ(engine->DialogThemeBitmap()->GraphicClass(), "TBitmap");
  delete engine;
  SetThemeBitmapLoader(nullptr);
  EXPECT_FALSE(platform::loadBitmapResource("INSTALLTHEME1"));  // a test program has none
  TComponent plainOwner(nullptr);
  EXPECT_NE(messageOf([&] { new TInstall(&plainOwner); }).find("must be a form"), std::string::npos);
}

TEST_F(EngineTest, CommandLineCasesGiveTheirModeOrExactError) {
  const std::string invalid =
      "Invalid parameter <%s>. Valid command line parameters are: -b (Build), -d (Debug), -f (Transfer to floppies), -e "
      "(Called by self-extractor), -r (After reboot)";
  for (std::string bad : {"-x", "-", "b"}) {
    SCOPED_TRACE(bad);
    std::string expected = invalid;
    expected.replace(expected.find("%s"), 2, bad);
    EXPECT_EQ(messageOf([&] { delete load({bad}); }), expected);
  }
  const std::string noBuildDir =
      "You forgot to pass in the build directory. In Run | Parameters, follow this format: -d \"-sC:\\My Build\"";
  EXPECT_EQ(messageOf([&] { delete load({"-d"}); }), noBuildDir);
  EXPECT_EQ(messageOf([&] { delete load({"-D", "-s   "}); }), noBuildDir);
  // -q is read before any other switch: the error of a bad one beside it is not shown
  // either (the windows' quiet check answers the run state). A new run is not quiet.
  std::string badBesideQuiet = invalid;
  badBesideQuiet.replace(badBesideQuiet.find("%s"), 2, "-x");
  EXPECT_EQ(messageOf([&] { delete load({"-x", "-q"}); }), badBesideQuiet);
  EXPECT_TRUE(QuietRun() && ui::Quiet());
  // The run's log and the folder of a build go back with the rest of the run state.
  const std::string log = platform::tempDirectory() + "kestrune-reset.log";
  delete load({"-l" + log});
  SetSourceFolder("C:\\Dist");
  EXPECT_TRUE(RunLogOpen());
  ResetRunState();
  EXPECT_FALSE(QuietRun() || ui::Quiet() || RunLogOpen());
  EXPECT_EQ(SourceFolder(), "");
  platform::deleteFile(log);
  // The usage switches stop the start at the command line: nothing else is read.
  for (std::string help : {"-?", "-H"}) {
    TInstall* asked = load({help, "-d"});
    EXPECT_TRUE(asked->Modes().Contains(TInstallMode::imHelp));
    delete asked;
  }

  TInstall* engine = load({"-sC:\\My Build", "-eSETUP.EXE", "-c"});
  EXPECT_EQ(engine->SourceDirectory(), "C:\\My Build");
  EXPECT_EQ(engine->ModeValue(TInstallMode::imSelfExtractor), "SETUP.EXE");
  EXPECT_TRUE(engine->Modes().Contains(TInstallMode::imCleanup));
  EXPECT_EQ(engine->GetSetupFileName(), "C:\\My Build\\SETUP.EXE");
  delete engine;

  engine = load();
  EXPECT_TRUE(engine->Modes().Empty());
  EXPECT_EQ(engine->SourceDirectory(), TCustomInstall::GetSourceDirectory());
  delete engine;
}

TEST_F(EngineTest, TheCommandLineIsSplitWithQuotesGroupingAndBackslashesKept) {
  struct Case {
    const char* line;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {R"("C:\Program Files\setup.exe" "-sC:\Dist\" -x)", {"C:\\Program Files\\setup.exe", "-sC:\\Dist\\", "-x"}},
      {R"(setup.exe -d "-sC:\My Build" -c)", {"setup.exe", "-d", "-sC:\\My Build", "-c"}},
      {"setup.exe\t -r \"-sC:\\Příliš žluťoučký\"  ", {"setup.exe", "-r", "-sC:\\Příliš žluťoučký"}},
      {R"(setup.exe -s"C:\a b"\c "" -e\")", {"setup.exe", "-sC:\\a b\\c", "", "-e\\"}},
      {R"(setup.exe "-sC:\open quote)", {"setup.exe", "-sC:\\open quote"}},
      {"  ", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(SplitCommandLine(c.line), c.args);
  }
  // What the engine makes of a split line: the source directory keeps its backslash and
  // the switch after it is read as a switch.
  SetProgramParams(SplitCommandLine(R"("C:\setup.exe" "-sC:\Dist\" -c)"));
  auto* engine = new TInstall(&form);
  engine->SetLoading(true);
  engine->SetRunAutomatic(false);
  engine->SetUseLoadingProgram(false);
  engine->Loaded();
  EXPECT_EQ(engine->SourceDirectory(), "C:\\Dist\\");
  EXPECT_TRUE(engine->Modes().Contains(TInstallMode::imCleanup));
  delete engine;
}

TEST_F(EngineTest, SettersFollowTheirRules) {
  TInstall* engine = load();
  engine->SetHideMainForm(true);
  EXPECT_FALSE(engine->AutoMaximizeWindow());
  engine->SetAutoMaximizeWindow(true);
  EXPECT_FALSE(engine->HideMainForm());
  EXPECT_EQ(messageOf([&] { engine->SetDistributeType(TDistributeType::dtWeb); }),
            "DistributeType can only be set at design-time");
  TStringList files{"C:\\Kit\\IDAPINST.DLL", "   ", "", "D:\\x\\other.dll"};
  engine->SetPresetupFiles(files);
  EXPECT_EQ(engine->PresetupFiles()->Count(), 2);
  engine->AddPresetupFile("E:\\elsewhere\\idapinst.dll", true);
  EXPECT_EQ(engine->PresetupFiles()->Count(), 2);
  engine->AddPresetupFile("E:\\elsewhere\\idapinst.dll", false);
  EXPECT_EQ(engine->PresetupFiles()->Count(), 3);
  engine->SetArchiveFileType(nullptr);
  engine->SetArchiveFile("x.1");
  engine->SetUseLoadingProgram(true);
  EXPECT_EQ(engine->ArchiveFileType()->Name(), "psMainArchiveFile");
  EXPECT_EQ(engine->ArchiveFile(), "");

  // The install type in force: the first of default, compact, full, custom.
  delete engine;
  engine = new TInstall(&form);
  engine->SetInstallTypes({TInstallType::itFull, TInstallType::itCompact});
  engine->SetLoading(true);
  engine->SetRunAutomatic(false);
  engine->Loaded();
  EXPECT_EQ(engine->CurrentInstallType(), TInstallType::itCompact);
  delete engine;
}

TEST_F(EngineTest, TheRunSendsItsCallsInOrderAndRemovesItsRecord) {
  TInstall* engine = load();
  record(*engine);
  auto* group = new TInstallFileGroup(&form);
  group->SetName("Group");
  group->SetContainer(engine);
  engine->Process();
  EXPECT_EQ(g_log, (std::vector<std::string>{
                       "Install -984", "Install -974", "Install -973", "Install -983", "Install -986", "Install -976",
                       "Install -975", "Install -982", "Install -981", "Install -977", "Install -980", "Install -990",
                       "Install -999", "Install -992", "Install -996", "Install -989", "Install -995", "Install -979"}));
  EXPECT_FALSE(engine->Installing());
  EXPECT_TRUE(group->Processed());
  EXPECT_FALSE(platform::keyExists(platform::RegRoot::LocalMachine, "\\SOFTWARE\\Kestrune"));
  delete engine;
}

TEST_F(EngineTest, InstallRecordsAreFoundByDateAndSizeAndNumberedPastGaps) {
  TInstall* engine = load();
  std::string self = platform::moduleFileName();
  double date = *platform::fileAgeDays(self);
  int64_t size = platform::File::open(self, platform::FileAccess::Read).size();
  auto writeRecord = [](const std::string& name, const std::string& path, double created, uint32_t bytes) {
    platform::RegKey k = platform::RegKey::create(platform::RegRoot::LocalMachine, "\\SOFTWARE\\Kestrune\\Install\\" + name);
    std::vector<uint8_t> d(8);
    std::memcpy(d.data(), &created, 8);
    k.writeString("Path", path);
    k.writeBinary("CreationDate", d);
    k.writeDword("Size", bytes);
  };
  writeRecord("Install0", "C:\\old\\setup.exe", date + 1e-7 * 1.5, static_cast<uint32_t>(size));
  writeRecord("Install2", "C:\\old\\setup.exe", date, static_cast<uint32_t>(size + 1));
  EXPECT_EQ(engine->FindInstallRecord(false), "");
  std::string created = engine->FindInstallRecord(true);
  EXPECT_EQ(created, "\\SOFTWARE\\Kestrune\\Install\\Install1");

  // The same file started from elsewhere finds its record and updates the path.
  writeRecord("Install1", "C:\\moved\\setup.exe", date + 0.5e-7, static_cast<uint32_t>(size));
  EXPECT_EQ(engine->FindInstallRecord(false), created);
  auto key = platform::RegKey::open(platform::RegRoot::LocalMachine, created);
  EXPECT_EQ(key->tryReadString("Path").value_or(""), self);
  delete engine;
}

TEST_F(EngineTest, EveryWayOutOfTheRunEndsIt) {
  struct Case {
    const char* name;
    std::function<void()> raise;
    TRunEnding ending;
    bool recordKept;
  };
  const Case cases[] = {
      {"the user's abort", [] { throw EAIUserAbort(); }, TRunEnding::reAborted, false},
      // The application keeps EAbort silent; the engine still gives the run its ending.
      {"a silent abort", [] { throw EAbort(); }, TRunEnding::reAborted, false},
      {"an error", [] { throw IEInstall("broken"); }, TRunEnding::reFailed, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TInstall* engine = load();
    record(*engine);
    engine->SetRunAutomatic(true);
    bool shutdown = false;
    engine->OnBeforeShutdown = [&](TComponent*, bool&) { shutdown = true; };
    engine->OnAfterInitialized = [&](TComponent*) { c.raise(); };
    runAsActivation(*engine);
    EXPECT_EQ(tail(g_log, 2), (std::vector<std::string>{"Install -994", "Install -978"}));
    EXPECT_FALSE(engine->Installing());
    EXPECT_EQ(engine->Ending(), c.ending);
    EXPECT_TRUE(shutdown);
    EXPECT_EQ(platform::keyExists(platform::RegRoot::LocalMachine, "\\SOFTWARE\\Kestrune\\Install"), c.recordKept);
    delete engine;
    DeleteRegistryTree(rkLocalMachine, "\\SOFTWARE\\Kestrune");
    g_log.clear();
  }

  // A script that needs the loader's -s, started without it: a bad ending, and the
  // command line is named as the cause.
  TInstall* engine = load();
  engine->SetUseLoadingProgram(true);
  runAsActivation(*engine);
  EXPECT_EQ(engine->Ending(), TRunEnding::reBadCommandLine);
  delete engine;
}

TEST_F(EngineTest, UnfinishedWorkIsResumedAfterTheRestart) {
  TInstall* engine = load({"-sC:\\Dist", "-eSetup.exe", "-c"});
  auto* group = new TResumable(&form);
  group->SetName("DataFiles");
  EXPECT_EQ(messageOf([&] { engine->AddUnfinished("x", 0); }),
            "The TInstall could not either write or read unfinished business from the registry");
  SetInstallRecordKey(engine->FindInstallRecord(true));
  std::string leftover = platform::createTempFile("kst");
  engine->AddUnfinished("datafiles", 0);
  engine->AddUnfinished(leftover, 1);
  TStringList lines;
  engine->GetUnfinishedList(lines);
  // In the registry's own order, which need not be the order of writing.
  std::vector<std::string> items = lines.Items();
  std::sort(items.begin(), items.end());
  std::vector<std::string> expectedLines{"datafiles;0", leftover + ";1"};
  std::sort(expectedLines.begin(), expectedLines.end());
  EXPECT_EQ(items, expectedLines);

  // Two pending installs: the second resume command is numbered.
  engine->RegisterResume();
  engine->RegisterResume();
  auto runOnce = platform::RegKey::open(platform::RegRoot::LocalMachine, std::string(kRunOnceKey));
  ASSERT_TRUE(runOnce);
  std::string expected = "\"" + platform::moduleFileName() + "\" -r \"-eSetup.exe\" \"-sC:\\Dist\" -c";
  EXPECT_EQ(runOnce->tryReadString("KestruneUnfinished").value_or(""), expected);
  EXPECT_EQ(runOnce->tryReadString("KestruneUnfinished1").value_or(""), expected);
  delete engine;

  // The restarted program resumes inside its loading.
  engine = load({"-r", "-sC:\\Dist", "-eSetup.exe"});
  EXPECT_EQ(g_log, (std::vector<std::string>{"complete DataFiles"}));
  EXPECT_FALSE(platform::fileExists(leftover));
  EXPECT_FALSE(platform::keyExists(platform::RegRoot::LocalMachine, "\\SOFTWARE\\Kestrune"));
  EXPECT_FALSE(engine->Installing());
  delete engine;

  // An invalid line stops the resumed run.
  engine = load();
  SetInstallRecordKey(engine->FindInstallRecord(true));
  engine->AddUnfinished("DataFiles", 0);
  platform::RegKey::create(platform::RegRoot::LocalMachine, InstallRecordKey() + "\\Unfinished").writeString("bad", "x");
  EXPECT_EQ(messageOf([&] { engine->CompleteAfterReboot(); }), "There is an invalid entry for the unfinished install list bad;x");
  delete engine;
}

TEST_F(EngineTest, TheRunFormIsHookedAndAHiddenMainFormMovesOffTheScreen) {
  ui::TForm window(nullptr);
  window.SetWidth(544);
  window.SetHeight(384);
  std::vector<std::string> activations;
  window.OnActivate = [&](TComponent*) { activations.push_back("own handler"); };
  params({});
  auto* engine = new TInstall(&window);
  engine->SetName("Install");
  engine->SetLoading(true);
  engine->SetUseLoadingProgram(false);
  // As a designer stores them: hiding the form switched maximising off.
  engine->SetAutoMaximizeWindow(false);
  engine->SetHideMainForm(true);
  engine->Loaded();
  EXPECT_EQ(window.Left(), -2 * 544);
  EXPECT_EQ(window.Top(), -2 * 384);
  // The first activation runs the form's own handler first, then the installation, and
  // gives the handler back; a second activation starts nothing.
  record(*engine);
  window.OnActivate(&window);
  EXPECT_EQ(activations, (std::vector<std::string>{"own handler"}));
  EXPECT_TRUE(engine->Started());
  EXPECT_NE(std::find(g_log.begin(), g_log.end(), "Install -979"), g_log.end()) << ::testing::PrintToString(g_log);
  g_log.clear();
  window.OnActivate(&window);
  EXPECT_EQ(activations.size(), 2u);
  EXPECT_TRUE(g_log.empty());
  delete engine;
}

TEST_F(EngineTest, VetoEventsAndTheLanguageKeptAcrossARestart) {
  TInstall* engine = load();
  EXPECT_TRUE(engine->ConfirmUserAbort());
  engine->OnUserAbort = [](TComponent*, bool& flag) { flag = false; };
  EXPECT_FALSE(engine->ConfirmUserAbort());
  engine->OnBeforeShutdown = [](TComponent*, bool& flag) { flag = false; };
  EXPECT_FALSE(engine->Shutdown());

  // The main translator's language is saved with the install record and read back.
  SetInstallRecordKey(engine->FindInstallRecord(true));
  {
    translation::TTranslator translator(nullptr);
    translator.SetTranslateIntoLanguage(TKstrLanguage::klGerman);
    engine->SaveLanguage();
    translator.SetTranslateIntoLanguage(TKstrLanguage::klCzech);
    EXPECT_EQ(engine->ReadSavedLanguage(), static_cast<int32_t>(TKstrLanguage::klGerman));
    DeleteRegistryTree(rkLocalMachine, InstallRecordKey());
    // No saved value: the current language.
    EXPECT_EQ(engine->ReadSavedLanguage(), static_cast<int32_t>(TKstrLanguage::klCzech));
  }
  // Without a main translator no language is saved.
  SetInstallRecordKey(engine->FindInstallRecord(true));
  engine->SaveLanguage();
  EXPECT_EQ(ReadRegistryInteger(rkLocalMachine, InstallRecordKey(), "Language", -1), -1);
  DeleteRegistryTree(rkLocalMachine, InstallRecordKey());
  delete engine;
}

#ifndef _WIN32
// Natively there is no Windows version to ask, so the restart fails; under Wine the same
// call really restarts the session, which the GUI test covers.
TEST_F(EngineTest, AFailedRestartIsHandedToOnFailedReboot) {
  TInstall* engine = load();
  int failures = 0;
  engine->OnFailedReboot = [&](TComponent*) { ++failures; };
  engine->RebootWindows();
  EXPECT_EQ(failures, 1);
  delete engine;
}
#endif

TEST_F(EngineTest, AFailureInsideTheBadEndingIsDropped) {
  TInstall* engine = load();
  engine->OnBeforeNotifyBadInstall = [](TComponent*) { throw IEInstall("the bad ending broke"); };
  engine->OnAfterInitialized = [](TComponent*) { throw IEInstall("broken"); };
  EXPECT_NO_THROW(EXPECT_TRUE(runAsActivation(*engine)));
  EXPECT_FALSE(engine->Installing());
  EXPECT_EQ(engine->Ending(), TRunEnding::reFailed);
  delete engine;
}

// The whole good ending, twice: without a restart (the record and the downloaded copies
// it names are removed) and with a restart that OnBeforeReboot cancels (the resume stays
// registered, no restart is tried). A file that cannot be started is passed over and the
// next one is still offered; the ending stays good.
TEST_F(EngineTest, TheGoodEndingStartsItsFilesAndRemovesTheRecordUnlessAResumeNeedsIt) {
  TInstall* engine = load();
  record(*engine);
  std::vector<std::string> files;
  for (const char* name : {"Missing", "Vetoed", "NotMarked"}) {
    auto* file = new TCustomInstallFile(&form);
    file->SetName(name);
    file->SetDestDirType(nullptr);
    file->SetDestDir("C:\\Nowhere");
    file->SetDestName(std::string(name) + ".exe");
    file->SetRunAfterInstall(std::string(name) != "NotMarked");
  }
  engine->OnBeforeRunFile = [](TComponent*, TCustomInstallFile* file, bool& run) {
    g_log.push_back("run " + file->Name());
    run = file->Name() != "Vetoed";
  };
  engine->OnBeforeShutdown = [](TComponent*, bool&) { g_log.push_back("shutdown"); };
  engine->OnBeforeReboot = [](TComponent*, bool& reboot) {
    g_log.push_back("before reboot");
    reboot = false;
  };
  int failedRestarts = 0;
  engine->OnFailedReboot = [&](TComponent*) { ++failedRestarts; };
  engine->SetRunAutomatic(true);

  SetInstallRecordKey(engine->FindInstallRecord(true));
  std::string downloaded = platform::createTempFile("kst");
  WriteRegistryString(rkLocalMachine, InstallRecordKey() + "\\Group", "LocalFile", downloaded);
  WriteRegistryString(rkLocalMachine, InstallRecordKey() + "\\Other", "LocalFile", "   ");
  EXPECT_FALSE(runAsActivation(*engine));
  EXPECT_EQ(tail(g_log, 5),
            (std::vector<std::string>{"Install -995", "Install -979", "shutdown", "run Missing", "run Vetoed"}));
  EXPECT_EQ(engine->Ending(), TRunEnding::reGood);
  EXPECT_FALSE(platform::fileExists(downloaded));
  EXPECT_FALSE(platform::keyExists(platform::RegRoot::LocalMachine, "\\SOFTWARE\\Kestrune"));

  g_log.clear();
  engine->SetReboot(true);
  EXPECT_FALSE(runAsActivation(*engine));
  EXPECT_EQ(tail(g_log, 7), (std::vector<std::string>{"Install -995", "Install -979", "Install -987", "before reboot",
                                                      "shutdown", "run Missing", "run Vetoed"}));
  EXPECT_EQ(engine->Ending(), TRunEnding::reRestartPending);
  EXPECT_EQ(failedRestarts, 0);
  EXPECT_TRUE(platform::keyExists(platform::RegRoot::LocalMachine, InstallRecordKey()));
  delete engine;
}

}  // namespace
}  // namespace kestrune
