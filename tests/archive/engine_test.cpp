// The archive engine end to end: round trips of every size class and level, the status
// record, member lookup, appending, the overwrite rules and the abort paths.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "archive/cmp_TKstrCompress.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"
#include "test_util.h"

namespace kestrune {
namespace {

using test::Bytes;
using test::ScratchDir;

std::string messageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

void compress(TKstrCompress& engine, const std::string& archive, const std::vector<std::string>& files,
              bool append = false, int32_t id = 0) {
  engine.SetCompressedFile(archive);
  TStringList list;
  for (const auto& f : files) list.Add(f);
  engine.SetFilesToProcess(list);
  engine.CompressFiles(append, id);
}

void extract(TKstrCompress& engine, const std::string& archive, const std::string& dir,
             const std::vector<std::string>& names) {
  engine.SetCompressedFile(archive);
  engine.SetExtractDirectory(dir);
  TStringList list;
  for (const auto& n : names) list.Add(n);
  engine.SetFilesToProcess(list);
  engine.ExtractFiles();
}

TEST(ArchiveEngine, RoundTripOfEverySizeClassAndLevel) {
  ScratchDir dir;
  struct Sample {
    std::string name;
    Bytes data;
  };
  std::vector<Sample> samples = {{"empty.dat", {}},
                                 {"one.dat", {'A'}},
                                 {"step-1.dat", test::randomBytes(4095, 1)},
                                 {"step.dat", test::randomBytes(4096, 2)},
                                 {"step+1.dat", test::randomBytes(4097, 3)},
                                 {"buf-1.dat", test::textBytes(65535, 4)},
                                 {"buf.dat", test::randomBytes(65536, 5)},
                                 {"buf+1.dat", test::randomBytes(65537, 6)},
                                 {"text.txt", test::textBytes(700000, 7)},
                                 {"random.bin", test::randomBytes(300000, 8)}};
  std::vector<std::string> paths;
  for (const auto& s : samples) {
    paths.push_back(dir / s.name);
    test::writeFile(paths.back(), s.data);
  }
  for (auto level : {TCompressionLevel::colNone, TCompressionLevel::colFastest, TCompressionLevel::colDefault,
                     TCompressionLevel::colMax}) {
    SCOPED_TRACE(static_cast<int>(level));
    TKstrCompress engine(nullptr);
    engine.SetCompressionLevel(level);
    std::vector<TlzhFileStats> finished;
    engine.OnStatus = [&](TComponent*, TlzhFileStats& s) {
      if (s.Finished) finished.push_back(s);
    };
    const std::string archive = dir / "files.1";
    compress(engine, archive, paths, false, 5);
    ASSERT_EQ(finished.size(), samples.size());
    EXPECT_EQ(finished.back().TotalDone, finished.back().TotalSize);
    EXPECT_EQ(engine.FileCount(), static_cast<int>(samples.size()));
    EXPECT_EQ(engine.FilesToProcess()->Count(), 0);

    finished.clear();
    const std::string out = dir / "out";
    std::vector<std::string> names;
    for (const auto& p : paths) names.push_back(p);
    extract(engine, archive, out, names);
    ASSERT_EQ(finished.size(), samples.size());
    EXPECT_EQ(finished.back().TotalDone, finished.back().TotalSize);
    EXPECT_EQ(finished.back().TotalPercent, 100);
    for (size_t i = 0; i < samples.size(); ++i) {
      SCOPED_TRACE(samples[i].name);
      EXPECT_EQ(test::readFile(JoinPath(out, samples[i].name)), samples[i].data);
      EXPECT_EQ(finished[i].FileDone, static_cast<int64_t>(samples[i].data.size()));
      EXPECT_DOUBLE_EQ(*platform::fileAgeDays(JoinPath(out, samples[i].name)), *platform::fileAgeDays(paths[i]));
    }
    std::filesystem::remove_all(out);
  }
}

TEST(ArchiveEngine, ArchiveHeadsAndEmbeddedArchives) {
  ScratchDir dir;
  TKstrCompress engine(nullptr);
  compress(engine, dir / "none.1", {});
  EXPECT_EQ(test::readFile(dir / "none.1"), (Bytes{0, 0, 0, 0, 0}));
  EXPECT_EQ(engine.FileCount(), 0);

  const Bytes data = test::textBytes(50000, 9);
  test::writeFile(dir / "a.txt", data);
  compress(engine, dir / "one.1", {dir / "a.txt"}, false, 77);
  const Bytes archive = test::readFile(dir / "one.1");
  ASSERT_EQ(archive[0], 1);
  ASSERT_EQ(archive[4], 0);
  // The same bytes behind 3000 bytes of something else read the same at that offset.
  Bytes carrier = test::randomBytes(3000, 10);
  carrier.insert(carrier.end(), archive.begin(), archive.end());
  test::writeFile(dir / "setup.exe", carrier);
  engine.SetCompressedFile(dir / "setup.exe");
  engine.SetOffset(3000);
  engine.ReadHeaders();
  ASSERT_EQ(engine.FileCount(), 1);
  EXPECT_EQ(engine.IndexOfUniqueID(77), 0);
  extract(engine, dir / "setup.exe", dir / "out", {dir / "a.txt"});
  EXPECT_EQ(test::readFile(dir / "out" + std::string(1, platform::kPathDelim) + "a.txt"), data);
}

TEST(ArchiveEngine, MemberLookupAndStats) {
  ScratchDir dir;
  std::string longDir = dir.path();
  while (longDir.size() < 110) longDir = JoinPath(longDir, "deeper_folder");
  platform::forceDirectories(longDir);
  const std::string longPath = JoinPath(longDir, "long_named_file.txt");
  ASSERT_GT(longPath.size(), 100u);
  test::writeFile(longPath, {'L'});
  test::writeFile(dir / "Mixed.DLL", {'M', 'M'});
  TKstrCompress engine(nullptr);
  compress(engine, dir / "a.1", {dir / "Mixed.DLL", longPath}, false, 12);
  TFileHeaders& h = engine.Headers();
  EXPECT_EQ(h.IndexOfName(dir / "mixed.dll;extra;items"), 0);
  EXPECT_EQ(h.IndexOfName(longPath), -1);
  EXPECT_EQ(h.IndexOfName(longPath.substr(0, 100)), 1);
  EXPECT_EQ(h.FileHeaders(1).FileName().size(), 100u);

  TlzhFileStats s = engine.GetFileStats(1);
  EXPECT_EQ(s.TotalSize, 3);
  EXPECT_EQ(s.FileSize, 1);
  EXPECT_EQ(s.Header.UniqueID(), 12);
  EXPECT_EQ(messageOf([&] { engine.GetFileStats(2); }), "Tried to access the 2th file. This file is not defined");
  EXPECT_EQ(messageOf([&] { h.FileHeaders(-1); }), "-1 is an invalid TFileHeader index in TFileHeaders.GetFileHeaders");
  EXPECT_EQ(engine.IndexOfUniqueID(12), 1);
  EXPECT_EQ(engine.IndexOfUniqueID(2000), 0);
  EXPECT_EQ(messageOf([&] { h.Add(TFileHeader{}); }), "Tried to add an invalid file header");

  // The long member extracts under its stored (cut) name's last part.
  extract(engine, dir / "a.1", dir / "out", {longPath.substr(0, 100)});
  EXPECT_EQ(test::readFile(dir / "out" + std::string(1, platform::kPathDelim) + ExtractFileName(longPath.substr(0, 100))),
            Bytes{'L'});
  EXPECT_EQ(messageOf([&] { extract(engine, dir / "a.1", dir / "out", {"nothing.txt"}); }),
            "The file <nothing.txt> was not found in the archive <" + (dir / "a.1") + ">");
}

TEST(ArchiveEngine, AppendKeepsMembersAndNewArchiveReplaces) {
  ScratchDir dir;
  test::writeFile(dir / "a.txt", test::textBytes(1000, 1));
  test::writeFile(dir / "b.txt", test::textBytes(2000, 2));
  TKstrCompress engine(nullptr);
  compress(engine, dir / "x.1", {dir / "a.txt"}, false, 1);
  compress(engine, dir / "x.1", {dir / "b.txt"}, true, 2);
  ASSERT_EQ(engine.FileCount(), 2);
  EXPECT_EQ(engine.IndexOfUniqueID(1), 0);
  EXPECT_EQ(engine.IndexOfUniqueID(2), 1);
  extract(engine, dir / "x.1", dir / "out", {dir / "a.txt", dir / "b.txt"});
  EXPECT_EQ(test::readFile(dir / "out" + std::string(1, platform::kPathDelim) + "b.txt"), test::textBytes(2000, 2));
  compress(engine, dir / "x.1", {dir / "b.txt"}, false, 3);
  ASSERT_EQ(engine.FileCount(), 1);
  EXPECT_EQ(engine.Headers().FileHeaders(0).FileNumber(), 1);
  // A new archive that fails leaves the old one as it was, and nothing beside it.
  const Bytes before = test::readFile(dir / "x.1");
  EXPECT_EQ(messageOf([&] { compress(engine, dir / "x.1", {dir / "a.txt", dir / "gone.txt"}); }),
            "Cannot open the file " + (dir / "gone.txt"));
  EXPECT_EQ(test::readFile(dir / "x.1"), before);
  size_t files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 3u);
}

class ExtractRules : public ::testing::Test {
 protected:
  void SetUp() override {
    test::writeFile(dir / "m.txt", test::textBytes(20000, 3));
    compress(engine, dir / "m.1", {dir / "m.txt"});
    platform::forceDirectories(out);
  }
  std::string existing() const { return JoinPath(out, "m.txt"); }
  void setExistingDate(double days) {
    auto f = platform::File::open(existing(), platform::FileAccess::ReadWrite);
    f.setDate(days);
  }
  ScratchDir dir;
  std::string out = dir / "out";
  TKstrCompress engine{nullptr};
};

TEST_F(ExtractRules, NeverKeepsTheFileAndStillReportsItFinished) {
  test::writeFile(existing(), {'o', 'l', 'd'});
  engine.SetOverwrite(TOverwriteType::owNever);
  int finished = 0, replaced = 0;
  engine.OnStatus = [&](TComponent*, TlzhFileStats& s) { finished += s.Finished; };
  engine.OnReplace = [&](TComponent*, TlzhFileStats&) { ++replaced; };
  extract(engine, dir / "m.1", out, {dir / "m.txt"});
  EXPECT_EQ(test::readFile(existing()), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(replaced, 0);
}

TEST_F(ExtractRules, DateRuleComparesWithTheStoredDate) {
  const double stored = engine.Headers().FileHeaders(0).FileDate();
  engine.SetOverwrite(TOverwriteType::owDate);
  struct Case {
    double existingDate;
    bool replaced;
  } cases[] = {{stored - 10, true}, {stored, false}, {stored + 10, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.existingDate - stored);
    test::writeFile(existing(), {'o', 'l', 'd'});
    setExistingDate(c.existingDate);
    int replaced = 0;
    engine.OnReplace = [&](TComponent*, TlzhFileStats&) { ++replaced; };
    extract(engine, dir / "m.1", out, {dir / "m.txt"});
    EXPECT_EQ(replaced, c.replaced ? 1 : 0);
    EXPECT_EQ(test::readFile(existing()).size(), c.replaced ? 20000u : 3u);
  }
}

TEST_F(ExtractRules, HandlersRenameSkipAndAbort) {
  engine.OnBeforeExtracting = [&](TComponent*, TlzhFileStats& s) {
    EXPECT_EQ(engine.DestFileName, "m.txt");
    engine.DestFileName = "renamed.txt";
  };
  extract(engine, dir / "m.1", out, {dir / "m.txt"});
  EXPECT_EQ(test::readFile(JoinPath(out, "renamed.txt")).size(), 20000u);
  EXPECT_TRUE(engine.DestFileName.empty());

  engine.OnBeforeExtracting = [&](TComponent*, TlzhFileStats&) { engine.SkipCurrent = true; };
  extract(engine, dir / "m.1", out, {dir / "m.txt"});
  EXPECT_FALSE(platform::fileExists(existing()));

  engine.OnBeforeExtracting = nullptr;
  int aborted = 0, steps = 0;
  engine.OnStatus = [&](TComponent*, TlzhFileStats&) {
    if (++steps == 2) engine.SetAbort(true);
  };
  engine.OnAborted = [&](TComponent*) { ++aborted; };
  EXPECT_NO_THROW(extract(engine, dir / "m.1", out, {dir / "m.txt"}));
  EXPECT_EQ(aborted, 1);
  EXPECT_EQ(steps, 2);
  // No half-written file is left behind.
  EXPECT_FALSE(platform::fileExists(existing()));
  EXPECT_EQ(engine.FilesToProcess()->Count(), 0);
}

TEST(ArchiveEngine, AbortWhileCompressingKeepsTheFinishedMembers) {
  ScratchDir dir;
  test::writeFile(dir / "a.bin", test::randomBytes(70000, 1));
  test::writeFile(dir / "b.bin", test::randomBytes(300000, 2));
  TKstrCompress engine(nullptr);
  int aborted = 0;
  engine.OnBeforeAdding = [&](TComponent*, TlzhFileStats& s) {
    if (s.FileName.find("b.bin") != std::string::npos) engine.SetAbort(true);
  };
  engine.OnAborted = [&](TComponent*) { ++aborted; };
  compress(engine, dir / "x.1", {dir / "a.bin", dir / "b.bin"});
  EXPECT_EQ(aborted, 1);
  EXPECT_EQ(engine.FileCount(), 1);
  engine.OnBeforeAdding = nullptr;
  extract(engine, dir / "x.1", dir / "out", {dir / "a.bin"});
  EXPECT_EQ(test::readFile(JoinPath(dir / "out", "a.bin")), test::randomBytes(70000, 1));

  // Any other error sets Abort and passes on.
  EXPECT_EQ(messageOf([&] { compress(engine, dir / "y.1", {dir / "missing.bin"}); }),
            "Cannot open the file " + (dir / "missing.bin"));
  EXPECT_TRUE(engine.Abort());
}

TEST(ArchiveEngine, CopyUncompressedFollowsTheRulesAndKeepsTheDate) {
  ScratchDir dir;
  const Bytes data = test::randomBytes(20000, 4);
  test::writeFile(dir / "src.bin", data);
  TKstrCompress engine(nullptr);
  int finished = 0;
  engine.OnStatus = [&](TComponent*, TlzhFileStats& s) { finished += s.Finished; };
  engine.CopyUncompressed(dir / "src.bin", dir / "dst.bin");
  EXPECT_EQ(test::readFile(dir / "dst.bin"), data);
  EXPECT_EQ(finished, 1);
  EXPECT_DOUBLE_EQ(*platform::fileAgeDays(dir / "dst.bin"), *platform::fileAgeDays(dir / "src.bin"));
  test::writeFile(dir / "dst.bin", {'x'});
  engine.SetOverwrite(TOverwriteType::owNever);
  engine.CopyUncompressed(dir / "src.bin", dir / "dst.bin");
  EXPECT_EQ(test::readFile(dir / "dst.bin"), Bytes{'x'});
}

TEST(ArchiveEngine, CachedTableFollowsTheArchiveName) {
  ScratchDir dir;
  test::writeFile(dir / "a.txt", {'a'});
  TKstrCompress engine(nullptr);
  compress(engine, dir / "set.1", {dir / "a.txt"});
  engine.ReadHeaders();
  engine.SetCompressedFile(dir / "SET.2");
  EXPECT_TRUE(engine.HeadersCached());
  engine.SetCompressedFile(dir / "other.1");
  EXPECT_FALSE(engine.HeadersCached());
  EXPECT_EQ(messageOf([&] { engine.ReadHeaders(); }), "Cannot open the compressed file " + (dir / "other.1"));
}

// An installation extracts one file per call under a hold: the archive stays open from
// call to call, and is let go when the archive is written, changed or the hold ends (on
// Windows an open archive could be neither replaced nor deleted).
TEST(ArchiveEngine, HeldArchiveStaysOpenAcrossCallsAndIsLetGo) {
  ScratchDir dir;
  test::writeFile(dir / "a.txt", test::textBytes(3000, 1));
  test::writeFile(dir / "b.txt", test::randomBytes(70000, 2));
  test::writeFile(dir / "c.txt", test::textBytes(700, 5));
  TKstrCompress engine(nullptr);
  compress(engine, dir / "x.1", {dir / "a.txt", dir / "b.txt", dir / "c.txt"});
  const std::string out = dir / "out", sep(1, platform::kPathDelim);
  {
    TKstrCompress::ArchiveHold hold(engine);
    extract(engine, dir / "x.1", out, {dir / "a.txt"});
    extract(engine, dir / "x.1", out, {dir / "b.txt"});
    EXPECT_EQ(test::readFile(out + sep + "a.txt"), test::textBytes(3000, 1));
    EXPECT_EQ(test::readFile(out + sep + "b.txt"), test::randomBytes(70000, 2));
    // A file made in the folder since its names were read goes by the Overwrite rule.
    test::writeFile(out + sep + "c.txt", test::textBytes(10, 6));
    engine.SetOverwrite(TOverwriteType::owNever);
    extract(engine, dir / "x.1", out, {dir / "c.txt"});
    EXPECT_EQ(test::readFile(out + sep + "c.txt"), test::textBytes(10, 6));
    engine.SetOverwrite(TOverwriteType::owAlways);
    extract(engine, dir / "x.1", out, {dir / "c.txt"});
    EXPECT_EQ(test::readFile(out + sep + "c.txt"), test::textBytes(700, 5));
    EXPECT_EQ(platform::folderEntries(out)->size(), 3u) << "a temporary file was left";
    // Written anew while held: the next call reads the new archive.
    test::writeFile(dir / "a.txt", test::textBytes(500, 9));
    compress(engine, dir / "x.1", {dir / "a.txt"});
    extract(engine, dir / "x.1", out, {dir / "a.txt"});
    EXPECT_EQ(test::readFile(out + sep + "a.txt"), test::textBytes(500, 9));
    // A failed call lets the archive go as well.
    EXPECT_NE(messageOf([&] { extract(engine, dir / "x.1", out, {dir / "gone.txt"}); }), "(no error)");
    EXPECT_TRUE(platform::deleteFile(dir / "x.1"));
    compress(engine, dir / "x.1", {dir / "a.txt"});
    extract(engine, dir / "x.1", out, {dir / "a.txt"});
  }
  EXPECT_TRUE(platform::deleteFile(dir / "x.1"));
}

// A build appends one file per call: the engine keeps the table it wrote instead of reading
// it back, and reads it again when the archive was changed by someone else meanwhile.
TEST(ArchiveEngine, AppendsInARowKeepTheTableAndNoticeOtherWriters) {
  ScratchDir dir;
  std::vector<std::string> files;
  for (int i = 0; i < 5; ++i) {
    files.push_back(dir / ("f" + std::to_string(i) + ".txt"));
    test::writeFile(files.back(), test::textBytes(900 + 100 * i, i));
  }
  TKstrCompress engine(nullptr), other(nullptr);
  compress(engine, dir / "x.1", {files[0]}, false, 1);
  compress(engine, dir / "x.1", {files[1]}, true, 2);
  compress(other, dir / "x.1", {files[2]}, true, 3);  // another writer
  // The totals cover the whole table, whether it was read back (after the other writer)
  // or kept with its sums (the append after).
  int64_t totalSize = 0;
  engine.OnStatus = [&](TComponent*, TlzhFileStats& s) { totalSize = s.TotalSize; };
  compress(engine, dir / "x.1", {files[3]}, true, 4);
  EXPECT_EQ(totalSize, 900 + 1000 + 1100 + 1200);
  compress(engine, dir / "x.1", {files[4]}, true, 5);
  EXPECT_EQ(totalSize, 900 + 1000 + 1100 + 1200 + 1300);
  TKstrCompress reader(nullptr);
  reader.SetCompressedFile(dir / "x.1");
  ASSERT_EQ(reader.FileCount(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(reader.IndexOfUniqueID(i + 1), i);
  extract(reader, dir / "x.1", dir / "out", files);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(test::readFile(dir / "out" + std::string(1, platform::kPathDelim) + "f" + std::to_string(i) + ".txt"),
              test::textBytes(900 + 100 * i, i));
}

// The table keeps its totals as it changes instead of adding up every header for each
// call: they must follow appends under a hold (with another writer between them), headers
// changed between two extractions, a change that throws half-way and a cut.
TEST(ArchiveEngine, TotalsFollowTheTableThroughAppendsChangesAndCalls) {
  ScratchDir dir;
  std::vector<std::string> files;
  for (int i = 0; i < 5; ++i) {
    files.push_back(dir / ("t" + std::to_string(i) + ".txt"));
    test::writeFile(files.back(), test::textBytes(900 + 100 * i, i));
  }
  auto sums = [](const TFileHeaders& h) {
    std::pair<int64_t, int64_t> s{0, 0};
    for (int i = 0; i < h.Count(); ++i) {
      s.first += h.FileHeaders(i).OriginalSize();
      s.second += h.FileHeaders(i).CompressedSize();
    }
    return s;
  };
  TKstrCompress engine(nullptr), other(nullptr);
  int64_t totalSize = 0;
  {
    TKstrCompress::ArchiveHold hold(engine);
    compress(engine, dir / "x.1", {files[0]});
    compress(engine, dir / "x.1", {files[1]}, true);
    compress(other, dir / "x.1", {files[2]}, true);  // written while the engine holds it
    engine.OnStatus = [&](TComponent*, TlzhFileStats& s) { totalSize = s.TotalSize; };
    compress(engine, dir / "x.1", {files[3]}, true);
    EXPECT_EQ(totalSize, 900 + 1000 + 1100 + 1200);
    compress(engine, dir / "x.1", {files[4]}, true);
    EXPECT_EQ(totalSize, 900 + 1000 + 1100 + 1200 + 1300);
  }
  TKstrCompress reader(nullptr);
  reader.SetCompressedFile(dir / "x.1");
  ASSERT_EQ(reader.FileCount(), 5);
  TFileHeaders& table = reader.Headers();
  TlzhFileStats seen;
  reader.OnStatus = [&](TComponent*, TlzhFileStats& s) { seen = s; };
  const std::string out = dir / "out";
  TKstrCompress::ArchiveHold hold(reader);
  extract(reader, dir / "x.1", out, {files[0]});
  EXPECT_EQ(seen.TotalSize, sums(table).first);
  EXPECT_EQ(seen.TotalCompressed, sums(table).second);
  // Between two calls a header is changed, and one change throws half-way.
  table.ChangeHeader(4, [](TFileHeader& h) { h.SetOriginalSize(h.OriginalSize() + 100); });
  EXPECT_THROW(table.ChangeHeader(3,
                                  [](TFileHeader& h) {
                                    h.SetCompressedSize(h.CompressedSize() + 7);
                                    throw EKstrCompress("half-way");
                                  }),
               EKstrCompress);
  extract(reader, dir / "x.1", out, {files[1]});
  EXPECT_EQ(seen.TotalSize, sums(table).first);
  EXPECT_EQ(seen.TotalCompressed, sums(table).second);
  EXPECT_EQ(seen.TotalSize, 900 + 1000 + 1100 + 1200 + 1300 + 100);
  // A renamed member is found by its new name only; a cut table counts what is left.
  table.ChangeHeader(2, [](TFileHeader& h) { h.SetFileName("renamed.txt"); });
  EXPECT_EQ(table.IndexOfName("RENAMED.TXT"), 2);
  EXPECT_EQ(table.IndexOfName(files[2]), -1);
  table.TruncateTo(2);
  EXPECT_EQ(reader.GetFileStats(0).TotalSize, 1900);
  EXPECT_EQ(reader.GetFileStats(1).TotalCompressed, sums(table).second);
}

// Members compressed ahead by worker threads give the archive, the events with their
// figures and the outcome of an abort or an error that compressing member by member gives,
// in one call of many files and in a walk that adds one file per call (with a plan that
// names a file the walk leaves out, misses one it adds, and a file rewritten meanwhile);
// nothing is left in the temporary folder.
TEST(ArchiveEngine, CompressingAheadKeepsTheBytesTheEventsAndTheEndings) {
  ScratchDir dir, temp;
#ifdef _WIN32
  _putenv_s("TMP", temp.path().c_str());
#else
  setenv("TMPDIR", temp.path().c_str(), 1);
#endif
  std::vector<std::string> files;
  auto add = [&](const std::string& name, const Bytes& data) {
    files.push_back(dir / name);
    test::writeFile(files.back(), data);
  };
  add("empty.dat", {});
  add("text.txt", test::textBytes(700000, 1));
  Bytes program = test::randomBytes(5000, 2);
  program[0] = 'M', program[1] = 'Z';
  add("prog.exe", program);
  add("big.bin", test::randomBytes(1300000, 3));  // beyond the in-memory limit
  for (int i = 0; i < 8; ++i) add("small" + std::to_string(i) + ".txt", test::textBytes(900 + 37 * i, 10 + i));
  add("random.bin", test::randomBytes(200000, 4));
  // Files written again between the runs keep one date, which the members carry.
  auto rewrite = [](const std::string& path, const Bytes& data) {
    test::writeFile(path, data);
    platform::File::open(path, platform::FileAccess::ReadWrite).setDate(40000.5);
  };

  struct Run {
    std::vector<std::string> events;
    Bytes archive;
    std::string error;
  };
  // abortAt: the OnStatus call that sets Abort; walk: one call per file (skipping the
  // second small file and adding one not in the plan), else one call for all.
  auto run = [&](int threads, bool walk, int abortAt) {
    Run r;
    TKstrCompress engine(nullptr);
    engine.CompressThreads = threads;
    int statusCalls = 0;
    engine.OnBeforeAdding = [&](TComponent*, TlzhFileStats& s) { r.events.push_back("before " + s.FileName); };
    engine.OnStatus = [&](TComponent*, TlzhFileStats& s) {
      r.events.push_back(Format("status %d %d %d %d %d %d",
                                {s.FileDone, s.TotalDone, s.FileCompressed, s.FilePercent, s.TotalPercent, s.Finished}));
      if (++statusCalls == abortAt) engine.SetAbort(true);
    };
    engine.OnAfterAdding = [&](TComponent*, TlzhFileStats& s) {
      r.events.push_back(Format("after %s %d", {s.FileName, s.FileCompressed}));
    };
    engine.OnAborted = [&](TComponent*) { r.events.push_back("aborted"); };
    const std::string archive = dir / "x.1";
    platform::deleteFile(archive);
    rewrite(files[5], test::textBytes(1000, 99));  // rewritten: another size than in the plan
    try {
      if (walk) {
        std::vector<std::string> plan = files;
        plan.insert(plan.begin() + 3, dir / "not-asked.txt");
        plan.pop_back();
        TKstrCompress::ArchiveHold hold(engine);
        TKstrCompress::CompressAhead ahead(engine, plan);
        for (size_t i = 0; i < files.size(); ++i) {
          if (i == 4) continue;
          if (i == 5) rewrite(files[5], test::textBytes(1100, 98));  // most likely read ahead by now
          if (i == 9 && abortAt < 0) platform::deleteFile(files[9]);  // an error half-way
          compress(engine, archive, {files[i]}, i > 0, static_cast<int32_t>(i));
          if (engine.Abort()) break;
        }
      } else {
        compress(engine, archive, files, false, 7);
      }
    } catch (const Exception& e) {
      r.error = e.Message();
    }
    r.archive = test::readFile(archive);
    return r;
  };
  for (bool walk : {false, true})
    for (int abortAt : {0, 9, 40, -1}) {
      if (abortAt < 0 && !walk) continue;
      SCOPED_TRACE(Format("walk %d, abort at %d", {walk, abortAt}));
      rewrite(files[9], test::textBytes(1500, 20));
      const Run serial = run(0, walk, abortAt);
      rewrite(files[9], test::textBytes(1500, 20));
      const Run ahead = run(2, walk, abortAt);
      EXPECT_EQ(ahead.events, serial.events);
      EXPECT_EQ(ahead.archive, serial.archive);
      EXPECT_EQ(ahead.error, serial.error);
      EXPECT_GT(serial.events.size(), 9u);
      EXPECT_EQ(platform::folderEntries(temp.path())->size(), 0u) << "a temporary member file was left";
    }
#ifdef _WIN32
  _putenv_s("TMP", "");
#else
  unsetenv("TMPDIR");
#endif
}

// Members inflated ahead by worker threads give the files, the events with their figures and
// the outcome of an abort or a damaged member that extracting member by member gives, in one
// call of many members and in a walk of one member per call under a hold (leaving one out and
// going back to an earlier one); no temporary file is left.
TEST(ArchiveEngine, InflatingAheadKeepsTheFilesTheEventsAndTheEndings) {
  ScratchDir dir;
  std::vector<std::string> files;
  std::vector<Bytes> sources;
  auto add = [&](const std::string& name, Bytes data) {
    files.push_back(dir / name);
    test::writeFile(files.back(), data);
    sources.push_back(std::move(data));
  };
  add("empty.dat", {});
  add("text.txt", test::textBytes(700000, 1));  // beyond what is held for the member in hand
  add("random.bin", test::randomBytes(1300000, 3));
  for (int i = 0; i < 8; ++i) add("small" + std::to_string(i) + ".txt", test::textBytes(900 + 37 * i, 10 + i));
  add("large.txt", test::textBytes(3000000, 4));  // beyond what is held ahead
  add("last.txt", test::textBytes(8192, 5));      // ends at a step's end
  const std::string archive = dir / "x.1";
  Bytes damaged;
  {
    TKstrCompress maker(nullptr);
    compress(maker, archive, files);
    damaged = test::readFile(archive);
    const TFileHeader& text = maker.Headers().FileHeaders(1);
    damaged[static_cast<size_t>(text.DataStart() + text.CompressedSize() / 2)] ^= 0x55;
  }
  const Bytes whole = test::readFile(archive);
  const std::string sep(1, platform::kPathDelim);

  struct Run {
    std::vector<std::string> events;
    std::map<std::string, Bytes> files;
    std::string error;
  };
  auto run = [&](int threads, bool walk, int abortAt, bool damage) {
    Run r;
    test::writeFile(archive, damage ? damaged : whole);
    ScratchDir out;
    TKstrCompress engine(nullptr);
    engine.ExtractThreads = threads;
    int statusCalls = 0;
    engine.OnBeforeExtracting = [&](TComponent*, TlzhFileStats& s) { r.events.push_back("before " + s.FileName); };
    engine.OnStatus = [&](TComponent*, TlzhFileStats& s) {
      r.events.push_back(Format("status %d %d %d %d %d", {s.FileDone, s.TotalDone, s.FilePercent, s.TotalPercent,
                                                          s.Finished}));
      if (++statusCalls == abortAt) engine.SetAbort(true);
    };
    engine.OnAborted = [&](TComponent*) { r.events.push_back("aborted"); };
    try {
      if (walk) {
        TKstrCompress::ArchiveHold hold(engine);
        std::vector<size_t> order;
        for (size_t i = 0; i < files.size(); ++i)
          if (i != 4) order.push_back(i);
        order.push_back(2);
        for (size_t i : order) {
          extract(engine, archive, out.path(), {files[i]});
          if (engine.Abort()) break;
        }
      } else {
        extract(engine, archive, out.path(), files);
      }
    } catch (const Exception& e) {
      r.error = e.Message();
    }
    const auto names = platform::folderEntries(out.path());
    for (const std::string& name : *names) r.files[name] = test::readFile(out.path() + sep + name);
    return r;
  };
  for (bool walk : {false, true})
    for (int abortAt : {0, 30, 400})
      for (bool damage : {false, true}) {
        SCOPED_TRACE(Format("walk %d, abort at %d, damaged %d", {walk, abortAt, damage}));
        const Run serial = run(0, walk, abortAt, damage);
        const Run ahead = run(2, walk, abortAt, damage);
        EXPECT_EQ(ahead.events, serial.events);
        EXPECT_EQ(ahead.error, serial.error);
        EXPECT_TRUE(ahead.files == serial.files) << "the extracted files differ";
        if (abortAt == 0 && !damage) {
          EXPECT_EQ(serial.error, "");
          ASSERT_EQ(ahead.files.size(), files.size() - (walk ? 1 : 0));
          for (size_t i = 0; i < files.size(); ++i) {
            if (walk && i == 4) continue;
            EXPECT_TRUE(ahead.files.at(ExtractFileName(files[i])) == sources[i]) << files[i];
          }
        } else {
          EXPECT_NE(serial.error + (serial.events.back() == "aborted" ? "aborted" : ""), "");
        }
      }
}

}  // namespace
}  // namespace kestrune
