// TInstallFile's published properties.
#include "objects/cmp_TInstallFile.h"

#include "objects/published_props.h"
#include "runtime/published.h"

namespace kestrune {

const ClassInfo& TInstallFile::classInfo() {
  static const ClassInfo info{
      "TInstallFile", &TCustomInstallFile::classInfo(), create<TInstallFile>, [] {
        using F = TCustomInstallFile;
        std::vector<PropInfo> p = InstallObjectProps();
        for (PropInfo& q : FileRelatedProps(true)) p.push_back(std::move(q));
        p.push_back(prop<&F::FileName, &F::SetFileName>("FileName"));
        p.push_back(prop<&F::IncludeFromDir, &F::SetIncludeFromDir>("IncludeFromDir"));
        p.push_back(prop<&F::DestName, &F::SetDestName>("DestName"));
        p.push_back(prop<&F::FileType, &F::SetFileType>("FileType").Default(0));
        p.push_back(prop<&F::OverwriteMode, &F::SetOverwriteMode>("OverwriteMode").Default(0));
        p.push_back(prop<&F::ActiveX, &F::SetActiveX>("ActiveX").Default(0));
        p.push_back(prop<&F::RegisterAsHelp, &F::SetRegisterAsHelp>("RegisterAsHelp").Default(0));
        p.push_back(prop<&F::RunAfterInstall, &F::SetRunAfterInstall>("RunAfterInstall").Default(0));
        p.push_back(prop<&F::UpdateDLLCounter, &F::SetUpdateDLLCounter>("UpdateDLLCounter").Default(0));
        for (const char* e : {"OnBeforeCompress", "OnAfterCompress", "OnBeforeCopy", "OnAfterCopy", "OnBeforeInstall",
                              "OnAfterInstall", "OnReplacing", "OnStatus", "OnNewDisk"})
          p.push_back(eventProp(e));
        return p;
      }()};
  return info;
}

}  // namespace kestrune
