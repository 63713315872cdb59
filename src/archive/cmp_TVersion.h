// Version resources of files: TVersionResource loads the version information of one file
// into a TVersionInfo; CompareVersions and the two overwrite decisions use a module-level
// instance to read the versions of files on disk.
#pragma once
#include <string>
#include <string_view>

#include "archive/archive_types.h"
#include "runtime/component.h"

namespace kestrune {

enum class TLanguage {
  lnArabic, lnBulgarian, lnCatalan, lnTraditionalChinese, lnCzech, lnDanish, lnGerman, lnGreek,
  lnUSEnglish, lnCastilianSpanish, lnFinnish, lnFrench, lnHebrew, lnHungarian, lnIcelandic, lnItalian,
  lnJapanese, lnKorean, lnDutch, lnNorwegianBokmal, lnPolish, lnBrazilianPortuguese, lnRhaetoRomanic,
  lnRomanian, lnRussian, lnCroatoSerbian, lnSlovak, lnAlbanian, lnSwedish, lnThai, lnTurkish, lnUrdu,
  lnBahasa, lnSimplifiedChinese, lnSwissGerman, lnUKEnglish, lnMexicanSpanish, lnBelgianFrench,
  lnSwissItalian, lnBelgianDutch, lnNorwegianNynorsk, lnPortuguese, lnSerboCroatian, lnCanadianFrench,
  lnSwissFrench
};
const EnumType& EnumTypeInfo(TLanguage);
// The Windows language identifier (1033 for lnUSEnglish).
int LanguageId(TLanguage language);

enum class TCharacterSet {
  csASCII, csJapan, csKorea, csTaiwan, csUnicode, csLatin2, csCyrillic, csMultilingual, csGreek,
  csTurkish, csHebrew, csArabic
};
const EnumType& EnumTypeInfo(TCharacterSet);
// The code page (1252 for csMultilingual).
int CodePage(TCharacterSet set);

// The values read from a version resource; all empty when the file has none.
class TVersionInfo : public TPersistent {
  KESTRUNE_CLASS()
 public:
  std::string Comment, CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright,
      LegalTradeMarks, OriginalFileName, PrivateBuild, ProductName, ProductVersion, SpecialBuild, FileOS,
      FileType, FileSubType;
  void Clear();
  void Assign(const TPersistent& source) override;
};

class TVersionResource : public TComponent {
  KESTRUNE_CLASS()
 public:
  explicit TVersionResource(TComponent* owner);
  ~TVersionResource() override;

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name);
  TLanguage Language() const { return language_; }
  void SetLanguage(TLanguage language);
  TCharacterSet CharacterSet() const { return characterSet_; }
  void SetCharacterSet(TCharacterSet set);
  TVersionInfo* VersionInfo() const { return info_; }
  // "\StringFileInfo\" + language and code page as eight upper-case hex digits + "\".
  std::string StringKeyPrefix() const;
  // Loads the given file and returns its FileVersion text (empty when it has none).
  // Unlike setting FileName, a file that cannot be read raises EFOpenError with the cause.
  std::string FileVersionOf(const std::string& path);
  void Loaded() override;

 private:
  // A file that cannot be read leaves everything empty, or raises when strict.
  void load(bool strict = false);

  std::string fileName_;
  TLanguage language_ = TLanguage::lnUSEnglish;
  TCharacterSet characterSet_ = TCharacterSet::csMultilingual;
  TVersionInfo* info_;
};

// The instance without owner that the decisions and the header table use; created at
// first use.
TVersionResource& ModuleVersionResource();

// 0 equal, 1 newVersion is greater, 2 newVersion is smaller. Components separated by "."
// are compared as numbers when both are decimal, else as strings (ordinal).
int CompareVersions(std::string_view newVersion, std::string_view existingVersion);

// An overwrite decision. A file that cannot be read for its version or date gives
// CouldNotCompare, which its callers treat differently on purpose: the install step
// installs (the destination's age cannot be known, installing is what was asked, and a
// destination in use takes the in-use way), while the archive engine on its own raises
// ComparisonErrorText (it has no in-use way and leaves the choice to its caller).
enum class TOverwriteDecision {
  CouldNotCompare,
  KeepEqual,  // equal versions or dates
  Overwrite,
  KeepNewer,  // the existing file is newer, or the rule forbids
};

// The decision for a source file or an archived member (its version and date) against an
// existing destination; the reason of CouldNotCompare in *cause when given. A file
// without a version resource has the empty version. Errors of the kit and the platform
// are not raised.
TOverwriteDecision IsFileNewerByName(const std::string& source, const std::string& dest, TOverwriteType rule,
                                     std::string* cause = nullptr);
TOverwriteDecision IsFileNewerByData(const std::string& version, const std::string& dest, TOverwriteType rule,
                                     double date, std::string* cause = nullptr);
// The error of a decision that could not compare: "Error comparing file versions in
// TKstrCompress", followed by the cause when there is one.
std::string ComparisonErrorText(const std::string& cause);

}  // namespace kestrune
