// The kit's setup program made to carry a given install script.
#include "setup_program.h"

#include <cstring>

#include "../common/tool_files.h"
#include "engine/MainForm.h"
#include "engine/cmp_TInstall.h"
#include "engine/licence_file.h"
#include "platform/gzip.h"
#include "platform/portable_pe_resources.h"
#include "runtime/encoding.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"
#include "runtime/text_form.h"

namespace kestrune::tools {

namespace {

// A program file: the DOS header's "MZ" and, where it points, the "PE" signature.
bool isWindowsProgram(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return false;
  uint32_t pe = 0;
  for (int i = 3; i >= 0; --i) pe = (pe << 8) | bytes[0x3C + i];
  return pe <= bytes.size() - 4 && std::memcmp(bytes.data() + pe, "PE\0\0", 4) == 0;
}

}  // namespace

std::vector<uint8_t> SetupProgramWithScript(const std::string& setupPath, const std::vector<uint8_t>& stream) {
  const std::vector<uint8_t> program = ReadInputFile(setupPath);
  if (!isWindowsProgram(program)) throw EFOpenError("\"%s\" is not a Windows program", {setupPath});
  // A program without a script is not the kit's setup program: it would carry the script
  // to no use.
  bool carriesScript = false;
  try {
    carriesScript = platform::pe::FindRcData(program, engine::kMainFormResource).has_value();
  } catch (const platform::pe::ResourceLayoutError&) {
  }
  if (!carriesScript) throw EFOpenError("\"%s\" is not a setup program of the kit: it carries no install script", {setupPath});
  try {
    // Stored as one gzip member, as the build stores the demo script in setup.exe: the
    // program inflates it when it starts (a raw stream, as programs made before carry it,
    // is read as it is).
    return platform::pe::WithRcData(program, engine::kMainFormResource, platform::DeflateGzipMember(stream));
  } catch (const platform::pe::ResourceLayoutError& e) {
    throw EWriteError("Cannot put the script into a copy of \"%s\": %s", {setupPath, std::string(e.what())});
  }
}

namespace {

// A line of text as a quoted string of the text form; characters the stream cannot hold
// (outside Windows-1250) become "?", control characters blanks.
std::string quotedLine(const std::string& line) {
  std::string out = "'";
  for (size_t pos = 0; pos < line.size();) {
    const size_t start = pos;
    uint32_t cp = 0;
    if (!DecodeUtf8(line, pos, cp)) {
      ++pos;
      out += '?';
    } else if (cp == '\'') {
      out += "''";
    } else if (cp < 0x20) {
      out += ' ';
    } else if (!UnicodeToCp1250(cp)) {
      out += '?';
    } else {
      out.append(line, start, pos - start);
    }
  }
  return out + "'";
}

}  // namespace

// The script with the licence file it names (LicenseFile, relative to the script's folder
// unless absolute) carried in its LicenseText: the lines go into the engine's object of
// the script's text form, which is otherwise left as it is. The script as it is when it
// names no file or sets LicenseText itself.
std::vector<uint8_t> ScriptWithLicense(const std::vector<uint8_t>& stream, const TCustomInstall& engine,
                                     const std::string& scriptDir) {
  std::string path = engine.LicenseFile();
  if (Trim(path).empty() || engine.LicenseText()->Count() > 0) return stream;
  const bool absolute = (path.size() >= 2 && path[1] == ':') || path[0] == '\\' || path[0] == '/';
  if (!absolute) path = scriptDir + path;
  const std::vector<uint8_t> bytes = ReadInputFile(path);
  const std::vector<std::string> lines =
      LicenseLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), path);
  if (lines.empty()) return stream;
  std::string text = ObjectBinaryToText(stream);
  const std::string header = "object " + engine.Name() + ": ";
  size_t at = 0;
  while ((at = text.find(header, at)) != std::string::npos) {
    const size_t lineStart = text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
    if (text.find_first_not_of(' ', lineStart) == at) break;
    at += header.size();
  }
  if (at == std::string::npos) return stream;
  const size_t lineStart = text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
  const std::string indent(at - lineStart + 2, ' ');
  std::string property = indent + "LicenseText.Strings = (";
  for (const std::string& line : lines) property += "\n" + indent + "  " + quotedLine(line);
  property += ")\n";
  const size_t insertAt = text.find('\n', at) + 1;
  text.insert(insertAt, property);
  return ObjectTextToBinary(text);
}

}  // namespace kestrune::tools
