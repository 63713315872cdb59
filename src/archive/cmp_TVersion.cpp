// Version resources: loading through the platform's version API, version comparison and
// the overwrite decisions.
#include "archive/cmp_TVersion.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/system.h"
#include "platform/version_api.h"
#include "runtime/exceptions.h"
#include "runtime/published.h"
#include "runtime/sysutils.h"

namespace kestrune {

const EnumType& EnumTypeInfo(TLanguage) {
  static constexpr std::string_view values[] = {"lnArabic", "lnBulgarian", "lnCatalan", "lnTraditionalChinese",
      "lnCzech", "lnDanish", "lnGerman", "lnGreek", "lnUSEnglish", "lnCastilianSpanish", "lnFinnish", "lnFrench",
      "lnHebrew", "lnHungarian", "lnIcelandic", "lnItalian", "lnJapanese", "lnKorean", "lnDutch", "lnNorwegianBokmal",
      "lnPolish", "lnBrazilianPortuguese", "lnRhaetoRomanic", "lnRomanian", "lnRussian", "lnCroatoSerbian", "lnSlovak",
      "lnAlbanian", "lnSwedish", "lnThai", "lnTurkish", "lnUrdu", "lnBahasa", "lnSimplifiedChinese", "lnSwissGerman",
      "lnUKEnglish", "lnMexicanSpanish", "lnBelgianFrench", "lnSwissItalian", "lnBelgianDutch", "lnNorwegianNynorsk",
      "lnPortuguese", "lnSerboCroatian", "lnCanadianFrench", "lnSwissFrench"};
  static constexpr EnumType t{"TLanguage", values};
  return t;
}

int LanguageId(TLanguage language) {
  static const int ids[] = {1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1033, 1034, 1035, 1036,
                            1037, 1038, 1039, 1040, 1041, 1042, 1043, 1044, 1045, 1046, 1047, 1048,
                            1049, 1050, 1051, 1052, 1053, 1054, 1055, 1056, 1057, 2052, 2055, 2057,
                            2058, 2060, 2064, 2067, 2068, 2070, 2074, 3084, 4108};
  static_assert(sizeof(ids) / sizeof(ids[0]) == static_cast<size_t>(TLanguage::lnSwissFrench) + 1);
  return ids[static_cast<size_t>(language)];
}

const EnumType& EnumTypeInfo(TCharacterSet) {
  static constexpr std::string_view values[] = {"csASCII", "csJapan", "csKorea", "csTaiwan", "csUnicode", "csLatin2",
      "csCyrillic", "csMultilingual", "csGreek", "csTurkish", "csHebrew", "csArabic"};
  static constexpr EnumType t{"TCharacterSet", values};
  return t;
}

int CodePage(TCharacterSet set) {
  static const int pages[] = {0, 932, 949, 950, 1200, 1250, 1251, 1252, 1253, 1254, 1255, 1256};
  static_assert(sizeof(pages) / sizeof(pages[0]) == static_cast<size_t>(TCharacterSet::csArabic) + 1);
  return pages[static_cast<size_t>(set)];
}

void TVersionInfo::Clear() {
  for (std::string* s : {&Comment, &CompanyName, &FileDescription, &FileVersion, &InternalName, &LegalCopyright,
                         &LegalTradeMarks, &OriginalFileName, &PrivateBuild, &ProductName, &ProductVersion,
                         &SpecialBuild, &FileOS, &FileType, &FileSubType})
    s->clear();
}

void TVersionInfo::Assign(const TPersistent& source) {
  if (auto* o = As<TVersionInfo>(&source)) {
    *this = *o;
    return;
  }
  TPersistent::Assign(source);
}

const ClassInfo& TVersionInfo::classInfo() {
  // Read-only results: published for inspection, never streamed.
  static constexpr PropInfo props[] = {
      prop<&TVersionInfo::Comment>("Comment"),
      prop<&TVersionInfo::CompanyName>("CompanyName"),
      prop<&TVersionInfo::FileDescription>("FileDescription"),
      prop<&TVersionInfo::FileVersion>("FileVersion"),
      prop<&TVersionInfo::InternalName>("InternalName"),
      prop<&TVersionInfo::LegalCopyright>("LegalCopyright"),
      prop<&TVersionInfo::LegalTradeMarks>("LegalTradeMarks"),
      prop<&TVersionInfo::OriginalFileName>("OriginalFileName"),
      prop<&TVersionInfo::PrivateBuild>("PrivateBuild"),
      prop<&TVersionInfo::ProductName>("ProductName"),
      prop<&TVersionInfo::ProductVersion>("ProductVersion"),
      prop<&TVersionInfo::SpecialBuild>("SpecialBuild"),
      prop<&TVersionInfo::FileOS>("FileOS"),
      prop<&TVersionInfo::FileType>("FileType"),
      prop<&TVersionInfo::FileSubType>("FileSubType")};
  static const ClassInfo info{"TVersionInfo", &TPersistent::classInfo(), nullptr, props};
  return info;
}

namespace {

std::string runningProgram() {
  try {
    return platform::moduleFileName();
  } catch (const std::exception&) {
    return {};
  }
}

std::string versionText(uint32_t ms, uint32_t ls) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF);
  return buf;
}

std::string fileOSText(uint32_t os) {
  switch (os) {
    case 1: return "Windows 3.0 or later";
    case 2: return "16 bit OS/2 Presentation Manager";
    case 3: return "32 bit OS/2 Presentation Manager";
    case 4: return "32 bit Windows";
    case 0x10000: return "MS-Dos";
    case 0x10001: return "Windows 3.0 or later with MS-Dos";
    case 0x10004: return "32 bit Windows with MS-Dos";
    case 0x20000: return "16 bit OS/2";
    case 0x20002: return "16 bit OS/2 with Presentation Manager";
    case 0x30000: return "32 bit OS/2";
    case 0x30003: return "32 bit OS/2 with Presentation Manager";
    case 0x40000: return "Windows NT";
    case 0x40004: return "Windows NT with 32 bit Windows";
    default: return "Unknown";
  }
}

std::string fileTypeText(uint32_t type) {
  switch (type) {
    case 1: return "Application";
    case 2: return "Dynamic-Link Library";
    case 3: return "Device Driver";
    case 4: return "Font";
    case 5: return "Virtual Device Driver";
    case 7: return "Static-Link Library";
    default: return "Unknown";
  }
}

std::string fileSubTypeText(uint32_t type, uint32_t sub) {
  if (type == 3) {
    static const char* const drivers[] = {"Printer", "Keyboard", "Language", "Display", "Mouse",
                                          "Network", "System", "Installable", "Sound", "Communications"};
    return sub >= 1 && sub <= 10 ? drivers[sub - 1] : "Unknown";
  }
  if (type == 4) {
    static const char* const fonts[] = {"Raster", "Vector", "TrueType"};
    return sub >= 1 && sub <= 3 ? fonts[sub - 1] : "Unknown";
  }
  return {};
}

}  // namespace

TVersionResource::TVersionResource(TComponent* owner)
    : TComponent(owner), fileName_(runningProgram()), info_(new TVersionInfo) {
  load();
}

TVersionResource::~TVersionResource() { delete info_; }

void TVersionResource::SetFileName(const std::string& name) {
  fileName_ = name;
  if (!IsLoading()) load();
}

void TVersionResource::SetLanguage(TLanguage language) {
  language_ = language;
  if (!IsLoading()) load();
}

void TVersionResource::SetCharacterSet(TCharacterSet set) {
  characterSet_ = set;
  if (!IsLoading()) load();
}

void TVersionResource::Loaded() {
  TComponent::Loaded();
  load();
}

std::string TVersionResource::StringKeyPrefix() const {
  char buf[32];
  std::snprintf(buf, sizeof buf, "\\StringFileInfo\\%04X%04X\\", static_cast<unsigned>(LanguageId(language_)) & 0xFFFF,
                static_cast<unsigned>(CodePage(characterSet_)) & 0xFFFF);
  return buf;
}

std::string TVersionResource::FileVersionOf(const std::string& path) {
  fileName_ = path;
  try {
    load(true);
  } catch (const platform::PlatformError& e) {
    throw EFOpenError("Cannot read the version resource of %s: %s", {path, e.Message()});
  }
  return info_->FileVersion;
}

void TVersionResource::load(bool strict) {
  info_->Clear();
  if (Trim(fileName_).empty()) return;
  std::optional<std::vector<uint8_t>> block;
  try {
    block = platform::ReadVersionInfo(fileName_);
  } catch (const platform::PlatformError&) {
    if (strict) throw;
    return;
  }
  if (!block) return;
  const auto fixed = platform::QueryFixedFileInfo(*block);
  if (!fixed) return;
  info_->FileVersion = versionText(fixed->fileVersionMS, fixed->fileVersionLS);
  info_->ProductVersion = versionText(fixed->productVersionMS, fixed->productVersionLS);
  info_->FileOS = fileOSText(fixed->fileOS);
  info_->FileType = fileTypeText(fixed->fileType);
  info_->FileSubType = fileSubTypeText(fixed->fileType, fixed->fileSubtype);
  const std::string prefix = StringKeyPrefix();
  const std::pair<const char*, std::string*> strings[] = {
      {"Comment", &info_->Comment},           {"CompanyName", &info_->CompanyName},
      {"FileDescription", &info_->FileDescription}, {"InternalName", &info_->InternalName},
      {"LegalCopyright", &info_->LegalCopyright},   {"LegalTradeMarks", &info_->LegalTradeMarks},
      {"OriginalFileName", &info_->OriginalFileName}, {"PrivateBuild", &info_->PrivateBuild},
      {"ProductName", &info_->ProductName},   {"ProductVersion", &info_->ProductVersion},
      {"SpecialBuild", &info_->SpecialBuild}};
  for (const auto& [key, target] : strings)
    if (auto value = platform::QueryVersionString(*block, prefix + key)) *target = *value;
}

const ClassInfo& TVersionResource::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TVersionResource::FileName, &TVersionResource::SetFileName>("FileName")
          .StoredIf([](const TPersistent& o) {
            return static_cast<const TVersionResource&>(o).FileName() != runningProgram();
          }),
      prop<&TVersionResource::Language, &TVersionResource::SetLanguage>("Language")
          .Default(static_cast<int64_t>(TLanguage::lnUSEnglish)),
      prop<&TVersionResource::CharacterSet, &TVersionResource::SetCharacterSet>("CharacterSet")
          .Default(static_cast<int64_t>(TCharacterSet::csMultilingual)),
      prop<&TVersionResource::VersionInfo>("VersionInfo")};
  static const ClassInfo info{"TVersionResource", &TComponent::classInfo(), create<TVersionResource>, props};
  return info;
}

TVersionResource& ModuleVersionResource() {
  static std::unique_ptr<TVersionResource> instance(new TVersionResource(nullptr));
  return *instance;
}

namespace {

std::vector<std::string_view> splitDots(std::string_view s) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    size_t dot = s.find('.', start);
    parts.push_back(s.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return parts;
}

bool isDecimal(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// Compares two decimal numbers of any length: -1, 0, 1.
int compareDecimal(std::string_view a, std::string_view b) {
  while (a.size() > 1 && a[0] == '0') a.remove_prefix(1);
  while (b.size() > 1 && b[0] == '0') b.remove_prefix(1);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a == b ? 0 : (a < b ? -1 : 1);
}

std::string versionOfFile(const std::string& path) { return ModuleVersionResource().FileVersionOf(path); }

// Raises EFOpenError with the cause when the file cannot be opened or dated.
double dateOfFile(const std::string& path) {
  try {
    return platform::File::open(path, platform::FileAccess::Read).date();
  } catch (const platform::PlatformError& e) {
    throw EFOpenError("Cannot open %s in TVersionResource.IsFileNewerByName: %s", {path, e.Message()});
  }
}

// Dates taken from files are in DOS precision; the tolerance only absorbs rounding of the
// floating-point day fraction.
TOverwriteDecision decideByDate(double newDate, double existingDate) {
  constexpr double kSame = 1e-6;
  if (std::fabs(newDate - existingDate) < kSame) return TOverwriteDecision::KeepEqual;
  return newDate > existingDate ? TOverwriteDecision::Overwrite : TOverwriteDecision::KeepNewer;
}

// newDate is the member's stored date, or empty for a source file read when needed.
TOverwriteDecision decide(const std::string& newVersion, const std::optional<double>& memberDate, const std::string& source,
           const std::string& dest, TOverwriteType rule) {
  switch (rule) {
    case TOverwriteType::owAlways: return TOverwriteDecision::Overwrite;
    case TOverwriteType::owNever:
      return !Trim(dest).empty() && platform::fileExists(dest) ? TOverwriteDecision::KeepNewer
                                                               : TOverwriteDecision::Overwrite;
    case TOverwriteType::owVersion: {
      static const TOverwriteDecision byComparison[] = {TOverwriteDecision::KeepEqual, TOverwriteDecision::Overwrite,
                                                        TOverwriteDecision::KeepNewer};
      return byComparison[CompareVersions(newVersion, versionOfFile(dest))];
    }
    case TOverwriteType::owDate:
    case TOverwriteType::owVersionDate: {
      if (rule == TOverwriteType::owVersionDate) {
        int c = CompareVersions(newVersion, versionOfFile(dest));
        if (c == 1) return TOverwriteDecision::Overwrite;
        if (c == 2) return TOverwriteDecision::KeepNewer;
      }
      const double newDate = memberDate ? *memberDate : dateOfFile(source);
      return decideByDate(newDate, dateOfFile(dest));
    }
  }
  return TOverwriteDecision::CouldNotCompare;
}

}  // namespace

int CompareVersions(std::string_view newVersion, std::string_view existingVersion) {
  const auto a = splitDots(newVersion), b = splitDots(existingVersion);
  for (size_t i = 0;; ++i) {
    std::string_view x = i < a.size() ? a[i] : std::string_view{};
    std::string_view y = i < b.size() ? b[i] : std::string_view{};
    if (x.empty() || y.empty()) {
      if (x.empty() && y.empty()) return 0;
      return x.empty() ? 2 : 1;
    }
    int c = isDecimal(x) && isDecimal(y) ? compareDecimal(x, y) : x.compare(y);
    if (c < 0) return 2;
    if (c > 0) return 1;
  }
}

namespace {

TOverwriteDecision decideCatching(const std::function<TOverwriteDecision()>& decision, std::string* cause) {
  try {
    return decision();
  } catch (const Exception& e) {
    if (cause) *cause = e.Message();
    return TOverwriteDecision::CouldNotCompare;
  }
}

}  // namespace

TOverwriteDecision IsFileNewerByName(const std::string& source, const std::string& dest, TOverwriteType rule,
                                     std::string* cause) {
  return decideCatching(
      [&] {
        const std::string version = rule == TOverwriteType::owVersion || rule == TOverwriteType::owVersionDate
                                        ? versionOfFile(source)
                                        : std::string();
        return decide(version, std::nullopt, source, dest, rule);
      },
      cause);
}

TOverwriteDecision IsFileNewerByData(const std::string& version, const std::string& dest, TOverwriteType rule,
                                     double date, std::string* cause) {
  return decideCatching([&] { return decide(version, date, std::string(), dest, rule); }, cause);
}

std::string ComparisonErrorText(const std::string& cause) {
  std::string text = "Error comparing file versions in TKstrCompress";
  if (!cause.empty()) text += ": " + cause;
  return text;
}

}  // namespace kestrune
