// Published property lists shared by the install object classes.
#pragma once
#include <vector>

#include "runtime/classinfo.h"

namespace kestrune {

// Include, InstallTypes, Order, DestDir, DestDirType, Container and the process events.
std::vector<PropInfo> InstallObjectProps();
// AddToArchive, ArchiveFile, ArchiveFileType, NetLocation, OnDataReceived and (withNet) Net.
std::vector<PropInfo> FileRelatedProps(bool withNet);
// AllowChangeDir, AllowChoice, Description and the report events of file containers.
std::vector<PropInfo> FileContainerProps();

}  // namespace kestrune
