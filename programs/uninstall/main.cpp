// uninstall.exe: removes a product installed by the kit. Started by the entry's
// "UninstallString" ("C:\...\uninstall.exe" Product, or the path unquoted in entries of
// older kits) with the product name as everything after the program's path, blanks
// included; asks first, then removes what the entry lists and says what it could not
// remove and what it refused. "/Q" before the name removes without asking or showing
// anything. Exit codes: 0 removed, 1 something stayed or was refused, 2 the user said no,
// 3 no such product. It speaks the language the installation spoke (the entry's
// "Language": Czech, English or German; Czech when the entry names none).
#include <string>
#include <vector>

#include "objects/routines_Uninstall.h"
#include "objects/uninstall_entry.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/ui_app.h"
#include "routines/routines_Registry.h"
#include "runtime/classinfo.h"
#include "runtime/exceptions.h"
#include "runtime/format.h"

namespace {

// The uninstaller's texts in the kit's built-in languages.
struct Texts {
  const char* caption;
  const char* notInstalled;
  const char* confirm;
  const char* removed;
  const char* afterRestart;
  const char* keptAsFound;
  const char* notRemoved;
  const char* refused;
};
const Texts kCzech{"Odinstalace",
                   "Produkt „%s“ není nainstalován.",
                   "Opravdu chcete odebrat produkt %s a všechny jeho součásti?",
                   "Produkt %s byl odebrán.",
                   "Po restartu počítače budou odstraněny tyto soubory, které se právě používají:",
                   "Tyto soubory tu byly před instalací a zůstávají:",
                   "Tyto položky se nepodařilo odebrat:",
                   "Tyto položky záznamu byly odmítnuty:"};
const Texts kEnglish{"Uninstall",
                     "The product \"%s\" is not installed.",
                     "Do you really want to remove %s and all of its components?",
                     "%s has been removed.",
                     "These files are in use and will be deleted when the computer restarts:",
                     "These files were here before the installation and stay:",
                     "These items could not be removed:",
                     "These items of the entry were refused:"};
const Texts kGerman{"Deinstallation",
                    "Das Produkt \"%s\" ist nicht installiert.",
                    "Möchten Sie %s und alle zugehörigen Komponenten wirklich entfernen?",
                    "%s wurde entfernt.",
                    "Diese Dateien werden gerade verwendet und nach einem Neustart des Computers gelöscht:",
                    "Diese Dateien waren vor der Installation vorhanden und bleiben erhalten:",
                    "Diese Elemente konnten nicht entfernt werden:",
                    "Diese Elemente des Eintrags wurden abgelehnt:"};

// The texts of the language the product's entry names; Czech, as before, without one.
const Texts& textsOf(const std::string& product) {
  using namespace kestrune;
  std::string language;
  try {
    if (!product.empty()) language = ReadRegistryString(rkLocalMachine, std::string(kUninstallRoot) + product, "Language", "");
  } catch (const std::exception&) {
  }
  if (language.empty() || SameText(language, "Czech")) return kCzech;
  if (SameText(language, "German")) return kGerman;
  return kEnglish;
}

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
  const Texts& t = textsOf(product);
  auto show = [&](const std::string& text, unsigned flags) {
    return quiet ? ui::idYes : ui::ShowMessageBox(nullptr, text, t.caption, flags | ui::mbTaskModal);
  };
  try {
    if (product.empty() || !ReadUninstallEntry(product)) {
      show(Format(t.notInstalled, {product}), ui::mbOk | ui::mbIconStop);
      return 3;
    }
  } catch (const Exception& e) {
    show(e.Message(), ui::mbOk | ui::mbIconStop);
    return 1;
  }
  if (show(Format(t.confirm, {product}),
           ui::mbYesNo | ui::mbIconQuestion | ui::mbDefButton2) != ui::idYes)
    return 2;
  UninstallReport report;
  try {
    report = RemoveProduct(product, self);
  } catch (const Exception& e) {
    show(e.Message(), ui::mbOk | ui::mbIconStop);
    return 1;
  }
  std::string text = Format(t.removed, {product});
  if (!report.afterRestart.empty()) {
    text += "\n\n" + std::string(t.afterRestart);
    for (const std::string& f : report.afterRestart) text += "\n" + f;
  }
  if (!report.keptAsFound.empty()) {
    text += "\n\n" + std::string(t.keptAsFound);
    for (const std::string& f : report.keptAsFound) text += "\n" + f;
  }
  if (!report.notRemoved.empty()) {
    text += "\n\n" + std::string(t.notRemoved);
    for (const std::string& f : report.notRemoved) text += "\n" + f;
  }
  if (!report.refused.empty()) {
    text += "\n\n" + std::string(t.refused);
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
