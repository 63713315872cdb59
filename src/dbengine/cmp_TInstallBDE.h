// TInstallBDE: the file group that installs the database engine with the product and then
// registers and configures it through IDAPINST.DLL, the kit's installation library.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "objects/cmp_GrabCall.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "runtime/exceptions.h"
#include "runtime/strings.h"

namespace kestrune {

class TBDEFileSet;
class IdapInstLibrary;

KESTRUNE_EXCEPTION(IEBDENoResourceDLLEntry, IEInstallBDE);
KESTRUNE_EXCEPTION(IEBDELanguageDifferent, IEInstallBDE);
KESTRUNE_EXCEPTION(IEBDENoDLLEntry, IEInstallBDE);
KESTRUNE_EXCEPTION(IEBDEDLLMissing, IEInstallBDE);
KESTRUNE_EXCEPTION(IEBDEVersionInvalid, IEInstallBDE);
KESTRUNE_EXCEPTION(IEBDEFileDoesNotExist, IEInstallBDE);
KESTRUNE_EXCEPTION(IEBDENoIntrbaseMsgFile, IEInstallBDE);
KESTRUNE_EXCEPTION(IEBDENoIntrbaseEntry, IEInstallBDE);

using TBDELanguageDifferentEvent = std::function<void(TInstallContainer* Sender, const std::string& InstalledLanguage,
                                                      bool& Continue, const std::string& NewLanguage)>;
using TBDENotifyEvent = std::function<void(TInstallContainer* Sender)>;

// The registry keys of the engine.
inline constexpr const char* kBDEKey = "\\Software\\Borland\\Database Engine";
inline constexpr const char* kBLW32Key = "\\Software\\Borland\\BLW32";
inline constexpr const char* kBDEDriversKey = "\\Software\\Borland\\Database Engine\\Settings\\Drivers";
inline constexpr const char* kIdapInstLibrary = "IDAPINST.DLL";

// What the group needs of the engine layer above it (the kit directory, the engine's
// pre-setup files) comes through the program's seams (runtime/seams.h).

class TInstallBDE : public TInstallFileGroup {
  KESTRUNE_CLASS()
 public:
  explicit TInstallBDE(TComponent* owner);
  ~TInstallBDE() override;

  void SetContainer(TInstallContainer* value) override;
  void Loaded() override;
  // The install step: language check, the files, Configure, the use count.
  void ProcessHelpers() override;
  // The uninstall count under key + "\BDE".
  void WriteUninstallInfo(const std::string& key) override;

  // Engine parts and SQL Links: read from and applied to the file set.
  bool GetBD(int part) const;
  void SetBD(int part, bool value);
  bool GetSL(int link) const;
  void SetSL(int link, bool value);
  template <int N>
  bool BDAt() const { return GetBD(N); }
  template <int N>
  void SetBDAt(bool v) { SetBD(N, v); }
  template <int N>
  bool SLAt() const { return GetSL(N); }
  template <int N>
  void SetSLAt(bool v) { SetSL(N, v); }
  const std::string& LanguageDLL() const { return languageDLL_; }
  void SetLanguageDLL(const std::string& v) { languageDLL_ = v; }
  bool SaveFor16Bit() const { return saveFor16Bit_; }
  void SetSaveFor16Bit(bool v) { saveFor16Bit_ = v; }
  TStringList* SQLLinkEntries() const { return sqlLinkEntries_.get(); }
  void SetSQLLinkEntries(const TStrings& value) { sqlLinkEntries_->Assign(value); }

  // The "RESOURCE" value of the installed engine; raises IEBDENoResourceDLLEntry.
  static std::string ReadInstalledLanguage();
  // The one member named IDAPI32.CNF; raises IEInstallBDE for none or several.
  TCustomInstallFile* ConfigMember() const;
  // Finds an existing configuration and points the group and the configuration member
  // at the engine already installed.
  void DetectExistingInstallation();
  // Registry, configuration merge, SQL Link settings and servers for the new
  // configuration newConfig (the library must be loaded).
  void Configure(const std::string& newConfig, const std::string& language);
  // Writes the SQLLinkEntries lines as driver settings under the engine's Drivers key.
  void WriteSQLLinkSettings() const;
  // Re-reads SQLLinkEntries from the machine's driver settings of the selected links.
  void RebuildSQLLinkEntries();

  const std::string& ExistingConfig() const { return existingConfig_; }
  const std::string& ConfigDir() const { return configDir_; }
  const std::string& ConfigName() const { return configName_; }
  const std::string& ConfigFile() const { return configFile_; }
  TBDEFileSet* FileSet() const { return fileSet_.get(); }
  TGrabCall* CallObject() const { return grabCall_; }

  TBDELanguageDifferentEvent OnLanguageDifferent;
  TBDENotifyEvent OnMergeFailed;
  // The fix-up's result code is passed as the second argument.
  std::function<void(TInstallContainer* Sender, int Code)> OnFixFailed;

 private:
  void engineCall(TInstallContainer* container, int componentCall, TPersistent* po);
  void attachCallObject();
  void checkLanguage();
  void keepNewAsIdapiNew(const std::string& newConfig);

  std::string languageDLL_;
  bool saveFor16Bit_ = false;
  std::unique_ptr<TStringList> sqlLinkEntries_;
  std::unique_ptr<TBDEFileSet> fileSet_;
  TGrabCall* grabCall_ = nullptr;
  IdapInstLibrary* library_ = nullptr;  // loaded for the install step only
  std::string existingConfig_ = "***";
  std::string configDir_, configName_, configFile_;
};

// The last database engine group created (null when it has gone).
TInstallBDE* CurrentInstallBDE();

void registerDBEngineClasses(ClassRegistry& registry);

}  // namespace kestrune
