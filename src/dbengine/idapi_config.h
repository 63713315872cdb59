// The configuration file format of the kit's IDAPINST.DLL: the engine's settings as text.
//
//   ; a comment (also "#"); blank lines are ignored; leading and trailing blanks are trimmed
//   [DRIVERS\PARADOX\INIT]      a section: a path of names separated by "\"
//   NET DIR=C:\DATA             a setting of the section above: NAME=VALUE
//
// Section paths and setting names compare ignoring case and keep their first spelling.
// A setting before the first section, a line that is neither a section nor a setting, an
// empty name, a section path with an empty part, a line longer than 4096 bytes, control
// characters other than tabs are refused with the line number.
// Files are written with CR LF line ends, sections in the order they were first met.
#pragma once
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune::idapi {

struct Setting {
  std::string name;
  std::string value;
};

struct Section {
  std::string path;
  std::vector<Setting> settings;
};

class ConfigError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Config {
 public:
  // Raises ConfigError "line %d: ..." for text the format does not allow.
  static Config parse(std::string_view text);
  std::string text() const;

  const std::vector<Section>& sections() const { return sections_; }
  // Null when the section or setting is missing.
  const std::string* find(std::string_view section, std::string_view name) const;
  // Sets the value, adding the section and the setting at their ends when missing.
  void set(std::string_view section, std::string_view name, std::string_view value);
  // Every setting of other taken over key by key: values of settings both hold become
  // other's when otherWins, settings only other holds are added.
  void merge(const Config& other, bool otherWins);

 private:
  Section* findSection(std::string_view path);
  std::vector<Section> sections_;
};

}  // namespace kestrune::idapi
