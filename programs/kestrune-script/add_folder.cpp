// `kestrune-script add-folder`: writes one install file object per file of a folder into a
// text script, before the end of its main form, and checks that the result loads.
#include "add_folder.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <set>
#include <vector>

#include "../common/tool_files.h"
#include "archive/archive_names.h"
#include "engine/MainForm.h"
#include "engine/script_loader.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/run_state.h"
#include "platform/files.h"
#include "platform/system.h"
#include "routines/routines_Strings.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"
#include "runtime/text_form.h"

namespace kestrune::tools {

namespace {

struct FoundFile {
  std::string subFolder;  // below the added folder, "\"-separated; empty at its top
  std::string name;
};

void collect(const std::string& dir, const std::string& sub, std::vector<FoundFile>& out, int depth) {
  if (depth > 32) throw EFOpenError("The folder %s is nested too deeply", {dir});
  auto entries = platform::folderEntries(dir);
  if (!entries) throw EFOpenError("Cannot read the folder %s", {dir});
  std::sort(entries->begin(), entries->end());
  for (const std::string& name : *entries) {
    const std::string path = JoinPath(dir, name);
    if (platform::directoryExists(path)) collect(path, sub.empty() ? name : sub + "\\" + name, out, depth + 1);
    else if (platform::fileExists(path)) out.push_back({sub, name});
  }
}

std::string absolute(const std::string& path) {
  return IsAbsoluteName(path) ? path : JoinPath(platform::currentDirectory(), path);
}

// A path with "\" separators and no "." parts or trailing separator.
std::string normalized(const std::string& path) {
  std::vector<std::string> parts;
  std::string part, prefix;
  size_t i = 0;
  if (path.size() >= 2 && path[1] == ':') prefix = path.substr(0, 2), i = 2;
  if (i < path.size() && (path[i] == '/' || path[i] == '\\')) prefix += '\\';
  for (; i <= path.size(); ++i) {
    const char c = i < path.size() ? path[i] : '/';
    if (c != '/' && c != '\\') {
      part += c;
      continue;
    }
    if (part == "..") {
      if (!parts.empty() && parts.back() != "..") parts.pop_back();
      else parts.push_back(part);
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  }
  std::string out = prefix;
  for (size_t k = 0; k < parts.size(); ++k) out += (k ? "\\" : "") + parts[k];
  return out;
}

// folder as the script should name it: relative to the script's folder when inside it.
std::string sourceName(const std::string& scriptDir, const std::string& folder) {
  const std::string base = normalized(absolute(scriptDir)), full = normalized(absolute(folder));
  if (full == base) return {};
  if (full.size() > base.size() && full.compare(0, base.size(), base) == 0 && (full[base.size()] == '\\' || base.back() == '\\'))
    return full.substr(base.back() == '\\' ? base.size() : base.size() + 1);
  return full;
}

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) {
      out += "'#" + std::to_string(static_cast<unsigned char>(c)) + "'";
      continue;
    }
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

// A component name from a file name: letters, digits and "_", not starting with a digit,
// unique in the script.
std::string componentName(const FoundFile& f, const engine::TfrmMain& form, std::set<std::string>& taken) {
  std::string base;
  for (char c : f.name) {
    if (std::isalnum(static_cast<unsigned char>(c))) base += c;
    else if (c == '.' || c == '-' || c == ' ' || c == '_') base += '_';
  }
  if (base.empty() || std::isdigit(static_cast<unsigned char>(base[0]))) base = "File" + base;
  base = base.substr(0, 60);
  std::string name = base;
  for (int n = 2; form.FindComponent(name) || taken.count(UpperCase(name)); ++n) name = base + std::to_string(n);
  taken.insert(UpperCase(name));
  return name;
}

// The position of the main form's closing "end": the last word of the text.
size_t closingEnd(const std::string& text) {
  size_t end = text.size();
  while (end > 0 && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  if (end < 3 || !SameText(text.substr(end - 3, 3), "end")) throw EParserError("The script does not end with 'end'");
  size_t start = end - 3;
  size_t lineStart = text.rfind('\n', start);
  lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
  return text.find_first_not_of(" \t", lineStart) == start ? lineStart : start;
}

}  // namespace

int AddFolder(const std::string& scriptPath, const std::string& folder, const std::string& container,
              const std::string& outPath) {
  const std::vector<uint8_t> bytes = ReadInputFile(scriptPath);
  if (bytes.size() >= 4 && std::equal(bytes.begin(), bytes.begin() + 4, "TPF0"))
    throw EFOpenError("\"%s\" is a binary script; add-folder writes into the text form (kestrune-form to-text makes one)",
                      {scriptPath});
  std::string text(bytes.begin(), bytes.end());
  std::unique_ptr<engine::TfrmMain> form = engine::LoadScript(engine::OpenScriptFile(scriptPath));
  const auto* group = As<TFileContainer>(form->FindComponent(container));
  if (!group)
    throw EComponentError("The script has no file group or engine named %s to add the files to", {container});
  if (!platform::directoryExists(folder)) throw EFOpenError("The folder %s does not exist", {folder});

  std::vector<FoundFile> files;
  collect(folder, "", files, 0);
  const std::string scriptDir = ExtractFileDir(absolute(scriptPath));
  const std::string from = sourceName(scriptDir.empty() ? "." : scriptDir, folder);

  // Sources the script already has, as they would be looked up.
  std::set<std::string> known;
  for (int i = 0; i < InstallFiles().Count(); ++i) known.insert(UpperCase(normalized(InstallFiles().Items(i)->SourcePath())));

  std::string objects;
  std::set<std::string> taken;
  int added = 0;
  for (const FoundFile& f : files) {
    const std::string dir = f.subFolder.empty() ? from : from.empty() ? f.subFolder : from + "\\" + f.subFolder;
    if (known.count(UpperCase(normalized(AddBackslash(dir) + f.name)))) continue;
    objects += "  object " + componentName(f, *form, taken) + ": TInstallFile\n";
    objects += "    Container = " + group->Name() + "\n";
    if (!f.subFolder.empty()) objects += "    DestDir = " + quoted("\\" + f.subFolder) + "\n";
    objects += "    DestDirType = psContainerDestDir\n    ArchiveFileType = psContainerArchiveFile\n";
    objects += "    FileName = " + quoted(f.name) + "\n";
    objects += "    IncludeFromDir = " + quoted(dir) + "\n";
    objects += "    DestName = " + quoted(f.name) + "\n  end\n";
    ++added;
  }
  for (const char* specifier : {"psContainerDestDir: TpsContainerDestDir", "psContainerArchiveFile: TpsContainerArchiveFile"}) {
    const std::string name(specifier, std::string_view(specifier).find(':'));
    if (added && !form->FindComponent(name)) objects = "  object " + std::string(specifier) + "\n  end\n" + objects;
  }
  form.reset();
  text.insert(closingEnd(text), objects);
  // The result must load before it replaces anything.
  engine::ScriptFile made;
  made.path = scriptPath;
  made.stream = ObjectTextToBinary(text, &made.marks);
  engine::LoadScript(made);
  const std::string out = outPath.empty() ? scriptPath : outPath;
  WriteOutputFile(out, text.data(), text.size());
  return added;
}

}  // namespace kestrune::tools
