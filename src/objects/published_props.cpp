// Published property lists shared by the install object classes.
#include "objects/published_props.h"

#include "objects/cmp_TCustomNetInstallLocation.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/cmp_TPathSpecifier.h"
#include "runtime/published.h"

namespace kestrune {

std::vector<PropInfo> InstallObjectProps() {
  std::vector<PropInfo> p;
  p.push_back(prop<&TInstallObject::Container, &TInstallObject::SetContainer>("Container"));
  p.push_back(prop<&TInstallContainer::DestDir, &TInstallContainer::SetDestDir>("DestDir"));
  p.push_back(prop<&TInstallContainer::DestDirType, &TInstallContainer::SetDestDirType>("DestDirType"));
  p.push_back(prop<&TInstallContainer::Include, &TInstallContainer::SetInclude>("Include").Default(1));
  p.push_back(prop<&TInstallContainer::InstallTypes, &TInstallContainer::SetInstallTypes>("InstallTypes")
                  .Default(TInstallTypes{TInstallType::itAlways}.Bits()));
  p.push_back(prop<&TInstallContainer::Order, &TInstallContainer::SetOrder>("Order"));
  p.push_back(eventProp("OnBeforeProcess"));
  p.push_back(eventProp("OnAfterProcess"));
  return p;
}

std::vector<PropInfo> FileRelatedProps(bool withNet) {
  std::vector<PropInfo> p;
  p.push_back(prop<&TFileRelated::AddToArchive, &TFileRelated::SetAddToArchive>("AddToArchive").Default(0));
  p.push_back(prop<&TFileRelated::ArchiveFile, &TFileRelated::SetArchiveFile>("ArchiveFile"));
  p.push_back(prop<&TFileRelated::ArchiveFileType, &TFileRelated::SetArchiveFileType>("ArchiveFileType"));
  if (withNet) p.push_back(prop<&TFileRelated::Net, &TFileRelated::SetNet>("Net").Default(0));
  p.push_back(prop<&TFileRelated::NetLocation, &TFileRelated::SetNetLocation>("NetLocation"));
  p.push_back(eventProp("OnDataReceived"));
  return p;
}

std::vector<PropInfo> FileContainerProps() {
  std::vector<PropInfo> p;
  p.push_back(prop<&TFileContainer::AllowChangeDir, &TFileContainer::SetAllowChangeDir>("AllowChangeDir").Default(1));
  p.push_back(prop<&TFileContainer::AllowChoice, &TFileContainer::SetAllowChoice>("AllowChoice").Default(1));
  p.push_back(prop<&TFileContainer::Description>("Description"));
  for (const char* e : {"OnBeforeInstallObjects", "OnAfterInstallObjects", "OnStatus", "OnNewDisk", "OnReplacing"})
    p.push_back(eventProp(e));
  return p;
}

}  // namespace kestrune
