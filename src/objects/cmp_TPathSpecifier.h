// Path specifiers: components that give the base directory (or base file) of an install
// object's destination or archive, resolved on the target machine.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "objects/run_state.h"
#include "runtime/component.h"

namespace kestrune {

class TInstallContainer;

using TGetPathEvent = std::function<void(TInstallContainer* object, std::string& path)>;

class TCustomPathSpecifier : public TComponent {
  KESTRUNE_CLASS()
 public:
  explicit TCustomPathSpecifier(TComponent* owner);
  ~TCustomPathSpecifier() override;

  // Raises IEPathSpecifier when the object may not use this specifier.
  virtual void CheckObject(const TInstallContainer* object) const {}
  virtual std::string GetDescription() const { return "Unspecified"; }
  virtual std::string GetObjectDescription(const TInstallContainer* object) const { return GetDescription(); }
  virtual std::string GetPath(const TInstallContainer* object) const;
  const std::string& StandardName() const { return standardName_; }

  TGetPathEvent OnGetPath;

 protected:
  std::string standardName_;
};

class TStandardPathSpecifier : public TCustomPathSpecifier {
  KESTRUNE_CLASS()
 public:
  explicit TStandardPathSpecifier(TComponent* owner);
  ~TStandardPathSpecifier() override;
};

class TPathSpecifierList {
 public:
  virtual ~TPathSpecifierList() = default;
  int Count() const { return static_cast<int>(items_.size()); }
  TCustomPathSpecifier* Items(int index) const { return items_.at(index); }
  // Raises IEPathSpecifierList for a null entry.
  void Add(TCustomPathSpecifier* item);
  void Remove(TCustomPathSpecifier* item);
  // First item, in creation order, of that class or a descendant; raises IEPathSpecifier
  // "Could not find the path specifier" when there is none.
  virtual TCustomPathSpecifier* FindSpecifier(const ClassInfo& cls) const;
  // Ensures the fourteen built-in specifiers on owner (nothing for a null owner).
  void CreateStandardSpecifiers(TInstallContainer* container, TComponent* owner, bool checkExisting);

 protected:
  std::vector<TCustomPathSpecifier*> items_;
};

class TStandardPathSpecList : public TPathSpecifierList {};


// Creates an instance of cls owned by owner, named by its StandardName, unless
// checkExisting and a specifier of that class already exists.
TCustomPathSpecifier* EnsureSpecifier(const ClassInfo& cls, TComponent* owner, bool checkExisting);

// The built-in specifier of class T (from StandardPathSpecifiers).
template <class T>
T* FindStandardSpecifier() {
  return static_cast<T*>(StandardPathSpecifiers().FindSpecifier(T::classInfo()));
}

#define KESTRUNE_STANDARD_SPECIFIER(Name)                                      \
  class Name : public TStandardPathSpecifier {                                \
    KESTRUNE_CLASS()                                                           \
   public:                                                                     \
    explicit Name(TComponent* owner);                                          \
    std::string GetDescription() const override;                               \
    std::string GetPath(const TInstallContainer* object) const override;       \
    void CheckObject(const TInstallContainer* object) const override;          \
    std::string GetObjectDescription(const TInstallContainer* object) const override; \
  }

KESTRUNE_STANDARD_SPECIFIER(TpsBDEDLL);
KESTRUNE_STANDARD_SPECIFIER(TpsCommonFiles);
KESTRUNE_STANDARD_SPECIFIER(TpsContainerArchiveFile);
KESTRUNE_STANDARD_SPECIFIER(TpsContainerDestDir);
KESTRUNE_STANDARD_SPECIFIER(TpsDesktopMenu);
KESTRUNE_STANDARD_SPECIFIER(TpsInstallSource);
KESTRUNE_STANDARD_SPECIFIER(TpsMainInstall);
KESTRUNE_STANDARD_SPECIFIER(TpsMainArchiveFile);
KESTRUNE_STANDARD_SPECIFIER(TpsProgramFiles);
KESTRUNE_STANDARD_SPECIFIER(TpsProgramMenu);
KESTRUNE_STANDARD_SPECIFIER(TpsStartMenu);
KESTRUNE_STANDARD_SPECIFIER(TpsStartupMenu);
KESTRUNE_STANDARD_SPECIFIER(TpsSystem);
KESTRUNE_STANDARD_SPECIFIER(TpsWindow);

void registerPathSpecifierClasses(ClassRegistry& registry);

}  // namespace kestrune
