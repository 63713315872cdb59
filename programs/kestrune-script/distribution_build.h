// `kestrune-script build`: the distribution of a script, as the setup program's -b makes it,
// built by the tool itself (natively or on Windows) without BUILD.INF or the registry.
#pragma once
#include <string>

namespace kestrune::tools {

// The kit folder the tool uses when none is given: its own folder when setup.exe is there
// (the Windows kit as installed, or a Windows build's bin folder), else
// ../share/kestrune/kit beside it (a native install that carries the Windows kit); empty
// when neither holds setup.exe.
std::string DefaultKitDirectory();

// Builds the distribution of script into outDir with the setup program and the loader of
// kitDir. Relative source files are taken from the script's folder. Everything is checked
// (the script, the kit, every source file) before anything is written; the distribution is
// made in a new folder beside outDir and moved into outDir only when complete, so that a
// failed build leaves outDir as it was. Raises the first error, naming what failed.
void BuildDistribution(const std::string& script, const std::string& outDir, const std::string& kitDir);

}  // namespace kestrune::tools
