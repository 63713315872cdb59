// The distribution's binary layouts: file list records (name cut to 39 characters, a
// 20-character version without terminator) and the extraction info's offset check.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/distribution_format.h"
#include "engine/engine_Build.h"
#include "runtime/exceptions.h"

namespace kestrune {
namespace {

namespace df = distribution_format;

TEST(DistributionTest, FileListRecordsRoundTripWithTheirFieldLimits) {
  const std::string forty(40, 'N');
  const std::vector<TFileListRecord> records = {
      {300000, 45000.75, "SmallFile", "1.2.3.4"},
      {0, 0, forty, "12345678901234567890"},
      {-1, 1.5, "Soubor\xc5\xa1", ""},  // a Czech letter goes through the ANSI code page
  };
  const std::vector<uint8_t> bytes = EncodeFileList(records);
  ASSERT_EQ(bytes.size(), 4u + 3 * 72);
  EXPECT_EQ(df::getInt32(bytes.data()), 3);
  const uint8_t* second = bytes.data() + 4 + 72;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(second + 12), 40), std::string(39, 'N') + '\0');
  EXPECT_EQ(std::memcmp(second + 52, "12345678901234567890", 20), 0);

  std::vector<TFileListRecord> expected = records;
  expected[1].Name.resize(39);
  EXPECT_EQ(ParseFileList(bytes.data(), bytes.size()), expected);

  for (size_t cut : {size_t{0}, size_t{3}, bytes.size() - 1}) {
    SCOPED_TRACE(cut);
    EXPECT_THROW(ParseFileList(bytes.data(), cut), IEInstall);
  }
}

TEST(DistributionTest, BuildInfNamesItsFirstLine) {
  EXPECT_EQ(BuildDirectoryFromBuildInf("\xEF\xBB\xBF  C:\\Build\\Zarvotill \r\nrest\r\n"), "C:\\Build\\Zarvotill");
  for (std::string_view bad : {"", "\r\n", "   \r\nC:\\Later"}) EXPECT_THROW(BuildDirectoryFromBuildInf(bad), IEInstall);
}

TEST(DistributionTest, ExtractionOffsetsMustDescribeTheFile) {
  // A file of 1000 bytes: the info starts at 944.
  struct Case {
    df::ExtractionOffsets offsets;
    bool good;
  };
  const Case cases[] = {
      {{100, 499, 500, 943}, true},   // loader, setup.1, files.1 up to the info
      {{100, 943, 0, 0}, true},       // no files.1
      {{0, 499, 500, 943}, false},    // no loader in front
      {{100, 944, 0, 0}, false},      // setup.1 runs into the info
      {{100, 499, 499, 943}, false},  // the parts overlap
      {{100, 499, 600, 599}, false},  // files.1 ends before it starts
      {{100, 499, 500, 2000}, false}, // files.1 past the end
      {{500, 100, 0, 0}, false},      // setup.1 ends before it starts
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offsets.setupStart * 1000 + c.offsets.filesStart);
    EXPECT_EQ(df::offsetsProblem(c.offsets, 1000) == nullptr, c.good);
  }
  EXPECT_NE(df::offsetsProblem({100, 200, 0, 0}, 56), nullptr);

  uint8_t info[df::kInfoSize];
  df::initInfo(info);
  df::putInt32(info + df::kInfoSetupStart, 100);
  EXPECT_TRUE(df::hasSignature(info));
  EXPECT_EQ(df::decodeOffsets(info).setupStart, 100);
  EXPECT_FALSE(df::decodeOffsets(info).hasFiles());
}

}  // namespace
}  // namespace kestrune
