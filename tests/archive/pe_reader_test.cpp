// The portable version resource reader on small real PE files (tests/fuzz/corpus/
// fuzz_pe_version, made by pe/make_small.sh): the values the Windows build reads through
// the system, the versions native archive tools store, and damaged images.
#include <gtest/gtest.h>

#include "archive/cmp_TKstrCompress.h"
#include "archive/cmp_TVersion.h"
#include "platform/platform_error.h"
#include "platform/portable_pe_version.h"
#include "test_util.h"

namespace kestrune {
namespace {

std::string sample(const std::string& name) { return std::string(KESTRUNE_PE_SAMPLES) + "/" + name; }

TEST(PortableVersionReader, ReadsWhatTheSystemReads) {
  TVersionResource res(nullptr);
  res.SetFileName(sample("ver_en.dll"));
  const TVersionInfo& v = *res.VersionInfo();
  EXPECT_EQ(v.FileVersion, "4.0.1381.1");
  EXPECT_EQ(v.ProductVersion, "4.0 release");
  EXPECT_EQ(v.FileOS, "Windows NT with 32 bit Windows");
  EXPECT_EQ(v.FileType, "Dynamic-Link Library");
  EXPECT_EQ(v.CompanyName, "Kestrune Test Works");
  EXPECT_EQ(v.SpecialBuild, "special");
  res.SetFileName(sample("ver_cz.dll"));
  EXPECT_EQ(v.CompanyName, "");
  res.SetLanguage(TLanguage::lnCzech);
  res.SetCharacterSet(TCharacterSet::csLatin2);
  EXPECT_EQ(v.CompanyName, "Dévari s.r.o.");
  EXPECT_EQ(v.ProductName, "Zkouška");
  res.SetLanguage(TLanguage::lnGerman);
  res.SetCharacterSet(TCharacterSet::csMultilingual);
  EXPECT_EQ(v.ProductVersion, "5.12 deutsch");
  res.SetFileName(sample("ver_nostrings.dll"));
  EXPECT_EQ(v.FileSubType, "Sound");
  res.SetFileName(sample("ver_font.dll"));
  EXPECT_EQ(v.FileSubType, "TrueType");
  res.SetFileName(sample("ver_none.dll"));
  EXPECT_EQ(v.FileVersion, "");
  EXPECT_EQ(v.FileType, "");
  // A file that cannot be read is not one without a version.
  res.SetFileName(sample("missing.dll"));
  EXPECT_EQ(v.FileVersion, "");
  EXPECT_THROW(platform::ReadVersionInfo(sample("missing.dll")), platform::PlatformError);
  EXPECT_THROW(res.FileVersionOf(sample("missing.dll")), EFOpenError);

  // Native archive tools store the versions.
  test::ScratchDir dir;
  TKstrCompress engine(nullptr);
  engine.SetCompressedFile(dir / "v.1");
  TStringList list{sample("ver_en.dll"), sample("ver_none.dll")};
  engine.SetFilesToProcess(list);
  engine.CompressFiles(false, 0);
  EXPECT_EQ(engine.Headers().FileHeaders(0).FileVersion(), "4.0.1381.1");
  EXPECT_EQ(engine.Headers().FileHeaders(1).FileVersion(), "");
}

TEST(PortableVersionReader, CutImagesGiveNoVersionOrTheWholeBlock) {
  const test::Bytes image = test::readFile(sample("ver_en.dll"));
  const auto whole = platform::pe::FindVersionResource(image.data(), image.size());
  ASSERT_TRUE(whole);
  size_t found = 0;
  for (size_t n = 0; n < image.size(); ++n) {
    const auto block = platform::pe::FindVersionResource(image.data(), n);
    if (!block) continue;
    ++found;
    ASSERT_EQ(*block, *whole) << n;
  }
  // Only cuts after the end of the block still hold all of it.
  EXPECT_GT(found, 0u);
  EXPECT_LT(found, image.size() / 2);
}

}  // namespace
}  // namespace kestrune
