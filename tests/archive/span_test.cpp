// Spanning onto small volumes that really fill up (tmpfs mounts of 1.44 MB made by
// span_volumes.sh): the volumes answer OnNewDisk, the spanned set extracts identical to
// the plain archive, and a full disk while compressing reaches DoFullDisk.
#include <gtest/gtest.h>

#include <cstdlib>

#include "archive/cmp_TKstrCompress.h"
#include "runtime/exceptions.h"
#include "test_util.h"

namespace kestrune {
namespace {

using test::Bytes;

class Span : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* skip = std::getenv("KESTRUNE_SPAN_SKIP")) GTEST_SKIP() << skip;
    const char* env = std::getenv("KESTRUNE_SPAN_DIRS");
    if (!env || !*env) GTEST_SKIP() << "run through span_volumes.sh";
    std::string all = env;
    for (size_t start = 0; start <= all.size();) {
      size_t semi = all.find(';', start);
      if (semi == std::string::npos) semi = all.size();
      if (semi > start) volumes.push_back(all.substr(start, semi - start));
      start = semi + 1;
    }
    ASSERT_GE(volumes.size(), 5u);
    samples = {{"random1.bin", test::randomBytes(1200000, 1)},
               {"text.txt", test::textBytes(2500000, 2)},
               {"random2.bin", test::randomBytes(900000, 3)},
               {"small.txt", test::textBytes(3000, 4)},
               {"random3.bin", test::randomBytes(700000, 5)}};
    for (const auto& s : samples) {
      paths.push_back(dir / s.first);
      test::writeFile(paths.back(), s.second);
    }
    TKstrCompress engine(nullptr);
    engine.SetCompressedFile(archive);
    TStringList list;
    for (const auto& p : paths) list.Add(p);
    engine.SetFilesToProcess(list);
    engine.CompressFiles(false, 3);
  }
  void TearDown() override {
    for (const auto& v : volumes)
      for (int i = 1; i <= 9; ++i) platform::deleteFile(JoinPath(v, "files." + std::to_string(i)));
    for (const auto& v : volumes) {
      platform::deleteFile(JoinPath(v, "filler.bin"));
      platform::deleteFile(JoinPath(v, "full.1"));
    }
  }
  void extractAll(TKstrCompress& engine, const std::string& from, const std::string& to, size_t count = 0) {
    engine.SetCompressedFile(from);
    engine.SetExtractDirectory(to);
    TStringList list;
    for (size_t i = 0; i < (count ? count : paths.size()); ++i) list.Add(paths[i]);
    engine.SetFilesToProcess(list);
    engine.ExtractFiles();
  }

  std::vector<std::string> volumes;
  std::vector<std::pair<std::string, Bytes>> samples;
  std::vector<std::string> paths;
  test::ScratchDir dir;
  std::string archive = dir / "plain.1";
};

TEST_F(Span, SpannedSetExtractsLikeThePlainArchive) {
  TKstrCompress engine(nullptr);
  engine.SetCompressedFile(archive);
  std::vector<int> asked;
  engine.OnNewDisk = [&](TComponent*, int disk, std::string& where) {
    asked.push_back(disk);
    where = volumes.at(static_cast<size_t>(disk - 1));
  };
  engine.SpanToDisks(volumes[0], "files.1");
  ASSERT_GE(asked.size(), 2u);
  EXPECT_EQ(asked.front(), 2);
  for (size_t i = 0; i < asked.size(); ++i) {
    // Every volume before the last was filled up to its last free block.
    EXPECT_LT(*platform::freeDiskSpace(volumes[i]), 4096u) << volumes[i];
    EXPECT_TRUE(platform::fileExists(JoinPath(volumes[i], "files." + std::to_string(i + 1))));
  }

  // The spanned table: flag 1, members carry their volumes.
  TKstrCompress reader(nullptr);
  reader.SetCompressedFile(JoinPath(volumes[0], "files.1"));
  reader.ReadHeaders();
  EXPECT_EQ(reader.Headers().Spanned, 1);
  EXPECT_EQ(reader.Headers().FileHeaders(0).StartDisk(), 1);
  EXPECT_EQ(reader.Headers().FileHeaders(reader.FileCount() - 1).EndDisk(), asked.back());

  std::vector<int> wanted;
  reader.OnNewDisk = [&](TComponent*, int disk, std::string& where) {
    wanted.push_back(disk);
    where = volumes.at(static_cast<size_t>(disk - 1));
  };
  extractAll(reader, JoinPath(volumes[0], "files.1"), dir / "spanned");
  TKstrCompress plain(nullptr);
  extractAll(plain, archive, dir / "plain");
  for (const auto& s : samples) {
    SCOPED_TRACE(s.first);
    const Bytes got = test::readFile(JoinPath(dir / "spanned", s.first));
    EXPECT_TRUE(got == s.second);
    EXPECT_TRUE(got == test::readFile(JoinPath(dir / "plain", s.first)));
  }
  EXPECT_FALSE(wanted.empty());

  // Without a handler the missing next volume is named.
  TKstrCompress blind(nullptr);
  try {
    extractAll(blind, JoinPath(volumes[0], "files.1"), dir / "blind");
    ADD_FAILURE() << "no error";
  } catch (const EKstrCompress& e) {
    EXPECT_EQ(e.Message(), "Could not open the correct disk file 2");
  }
}

TEST_F(Span, FullDiskWhileCompressing) {
  const std::string vol = volumes[4];
  test::writeFile(JoinPath(vol, "filler.bin"), test::randomBytes(1000000, 9));
  TKstrCompress engine(nullptr);
  engine.SetCompressedFile(JoinPath(vol, "full.1"));
  TStringList list{paths[0]};
  engine.SetFilesToProcess(list);
  try {
    engine.CompressFiles(false, 0);
    ADD_FAILURE() << "no error";
  } catch (const EkcDiskFull& e) {
    EXPECT_EQ(e.Message(), "The disk is full");
  }
  // What is left is a valid archive of the members written completely: none.
  EXPECT_EQ(test::readFile(JoinPath(vol, "full.1")), (Bytes{0, 0, 0, 0, 0}));

  // A handler that makes room lets the operation go on.
  int calls = 0;
  engine.OnFullDisk = [&](TComponent*) {
    ++calls;
    platform::deleteFile(JoinPath(vol, "filler.bin"));
  };
  test::writeFile(JoinPath(vol, "filler.bin"), test::randomBytes(1000000, 9));
  engine.SetFilesToProcess(list);
  engine.CompressFiles(false, 0);
  EXPECT_EQ(calls, 1);
  extractAll(engine, JoinPath(vol, "full.1"), dir / "full", 1);
  EXPECT_TRUE(test::readFile(JoinPath(dir / "full", "random1.bin")) == samples[0].second);
}

}  // namespace
}  // namespace kestrune
