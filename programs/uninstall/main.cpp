// uninstall.exe: removes a product installed by the kit. Started by the entry's
// "UninstallString" ("C:\...\uninstall.exe" Product, or the path unquoted in entries of
// older kits) with the product name as everything after the program's path, blanks
// included; asks first, then removes what the entry lists and says what it could not
// remove and what it refused. "/Q" before the name removes without asking or showing
// anything. Exit codes: 0 removed, 1 something stayed or was refused, 2 the user said no,
// 3 no such product.
#include <string>
#include <vector>

#include "objects/routines_Uninstall.h"
#include "objects/uninstall_entry.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/ui_app.h"
#include "runtime/classinfo.h"
#include "runtime/exceptions.h"
#include "runtime/format.h"

namespace {

const char* const kCaption = "Odinstalace";

int run() {
  using namespace kestrune;
  namespace ui = platform::ui;
  const std::string self = platform::moduleFileName();
  const UninstallCommand command = ParseUninstallCommandLine(platform::rawCommandLine(), [&](const std::string& word) {
    std::string path = word;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    return SameText(path, self) || platform::sameFile(path, self) || platform::sameFile(path + ".exe", self);
  });
  const bool quiet = command.quiet;
  const std::string& product = command.product;
  auto show = [&](const std::string& text, unsigned flags) {
    return quiet ? ui::idYes : ui::ShowMessageBox(nullptr, text, kCaption, flags | ui::mbTaskModal);
  };
  try {
    if (product.empty() || !ReadUninstallEntry(product)) {
      show(Format("Produkt „%s“ není nainstalován.", {product}), ui::mbOk | ui::mbIconStop);
      return 3;
    }
  } catch (const Exception& e) {
    show(e.Message(), ui::mbOk | ui::mbIconStop);
    return 1;
  }
  if (show(Format("Opravdu chcete odebrat produkt %s a všechny jeho součásti?", {product}),
           ui::mbYesNo | ui::mbIconQuestion | ui::mbDefButton2) != ui::idYes)
    return 2;
  UninstallReport report;
  try {
    report = RemoveProduct(product, self);
  } catch (const Exception& e) {
    show(e.Message(), ui::mbOk | ui::mbIconStop);
    return 1;
  }
  std::string text = Format("Produkt %s byl odebrán.", {product});
  if (!report.afterRestart.empty()) {
    text += "\n\nPo restartu počítače budou odstraněny tyto soubory, které se právě používají:";
    for (const std::string& f : report.afterRestart) text += "\n" + f;
  }
  if (!report.keptAsFound.empty()) {
    text += "\n\nTyto soubory tu byly před instalací a zůstávají:";
    for (const std::string& f : report.keptAsFound) text += "\n" + f;
  }
  if (!report.notRemoved.empty()) {
    text += "\n\nTyto položky se nepodařilo odebrat:";
    for (const std::string& f : report.notRemoved) text += "\n" + f;
  }
  if (!report.refused.empty()) {
    text += "\n\nTyto položky záznamu byly odmítnuty:";
    for (const std::string& f : report.refused) text += "\n" + f;
  }
  const bool whole = report.notRemoved.empty() && report.refused.empty();
  show(text, ui::mbOk | (whole ? ui::mbIconInformation : ui::mbIconWarning));
  return whole ? 0 : 1;
}

}  // namespace

int main() {
  try {
    return run();
  } catch (const std::exception&) {
    return 1;
  }
}
