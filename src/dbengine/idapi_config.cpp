// The configuration file format of IDAPINST.DLL: parsing, writing and merging.
#include "dbengine/idapi_config.h"

#include "dbengine/idapi_scan.h"

namespace kestrune::idapi {

Config Config::parse(std::string_view text) {
  Config config;
  std::string current;  // the path of the section being read
  ScanEvents events;
  struct Builder {
    Config& config;
    std::string& current;
  } builder{config, current};
  events.context = &builder;
  events.section = [](void* context, std::string_view path) {
    auto& b = *static_cast<Builder*>(context);
    Section* s = b.config.findSection(path);
    if (!s) {
      b.config.sections_.push_back({std::string(path), {}});
      s = &b.config.sections_.back();
    }
    b.current = s->path;
    return true;
  };
  events.setting = [](void* context, std::string_view name, std::string_view value) {
    auto& b = *static_cast<Builder*>(context);
    b.config.set(b.current, name, value);
    return true;
  };
  ScanError error;
  if (!ScanConfig(text, events, error)) throw ConfigError("line " + std::to_string(error.line) + ": " + error.what);
  return config;
}

std::string Config::text() const {
  std::string out;
  for (const Section& section : sections_) {
    out += "[" + section.path + "]\r\n";
    for (const Setting& s : section.settings) out += s.name + "=" + s.value + "\r\n";
    out += "\r\n";
  }
  return out;
}

Section* Config::findSection(std::string_view path) {
  for (Section& s : sections_)
    if (SameConfigName(s.path, path)) return &s;
  return nullptr;
}

const std::string* Config::find(std::string_view section, std::string_view name) const {
  for (const Section& s : sections_) {
    if (!SameConfigName(s.path, section)) continue;
    for (const Setting& setting : s.settings)
      if (SameConfigName(setting.name, name)) return &setting.value;
  }
  return nullptr;
}

void Config::set(std::string_view section, std::string_view name, std::string_view value) {
  Section* s = findSection(section);
  if (!s) {
    sections_.push_back({std::string(section), {}});
    s = &sections_.back();
  }
  for (Setting& setting : s->settings)
    if (SameConfigName(setting.name, name)) {
      setting.value = std::string(value);
      return;
    }
  s->settings.push_back({std::string(name), std::string(value)});
}

void Config::merge(const Config& other, bool otherWins) {
  for (const Section& section : other.sections_)
    for (const Setting& setting : section.settings)
      if (otherWins || !find(section.path, setting.name)) set(section.path, setting.name, setting.value);
}

}  // namespace kestrune::idapi
