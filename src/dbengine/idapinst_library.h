// IDAPINST.DLL as the database engine group calls it: loaded by its full path beside the
// setup program, its four exports looked up by name, unloaded when the object goes.
#pragma once
#include <string>

#include "platform/dynamic_library.h"

namespace kestrune {

class IdapInstLibrary {
 public:
  // The library beside the running program. Raises IEInstallBDE when it cannot be loaded
  // or lacks one of the exports.
  static IdapInstLibrary load();
  static IdapInstLibrary load(const std::string& path);

  // 0 merged into target; anything else failed.
  int MergeCfg(const std::string& newConfig, const std::string& existing, const std::string& target, int keepExisting,
               bool for16Bit, const std::string& language) const;
  void IntlConfig(const std::string& config, bool for16Bit, const std::string& language) const;
  // 0 fixed; anything else failed.
  int FixMerge(const std::string& config, bool pointOdapi, bool for16Bit, const std::string& language) const;
  void IncrementIDAPIUseCount() const;

 private:
  using MergeFn = int(KESTRUNE_STDCALL*)(const char*, const char*, const char*, int, int, const char*);
  using IntlFn = void(KESTRUNE_STDCALL*)(const char*, int, const char*);
  using FixFn = int(KESTRUNE_STDCALL*)(const char*, int, int, const char*);
  using CountFn = void(KESTRUNE_STDCALL*)();

  explicit IdapInstLibrary(platform::DynamicLibrary library) : library_(std::move(library)) {}
  platform::DynamicLibrary library_;
  MergeFn merge_ = nullptr;
  IntlFn intl_ = nullptr;
  FixFn fix_ = nullptr;
  CountFn count_ = nullptr;
};

}  // namespace kestrune
