// Small volumes that really fill up (tmpfs mounts of 1.44 MB made by span_volumes.sh):
// the volumes answer OnNewDisk, the spanned set extracts identical to the plain archive,
// and a full disk while compressing, extracting or spanning reaches DoFullDisk (or ends
// the operation) leaving the files that were there and no partial ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "archive/cmp_TKstrCompress.h"
#include "runtime/exceptions.h"
#include "test_util.h"

namespace kestrune {
namespace {

using test::Bytes;

class Span : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* env = std::getenv("KESTRUNE_SPAN_DIRS");
    if (!env || !*env) GTEST_SKIP() << "run through span_volumes.sh";
    volumes = split(env);
    const char* lists = std::getenv("KESTRUNE_SPAN_LIST_DIRS");
    listings = lists && *lists ? split(lists) : volumes;
    ASSERT_GE(volumes.size(), 5u);
    ASSERT_EQ(listings.size(), volumes.size());
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
      for (const auto& name : filesIn(v)) platform::deleteFile(JoinPath(v, name));
  }
  static std::vector<std::string> split(const std::string& all) {
    std::vector<std::string> parts;
    for (size_t start = 0; start <= all.size();) {
      size_t semi = all.find(';', start);
      if (semi == std::string::npos) semi = all.size();
      if (semi > start) parts.push_back(all.substr(start, semi - start));
      start = semi + 1;
    }
    return parts;
  }
  // The names of the files on a volume.
  std::vector<std::string> filesIn(const std::string& volume) const {
    const size_t i = static_cast<size_t>(std::find(volumes.begin(), volumes.end(), volume) - volumes.begin());
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(listings.at(i))) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // Fills a volume up to its last free block.
  static void fill(const std::string& volume) { test::writeFile(JoinPath(volume, "filler.bin"), Bytes(1440 * 1024, 'f')); }
  void extractAll(TKstrCompress& engine, const std::string& from, const std::string& to, size_t count = 0) {
    engine.SetCompressedFile(from);
    engine.SetExtractDirectory(to);
    TStringList list;
    for (size_t i = 0; i < (count ? count : paths.size()); ++i) list.Add(paths[i]);
    engine.SetFilesToProcess(list);
    engine.ExtractFiles();
  }

  std::vector<std::string> volumes, listings;
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
  // Nothing is left of the new archive.
  EXPECT_EQ(filesIn(vol), std::vector<std::string>{"filler.bin"});

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

  // A new archive that does not fit leaves the old one as it was.
  const Bytes old = test::readFile(JoinPath(vol, "full.1"));
  engine.OnFullDisk = nullptr;
  test::writeFile(JoinPath(vol, "filler.bin"), Bytes(200000, 'f'));
  engine.SetFilesToProcess(TStringList{paths[4], paths[0]});
  EXPECT_THROW(engine.CompressFiles(false, 0), EkcDiskFull);
  EXPECT_TRUE(test::readFile(JoinPath(vol, "full.1")) == old);
  EXPECT_EQ(filesIn(vol), (std::vector<std::string>{"filler.bin", "full.1"}));
}

TEST_F(Span, FullDiskWhileExtractingKeepsTheOldFile) {
  const std::string vol = volumes[3];
  const Bytes old{'o', 'l', 'd'};
  test::writeFile(JoinPath(vol, "random1.bin"), old);
  test::writeFile(JoinPath(vol, "filler.bin"), Bytes(1000000, 'f'));
  TKstrCompress engine(nullptr);
  EXPECT_THROW(extractAll(engine, archive, vol, 1), EkcDiskFull);
  EXPECT_EQ(test::readFile(JoinPath(vol, "random1.bin")), old);
  EXPECT_EQ(filesIn(vol), (std::vector<std::string>{"filler.bin", "random1.bin"}));
}

TEST_F(Span, FailedSpanLeavesNoVolume) {
  // The second disk is full: the set cannot be finished, and its first volume goes too.
  fill(volumes[2]);
  TKstrCompress engine(nullptr);
  engine.SetCompressedFile(archive);
  engine.OnNewDisk = [&](TComponent*, int, std::string& where) { where = volumes[2]; };
  try {
    engine.SpanToDisks(volumes[1], "files.1");
    ADD_FAILURE() << "no error";
  } catch (const EKstrCompress& e) {
    EXPECT_EQ(e.Message(), "There is too little space on this disk to operate");
  }
  EXPECT_EQ(filesIn(volumes[1]), std::vector<std::string>{});
  EXPECT_EQ(filesIn(volumes[2]), std::vector<std::string>{"filler.bin"});
  // A first disk without room for the table.
  fill(volumes[1]);
  EXPECT_THROW(engine.SpanToDisks(volumes[1], "files.1"), EKstrCompress);
  EXPECT_EQ(filesIn(volumes[1]), std::vector<std::string>{"filler.bin"});
}

}  // namespace
}  // namespace kestrune
