// uninstall.exe: removes a product installed by the kit. Started by the entry's
// "UninstallString" with the product name as its argument (the words after the program's
// name, blanks included); asks first, then removes what the entry lists and says what it
// could not remove. "/Q" before the name removes without asking or showing anything.
// Exit codes: 0 removed, 1 something stayed, 2 the user said no, 3 no such product.
#include <string>
#include <vector>

#include "objects/routines_Uninstall.h"
#include "objects/uninstall_entry.h"
#include "platform/system.h"
#include "platform/ui_app.h"
#include "runtime/exceptions.h"
#include "runtime/format.h"

namespace {

const char* const kCaption = "Odinstalace";

int run() {
  using namespace kestrune;
  namespace ui = platform::ui;
  std::vector<std::string> args = platform::commandLineArguments();
  bool quiet = false;
  size_t first = 1;
  if (args.size() > 1 && (args[1] == "/Q" || args[1] == "/q")) {
    quiet = true;
    first = 2;
  }
  std::string product;
  for (size_t i = first; i < args.size(); ++i) product += (product.empty() ? "" : " ") + args[i];
  auto show = [&](const std::string& text, unsigned flags) {
    return quiet ? ui::idYes : ui::ShowMessageBox(nullptr, text, kCaption, flags | ui::mbTaskModal);
  };
  if (product.empty() || !ReadUninstallEntry(product)) {
    show(Format("Produkt „%s“ není nainstalován.", {product}), ui::mbOk | ui::mbIconStop);
    return 3;
  }
  if (show(Format("Opravdu chcete odebrat produkt %s a všechny jeho součásti?", {product}),
           ui::mbYesNo | ui::mbIconQuestion | ui::mbDefButton2) != ui::idYes)
    return 2;
  UninstallReport report;
  try {
    report = RemoveProduct(product, platform::moduleFileName());
  } catch (const Exception& e) {
    show(e.Message(), ui::mbOk | ui::mbIconStop);
    return 1;
  }
  std::string text = Format("Produkt %s byl odebrán.", {product});
  if (!report.afterRestart.empty()) {
    text += "\n\nPo restartu počítače budou odstraněny tyto soubory, které se právě používají:";
    for (const std::string& f : report.afterRestart) text += "\n" + f;
  }
  if (!report.notRemoved.empty()) {
    text += "\n\nTyto položky se nepodařilo odebrat:";
    for (const std::string& f : report.notRemoved) text += "\n" + f;
  }
  show(text, ui::mbOk | (report.notRemoved.empty() ? ui::mbIconInformation : ui::mbIconWarning));
  return report.notRemoved.empty() ? 0 : 1;
}

}  // namespace

int main() {
  try {
    return run();
  } catch (const std::exception&) {
    return 1;
  }
}
