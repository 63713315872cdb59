// kestrune-script: `tree SCRIPT` prints a script's install object tree, `format SCRIPT OUT`
// writes it back as the kit writes it, `make-setup SCRIPT -o OUT.exe` writes a copy of the
// setup program that carries SCRIPT, `build SCRIPT -o DIR` builds its distribution,
// `add-folder SCRIPT FOLDER --to GROUP` adds a folder's files to it, `classes [CLASS]`
// prints the class reference.
#include <iostream>
#include <string>
#include <vector>

#include "../common/tool_files.h"
#include "engine/MainForm.h"
#include "engine/cmp_TInstall.h"
#include "engine/register_classes.h"
#include "engine/script_loader.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/portable_pe_resources.h"
#include "platform/system.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"
#include "runtime/text_form.h"
#include "runtime/writer.h"
#include "add_folder.h"
#include "class_reference.h"
#include "distribution_build.h"
#include "script_tree.h"
#include "setup_program.h"

using namespace kestrune;

namespace {

int usage() {
  std::cerr << "usage: kestrune-script tree SCRIPT\n"
               "       kestrune-script format SCRIPT OUT\n"
               "       kestrune-script make-setup SCRIPT -o OUT.exe [--setup SETUP.exe]\n"
               "       kestrune-script build SCRIPT -o DIR [--kit DIR]\n"
               "       kestrune-script add-folder SCRIPT FOLDER --to GROUP [-o OUT]\n"
               "       kestrune-script classes [CLASS]\n";
  return 2;
}

// Loads the script (the setup program would fail at its start on a script that does not
// load) and checks that it has an engine to install with. A licence file the script names
// is carried in its LicenseText (withLicenseText); the script with it is loaded once more.
std::vector<uint8_t> loadCarriedScript(const std::string& script) {
  engine::ScriptFile file = engine::OpenScriptFile(script);
  std::unique_ptr<engine::TfrmMain> form = engine::LoadScript(file);
  TCustomInstall* installer = engine::FindEngine(*form);
  if (!installer)
    throw EFOpenError("The script \"%s\" has no install engine (a TInstall or TCustomInstall component); "
                      "a setup program made from it could install nothing", {script});
  std::vector<uint8_t> carried = tools::ScriptWithLicense(file.stream, *installer, ExtractFilePath(script));
  if (carried != file.stream) {
    form.reset();
    engine::LoadScript(carried);
  }
  return carried;
}

// The setup program with the script as its main form resource. The program is rewritten
// in memory with its resource section laid out anew, so the output is the code plus this
// script: the template's own script leaves no dead space behind. The output is written
// under a temporary name and appears only whole.
void makeSetup(const std::string& script, const std::string& setup, const std::string& out) {
  tools::CheckOutputPath(out);
  if (platform::sameFile(setup, out))
    throw EFCreateError("The output \"%s\" is the setup program it would be made from; give another name", {out});
  const std::vector<uint8_t> made = tools::SetupProgramWithScript(setup, loadCarriedScript(script));
  try {
    platform::PendingFile pending(out);
    pending.writeAll(made.data(), made.size());
    pending.commit();
  } catch (const platform::PlatformError& e) {
    tools::FailWrite(out, e);
  }
}

// Flushes standard output and tells whether everything reached it.
int finishOutput(const char* what) {
  std::cout.flush();
  return std::cout ? 0 : tools::ReportFailure("kestrune-script", EWriteError("Cannot write the %s", {what}));
}

int run(const std::vector<std::string>& args) {
  if (args.size() == 2 && args[1] == "classes") {
    registerKitClasses(ClassRegistry::Global());
    tools::PrintClassReference(ClassRegistry::Global(), engine::TfrmMain::classInfo(), std::cout);
    return finishOutput("reference");
  }
  if (args.size() < 3) return usage();
  registerKitClasses(ClassRegistry::Global());
  if (args[1] == "classes" && args.size() == 3) {
    if (!tools::PrintClass(ClassRegistry::Global(), engine::TfrmMain::classInfo(), args[2], std::cout))
      throw EClassNotFound("Class %s not found; `kestrune-script classes` lists them all", {args[2]});
    return finishOutput("reference");
  }
  const std::string& command = args[1];
  const std::string& script = args[2];
  if (command == "tree" && args.size() == 3) {
    std::unique_ptr<engine::TfrmMain> form = engine::LoadScript(engine::OpenScriptFile(script));
    tools::PrintTree(*form, std::cout);
    std::cout.flush();
    return std::cout ? 0 : tools::ReportFailure("kestrune-script", EWriteError("Cannot write the tree"));
  }
  if (command == "format" && args.size() == 4) {
    // Loads the script and writes it back in text form as the kit writes it: properties in
    // their declared order, defaults left out.
    tools::CheckOutputPath(args[3]);
    std::unique_ptr<engine::TfrmMain> form = engine::LoadScript(engine::OpenScriptFile(script));
    const std::string text = ObjectBinaryToText(WriteComponentStream(form.get()));
    tools::WriteOutputFile(args[3], text.data(), text.size());
    return 0;
  }
  if (command == "build") {
    std::string out, kit;
    bool kitGiven = false;
    for (size_t i = 3; i < args.size(); ++i) {
      if (args[i] == "-o" && i + 1 < args.size()) out = args[++i];
      else if (args[i] == "--kit" && i + 1 < args.size()) kit = args[++i], kitGiven = true;
      else return usage();
    }
    if (out.empty() || (kitGiven && kit.empty())) return usage();
    tools::BuildDistribution(script, out, kitGiven ? kit : tools::DefaultKitDirectory());
    return 0;
  }
  if (command == "add-folder" && args.size() >= 4) {
    std::string group, out;
    for (size_t i = 4; i < args.size(); ++i) {
      if (args[i] == "--to" && i + 1 < args.size()) group = args[++i];
      else if (args[i] == "-o" && i + 1 < args.size()) out = args[++i];
      else return usage();
    }
    if (group.empty()) return usage();
    if (!out.empty()) tools::CheckOutputPath(out);
    const int added = tools::AddFolder(script, args[3], group, out);
    std::cout << added << " install file" << (added == 1 ? "" : "s") << " added to " << group << "\n";
    return finishOutput("count");
  }
  if (command == "make-setup") {
    std::string out, setup = ExtractFilePath(platform::moduleFileName()) + "setup.exe";
    for (size_t i = 3; i < args.size(); ++i) {
      if (args[i] == "-o" && i + 1 < args.size()) out = args[++i];
      else if (args[i] == "--setup" && i + 1 < args.size()) setup = args[++i];
      else return usage();
    }
    if (out.empty()) return usage();
    makeSetup(script, setup, out);
    return 0;
  }
  return usage();
}

}  // namespace

// Windows: the UTF-16 entry point, so that no argument passes through the ANSI code page;
// the arguments are read back as UTF-8 from the platform layer.
#ifdef _WIN32
int wmain(int, wchar_t**) {
#else
int main(int, char**) {
#endif
  try {
    return run(platform::commandLineArguments());
  } catch (const std::exception& e) {
    return tools::ReportFailure("kestrune-script", e);
  }
}
