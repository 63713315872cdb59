// The install object tree: helper order, install types, the processing walk with its
// events and component calls, reports up the tree, and destinations through specifiers.
#include <gtest/gtest.h>

#include "runtime/exceptions.h"
#include "tree_fixture.h"

namespace kestrune::test {

namespace {

std::vector<std::string> Orders(const TInstallContainer& c) {
  std::vector<std::string> out;
  for (TInstallContainer* h : c.HelperList()) out.push_back(h->Name() + "=" + std::to_string(h->Order()));
  return out;
}

template <class E>
void ExpectRaises(const std::function<void()>& f, const std::string& message) {
  try {
    f();
    ADD_FAILURE() << "nothing raised, expected: " << message;
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override { Log().clear(); }
  TTestForm form;
};

}  // namespace

TEST_F(TreeTest, HelpersLoadedWithDescendingOrderComeOutAscendingAndRuntimeChangesRenumber) {
  auto* engine = Make<TTestEngine>(&form, "Install");
  engine->SetLoading(true);
  std::vector<TTestFile*> files;
  for (int order = 14; order >= 0; --order) {
    auto* f = Make<TTestFile>(&form, "File" + std::to_string(order));
    f->SetLoading(true);
    f->SetOrder(order);
    f->SetContainer(engine);
    files.push_back(f);
  }
  auto* group = Make<TInstallFileGroup>(&form, "Group");
  group->SetLoading(true);
  group->SetOrder(3);
  group->SetContainer(engine);
  auto* bde = Make<TInstallBDE>(&form, "BDE");
  bde->SetLoading(true);
  bde->SetOrder(9);
  bde->SetContainer(engine);
  for (TComponent* c : {static_cast<TComponent*>(engine), static_cast<TComponent*>(group), static_cast<TComponent*>(bde)})
    c->Loaded();
  for (auto* f : files) f->Loaded();

  std::vector<std::string> expected{"BDE=9", "Group=3"};
  for (int i = 0; i <= 14; ++i) expected.push_back("File" + std::to_string(i) + "=" + std::to_string(i));
  EXPECT_EQ(Orders(*engine), expected);

  // At run time an Order change re-sorts and renumbers every run of equal type.
  files.front()->SetOrder(0);  // File14 moves to the front of the files
  std::vector<std::string> renumbered{"BDE=0", "Group=1", "File14=0"};
  for (int i = 0; i <= 13; ++i) renumbered.push_back("File" + std::to_string(i) + "=" + std::to_string(i + 1));
  EXPECT_EQ(Orders(*engine), renumbered);

  // The database engine group stays first even behind groups of lower order.
  auto* late = Make<TInstallFileGroup>(&form, "Late");
  late->SetOrder(0);
  late->SetContainer(engine);
  EXPECT_EQ(engine->Helpers(0), bde);
  EXPECT_EQ(engine->Helpers(1), late);

  delete group;
  EXPECT_EQ(engine->FileContainerCount(), 2);
  EXPECT_EQ(engine->Helpers(1)->Order(), 1);
}

TEST_F(TreeTest, InstallTypesNormaliseAndDecideInclusion) {
  auto* g = Make<TInstallFileGroup>(&form, "G");
  using T = TInstallType;
  g->SetInstallTypes({T::itDefault});
  g->SetInstallTypes({T::itFull, T::itAlways});
  EXPECT_EQ(g->InstallTypes(), (TInstallTypes{T::itAlways}));
  g->SetInstallTypes({T::itFull, T::itAlways});
  EXPECT_EQ(g->InstallTypes(), (TInstallTypes{T::itFull}));
  g->SetInstallTypes({});
  EXPECT_EQ(g->InstallTypes(), (TInstallTypes{T::itAlways}));

  g->SetInstallTypes({T::itFull, T::itDefault});
  g->SetCurrentInstallType(T::itCompact);
  EXPECT_FALSE(g->IsIncluded());
  g->SetCurrentInstallType(T::itCustom);
  EXPECT_TRUE(g->IsIncluded());
  g->SetInclude(false);
  EXPECT_FALSE(g->IsIncluded());
}

TEST_F(TreeTest, ProcessingFiresExactlyTheEventsAndCallsOfEachCase) {
  auto* engine = Make<TTestEngine>(&form, "Install");
  auto* group = Make<TInstallFileGroup>(&form, "Group", engine);
  auto* file = Make<TTestFile>(&form, "File", group);
  file->SetSize(1000);
  auto* grab = Make<TGrabCall>(&form, "Grab", group);
  grab->OnCall = [](TInstallContainer* c, int call, TPersistent*) { Log().push_back(Format("grab %s:%d", {c->Name(), call})); };
  group->OnBeforeProcess = [](TInstallContainer* c) { Log().push_back(c->Name() + ":before"); };
  group->OnAfterProcess = [](TInstallContainer* c) { Log().push_back(c->Name() + ":after"); };
  file->replaces = true;
  file->newDisk = true;

  group->Process();
  EXPECT_EQ(Log(), (std::vector<std::string>{
                       "Group:before", "grab Group:-990", "grab Group:-999", "File:readinfo", "grab Group:-992",
                       "File:install", "grab Group:-993", "grab Group:-997", "grab Group:-998", "grab Group:-998",
                       "File:uninstall", "grab Group:-996", "Group:after", "grab Group:-989"}));
  EXPECT_TRUE(group->Processed());
  EXPECT_TRUE(file->Processed());

  // Excluded by its install types: the stages up to -999 only.
  Log().clear();
  group->SetInstallTypes({TInstallType::itFull});
  group->SetCurrentInstallType(TInstallType::itCompact);
  group->Process();
  EXPECT_EQ(Log(), (std::vector<std::string>{"Group:before", "grab Group:-990", "grab Group:-999"}));

  // Deselected: OnBeforeProcess and -990 only.
  Log().clear();
  group->SetInclude(false);
  group->Process();
  EXPECT_EQ(Log(), (std::vector<std::string>{"Group:before", "grab Group:-990"}));

  // A silent abort from a handler skips the step without ending anything.
  Log().clear();
  group->SetInclude(true);
  group->SetCurrentInstallType(TInstallType::itCustom);
  group->OnBeforeProcess = [](TInstallContainer*) { throw EAbort(); };
  EXPECT_NO_THROW(group->Process());
  EXPECT_TRUE(Log().empty());
}

TEST_F(TreeTest, ReportsAreDroppedOutsideAnOperationAndPercentagesUseEachContainersOwnSize) {
  auto* engine = Make<TTestEngine>(&form, "Install");
  auto* outer = Make<TInstallFileGroup>(&form, "Outer", engine);
  auto* inner = Make<TInstallFileGroup>(&form, "Inner", outer);
  auto* a = Make<TTestFile>(&form, "A", inner);
  auto* b = Make<TTestFile>(&form, "B", engine);
  a->SetSize(1000);
  b->SetSize(3000);
  std::vector<std::string> engineStatus, innerStatus;
  engine->OnStatus = [&](TCustomInstallFile* f, int filePct, int totalPct) {
    engineStatus.push_back(Format("%s %d/%d", {f->Name(), filePct, totalPct}));
  };
  inner->OnStatus = [&](TCustomInstallFile* f, int filePct, int totalPct) {
    innerStatus.push_back(Format("%s %d/%d", {f->Name(), filePct, totalPct}));
  };

  // OperationState 0: nothing is handled or passed on.
  TFileStatusParameter p;
  TList list{a, &p};
  inner->DoInformationEventControl(a, ev::InstallProgress, &list);
  EXPECT_TRUE(innerStatus.empty() && engineStatus.empty());

  engine->Process();
  EXPECT_EQ(innerStatus, (std::vector<std::string>{"A 50/50", "A 100/100"}));
  // The engine's 4000 bytes: A's halves are 12.5% (ties to even: 12) and 25%; then B.
  EXPECT_EQ(engineStatus, (std::vector<std::string>{"A 50/12", "A 100/25", "B 50/62", "B 100/100"}));
  EXPECT_EQ(engine->OperationState(), TOperationState::osNone);
}

TEST_F(TreeTest, ReportValidationNamesTheProblem) {
  auto* engine = Make<TTestEngine>(&form, "Install");
  auto* group = Make<TInstallFileGroup>(&form, "Group", engine);
  auto* file = Make<TTestFile>(&form, "File", group);
  TMessageParameter wrong;
  TFileStatusParameter status;
  TDiskParameter disk;
  TList shortList{file};
  TList badFirst{&wrong, &status};
  TList badSecond{file, &wrong};
  TList badDisk{file, &wrong};
  TList badDiskFirst{&wrong, &disk};
  // Reports are checked only inside an operation: the checks run in the group's install walk.
  int checked = 0;
  group->OnBeforeInstallObjects = [&](TInstallContainer*) {
    auto raises = [&](int id, TPersistent* po, const std::string& msg) {
      ExpectRaises<IEFileContainer>([&] { group->DoInformationEventControl(file, id, po); }, msg);
      ++checked;
    };
    raises(ev::InstallProgress, nullptr, "Group got a nil PO parameter");
    raises(ev::FileReplacing, &wrong, "DoInformationEventControl parameter is not TInstallFile");
    raises(ev::InstallProgress, &wrong, "DoInformationEventControl--PO is not a TList object");
    raises(ev::CopyProgress, &shortList, "DoInformationEventControl--Not engouh parameters for status event");
    raises(ev::CompressProgress, &badFirst, "DoInformationEventControl says bad first parameter");
    raises(ev::InstallProgress, &badSecond, "DoInformationEventControl says bad second parameter");
    raises(ev::NewDisk, &badDiskFirst, "DoInformationEventControl says bad 1 parameter");
    raises(ev::NewDisk, &badDisk, "DoInformationEventControl says bad 2 parameter");
    raises(ev::DownloadProgress, &wrong, "The PO object passed to Group is not a TDownloadStatusParameter object");
    raises(ev::FileKept, &wrong, "DoInformationEventControl says bad first parameter");
  };
  engine->Process();
  EXPECT_EQ(checked, 10);
}

TEST_F(TreeTest, SkippedFilesMoveProgressAndNewDiskHandlersSuppressPrompts) {
  auto* engine = Make<TTestEngine>(&form, "Install");
  auto* kept = Make<TTestFile>(&form, "Kept", engine);
  auto* other = Make<TTestFile>(&form, "Other", engine);
  kept->SetSize(300);
  other->SetSize(100);
  std::vector<int> totals;
  engine->OnStatus = [&](TCustomInstallFile*, int, int total) { totals.push_back(total); };
  engine->OnNewDisk = [](TCustomInstallFile*, int disk, std::string& path) { path = "B:\\disk" + std::to_string(disk); };
  engine->OnBeforeInstallObjects = [&](TInstallContainer*) {
    engine->DoInformationEventControl(kept, ev::FileKept, kept);
    EXPECT_EQ(engine->DoneBytes(), 300);
    TDiskParameter disk;
    disk.NewDisk = 3;
    TList list{other, &disk};
    engine->DoInformationEventControl(other, ev::NewDisk, &list);
    EXPECT_EQ(disk.Path, "B:\\disk3");
    EXPECT_EQ(other->Tag(), 1);
  };
  kept->SetInclude(false);  // only Other is installed by the walk itself
  engine->SetInstallTypes({});
  engine->Process();
  ASSERT_GE(totals.size(), 1u);
  EXPECT_EQ(totals.front(), 300);  // 300 of the 100 bytes the walk measured (Kept is excluded)
}

TEST_F(TreeTest, HelperQueriesAndTreeErrorsNameTheComponent) {
  auto* engine = Make<TTestEngine>(&form, "Install");
  auto* group = Make<TInstallFileGroup>(&form, "Group", engine);
  auto* file = Make<TTestFile>(&form, "File", group);
  ExpectRaises<IEInstallContainer>([&] { group->Helpers(5); },
                                   "Tried to reference a helper component in the following component: Group. The "
                                   "following index was used: 5");
  ExpectRaises<IEInstallContainer>([&] { group->Comp(1, TCustomInstallFile::classInfo()); },
                                   "Bad call to the Comp procedure which returns a TInstallObject for a TInstallContainer "
                                   "component. The parameters are probably reversed. Index: 1, ComponentType: 2000");
  ExpectRaises<IEInstallContainer>([&] { group->AddHelper(nullptr); }, "Cannot add a blank base helper component to Group");
  ExpectRaises<IEInstallContainer>([&] { engine->SetContainer(group); }, "Circular reference");
  ExpectRaises<IEInstallContainer>([&] { group->SetContainer(group); }, "Circular reference");
  TInstallContainer bare(nullptr);
  ExpectRaises<IEInstallContainer>([&] { (void)bare.RegisteredType(); }, "Class must declare a registered type");
  ExpectRaises<IEContainerList>([&] { InstallContainers().Add(nullptr); },
                                "Cannot add a blank entry to the TInstallContainerList object");
  ExpectRaises<IECustomInstallFileList>([&] { InstallFiles().Add(nullptr); },
                                        "Cannot add a blank entry to the TCustomInstallFileList object");
  ExpectRaises<IEFileRel_NoNetLocation>([&] { (void)file->NetPath(); }, "Could not find a net install location for File");
  ExpectRaises<IEFileContainer>([&] { (void)group->GetLocalArchiveFile(); },
                                "Group has not yet downloaded the archive file and therefore cannot retrieve the path of "
                                "the archive file");
  ExpectRaises<IEFileContainer>(
      [&] { group->Compress({TCompressOption::coForceNetFilesLocal, TCompressOption::coForceFilesNet}); },
      "Cannot pass both coForceNetFilesLocal and coForceFilesNet to Compress");

  EXPECT_EQ(group->CountOf(TCustomInstallFile::classInfo()), 1);
  EXPECT_EQ(group->Comp(0, TCustomInstallFile::classInfo()), file);
  group->FreeHelpersOf(TCustomInstallFile::classInfo());
  EXPECT_EQ(group->HelperCount(), 0);
  EXPECT_EQ(form.FindComponent("File"), nullptr);

  // A destroyed container leaves its helpers without container.
  auto* child = Make<TInstallFileGroup>(&form, "Child", group);
  delete group;
  EXPECT_EQ(child->Container(), nullptr);
}

TEST_F(TreeTest, GroupsMadeInAContainerAreNumberedAndMissingFilesAreRemoved) {
  auto* engine = Make<TTestEngine>(&form, "Install");
  Make<TInstallFileGroup>(&form, "First", engine);
  auto* second = new TInstallFileGroup(&form, engine);
  EXPECT_EQ(second->GroupName(), "Group #1");
  EXPECT_EQ(second->Container(), engine);
  EXPECT_EQ(TInstallFileGroup(nullptr).GroupName(), "Unnamed File Group");

  for (const char* name : {"A", "B", "C"}) {
    auto* f = Make<TTestFile>(&form, name, second);
    f->SetIncludeFromDir("Z:\\no\\such\\dir");
    f->SetFileName(std::string(name) + ".dll");
  }
  second->RemoveMissingFiles();
  EXPECT_EQ(second->FileCount(), 0);
  EXPECT_EQ(form.FindComponent("B"), nullptr);
}

TEST_F(TreeTest, CompressOfADeselectedGroupOnlyOpensAndClosesTheOperation) {
  auto* engine = Make<TTestEngine>(&form, "Install");
  auto* group = Make<TInstallFileGroup>(&form, "Group", engine);
  Make<TTestFile>(&form, "File", group);
  Make<TRecorder>(&form, "Rec", group);
  group->SetInclude(false);
  group->Compress({TCompressOption::coForceNetFilesLocal});
  EXPECT_EQ(Log(), (std::vector<std::string>{"Group:-996"}));
  EXPECT_EQ(group->OperationState(), TOperationState::osNone);
}

}  // namespace kestrune::test
