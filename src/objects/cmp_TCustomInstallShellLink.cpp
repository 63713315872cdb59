// Shortcuts: construction, the registries, the setters that derive the name and the
// target's specifier, destruction with the linked object, and psObjectLink.
#include "objects/cmp_TCustomInstallShellLink.h"

#include <algorithm>

#include "objects/cmp_TCustomInstallFile.h"
#include "objects/cmp_TCustomShellLinkGroup.h"
#include "objects/cmp_TFileContainer.h"
#include "routines/routines_Strings.h"
#include "runtime/exceptions.h"
#include "runtime/published.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {

TCustomPathSpecifier* objectLinkSpecifier() {
  try {
    return FindStandardSpecifier<TpsObjectLink>();
  } catch (const IEPathSpecifier&) {
    return nullptr;
  }
}

}  // namespace

const EnumType& EnumTypeInfo(TMethodType) {
  static constexpr std::string_view values[] = {"mtAutoDetect", "mtShellLinkInterface", "mtProgramManager"};
  static constexpr EnumType t{"TMethodType", values};
  return t;
}

// ---- registries ----


void TInstallShellLinkList::Add(TCustomInstallShellLink* item) {
  if (!item) throw IEInstallShellLinkList("Cannot add a blank entry to the shell link list");
  items_.push_back(item);
}

void TInstallShellLinkList::Remove(TCustomInstallShellLink* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
}

// ---- TCustomInstallShellLink ----

const ClassInfo& TCustomInstallShellLink::classInfo() {
  static const ClassInfo info{"TCustomInstallShellLink", &TInstallObject::classInfo(), nullptr, {}};
  return info;
}

TCustomInstallShellLink::TCustomInstallShellLink(TComponent* owner) : TInstallObject(owner) {
  if (TComponent* form = OwnerForm(this)) EnsureSpecifier(TpsObjectLink::classInfo(), form, true);
  processable_ = true;
  SetInclude(true);
  InstallShellLinks().Add(this);
}

TCustomInstallShellLink::~TCustomInstallShellLink() { InstallShellLinks().Remove(this); }

std::string TCustomInstallShellLink::LinkPath() const { return AddBackslash(GetDestDir()) + linkName_; }

void TCustomInstallShellLink::SetLinkName(const std::string& value) {
  const std::string previous = linkName_;
  linkName_ = value;
  if (IsLoading() || Trim(value).empty()) return;
  const std::string ext = UpperCase(ExtractFileExt(value));
  if (ext == ".URL") {
    objectLink_ = nullptr;
  } else if (ext != ".LNK") {
    const std::string previousExt = UpperCase(ExtractFileExt(previous));
    linkName_ = ChangeFileExt(value, previousExt.empty() ? std::string(".LNK") : previousExt);
  }
}

void TCustomInstallShellLink::SetObjectLink(TInstallContainer* value) {
  if (IsLoading()) {
    objectLink_ = value;
    return;
  }
  if (!value) {
    objectLink_ = nullptr;
    objectLocationType_ = nullptr;
    return;
  }
  objectLocationType_ = objectLinkSpecifier();
  if (objectLocationType_) objectLocationType_->FreeNotification(this);
  objectLocation_.clear();
  // Stored first, so that the name and the container below see the link.
  objectLink_ = value;
  if (const auto* file = As<TCustomInstallFile>(value)) SetLinkName(ChangeFileExt(file->DestName(), ".lnk"));
  else if (const auto* group = As<TFileContainer>(value)) SetLinkName(group->GroupName() + ".lnk");
  else SetLinkName(value->Name() + ".lnk");
  objectLink_ = value;
  if (!container_) SetContainer(value);
}

void TCustomInstallShellLink::SetObjectLocation(const std::string& value) {
  objectLocation_ = value;
  if (objectLocationType_ && objectLocationType_->Is<TpsObjectLink>()) objectLocation_.clear();
  if (IsLoading()) return;
  const std::string name = UpperCase(Trim(linkName_));
  if (!name.empty() && name != ".LNK") return;
  const std::string upper = UpperCase(value);
  for (const char* prefix : {"HTTP://", "FTP://"}) {
    const size_t at = upper.find(prefix);
    if (at != std::string::npos) {
      linkName_ = value.substr(at + std::string_view(prefix).size()) + ".URL";
      return;
    }
  }
  SetLinkName(ChangeFileExt(ExtractFileName(value), ""));
}

void TCustomInstallShellLink::SetObjectLocationType(TCustomPathSpecifier* value) {
  if (!IsLoading() && value) {
    value->CheckObject(this);
    if (value->Is<TpsObjectLink>()) objectLocation_.clear();
  }
  objectLocationType_ = value;
  if (value) value->FreeNotification(this);
}

std::string TCustomInstallShellLink::GetObjectLocation() const {
  if (objectLocationType_) return objectLocationType_->GetPath(this) + objectLocation_;
  std::string location = objectLocation_;
  if (!location.empty() && location.back() == '\\') location.pop_back();
  return location;
}

void DetachDestroyedHelper(TInstallContainer* object) {
  TInstallContainerList& all = InstallContainers();
  for (int i = 0; i < all.Count(); ++i) {
    TInstallContainer* c = all.Items(i);
    const auto& helpers = c->HelperList();
    if (c != object && std::find(helpers.begin(), helpers.end(), object) != helpers.end()) c->RemoveHelper(object);
  }
}

void TCustomInstallShellLink::destroySelf(TInstallContainer* destroyed) {
  if (!Owner() || IsDestroying()) return;
  DetachDestroyedHelper(destroyed);
  delete this;
}

void TCustomInstallShellLink::ObjectDestroyed(TInstallContainer* object) {
  if (!object) return;
  if (object == objectLink_ || object == container_) {
    if (object == objectLink_) objectLink_ = nullptr;
    TInstallObject::ObjectDestroyed(object);
    destroySelf(object);
    return;
  }
  TInstallObject::ObjectDestroyed(object);
}

void TCustomInstallShellLink::Notification(TComponent* component, TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation == TOperation::opRemove && component && component == objectLocationType_) objectLocationType_ = nullptr;
}

// ---- published classes ----

namespace {

// The properties of a shortcut; the main group's shortcut has no Container or DestDirType.
template <bool withContainer>
constexpr std::array<PropInfo, withContainer ? 13 : 11> shortcutProps() {
  using S = TCustomInstallShellLink;
  std::array<PropInfo, withContainer ? 13 : 11> p{};
  size_t i = 0;
  if (withContainer) p[i++] = prop<&TInstallObject::Container, &TInstallObject::SetContainer>("Container");
  p[i++] = prop<&TInstallContainer::DestDir, &TInstallContainer::SetDestDir>("DestDir");
  if (withContainer) p[i++] = prop<&TInstallContainer::DestDirType, &TInstallContainer::SetDestDirType>("DestDirType");
  p[i++] = prop<&TInstallContainer::Include, &TInstallContainer::SetInclude>("Include").Default(1);
  p[i++] = prop<&S::LinkName, &S::SetLinkName>("LinkName");
  p[i++] = prop<&S::ObjectLink, &S::SetObjectLink>("ObjectLink");
  p[i++] = prop<&S::ObjectLocation, &S::SetObjectLocation>("ObjectLocation");
  p[i++] = prop<&S::ObjectLocationType, &S::SetObjectLocationType>("ObjectLocationType");
  p[i++] = prop<&S::Parameters, &S::SetParameters>("Parameters");
  p[i++] = prop<&S::HotKey, &S::SetHotKey>("HotKey").Default(0);
  p[i++] = prop<&S::Method, &S::SetMethod>("Method").Default(0);
  p[i++] = eventProp("OnBeforeProcess");
  p[i++] = eventProp("OnAfterProcess");
  return p;
}

}  // namespace

const ClassInfo& TInstallShellLink::classInfo() {
  static constexpr auto props = shortcutProps<true>();
  static const ClassInfo info{"TInstallShellLink", &TCustomInstallShellLink::classInfo(), create<TInstallShellLink>, props};
  return info;
}

const ClassInfo& TInstallMainLink::classInfo() {
  static constexpr auto props = shortcutProps<false>();
  static const ClassInfo info{"TInstallMainLink", &TCustomInstallShellLink::classInfo(), create<TInstallMainLink>, props};
  return info;
}

TInstallMainLink::TInstallMainLink(TComponent* owner) : TCustomInstallShellLink(owner) {
  TMainLinkGroup* group = MainLinkGroup();
  if (!group) {
    InstallShellLinks().Remove(this);
    throw IEInstallShellLink("To create a TInstallMainLink you must first have a TMainLinkGroup component in your project");
  }
  SetContainer(group);
  SetDestDirType(nullptr);
  InstallMainLinks().Add(this);
}

TInstallMainLink::~TInstallMainLink() { InstallMainLinks().Remove(this); }

void TInstallMainLink::SetContainer(TInstallContainer* value) {
  if (!value || value != MainLinkGroup())
    throw IEInstallShellLink(
        "The TMainLinkGroup component must be the Container for TInstallMainLink and TSubLinkGroup components");
  TCustomInstallShellLink::SetContainer(value);
}

void TInstallMainLink::SetDestDirType(TCustomPathSpecifier*) {
  TCustomPathSpecifier* specifier = nullptr;
  try {
    specifier = FindStandardSpecifier<TpsContainerDestDir>();
  } catch (const IEPathSpecifier&) {
  }
  TCustomInstallShellLink::SetDestDirType(specifier);
}

// ---- psObjectLink ----

const ClassInfo& TpsObjectLink::classInfo() {
  static const ClassInfo info{"TpsObjectLink", &TStandardPathSpecifier::classInfo(), create<TpsObjectLink>, {}};
  return info;
}

TpsObjectLink::TpsObjectLink(TComponent* owner) : TStandardPathSpecifier(owner) { standardName_ = "psObjectLink"; }

std::string TpsObjectLink::GetDescription() const { return "Path of the file or file group in the ObjectLink property"; }

void TpsObjectLink::CheckObject(const TInstallContainer* object) const {
  const auto* link = As<TCustomInstallShellLink>(object);
  if (!link)
    throw IEPathSpecifier("%s must be a %s to use the %s path specifier",
                          {object ? object->Name() : std::string(), "TCustomInstallShellLink", StandardName()});
  if (!link->ObjectLink())
    throw IEPathSpecifier("Cannot use ddObjectLink for %s unless you assign a value to ObjectLink", {link->Name()});
}

std::string TpsObjectLink::GetPath(const TInstallContainer* object) const {
  CheckObject(object);
  const TInstallContainer* linked = As<TCustomInstallShellLink>(object)->ObjectLink();
  std::string path;
  if (const auto* file = As<TCustomInstallFile>(linked)) path = file->DestPath();
  else path = linked->GetDestDir();
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

void registerShellLinkClasses(ClassRegistry& registry) {
  registry.Register(TpsObjectLink::classInfo());
  registry.Register(TMainLinkGroup::classInfo());
  registry.Register(TInstallShellLink::classInfo());
  registry.Register(TInstallMainLink::classInfo());
}

}  // namespace kestrune
