// What the wizard's pages show of the product.
#include "dialogs/product_data.h"

#include "dialogs/ordlg_WelcomeDlg.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "runtime/format.h"
#include "translation/cmp_TTranslator.h"

namespace kestrune::dialogs {

bool DemoShapedScript() {
  // Pages made without an engine (as a designer or a translation check makes them) keep
  // their design texts too.
  return !CurrentEngine() || ScriptObject("FullVersion") || ScriptObject("DemoVersion") || ScriptObject("BDE");
}

std::string PageText(std::string_view czech) {
  // The language files list each Czech design text under the GLID of its English text,
  // so the lookup starts among the English texts, as a page's does.
  const translation::TTranslator* translator = translation::MainTranslator();
  return translator ? translator->TranslateText(TKstrLanguage::klEnglish, czech) : std::string(czech);
}

std::string ProductName() {
  IInstallEngine* engine = CurrentEngine();
  return engine ? engine->EngineProductName() : std::string();
}

std::string ProductLine() {
  IInstallEngine* engine = CurrentEngine();
  if (!engine) return {};
  if (!engine->EngineDescription().empty()) return engine->EngineDescription();
  if (engine->EngineVersion().empty()) return {};
  return Format(PageText("Verze %s"), {engine->EngineVersion()});
}

bool InInstallType(const TFileContainer* object, TInstallType type) {
  TInstallTypes types = object->InstallTypes();
  return type == TInstallType::itAlways || type == TInstallType::itCustom || types.Contains(TInstallType::itAlways) ||
         types.Contains(type);
}

std::vector<TInstallType> OfferedInstallTypes(TFileContainer* root) {
  std::vector<TInstallType> offered;
  if (!root) return offered;
  const TInstallType current = root->CurrentInstallType();
  for (TInstallType type : {TInstallType::itFull, TInstallType::itDefault, TInstallType::itCompact, TInstallType::itCustom}) {
    if (!root->InstallTypes().Contains(type)) continue;
    // A type under which nothing would be installed is no choice.
    root->SetCurrentInstallType(type);
    if (root->TotalSize(false) > 0) offered.push_back(type);
  }
  root->SetCurrentInstallType(current);
  return offered;
}

std::string InstallTypeText(TInstallType type) {
  switch (type) {
    case TInstallType::itFull: return PageText("Plná instalace");
    case TInstallType::itDefault: return PageText("Typická instalace");
    case TInstallType::itCompact: return PageText("Minimální instalace");
    case TInstallType::itCustom: return PageText("Vlastní výběr");
    default: return {};
  }
}

std::vector<TFileContainer*> OptionalGroups(TFileContainer* root) {
  std::vector<TFileContainer*> groups;
  if (!root) return groups;
  for (TInstallContainer* h : root->HelperList())
    if (auto* g = dynamic_cast<TFileContainer*>(h); g && g->AllowChoice())
      groups.push_back(g);
  return groups;
}

}  // namespace kestrune::dialogs
