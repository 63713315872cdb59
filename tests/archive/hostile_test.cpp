// Corrupt, truncated and hostile archives: every one ends in a clear error (or a file
// inside the extraction folder), never in a crash, a hang or a write outside that folder.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <optional>

#include "archive/cmp_TKstrCompress.h"
#include "runtime/exceptions.h"
#include "test_util.h"

namespace kestrune {
namespace {

using test::Bytes;
using test::ScratchDir;

struct Member {
  std::string name;
  Bytes data;
  std::function<void(TFileHeader&, Bytes& packed)> tweak;
};

// A plain archive written by hand, each header tweakable before it is written.
Bytes buildArchive(const std::vector<Member>& members, std::optional<int32_t> count = std::nullopt) {
  Bytes out(5, 0);
  const uint32_t n = static_cast<uint32_t>(count.value_or(static_cast<int32_t>(members.size())));
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(n >> (8 * i));
  for (const auto& m : members) {
    uLongf len = compressBound(static_cast<uLong>(m.data.size()));
    Bytes packed(len);
    compress2(packed.data(), &len, m.data.data(), static_cast<uLong>(m.data.size()), 9);
    packed.resize(len);
    TFileHeader h;
    const int32_t start = static_cast<int32_t>(out.size() + archive_format::kHeaderSize);
    h.SetFileName(m.name);
    h.SetFileDate(40000.5);
    h.SetOriginalSize(static_cast<int32_t>(m.data.size()));
    h.SetDataStart(start);
    h.SetCompressedSize(static_cast<int32_t>(packed.size()));
    h.SetLastByte(start + static_cast<int32_t>(packed.size()) - 1);
    h.SetNextHeader(start + static_cast<int32_t>(packed.size()));
    if (m.tweak) m.tweak(h, packed);
    out.insert(out.end(), h.Bytes.begin(), h.Bytes.end());
    out.insert(out.end(), packed.begin(), packed.end());
  }
  return out;
}

class Hostile : public ::testing::Test {
 protected:
  // Extracts every member of the archive bytes into out; returns the error message or "".
  std::string extractAll(const Bytes& archive, std::vector<std::string> names = {}) {
    test::writeFile(path, archive);
    TKstrCompress engine(nullptr);
    engine.SetCompressedFile(path);
    engine.SetExtractDirectory(out);
    try {
      if (names.empty()) {
        engine.ReadHeaders();
        for (int i = 0; i < engine.Headers().Count(); ++i) names.push_back(engine.Headers().FileHeaders(i).FileName());
      }
      TStringList list;
      for (const auto& n : names) list.Add(n);
      engine.SetFilesToProcess(list);
      engine.ExtractFiles();
    } catch (const Exception& e) {
      return e.Message();
    }
    return "";
  }
  // Files in the scratch folder outside out (the archive itself excepted).
  std::vector<std::string> strayFiles() const {
    std::vector<std::string> found;
    for (auto& e : std::filesystem::recursive_directory_iterator(dir.path())) {
      const std::string p = e.path().string();
      if (e.is_regular_file() && p != path && p.rfind(out, 0) != 0) found.push_back(p);
    }
    return found;
  }
  ScratchDir dir;
  std::string path = dir / "hostile.1";
  std::string out = JoinPath(dir / "a", "b");
};

const char* const kCorrupt =
    "Could not read the file headers for the compressed file. The Archive file could possible be corrupt";

TEST_F(Hostile, TablesThatCannotBeBelievedAreCorrupt) {
  const Bytes good = buildArchive({{"a.txt", test::textBytes(1000, 1), nullptr}, {"b.txt", {'b'}, nullptr}});
  EXPECT_EQ(extractAll(good), "");
  EXPECT_EQ(extractAll(buildArchive({{"a.txt", {'a'}, nullptr}}, 1000)), kCorrupt);
  EXPECT_EQ(extractAll(buildArchive({{"a.txt", {'a'}, nullptr}}, -5)), kCorrupt);
  EXPECT_EQ(extractAll(Bytes{1, 0, 0}), kCorrupt);
  // Next-header positions that point back would walk in circles.
  Bytes cycle = buildArchive({{"a.txt", {'a'}, [](TFileHeader& h, Bytes&) { h.SetNextHeader(5); }},
                              {"b.txt", {'b'}, nullptr},
                              {"c.txt", {'c'}, nullptr}});
  EXPECT_EQ(extractAll(cycle), kCorrupt);
  EXPECT_EQ(extractAll(buildArchive({{"   ", {'a'}, nullptr}})), kCorrupt);
  Bytes truncated = good;
  truncated.resize(100);
  EXPECT_EQ(extractAll(truncated), kCorrupt);
}

TEST_F(Hostile, DataThatLiesEndsInAnErrorAndLeavesNoFile) {
  const Bytes text = test::textBytes(100000, 2);
  const std::string mismatch =
      "The decompressed file's size does not match with the actual size of the file.  The file is m.txt";
  struct Case {
    const char* what;
    std::function<void(TFileHeader&, Bytes&)> tweak;
    std::string error;
  } cases[] = {
      {"size too large", [](TFileHeader& h, Bytes&) { h.SetOriginalSize(h.OriginalSize() + 1); }, mismatch},
      {"size too small", [](TFileHeader& h, Bytes&) { h.SetOriginalSize(h.OriginalSize() - 4097); }, mismatch},
      {"data cut short", [](TFileHeader& h, Bytes&) { h.SetLastByte(h.LastByte() - 100); }, mismatch},
      {"broken deflate data", [](TFileHeader&, Bytes& p) { for (size_t i = 10; i < 60; ++i) p[i] ^= 0x5A; }, "error"},
      {"bad checksum", [](TFileHeader&, Bytes& p) { p[p.size() - 1] ^= 1; }, "error"},
      {"preset dictionary", [](TFileHeader&, Bytes& p) { p[0] = 0x78; p[1] = 0xBB; }, "error"},
      {"negative start", [](TFileHeader& h, Bytes&) { h.SetDataStart(-100); }, kCorrupt},
      {"last byte far past the end", [](TFileHeader& h, Bytes&) { h.SetLastByte(0x7FFFFFF0); }, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(extractAll(buildArchive({{"m.txt", text, c.tweak}})), c.error);
    EXPECT_EQ(platform::fileExists(JoinPath(out, "m.txt")), c.error.empty());
    std::filesystem::remove_all(out);
  }
}

TEST_F(Hostile, MemberNamesNeverLeaveTheExtractionFolder) {
  struct Case {
    std::string stored;
    std::string written;  // empty: refused
  } cases[] = {
      {"..\\..\\evil1.txt", "evil1.txt"},
      {"../../evil2.txt", "evil2.txt"},
      {"C:\\Windows\\evil3.txt", "evil3.txt"},
      {"D:evil4.txt", "evil4.txt"},
      {"\\\\server\\share\\evil5.txt", "evil5.txt"},
      {"sub\\..\\..\\evil6.txt", "evil6.txt"},
      {"..", ""},
      {"sub\\..", ""},
      {"C:", ""},
      {"dir\\", ""},
      {"CON", ""},
      {"nul.txt", ""},
      {"lpt1", ""},
      {"a?b.txt", ""},
      {"tab\tname", ""},
      {". . .", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    const std::string error = extractAll(buildArchive({{c.stored, {'x'}, nullptr}}));
    if (c.written.empty()) {
      EXPECT_NE(error.find("is not a valid file name"), std::string::npos) << error;
    } else {
      EXPECT_EQ(error, "");
      EXPECT_TRUE(platform::fileExists(JoinPath(out, c.written)));
    }
    EXPECT_EQ(strayFiles(), std::vector<std::string>{});
    std::filesystem::remove_all(out);
  }
}

TEST_F(Hostile, SpannedMembersWithoutTheirVolumes) {
  // A spanned table whose member goes on in volume 2, which is not there.
  Bytes archive = buildArchive({{"s.txt", test::textBytes(50000, 3), [](TFileHeader& h, Bytes& p) {
                                   h.SetStartDisk(1);
                                   h.SetEndDisk(2);
                                   h.SetLastByte(10);
                                   p.resize(p.size() / 2);
                                 }}});
  archive[4] = 1;
  EXPECT_EQ(extractAll(archive), "Could not open the correct disk file 2");
  EXPECT_FALSE(platform::fileExists(JoinPath(out, "s.txt")));
  archive = buildArchive({{"s.txt", {'s'}, [](TFileHeader& h, Bytes&) {
                             h.SetStartDisk(3);
                             h.SetEndDisk(1);
                           }}});
  archive[4] = 1;
  EXPECT_EQ(extractAll(archive), "Could not open the correct disk file 3");
}

TEST_F(Hostile, FailuresLeaveWhatWasThere) {
  auto filesIn = [](const std::string& folder) {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  };
  const Bytes old{'o', 'l', 'd'};
  const Bytes text = test::textBytes(100000, 4);
  // A member that fails its size or checksum leaves the file it would have replaced.
  for (auto tweak : std::vector<std::function<void(TFileHeader&, Bytes&)>>{
           [](TFileHeader& h, Bytes&) { h.SetOriginalSize(h.OriginalSize() + 1); },
           [](TFileHeader&, Bytes& p) { p[p.size() - 1] ^= 1; }}) {
    platform::forceDirectories(out);
    test::writeFile(JoinPath(out, "m.txt"), old);
    EXPECT_NE(extractAll(buildArchive({{"m.txt", text, tweak}})), "");
    EXPECT_EQ(test::readFile(JoinPath(out, "m.txt")), old);
    EXPECT_EQ(filesIn(out), std::vector<std::string>{"m.txt"});
  }
  // What a writer killed half-way left under the temporary name is taken over by the next.
  platform::deleteFile(JoinPath(out, "m.txt"));
  test::writeFile(JoinPath(out, "~m.txt.kestrune.tmp"), old);
  EXPECT_EQ(extractAll(buildArchive({{"m.txt", text, nullptr}})), "");
  EXPECT_EQ(test::readFile(JoinPath(out, "m.txt")), text);
  EXPECT_EQ(filesIn(out), std::vector<std::string>{"m.txt"});

  // Two members whose names end alike would meet in one file: nothing is written.
  std::filesystem::remove_all(out);
  EXPECT_EQ(extractAll(buildArchive({{"a\\x.txt", {'a'}, nullptr}, {"b/X.txt", {'b'}, nullptr}})),
            "The files <a\\x.txt> and <b/X.txt> of the archive <" + path + "> would both be extracted as X.txt");
  EXPECT_FALSE(platform::directoryExists(out));

  // A member named like the archive, extracted beside it, would replace its own source.
  const Bytes self = buildArchive({{"C:\\build\\hostile.1", text, nullptr}, {"y.txt", {'y'}, nullptr}});
  test::writeFile(path, self);
  TKstrCompress engine(nullptr);
  engine.SetCompressedFile(path);
  engine.SetExtractDirectory(dir.path());
  TStringList names{"C:\\build\\hostile.1"};
  engine.SetFilesToProcess(names);
  try {
    engine.ExtractFiles();
    ADD_FAILURE() << "no error";
  } catch (const EKstrCompress& e) {
    EXPECT_EQ(e.Message(), "The file " + path + " cannot be extracted over the archive it comes from");
  }
  EXPECT_EQ(test::readFile(path), self);

  // A link in the extraction folder is replaced by the member, not written through.
  std::error_code ec;
  platform::forceDirectories(out);
  test::writeFile(dir / "target.txt", old);
  std::filesystem::create_symlink(dir / "target.txt", JoinPath(out, "y.txt"), ec);
  if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
  EXPECT_EQ(extractAll(self, {"y.txt"}), "");
  EXPECT_EQ(test::readFile(dir / "target.txt"), old);
  EXPECT_FALSE(std::filesystem::is_symlink(JoinPath(out, "y.txt")));
  EXPECT_EQ(test::readFile(JoinPath(out, "y.txt")), Bytes{'y'});
}

}  // namespace
}  // namespace kestrune
