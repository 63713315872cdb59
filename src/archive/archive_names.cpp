// File names of archives and the checks on member names.
#include "archive/archive_names.h"

#include <cctype>

#include "platform/files.h"
#include "runtime/classinfo.h"
#include "runtime/sysutils.h"

namespace kestrune {

std::string VolumeName(std::string_view archive, int volume) {
  return ChangeFileExt(archive, "." + std::to_string(volume));
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  if (dir.empty()) return std::string(name);
  std::string r(dir);
  if (r.back() != '\\' && r.back() != '/') r += platform::kPathDelim;
  r += name;
  return r;
}

std::string SafeLeafName(std::string_view name) {
  const std::string leaf = ExtractFileName(name);
  bool onlyDotsAndBlanks = true;
  for (char ch : leaf) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*' || c == '\\' || c == '/' ||
        c == ':')
      return {};
    if (c != '.' && c != ' ') onlyDotsAndBlanks = false;
  }
  if (leaf.empty() || onlyDotsAndBlanks) return {};
  // Device names stay devices whatever extension follows them.
  std::string base = leaf.substr(0, leaf.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static const char* const devices[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                        "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                        "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9", "CLOCK$", "CONIN$", "CONOUT$"};
  for (const char* d : devices)
    if (SameText(base, d)) return {};
  return leaf;
}

namespace {
std::string& sourceFolder() {
  static std::string folder;
  return folder;
}
}  // namespace

void SetSourceFolder(std::string folder) { sourceFolder() = std::move(folder); }

const std::string& SourceFolder() { return sourceFolder(); }

bool IsAbsoluteName(std::string_view name) {
  if (name.size() >= 2 && name[1] == ':') return true;
  return !name.empty() && (name[0] == '\\' || name[0] == '/');
}

std::string SourceFileOnDisk(std::string_view name) {
  if (name.empty() || IsAbsoluteName(name) || sourceFolder().empty()) return std::string(name);
  std::string path = JoinPath(sourceFolder(), name);
  // Written as the system writes paths (the file layer takes either separator).
  if (platform::kPathDelim == '/')
    for (char& c : path)
      if (c == '\\') c = '/';
  return path;
}

}  // namespace kestrune
