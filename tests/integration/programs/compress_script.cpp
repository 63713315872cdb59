// Compresses the files of an install script into its archives, as a build does, so that a
// setup program made from the same script finds them. Usage: compress_script SCRIPT
#include <cstdio>
#include <exception>

#include "engine/MainForm.h"
#include "engine/cmp_TInstall.h"
#include "engine/register_classes.h"
#include "engine/script_loader.h"
#include "runtime/classinfo.h"

int main(int argc, char** argv) {
  using namespace kestrune;
  if (argc != 2) return 2;
  try {
    registerKitClasses(ClassRegistry::Global());
    auto form = engine::LoadScript(engine::ReadScriptFile(argv[1]));
    TCustomInstall* install = engine::FindEngine(*form);
    if (!install) throw Exception("the script has no engine");
    install->Compress(TCompressOptions{TCompressOption::coForceNetFilesLocal});
  } catch (const std::exception& e) {
    std::fprintf(stderr, "compress_script: %s\n", e.what());
    return 1;
  }
  return 0;
}
