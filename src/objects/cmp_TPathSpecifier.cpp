// The objects that name an install folder (the program folder, the system folder, ...): the
// list of them, the built-in classes and the folder each one gives.
#include "objects/cmp_TPathSpecifier.h"

#include <algorithm>

#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "paths/routines_ExpandPaths.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"
#include "runtime/published.h"
#include "runtime/sysutils.h"

namespace kestrune {

void TPathSpecifierList::Add(TCustomPathSpecifier* item) {
  if (!item) throw IEPathSpecifierList("Tried to add a nil object to the path specifier list");
  items_.push_back(item);
}

void TPathSpecifierList::Remove(TCustomPathSpecifier* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it != items_.end()) items_.erase(it);
}

TCustomPathSpecifier* TPathSpecifierList::FindSpecifier(const ClassInfo& cls) const {
  for (TCustomPathSpecifier* s : items_)
    if (s->InheritsFrom(cls)) return s;
  throw IEPathSpecifier("Could not find the path specifier");
}

namespace {
// Makes an object of a built-in folder class (through the class's own factory).
TCustomPathSpecifier* createSpecifier(const ClassInfo& cls, TComponent* owner) {
  if (!cls.factory) throw IEPathSpecifier("Could not find the path specifier");
  return static_cast<TCustomPathSpecifier*>(cls.factory(owner));
}
}  // namespace

TCustomPathSpecifier* EnsureSpecifier(const ClassInfo& cls, TComponent* owner, bool checkExisting) {
  if (checkExisting) {
    TPathSpecifierList& all = PathSpecifiers();
    for (int i = 0; i < all.Count(); ++i)
      if (all.Items(i)->InheritsFrom(cls)) return nullptr;
  }
  TCustomPathSpecifier* s = createSpecifier(cls, owner);
  s->SetName(s->StandardName());
  return s;
}

void TPathSpecifierList::CreateStandardSpecifiers(TInstallContainer*, TComponent* owner, bool checkExisting) {
  if (!owner) return;
  const ClassInfo* classes[] = {&TpsBDEDLL::classInfo(),       &TpsCommonFiles::classInfo(),
                                &TpsContainerArchiveFile::classInfo(), &TpsContainerDestDir::classInfo(),
                                &TpsDesktopMenu::classInfo(),  &TpsInstallSource::classInfo(),
                                &TpsMainInstall::classInfo(),  &TpsProgramFiles::classInfo(),
                                &TpsProgramMenu::classInfo(),  &TpsStartMenu::classInfo(),
                                &TpsStartupMenu::classInfo(),  &TpsSystem::classInfo(),
                                &TpsMainArchiveFile::classInfo(), &TpsWindow::classInfo()};
  for (const ClassInfo* cls : classes) EnsureSpecifier(*cls, owner, checkExisting);
}

// ---- base classes ----

const ClassInfo& TCustomPathSpecifier::classInfo() {
  static constexpr PropInfo props[] = {eventProp("OnGetPath")};
  static const ClassInfo info{"TCustomPathSpecifier", &TComponent::classInfo(), nullptr, props};
  return info;
}

TCustomPathSpecifier::TCustomPathSpecifier(TComponent* owner) : TComponent(owner) { PathSpecifiers().Add(this); }

TCustomPathSpecifier::~TCustomPathSpecifier() { PathSpecifiers().Remove(this); }

std::string TCustomPathSpecifier::GetPath(const TInstallContainer* object) const {
  std::string path;
  if (OnGetPath) OnGetPath(const_cast<TInstallContainer*>(object), path);
  return path;
}

const ClassInfo& TStandardPathSpecifier::classInfo() {
  static const ClassInfo info{"TStandardPathSpecifier", &TCustomPathSpecifier::classInfo(), nullptr, {}};
  return info;
}

TStandardPathSpecifier::TStandardPathSpecifier(TComponent* owner) : TCustomPathSpecifier(owner) {
  StandardPathSpecifiers().Add(this);
}

TStandardPathSpecifier::~TStandardPathSpecifier() { StandardPathSpecifiers().Remove(this); }

// ---- checks shared by several folder classes ----

namespace {

const TInstallObject* requireInstallObject(const TInstallContainer* object, const std::string& standardName) {
  const TInstallObject* o = As<TInstallObject>(object);
  if (!o)
    throw IEPathSpecifier("%s must be a %s to use the %s path specifier",
                          {object ? object->Name() : std::string(), "TInstallObject", standardName});
  return o;
}

IInstallEngine* requireEngine(const TInstallContainer* object) {
  IInstallEngine* engine = CurrentEngine();
  if (!engine)
    throw IEPathSpecifier("There is no TInstall component so the path specifier could not be expanded for %s",
                          {object ? object->Name() : std::string()});
  return engine;
}

}  // namespace

#define KESTRUNE_SPECIFIER_BASICS(Cls, Std, Desc)                                          \
  const ClassInfo& Cls::classInfo() {                                                      \
    static const ClassInfo info{#Cls, &TStandardPathSpecifier::classInfo(), create<Cls>, {}}; \
    return info;                                                                           \
  }                                                                                        \
  Cls::Cls(TComponent* owner) : TStandardPathSpecifier(owner) { standardName_ = Std; }     \
  std::string Cls::GetDescription() const { return Desc; }

KESTRUNE_SPECIFIER_BASICS(TpsBDEDLL, "psBDEDLL", "Borland Database Engine DLL Path")
KESTRUNE_SPECIFIER_BASICS(TpsCommonFiles, "psCommonFiles", "Path of the common files directory under the program files directory")
KESTRUNE_SPECIFIER_BASICS(TpsContainerArchiveFile, "psContainerArchiveFile", "Path to the archive file of the container")
KESTRUNE_SPECIFIER_BASICS(TpsContainerDestDir, "psContainerDestDir", "Path of the group (container)")
KESTRUNE_SPECIFIER_BASICS(TpsDesktopMenu, "psDesktopMenu", "Path of the Desktop")
KESTRUNE_SPECIFIER_BASICS(TpsInstallSource, "psInstallSource", "Path from which the user ran the install")
KESTRUNE_SPECIFIER_BASICS(TpsMainInstall, "psMainInstall", "Path of the destination directory of the TInstall")
KESTRUNE_SPECIFIER_BASICS(TpsMainArchiveFile, "psMainArchiveFile", "Archive containing most or all non-internet installation files")
KESTRUNE_SPECIFIER_BASICS(TpsProgramFiles, "psProgramFiles", "Path of the program files directory")
KESTRUNE_SPECIFIER_BASICS(TpsProgramMenu, "psProgramMenu", "Path of the Programs folder under the Start Menu")
KESTRUNE_SPECIFIER_BASICS(TpsStartMenu, "psStartMenu", "Path of Start Menu")
KESTRUNE_SPECIFIER_BASICS(TpsStartupMenu, "psStartupMenu", "Path of the Startup folder in the Programs folder under the Start Menu")
KESTRUNE_SPECIFIER_BASICS(TpsSystem, "psSystem", "Path of system directory")
KESTRUNE_SPECIFIER_BASICS(TpsWindow, "psWindow", "Path of the Windows directory")

// Folder classes without a check and with the plain description.
#define KESTRUNE_SPECIFIER_NO_CHECK(Cls)                                                   \
  void Cls::CheckObject(const TInstallContainer*) const {}                                 \
  std::string Cls::GetObjectDescription(const TInstallContainer*) const { return GetDescription(); }

KESTRUNE_SPECIFIER_NO_CHECK(TpsBDEDLL)
KESTRUNE_SPECIFIER_NO_CHECK(TpsCommonFiles)
KESTRUNE_SPECIFIER_NO_CHECK(TpsDesktopMenu)
KESTRUNE_SPECIFIER_NO_CHECK(TpsProgramFiles)
KESTRUNE_SPECIFIER_NO_CHECK(TpsProgramMenu)
KESTRUNE_SPECIFIER_NO_CHECK(TpsStartMenu)
KESTRUNE_SPECIFIER_NO_CHECK(TpsStartupMenu)
KESTRUNE_SPECIFIER_NO_CHECK(TpsSystem)
KESTRUNE_SPECIFIER_NO_CHECK(TpsWindow)

std::string TpsBDEDLL::GetPath(const TInstallContainer*) const {
  std::string path = ReadRegistryString(rkLocalMachine, "\\Software\\Borland\\Database Engine", "DLLPath", "");
  if (path.empty()) path = AddBackslash(GetProgramFilesDir()) + "Borland\\Common Files\\BDE";
  return GetListItem(path, 1, ';');
}

std::string TpsCommonFiles::GetPath(const TInstallContainer*) const { return RemoveBackslash(GetCommonFilesDir()); }
std::string TpsDesktopMenu::GetPath(const TInstallContainer*) const { return RemoveBackslash(GetDesktopDir()); }
std::string TpsProgramFiles::GetPath(const TInstallContainer*) const { return RemoveBackslash(GetProgramFilesDir()); }
std::string TpsProgramMenu::GetPath(const TInstallContainer*) const { return RemoveBackslash(GetProgramsDir()); }
std::string TpsStartMenu::GetPath(const TInstallContainer*) const { return RemoveBackslash(GetStartMenuDir()); }
std::string TpsStartupMenu::GetPath(const TInstallContainer*) const { return RemoveBackslash(GetStartupDir()); }
std::string TpsSystem::GetPath(const TInstallContainer*) const { return RemoveBackslash(GetSystemDir()); }
std::string TpsWindow::GetPath(const TInstallContainer*) const { return RemoveBackslash(GetWindowsDir()); }

void TpsContainerArchiveFile::CheckObject(const TInstallContainer* object) const {
  const TInstallObject* o = requireInstallObject(object, StandardName());
  if (!o->Container()) throw IEPathSpecifier("Cannot use ddContainerArchiveFile for %s unless you assign a Container", {o->Name()});
  if (!o->Container()->Is<TFileRelated>())
    throw IEPathSpecifier(
        "Cannot use the ddContainerArchiveFile path specifier for %s because the Container is not a TFileRelated descendant",
        {o->Name()});
}

std::string TpsContainerArchiveFile::GetObjectDescription(const TInstallContainer*) const { return GetDescription(); }

std::string TpsContainerArchiveFile::GetPath(const TInstallContainer* object) const {
  CheckObject(object);
  return RemoveBackslash(static_cast<const TFileRelated*>(As<TInstallObject>(object)->Container())->GetArchiveFile());
}

void TpsContainerDestDir::CheckObject(const TInstallContainer* object) const {
  const TInstallObject* o = requireInstallObject(object, StandardName());
  if (!o->Container()) throw IEPathSpecifier("Cannot use ddContainerDestDir for %s unless you assign a Container", {o->Name()});
}

std::string TpsContainerDestDir::GetObjectDescription(const TInstallContainer* object) const {
  try {
    CheckObject(object);
    TInstallContainer* container = As<TInstallObject>(object)->Container();
    const TFileContainer* fc = As<TFileContainer>(container);
    return Format("Path of the <%s> group", {fc ? fc->GroupName() : container->Name()});
  } catch (const Exception&) {
    return GetDescription();
  }
}

std::string TpsContainerDestDir::GetPath(const TInstallContainer* object) const {
  CheckObject(object);
  return RemoveBackslash(As<TInstallObject>(object)->Container()->GetDestDir());
}

void TpsInstallSource::CheckObject(const TInstallContainer* object) const { requireEngine(object); }
std::string TpsInstallSource::GetObjectDescription(const TInstallContainer*) const { return GetDescription(); }
std::string TpsInstallSource::GetPath(const TInstallContainer* object) const {
  CheckObject(object);
  return RemoveBackslash(CurrentEngine()->InstallSourceDirectory());
}

void TpsMainInstall::CheckObject(const TInstallContainer* object) const {
  IInstallEngine* engine = requireEngine(object);
  if (object && object == engine->EngineContainer())
    throw IEPathSpecifier("Cannot use the ddMainInstallDir path specifier for a TInstall component");
}
std::string TpsMainInstall::GetObjectDescription(const TInstallContainer*) const { return GetDescription(); }
std::string TpsMainInstall::GetPath(const TInstallContainer* object) const {
  CheckObject(object);
  return RemoveBackslash(CurrentEngine()->EngineContainer()->GetDestDir());
}

void TpsMainArchiveFile::CheckObject(const TInstallContainer* object) const { requireEngine(object); }
std::string TpsMainArchiveFile::GetObjectDescription(const TInstallContainer*) const { return GetDescription(); }
std::string TpsMainArchiveFile::GetPath(const TInstallContainer* object) const {
  CheckObject(object);
  IInstallEngine* engine = CurrentEngine();
  std::string source = AddBackslash(engine->InstallSourceDirectory());
  if (!engine->CalledBySelfExtractor()) return source + "files.1";
  std::string name = engine->SelfExtractorName();
  if (Trim(name).empty())
    throw IEInstall(
        "You forgot to pass in the name of the self-extracting executable. Usage example: \"-eSetup.exe\"");
  return source + name;
}

void registerPathSpecifierClasses(ClassRegistry& registry) {
  for (const ClassInfo* c :
       {&TpsBDEDLL::classInfo(), &TpsCommonFiles::classInfo(), &TpsContainerArchiveFile::classInfo(),
        &TpsContainerDestDir::classInfo(), &TpsDesktopMenu::classInfo(), &TpsInstallSource::classInfo(),
        &TpsMainInstall::classInfo(), &TpsMainArchiveFile::classInfo(), &TpsProgramFiles::classInfo(),
        &TpsProgramMenu::classInfo(), &TpsStartMenu::classInfo(), &TpsStartupMenu::classInfo(),
        &TpsSystem::classInfo(), &TpsWindow::classInfo()})
    registry.Register(*c);
}

}  // namespace kestrune
