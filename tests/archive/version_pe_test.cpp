// Version resources of real PE files under Wine: DLLs and a program built with windres
// (several languages and code pages, with and without a string table) and Wine's own
// system DLLs; overwrite decisions of extraction against those resources.
#include <gtest/gtest.h>

#include "archive/cmp_TKstrCompress.h"
#include "archive/cmp_TVersion.h"
#include "platform/system.h"
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
    EXPECT_EQ(IsFileNewerByName(pe("ver_en.dll"), pe(c.existing), c.rule) == 2, c.replaced);
  }
}

}  // namespace
}  // namespace kestrune
