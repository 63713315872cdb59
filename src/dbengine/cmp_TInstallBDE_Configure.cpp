// TInstallBDE: registering and configuring the installed engine (DLLPATH, locale
// libraries, the configuration merge and its 16-bit fix-up) and the SQL Link settings.
#include "dbengine/cmp_TInstallBDE.h"

#include <optional>

#include "dbengine/idapinst_library.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/sysutils.h"

namespace kestrune {
namespace {

constexpr const char* kSystemInitKey = "\\Software\\Borland\\Database Engine\\Settings\\System\\Init";
constexpr const char* kParadoxInitKey = "\\Software\\Borland\\Database Engine\\Settings\\Drivers\\Paradox\\Init";

// B first, then the other items of the old DLLPATH in their order (upper-cased, without
// B and without empty items).
std::string reorderDllPath(const std::string& oldPath, const std::string& dir) {
  std::string result = dir;
  size_t start = 0;
  while (start <= oldPath.size()) {
    size_t end = oldPath.find(';', start);
    if (end == std::string::npos) end = oldPath.size();
    std::string item = UpperCase(Trim(oldPath.substr(start, end - start)));
    if (!item.empty() && item != dir) result += ";" + item;
    start = end + 1;
  }
  return result;
}

// Moves the system NET DIR into the Paradox driver's settings.
void moveNetDir() {
  auto system = platform::RegKey::open(platform::RegRoot::LocalMachine, kSystemInitKey);
  auto paradox = platform::RegKey::open(platform::RegRoot::LocalMachine, kParadoxInitKey, true);
  if (!system || !paradox) return;
  std::optional<std::string> netDir = system->tryReadString("NET DIR");
  if (!netDir || !paradox->valueExists("NET DIR")) return;
  WriteRegistryString(rkLocalMachine, kParadoxInitKey, "NET DIR", *netDir);
  platform::deleteKey(platform::RegRoot::LocalMachine, std::string(kSystemInitKey) + "\\NET DIR");
}

}  // namespace

void TInstallBDE::keepNewAsIdapiNew(const std::string& newConfig) {
  std::string kept = AddBackslash(configDir_) + "IDAPINEW.CFG";
  platform::replaceFile(newConfig, kept);
  configFile_ = kept;
}

void TInstallBDE::Configure(const std::string& newConfig, const std::string& language) {
  // Outside the install step the library is loaded for this call.
  std::optional<IdapInstLibrary> own;
  if (!library_) own.emplace(IdapInstLibrary::load());
  const IdapInstLibrary& library = library_ ? *library_ : *own;
  TCustomInstallFile* config = ConfigMember();
  const std::string dir = UpperCase(RemoveBackslash(GetDestDir()));

  std::string dllPath = ReadRegistryString(rkLocalMachine, kBDEKey, "DLLPATH", "");
  WriteRegistryString(rkLocalMachine, kBDEKey, "DLLPATH", dllPath.empty() ? dir : reorderDllPath(dllPath, dir));
  WriteRegistryString(rkLocalMachine, kBDEKey, "CONFIGFILE01", newConfig);
  WriteRegistryString(rkLocalMachine, kBLW32Key, "BLAPIPATH", dir);
  int locale = 0;
  for (int i = 0; i < FileCount(); ++i)
    if (UpperCase(Files(i)->DestName()).find(".BLL") != std::string::npos)
      WriteRegistryString(rkLocalMachine, kBLW32Key, "LOCALE_LIB" + std::to_string(++locale), Files(i)->DestPath());
  WriteRegistryString(rkLocalMachine, kBDEKey, "RESOURCE", languageDLL_);

  library.IntlConfig(newConfig, saveFor16Bit_, language);
  configFile_ = AddBackslash(config->GetDestDir()) + configName_;
  if (library.MergeCfg(newConfig, existingConfig_, configFile_, 1, saveFor16Bit_, language) != 0) {
    if (OnMergeFailed) OnMergeFailed(this);
    keepNewAsIdapiNew(newConfig);
  } else {
    moveNetDir();
    bool keepNew = false;
    if (saveFor16Bit_) {
      std::string odapi =
          platform::readProfileString(AddBackslash(GetWindowsDir()) + "WIN.INI", "ODAPI", "CONFIGFILE01", "*ERROR*");
      int code = library.FixMerge(configFile_, !SameText(odapi, configFile_), saveFor16Bit_, language);
      if (code != 0) {
        if (OnFixFailed) OnFixFailed(this, code);
        keepNewAsIdapiNew(newConfig);
        keepNew = true;
      }
    }
    if (!keepNew && !SameText(newConfig, configFile_)) platform::deleteFile(newConfig);
  }
  WriteRegistryString(rkLocalMachine, kBDEKey, "CONFIGFILE01", configFile_);
  WriteRegistryString(rkLocalMachine, kBDEKey, "SAVECONFIG", saveFor16Bit_ ? "WIN31" : "WIN32");
  WriteSQLLinkSettings();
  for (int i = 0; i < FileCount(); ++i) {
    if (!SameText(Files(i)->FileName(), "IDSQL32.DLL")) continue;
    try {
      Files(i)->RegisterActiveX();
    } catch (const Exception&) {
      // The SQL engine works without its server registration.
    }
  }
}

void TInstallBDE::WriteSQLLinkSettings() const {
  std::string key;
  for (int i = 0; i < sqlLinkEntries_->Count(); ++i) {
    const std::string& line = sqlLinkEntries_->Strings(i);
    bool started = false;
    for (const auto& [marker, subKey] : {std::pair{"[DB OPEN-", "DB OPEN"}, std::pair{"[INIT-", "INIT"}}) {
      size_t at = line.find(marker);
      if (at == std::string::npos || started) continue;
      std::string driver = line.substr(at + std::string_view(marker).size());
      if (!driver.empty()) driver.pop_back();
      key = std::string(kBDEDriversKey) + "\\" + driver + "\\" + subKey;
      started = true;
    }
    if (started || key.empty()) continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;  // no name: not a setting
    size_t second = line.find('=', eq + 1);
    std::string value = line.substr(eq + 1, second == std::string::npos ? std::string::npos : second - eq - 1);
    WriteRegistryString(rkLocalMachine, key, line.substr(0, eq), value);
  }
}

void TInstallBDE::RebuildSQLLinkEntries() {
  sqlLinkEntries_->Clear();
  auto drivers = platform::RegKey::open(platform::RegRoot::LocalMachine, kBDEDriversKey);
  if (!drivers)
    throw IEInstallBDE("There is no %s key in your registry. Cannot read the information for SQL Link",
                       {std::string(kBDEDriversKey)});
  const std::pair<const char*, bool> selected[] = {
      {"MSSQL", SLAt<0>()}, {"INTRBASE", SLAt<3>()}, {"ORACLE", SLAt<4>()},
      {"INFORMIX", SLAt<5>()}, {"DB2", SLAt<6>()}, {"SYBASE", SLAt<2>()}};
  for (const std::string& driver : drivers->subKeyNames()) {
    bool wanted = false;
    for (const auto& [name, on] : selected) wanted = wanted || (on && SameText(driver, name));
    if (!wanted) continue;
    for (const char* sub : {"DB OPEN", "INIT"}) {
      std::string path = std::string(kBDEDriversKey) + "\\" + driver + "\\" + sub;
      auto key = platform::RegKey::open(platform::RegRoot::LocalMachine, path);
      if (!key)
        throw IEInstallBDE("Cannot open the %s key in your registry. Cannot read the information for %s SQL Link",
                           {path, driver});
      sqlLinkEntries_->Add(Format(std::string(sub) == "INIT" ? "[INIT-%s]" : "[DB OPEN-%s]", {driver}));
      for (const std::string& name : key->valueNames())
        if (std::optional<std::string> value = key->tryReadString(name))
          sqlLinkEntries_->Add(Format("%s=%s", {name, *value}));
      sqlLinkEntries_->Add("  ");
    }
  }
}

}  // namespace kestrune
