// TInstallFile's published properties.
#include "objects/cmp_TInstallFile.h"

#include "objects/published_props.h"
#include "runtime/published.h"

namespace kestrune {

const ClassInfo& TInstallFile::classInfo() {
  using F = TCustomInstallFile;
  static constexpr auto props = JoinProps(
      kInstallObjectProps, FileRelatedPropTable<true>(),
      std::array{prop<&F::FileName, &F::SetFileName>("FileName"),
                 prop<&F::IncludeFromDir, &F::SetIncludeFromDir>("IncludeFromDir"),
                 prop<&F::DestName, &F::SetDestName>("DestName"),
                 prop<&F::FileType, &F::SetFileType>("FileType").Default(0),
                 prop<&F::OverwriteMode, &F::SetOverwriteMode>("OverwriteMode").Default(0),
                 prop<&F::ActiveX, &F::SetActiveX>("ActiveX").Default(0),
                 prop<&F::RegisterAsHelp, &F::SetRegisterAsHelp>("RegisterAsHelp").Default(0),
                 prop<&F::RunAfterInstall, &F::SetRunAfterInstall>("RunAfterInstall").Default(0),
                 prop<&F::UpdateDLLCounter, &F::SetUpdateDLLCounter>("UpdateDLLCounter").Default(0),
                 eventProp("OnBeforeCompress"), eventProp("OnAfterCompress"), eventProp("OnBeforeCopy"),
                 eventProp("OnAfterCopy"), eventProp("OnBeforeInstall"), eventProp("OnAfterInstall"),
                 eventProp("OnReplacing"), eventProp("OnStatus"), eventProp("OnNewDisk")});
  static const ClassInfo info{"TInstallFile", &TCustomInstallFile::classInfo(), create<TInstallFile>, props};
  return info;
}

}  // namespace kestrune
