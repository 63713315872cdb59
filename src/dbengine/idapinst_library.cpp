// IdapInstLibrary: the calls into IDAPINST.DLL; texts go over as ANSI strings.
#include "dbengine/idapinst_library.h"

#include "platform/platform_error.h"
#include "platform/system.h"
#include "platform/text.h"
#include "routines/routines_Strings.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {
namespace {

template <class F>
F lookUp(const platform::DynamicLibrary& library, const char* name) {
  void* proc = library.procAddress(name);
  if (!proc) throw IEInstallBDE("IDAPINST.DLL has no %s function", {std::string(name)});
  return reinterpret_cast<F>(proc);
}

}  // namespace

IdapInstLibrary IdapInstLibrary::load() {
  return load(AddBackslash(ExtractFilePath(platform::moduleFileName())) + "IDAPINST.DLL");
}

IdapInstLibrary IdapInstLibrary::load(const std::string& path) {
  platform::DynamicLibrary library = [&] {
    try {
      return platform::DynamicLibrary::load(path);
    } catch (const platform::PlatformError&) {
      throw IEInstallBDE(
          "Could not load IDAPINST.DLL in cmp_TInstallBDE. If you have the UseLoadingProgram set to FALSE for the "
          "TInstall component, then you will need to distribute this file along with your installation executable "
          "file. If you are running your install project in the IDE, then you need to copy IDAPINST.DLL, which can "
          "be found in the Kestrune directory, into the directory for this project");
    }
  }();
  IdapInstLibrary result(std::move(library));
  result.merge_ = lookUp<MergeFn>(result.library_, "MergeCfg");
  result.intl_ = lookUp<IntlFn>(result.library_, "IntlConfig");
  result.fix_ = lookUp<FixFn>(result.library_, "FixMerge");
  result.count_ = lookUp<CountFn>(result.library_, "IncrementIDAPIUseCount");
  return result;
}

int IdapInstLibrary::MergeCfg(const std::string& newConfig, const std::string& existing, const std::string& target,
                              int keepExisting, bool for16Bit, const std::string& language) const {
  return merge_(platform::ToAnsi(newConfig).c_str(), platform::ToAnsi(existing).c_str(),
                platform::ToAnsi(target).c_str(), keepExisting, for16Bit ? 1 : 0, platform::ToAnsi(language).c_str());
}

void IdapInstLibrary::IntlConfig(const std::string& config, bool for16Bit, const std::string& language) const {
  intl_(platform::ToAnsi(config).c_str(), for16Bit ? 1 : 0, platform::ToAnsi(language).c_str());
}

int IdapInstLibrary::FixMerge(const std::string& config, bool pointOdapi, bool for16Bit,
                              const std::string& language) const {
  return fix_(platform::ToAnsi(config).c_str(), pointOdapi ? 1 : 0, for16Bit ? 1 : 0,
              platform::ToAnsi(language).c_str());
}

void IdapInstLibrary::IncrementIDAPIUseCount() const { count_(); }

}  // namespace kestrune
