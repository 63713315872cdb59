// Files for tests: a scratch folder removed with its contents, whole files read and
// written as strings, text with a marker replaced.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"

namespace kestrune::test {

// A fresh folder in the system's temporary directory, removed with its contents.
class ScratchDir {
 public:
  ScratchDir() {
    path_ = platform::createTempFile("kst");
    platform::deleteFile(path_);
    path_ += ".d";
    platform::forceDirectories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + platform::kPathDelim + name; }

 private:
  std::string path_;
};

inline std::string readAll(const std::string& path) {
  std::vector<uint8_t> bytes = platform::readWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}
inline void writeAll(const std::string& path, const std::string& bytes) {
  platform::writeWholeFile(path, bytes.data(), bytes.size());
}
inline void copyFile(const std::string& from, const std::string& to) { writeAll(to, readAll(from)); }

inline std::string replaceAll(std::string text, const std::string& what, const std::string& with) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
  return text;
}

}  // namespace kestrune::test
