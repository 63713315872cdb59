// kestrune-script: `tree SCRIPT` prints a script's install object tree; `make-setup SCRIPT
// -o OUT.exe` writes a copy of the setup program that carries SCRIPT.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "engine/MainForm.h"
#include "engine/register_classes.h"
#include "engine/script_loader.h"
#include "platform/files.h"
#include "platform/system.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"
#include "runtime/text_form.h"
#include "runtime/writer.h"
#include "script_tree.h"

using namespace kestrune;

namespace {

int usage() {
  std::cerr << "usage: kestrune-script tree SCRIPT\n"
               "       kestrune-script format SCRIPT OUT\n"
               "       kestrune-script make-setup SCRIPT -o OUT.exe [--setup SETUP.exe]\n";
  return 2;
}

void copyFile(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"%s\"", {from});
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  if (!out) throw EFCreateError("Cannot create file \"%s\"", {to});
  out << in.rdbuf();
  if (!out.flush()) throw EWriteError("Cannot write file \"%s\"", {to});
}

int run(const std::vector<std::string>& args) {
  if (args.size() < 3) return usage();
  registerKitClasses(ClassRegistry::Global());
  const std::string& command = args[1];
  const std::string& script = args[2];
  if (command == "tree" && args.size() == 3) {
    std::unique_ptr<engine::TfrmMain> form = engine::LoadScript(engine::ReadScriptFile(script));
    tools::PrintTree(*form, std::cout);
    return 0;
  }
  if (command == "format" && args.size() == 4) {
    // Loads the script and writes it back in text form as the kit writes it: properties in
    // their declared order, defaults left out.
    std::unique_ptr<engine::TfrmMain> form = engine::LoadScript(engine::ReadScriptFile(script));
    std::string text = ObjectBinaryToText(WriteComponentStream(form.get()));
    std::ofstream out(args[3], std::ios::binary | std::ios::trunc);
    if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size())))
      throw EFCreateError("Cannot create file \"%s\"", {args[3]});
    return 0;
  }
  if (command == "make-setup") {
    std::string out, setup = ExtractFilePath(platform::moduleFileName()) + "setup.exe";
    for (size_t i = 3; i < args.size(); ++i) {
      if (args[i] == "-o" && i + 1 < args.size()) out = args[++i];
      else if (args[i] == "--setup" && i + 1 < args.size()) setup = args[++i];
      else return usage();
    }
    if (out.empty()) return usage();
    std::vector<uint8_t> stream = engine::ReadScriptFile(script);
    // The script must load before it is carried: the setup program would fail at start.
    engine::LoadScript(stream).reset();
    copyFile(setup, out);
    platform::replaceRcData(out, engine::kMainFormResource, stream);
    return 0;
  }
  return usage();
}

}  // namespace

#ifdef _WIN32
int wmain(int, wchar_t**) {
#else
int main(int, char**) {
#endif
  try {
    return run(platform::commandLineArguments());
  } catch (const std::exception& e) {
    std::cerr << "kestrune-script: " << e.what() << "\n";
    return 1;
  }
}
