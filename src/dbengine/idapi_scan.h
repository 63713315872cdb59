// The line rules of the configuration format (see idapi_config.h), without exceptions,
// allocation or the C++ runtime: Config::parse builds on it, and IDAPINST.DLL, which links
// no C++ runtime, reads its files with it.
#pragma once
#include <cstddef>
#include <string_view>

namespace kestrune::idapi {

// What a scan reports, in file order: each section line's path and each setting's name and
// value, trimmed. A callback that returns false ends the scan (ScanConfig returns false
// with no error text).
struct ScanEvents {
  void* context = nullptr;
  bool (*section)(void* context, std::string_view path) = nullptr;
  bool (*setting)(void* context, std::string_view name, std::string_view value) = nullptr;
};

// The line that broke a rule and the rule ("the line is too long", ...).
struct ScanError {
  int line = 0;
  const char* what = nullptr;
};

// Scans text line by line; false when a line breaks a rule (error says which) or a callback
// refused.
bool ScanConfig(std::string_view text, const ScanEvents& events, ScanError& error);

// Section paths and setting names compare ignoring the case of ASCII letters.
bool SameConfigName(std::string_view a, std::string_view b);

}  // namespace kestrune::idapi
