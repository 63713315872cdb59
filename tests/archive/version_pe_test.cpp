// Version resources of real PE files under Wine: DLLs and a program built with windres
// (several languages and code pages, with and without a string table) and Wine's own
// system DLLs; overwrite decisions of extraction against those resources; the portable
// reader checked against the system's.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "archive/cmp_TKstrCompress.h"
#include "archive/cmp_TVersion.h"
#include "platform/portable_pe_version.h"
#include "platform/system.h"
#include "platform/version_api.h"
#include "runtime/sysutils.h"
#include "test_util.h"

namespace kestrune {
namespace {

std::string pe(const std::string& name) { return JoinPath(ExtractFileDir(platform::moduleFileName()), "pe\\" + name); }

TEST(VersionResources, EnglishStringTableAndFixedInfo) {
  TVersionResource res(nullptr);
  res.SetFileName(pe("ver_en.dll"));
  const TVersionInfo& v = *res.VersionInfo();
  EXPECT_EQ(v.FileVersion, "4.0.1381.1");
  EXPECT_EQ(v.ProductVersion, "4.0 release");  // the string replaces the fixed one
  EXPECT_EQ(v.FileOS, "Windows NT with 32 bit Windows");
  EXPECT_EQ(v.FileType, "Dynamic-Link Library");
  EXPECT_EQ(v.FileSubType, "");
  EXPECT_EQ(v.Comment, "Version test DLL");
  EXPECT_EQ(v.CompanyName, "Kestrune Test Works");
  EXPECT_EQ(v.FileDescription, "English version resource");
  EXPECT_EQ(v.InternalName, "ver_en");
  EXPECT_EQ(v.LegalCopyright, "(c) 1997 Kestrune");
  EXPECT_EQ(v.LegalTradeMarks, "none");
  EXPECT_EQ(v.OriginalFileName, "ver_en.dll");
  EXPECT_EQ(v.PrivateBuild, "private");
  EXPECT_EQ(v.ProductName, "Version Tests");
  EXPECT_EQ(v.SpecialBuild, "special");
  // Another key finds no strings; the fixed information stays.
  res.SetLanguage(TLanguage::lnCzech);
  EXPECT_EQ(v.CompanyName, "");
  EXPECT_EQ(v.ProductVersion, "4.0.0.0");
}

TEST(VersionResources, KeyChoosesAmongSeveralLanguages) {
  TVersionResource res(nullptr);
  res.SetFileName(pe("ver_cz.exe"));
  const TVersionInfo& v = *res.VersionInfo();
  EXPECT_EQ(v.FileType, "Application");
  EXPECT_EQ(v.FileOS, "32 bit Windows");
  EXPECT_EQ(v.CompanyName, "");  // nothing under 040904E4
  res.SetLanguage(TLanguage::lnCzech);
  res.SetCharacterSet(TCharacterSet::csLatin2);
  EXPECT_EQ(v.CompanyName, "Dévari s.r.o.");
  EXPECT_EQ(v.FileDescription, "Pokladní program");
  EXPECT_EQ(v.ProductName, "Zkouška");
  EXPECT_EQ(v.ProductVersion, "5.12.0.0");
  res.SetLanguage(TLanguage::lnGerman);
  res.SetCharacterSet(TCharacterSet::csMultilingual);
  EXPECT_EQ(v.CompanyName, "Deutsche Firma");
  EXPECT_EQ(v.ProductVersion, "5.12 deutsch");
  EXPECT_EQ(v.FileVersion, "5.12.0.300");
}

TEST(VersionResources, FixedInformationOnlyAndNone) {
  TVersionResource res(nullptr);
  res.SetFileName(pe("ver_nostrings.dll"));
  EXPECT_EQ(res.VersionInfo()->FileVersion, "3.51.0.7");
  EXPECT_EQ(res.VersionInfo()->FileType, "Device Driver");
  EXPECT_EQ(res.VersionInfo()->FileSubType, "Sound");
  EXPECT_EQ(res.VersionInfo()->FileOS, "32 bit Windows with MS-Dos");
  EXPECT_EQ(res.VersionInfo()->CompanyName, "");
  res.SetFileName(pe("ver_font.dll"));
  EXPECT_EQ(res.VersionInfo()->FileType, "Font");
  EXPECT_EQ(res.VersionInfo()->FileSubType, "TrueType");
  EXPECT_EQ(res.VersionInfo()->FileOS, "Unknown");
  res.SetFileName(pe("ver_none.dll"));
  EXPECT_EQ(res.VersionInfo()->FileVersion, "");
  EXPECT_EQ(res.VersionInfo()->FileType, "");
  EXPECT_EQ(res.VersionInfo()->FileOS, "");
}

TEST(VersionResources, WineSystemDlls) {
  for (const char* name : {"kernel32.dll", "user32.dll", "comctl32.dll", "version.dll"}) {
    SCOPED_TRACE(name);
    TVersionResource res(nullptr);
    res.SetFileName(JoinPath(platform::systemDirectory(), name));
    const TVersionInfo& v = *res.VersionInfo();
    EXPECT_EQ(v.FileType, "Dynamic-Link Library");
    EXPECT_EQ(std::count(v.FileVersion.begin(), v.FileVersion.end(), '.'), 3) << v.FileVersion;
    EXPECT_NE(v.FileVersion, "0.0.0.0");
    // Wine's string tables are kept under US English and the Unicode code page (040904B0).
    EXPECT_EQ(v.CompanyName, "");
    res.SetCharacterSet(TCharacterSet::csUnicode);
    EXPECT_FALSE(v.CompanyName.empty());
    EXPECT_FALSE(v.FileDescription.empty());
    EXPECT_TRUE(SameText(v.OriginalFileName, name)) << v.OriginalFileName;
  }
}

// True for a PE file; the 16-bit programs among Wine's files are left to the system.
bool isPe(const std::string& path) {
  const test::Bytes head = test::readFile(path);
  if (head.size() < 64 || head[0] != 'M' || head[1] != 'Z') return false;
  const size_t pe = head[0x3C] | head[0x3D] << 8 | head[0x3E] << 16 | static_cast<size_t>(head[0x3F]) << 24;
  return pe + 4 <= head.size() && std::equal(head.begin() + static_cast<std::ptrdiff_t>(pe),
                                             head.begin() + static_cast<std::ptrdiff_t>(pe + 4), "PE\0\0");
}

// The portable reader (the native build's version API) against the system's, on the test
// probes and on every PE program and DLL of Wine's system directory: the same block, the
// same fixed information and the same strings.
TEST(VersionResources, PortableReaderAgreesWithTheSystem) {
  std::vector<std::string> files;
  for (const char* name : {"ver_en.dll", "ver_nostrings.dll", "ver_font.dll", "ver_cz.exe", "ver_none.dll"})
    files.push_back(pe(name));
  // Files that are no programs (text, empty, a lone "M") have no version either way.
  test::ScratchDir dir;
  for (const auto& [name, text] : {std::pair<const char*, std::string>{"text.txt", "not a program"}, {"empty.dat", ""}, {"m.dat", "M"}}) {
    files.push_back(dir / name);
    test::writeFile(files.back(), test::Bytes(text.begin(), text.end()));
  }
  for (const auto& e : std::filesystem::directory_iterator(platform::systemDirectory())) {
    const std::string ext = LowerCase(e.path().extension().string());
    if (e.is_regular_file() && (ext == ".dll" || ext == ".exe") && isPe(e.path().string()))
      files.push_back(e.path().string());
  }
  static const char* const tables[] = {"040904B0", "040904E4", "040504E2", "040704E4", "000004B0"};
  static const char* const names[] = {"CompanyName", "FileDescription", "FileVersion", "InternalName",
                                      "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"};
  size_t withVersion = 0;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const auto system = platform::ReadVersionInfo(file);
    const auto portable = platform::pe::ReadVersionResource(file);
    ASSERT_EQ(system.has_value(), portable.has_value());
    if (!system) continue;
    ++withVersion;
    ASSERT_GE(system->size(), portable->size());
    ASSERT_TRUE(std::equal(portable->begin(), portable->end(), system->begin()));
    const auto a = platform::QueryFixedFileInfo(*system), b = platform::pe::QueryFixedFileInfo(*portable);
    ASSERT_EQ(a.has_value(), b.has_value());
    if (a) {
      EXPECT_TRUE(a->fileVersionMS == b->fileVersionMS && a->fileVersionLS == b->fileVersionLS &&
                  a->productVersionMS == b->productVersionMS && a->productVersionLS == b->productVersionLS &&
                  a->fileOS == b->fileOS && a->fileType == b->fileType && a->fileSubtype == b->fileSubtype);
    }
    for (const char* table : tables)
      for (const char* name : names) {
        const std::string key = std::string("\\StringFileInfo\\") + table + "\\" + name;
        ASSERT_EQ(platform::QueryVersionString(*system, key), platform::pe::QueryVersionString(*portable, key)) << key;
      }
  }
  EXPECT_GT(files.size(), 100u);
  EXPECT_GT(withVersion, 100u);
}

TEST(VersionResources, HeadersCarryTheVersionAndExtractionFollowsIt) {
  test::ScratchDir dir;
  // The member is version 4.0.1381.1; the destinations hold older and newer files under
  // the same name.
  TKstrCompress engine(nullptr);
  TStringList list{pe("ver_en.dll")};
  engine.SetCompressedFile(dir / "v.1");
  engine.SetFilesToProcess(list);
  engine.CompressFiles(false, 1);
  EXPECT_EQ(engine.Headers().FileHeaders(0).FileVersion(), "4.0.1381.1");
  struct Case {
    const char* existing;
    TOverwriteType rule;
    bool replaced;
  } cases[] = {{"ver_nostrings.dll", TOverwriteType::owVersion, true},
               {"ver_font.dll", TOverwriteType::owVersion, false},
               {"ver_en.dll", TOverwriteType::owVersion, false},
               {"ver_none.dll", TOverwriteType::owVersion, true},
               {"ver_font.dll", TOverwriteType::owVersionDate, false},
               {"ver_font.dll", TOverwriteType::owAlways, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.existing);
    const std::string dest = dir / "out\\ver_en.dll";
    platform::forceDirectories(dir / "out");
    test::writeFile(dest, test::readFile(pe(c.existing)));
    engine.SetOverwrite(c.rule);
    engine.SetExtractDirectory(dir / "out");
    engine.SetFilesToProcess(list);
    engine.ExtractFiles();
    EXPECT_EQ(test::readFile(dest) == test::readFile(pe("ver_en.dll")), c.replaced || std::string(c.existing) == "ver_en.dll");
    EXPECT_EQ(IsFileNewerByName(pe("ver_en.dll"), pe(c.existing), c.rule) == TOverwriteDecision::Overwrite, c.replaced);
  }
}

}  // namespace
}  // namespace kestrune
