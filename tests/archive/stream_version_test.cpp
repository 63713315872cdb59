// The compression stream against zlib's own inflate, version comparison and the overwrite
// decisions on files of the scratch folder.
#include <gtest/gtest.h>
#include <zlib.h>

#include "archive/cmp_TKstrCompress.h"
#include "archive/cmp_TVersion.h"
#include "archive/zlib_streams.h"
#include "runtime/exceptions.h"
#include "test_util.h"

namespace kestrune {
namespace {

using test::Bytes;

Bytes inflateAll(const Bytes& packed, size_t expected) {
  Bytes out(expected + 1);
  uLongf len = static_cast<uLongf>(out.size());
  EXPECT_EQ(uncompress(out.data(), &len, packed.data(), static_cast<uLong>(packed.size())), Z_OK);
  out.resize(len);
  return out;
}

TEST(CompressionStream, OutputIsPlainZlib) {
  {
    TMemoryStream dest;
    { TCompressionStream s(TCompressionLevel::colMax, dest); }
    EXPECT_EQ(inflateAll(dest.Bytes(), 0), Bytes{});
  }
  const Bytes data = test::randomBytes(200000, 1);
  TMemoryStream dest;
  int progress = 0;
  {
    TCompressionStream s(TCompressionLevel::colNone, dest);
    s.OnProgress = [&](TCustomZlibStream*) { ++progress; };
    s.Write(data.data(), 1000);
    EXPECT_EQ(s.Seek(0, TSeekOrigin::soCurrent), 1000);
    EXPECT_THROW(s.Seek(1, TSeekOrigin::soCurrent), EStreamError);
    EXPECT_THROW(s.Seek(0, TSeekOrigin::soBeginning), EStreamError);
    uint8_t b;
    try {
      s.Read(&b, 1);
      ADD_FAILURE();
    } catch (const EStreamError& e) {
      EXPECT_EQ(e.Message(), "Invalid stream operation");
    }
    // Moving the destination between writes does not corrupt the output.
    dest.SetPosition(0);
    s.Write(data.data() + 1000, data.size() - 1000);
    s.Finish();
  }
  EXPECT_EQ(progress, 3);  // one per full 65,536-byte output buffer
  EXPECT_EQ(inflateAll(dest.Bytes(), data.size()), data);
  // Stored blocks: the zlib header, 5 bytes per block of at most 65,535 bytes, Adler-32.
  const size_t blocks = (data.size() + 65534) / 65535;
  EXPECT_LE(dest.Bytes().size(), data.size() + 2 + 4 + 5 * (blocks + 1));
}

TEST(Versions, CompareVersionsTable) {
  struct Case {
    const char* newer;
    const char* existing;
    int result;
  } cases[] = {{"1.0", "1.0", 0},        {"1.0", "1.0.0.0", 2}, {"1.0.0.0", "1.0", 1}, {"", "1", 2},
               {"1", "", 1},             {"", "", 0},           {"4.10", "4.9", 1},    {"4.9", "4.10", 2},
               {"4.a", "4.b", 2},        {"4.b", "4.a", 1},     {"4.a", "4.10", 1},    {"007", "7", 0},
               {"99999999999999999999", "1", 1}, {"4.0.1381.1", "4.0.1381.2", 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.newer) + " vs " + c.existing);
    EXPECT_EQ(CompareVersions(c.newer, c.existing), c.result);
  }
}

TEST(Versions, DecisionsOnFilesOnDisk) {
  test::ScratchDir dir;
  test::writeFile(dir / "old.txt", {'o'});
  test::writeFile(dir / "new.txt", {'n'});
  const double day = platform::encodeDateTime({2020, 5, 17, 10, 30, 0, 0});
  platform::File::open(dir / "old.txt", platform::FileAccess::ReadWrite).setDate(day);
  platform::File::open(dir / "new.txt", platform::FileAccess::ReadWrite).setDate(day + 1);
  using enum TOverwriteType;
  using D = TOverwriteDecision;
  EXPECT_EQ(IsFileNewerByName(dir / "new.txt", dir / "old.txt", owAlways), D::Overwrite);
  EXPECT_EQ(IsFileNewerByName(dir / "new.txt", dir / "old.txt", owNever), D::KeepNewer);
  EXPECT_EQ(IsFileNewerByName(dir / "new.txt", dir / "none.txt", owNever), D::Overwrite);
  EXPECT_EQ(IsFileNewerByName(dir / "new.txt", dir / "old.txt", owDate), D::Overwrite);
  EXPECT_EQ(IsFileNewerByName(dir / "old.txt", dir / "new.txt", owDate), D::KeepNewer);
  EXPECT_EQ(IsFileNewerByName(dir / "old.txt", dir / "old.txt", owVersionDate), D::KeepEqual);
  EXPECT_EQ(IsFileNewerByName(dir / "missing.txt", dir / "old.txt", owDate), D::CouldNotCompare);
  EXPECT_EQ(IsFileNewerByData("", dir / "old.txt", owDate, day), D::KeepEqual);
  EXPECT_EQ(IsFileNewerByData("", dir / "old.txt", owDate, day + 2.0 / 86400), D::Overwrite);
  EXPECT_EQ(IsFileNewerByData("", dir / "missing.txt", owDate, day), D::CouldNotCompare);
  // The file on disk has no version resource: any stored version is newer.
  EXPECT_EQ(IsFileNewerByData("1.0", dir / "old.txt", owVersion, day), D::Overwrite);
  EXPECT_EQ(IsFileNewerByData("", dir / "old.txt", owVersion, day), D::KeepEqual);
  EXPECT_EQ(IsFileNewerByData("", dir / "old.txt", owVersionDate, day - 1), D::KeepNewer);
  // A file that cannot be read gives no decision, and its reason reaches the message.
  std::string cause;
  EXPECT_EQ(IsFileNewerByName(dir / "missing.txt", dir / "old.txt", owVersion, &cause), D::CouldNotCompare);
  TKstrCompress engine(nullptr);
  engine.SetOverwrite(owVersion);
  try {
    engine.CopyUncompressed(dir / "missing.txt", dir / "old.txt");
    ADD_FAILURE() << "no error";
  } catch (const EKstrCompress& e) {
    EXPECT_EQ(e.Message(), "Error comparing file versions in TKstrCompress: " + cause);
    EXPECT_EQ(cause.rfind("Cannot read the version resource of " + (dir / "missing.txt") + ": ", 0), 0u) << cause;
  }
  EXPECT_NEAR(platform::dosDateTimeToDateTime(*platform::dateTimeToDosDateTime(day + 3.0 / 86400)), day + 2.0 / 86400, 1e-9);
}

TEST(Versions, KeyPrefixFollowsLanguageAndCharacterSet) {
  TVersionResource res(nullptr);
  EXPECT_EQ(res.StringKeyPrefix(), "\\StringFileInfo\\040904E4\\");
  res.SetLanguage(TLanguage::lnCzech);
  res.SetCharacterSet(TCharacterSet::csLatin2);
  EXPECT_EQ(res.StringKeyPrefix(), "\\StringFileInfo\\040504E2\\");
  EXPECT_EQ(LanguageId(TLanguage::lnSwissFrench), 4108);
  EXPECT_EQ(CodePage(TCharacterSet::csArabic), 1256);
  res.SetFileName((test::ScratchDir() / "nothing.dll"));
  EXPECT_EQ(res.VersionInfo()->FileType, "");
  EXPECT_EQ(res.VersionInfo()->FileVersion, "");
}

}  // namespace
}  // namespace kestrune
