// Loading an install script from a file, in text or binary form, into a main form.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/text_form.h"

namespace kestrune {
class TCustomInstall;
}

namespace kestrune::engine {

class TfrmMain;

// The binary stream of a script file: binary files ("TPF0") as they are, text forms
// converted. Raises EFOpenError naming the file and the reason when it cannot be read (a
// directory included), and the reader's or the text form's error for bad input.
std::vector<uint8_t> ReadScriptFile(const std::string& path);

// Creates the main form from a script as a plain start of the setup program would (no
// command-line switches), without showing it.
std::unique_ptr<TfrmMain> LoadScript(const std::vector<uint8_t>& stream);

// A script file as the tools read it: its stream and, for a text form, where each object and
// property begins in the text.
struct ScriptFile {
  std::string path;
  std::vector<uint8_t> stream;
  std::vector<TextFormMark> marks;
};
// Reads a script file (errors as ReadScriptFile).
ScriptFile OpenScriptFile(const std::string& path);
// LoadScript for a script file: an error of an object or a property of a text form starts
// with "Line %d, column %d: " and, for an unknown class, names the object.
std::unique_ptr<TfrmMain> LoadScript(const ScriptFile& script);

// The script's install engine (its TInstall or TCustomInstall component); nullptr when
// the script has none, and a setup program made from it could install nothing.
TCustomInstall* FindEngine(const TfrmMain& form);

}  // namespace kestrune::engine
