// Expansion of %-meta variables with the install object tree's destinations.
#include "objects/routines_MetaVariables.h"

#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "paths/routines_ExpandPaths.h"
#include "runtime/exceptions.h"

namespace kestrune {

std::string ExpandMetaVariables(std::string_view text, const TInstallContainer* component) {
  return ExpandMetaVariablesWith(text, [component](char letter) -> std::string {
    switch (letter) {
      case 'a':
        if (!component)
          throw EAICannotExpandContainerDirMV(TranslateMessage("Cannot expand the %a meta variable because the component is Nil"));
        return component->GetDestDir();
      case 'c': {
        if (!component)
          throw EAICannotExpandContainerDirMV(TranslateMessage("Cannot expand the %c meta variable because the component is Nil"));
        const TInstallContainer* container = component->ContainerRef();
        if (!container)
          throw EAICannotExpandContainerDirMV(
              TranslateMessage("Cannot expand the %c meta variable because the Container property is Nil"));
        return container->GetDestDir();
      }
      case 'i': {
        IInstallEngine* engine = CurrentEngine();
        if (!engine)
          throw EAICannotExpandInstallDirMV(
              TranslateMessage("Cannot expand the %i meta variable because there is no TInstall component"));
        return engine->EngineContainer()->GetDestDir();
      }
      default: return {};
    }
  });
}

}  // namespace kestrune
