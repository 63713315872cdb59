// Published property lists shared by the install object classes, as constant tables that a
// class joins with its own (JoinProps) into the one constant table of its properties.
#pragma once
#include <array>
#include <cstddef>
#include <vector>

#include "objects/cmp_TCustomNetInstallLocation.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/cmp_TPathSpecifier.h"
#include "runtime/classinfo.h"
#include "runtime/published.h"

namespace kestrune {

template <size_t N, size_t M>
constexpr size_t copyProps(const std::array<PropInfo, N>& from, std::array<PropInfo, M>& to, size_t at) {
  for (const PropInfo& p : from) to[at++] = p;
  return at;
}

// Joins constant property tables, in order, into one.
template <size_t... N>
constexpr std::array<PropInfo, (N + ...)> JoinProps(const std::array<PropInfo, N>&... parts) {
  std::array<PropInfo, (N + ...)> out{};
  size_t i = 0;
  ((i = copyProps(parts, out, i)), ...);
  return out;
}

// Container, DestDir, DestDirType, Include, InstallTypes, Order and the process events.
inline constexpr std::array<PropInfo, 8> kInstallObjectProps = {
    prop<&TInstallObject::Container, &TInstallObject::SetContainer>("Container"),
    prop<&TInstallContainer::DestDir, &TInstallContainer::SetDestDir>("DestDir"),
    prop<&TInstallContainer::DestDirType, &TInstallContainer::SetDestDirType>("DestDirType"),
    prop<&TInstallContainer::Include, &TInstallContainer::SetInclude>("Include").Default(1),
    prop<&TInstallContainer::InstallTypes, &TInstallContainer::SetInstallTypes>("InstallTypes")
        .Default(TInstallTypes{TInstallType::itAlways}.Bits()),
    prop<&TInstallContainer::Order, &TInstallContainer::SetOrder>("Order"),
    eventProp("OnBeforeProcess"),
    eventProp("OnAfterProcess")};

// AddToArchive, ArchiveFile, ArchiveFileType, (withNet) Net, NetLocation, OnDataReceived.
template <bool withNet>
constexpr std::array<PropInfo, withNet ? 6 : 5> FileRelatedPropTable() {
  std::array<PropInfo, withNet ? 6 : 5> p{};
  size_t i = 0;
  p[i++] = prop<&TFileRelated::AddToArchive, &TFileRelated::SetAddToArchive>("AddToArchive").Default(0);
  p[i++] = prop<&TFileRelated::ArchiveFile, &TFileRelated::SetArchiveFile>("ArchiveFile");
  p[i++] = prop<&TFileRelated::ArchiveFileType, &TFileRelated::SetArchiveFileType>("ArchiveFileType");
  if (withNet) p[i++] = prop<&TFileRelated::Net, &TFileRelated::SetNet>("Net").Default(0);
  p[i++] = prop<&TFileRelated::NetLocation, &TFileRelated::SetNetLocation>("NetLocation");
  p[i++] = eventProp("OnDataReceived");
  return p;
}

// AllowChangeDir, AllowChoice, Description and the report events of file containers.
inline constexpr std::array<PropInfo, 8> kFileContainerProps = {
    prop<&TFileContainer::AllowChangeDir, &TFileContainer::SetAllowChangeDir>("AllowChangeDir").Default(1),
    prop<&TFileContainer::AllowChoice, &TFileContainer::SetAllowChoice>("AllowChoice").Default(1),
    prop<&TFileContainer::Description>("Description"),
    eventProp("OnBeforeInstallObjects"),
    eventProp("OnAfterInstallObjects"),
    eventProp("OnStatus"),
    eventProp("OnNewDisk"),
    eventProp("OnReplacing")};

// The same lists as vectors, for classes whose table is made at run time.
std::vector<PropInfo> InstallObjectProps();
std::vector<PropInfo> FileRelatedProps(bool withNet);
std::vector<PropInfo> FileContainerProps();

}  // namespace kestrune
