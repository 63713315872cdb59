// Archive throughput against raw zlib on generated data sets, measured in the same run:
// deflate at level 9 against CompressFiles, inflate-and-write against ExtractFiles. Two
// sets: a few large files (--size-mb in six files) and many small ones (--small N files of
// 1 kB, where the cost per member shows). Prints MB/s, the ratios for each direction and
// the peak memory. With --calls file the engine is called once per file (an append each,
// an extraction each, under one ArchiveHold), as the kit's build and install walks call it.
//
// usage: archive_bench [--size-mb N] [--small N] [--repeat N] [--pump none|peek|cheap] [--calls all|file]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "archive/archive_names.h"
#include "archive/cmp_TKstrCompress.h"
#include "bench_host.h"
#include "raw_zlib.h"
#include "platform/files.h"
#include "runtime/sysutils.h"

using namespace kestrune;
using bench::rawDeflate;
using bench::rawInflate;

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  int sizeMb = 64;
  int small = 6000;
  int repeat = 2;
  std::string pump = "none";
  bool perFile = false;
};

// Writes a file of the given kind in 1 MiB pieces (memory stays flat).
void generate(const std::string& path, const std::string& kind, size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  static const char* const words[] = {"install ", "archive ", "the ", "volume ", "Zarvotill ", "pokladna ",
                                      "header ", "of ", "setup\r\n", "database ", "file ", "version "};
  platform::File f = platform::File::create(path);
  std::vector<uint8_t> piece;
  size_t done = 0;
  while (done < size) {
    piece.clear();
    const size_t want = std::min<size_t>(1 << 20, size - done);
    while (piece.size() < want) {
      if (kind == "text") {
        const char* w = words[rng() % 12];
        while (*w) piece.push_back(static_cast<uint8_t>(*w++));
      } else if (kind == "random") {
        const uint32_t v = rng();
        for (int i = 0; i < 4; ++i) piece.push_back(static_cast<uint8_t>(v >> (8 * i)));
      } else {
        // Executable-like: code-ish byte runs from a small alphabet, address tables,
        // zero padding and a few random stretches.
        const uint32_t r = rng() % 16;
        if (r < 9) {
          static const uint8_t ops[] = {0x55, 0x8B, 0xEC, 0x83, 0xC4, 0x89, 0x45, 0xFC, 0xE8, 0xC3, 0x50, 0x6A, 0x00};
          for (int i = 0; i < 24; ++i) piece.push_back(ops[rng() % 13]);
        } else if (r < 12) {
          const uint32_t base = 0x00401000 + (rng() % 4096) * 16;
          for (int i = 0; i < 8; ++i)
            for (int b = 0; b < 4; ++b) piece.push_back(static_cast<uint8_t>((base + i * 4) >> (8 * b)));
        } else if (r < 15) {
          piece.insert(piece.end(), 64, 0);
        } else {
          for (int i = 0; i < 32; ++i) piece.push_back(static_cast<uint8_t>(rng()));
        }
      }
    }
    piece.resize(want);
    f.write(piece.data(), piece.size());
    done += want;
  }
}

double seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Compresses and extracts one data set both ways, best of opt.repeat rounds, and prints
// the figures. Members are extracted into empty folders in every round.
void runSet(const std::string& label, const std::vector<std::string>& files, const std::string& root,
            const Options& opt) {
  const std::string rawOut = JoinPath(root, "raw"), engOut = JoinPath(root, "eng");
  const std::string archive = JoinPath(root, "bench.1");
  int64_t total = 0;
  for (const auto& f : files) total += platform::File::open(f, platform::FileAccess::Read).size();
  const double totalMb = static_cast<double>(total) / (1024.0 * 1024.0);

  double rawC = 1e30, engC = 1e30, rawX = 1e30, engX = 1e30;
  TKstrCompress engine(nullptr);
  TStringList list;
  for (const auto& f : files) list.Add(f);
  for (int r = 0; r < opt.repeat; ++r) {
    for (const auto& d : {rawOut, engOut}) platform::forceDirectories(d);
    auto t = Clock::now();
    {
      platform::File dst = platform::File::create(JoinPath(rawOut, "deflated.tmp"));
      for (const auto& f : files) rawDeflate(f, dst);
    }
    rawC = std::min(rawC, seconds(t));
    platform::deleteFile(JoinPath(rawOut, "deflated.tmp"));

    engine.SetCompressedFile(archive);
    engine.SetCompressionLevel(TCompressionLevel::colMax);
    t = Clock::now();
    if (opt.perFile) {
      TKstrCompress::ArchiveHold hold(engine);
      for (int i = 0; i < list.Count(); ++i) {
        TStringList one;
        one.Add(list[i]);
        engine.SetFilesToProcess(one);
        engine.CompressFiles(i > 0, 0);
      }
    } else {
      engine.SetFilesToProcess(list);
      engine.CompressFiles(false, 0);
    }
    engC = std::min(engC, seconds(t));

    engine.ReadHeaders();
    t = Clock::now();
    {
      platform::File src = platform::File::open(archive, platform::FileAccess::Read);
      for (int i = 0; i < engine.Headers().Count(); ++i) {
        const TFileHeader& h = engine.Headers().FileHeaders(i);
        rawInflate(src, h.DataStart(), h.CompressedSize(), JoinPath(rawOut, ExtractFileName(h.FileName())));
      }
    }
    rawX = std::min(rawX, seconds(t));

    engine.SetExtractDirectory(engOut);
    t = Clock::now();
    if (opt.perFile) {
      TKstrCompress::ArchiveHold hold(engine);
      for (int i = 0; i < list.Count(); ++i) {
        TStringList one;
        one.Add(list[i]);
        engine.SetFilesToProcess(one);
        engine.ExtractFiles();
      }
    } else {
      engine.SetFilesToProcess(list);
      engine.ExtractFiles();
    }
    engX = std::min(engX, seconds(t));
    std::error_code ec;
    for (const auto& d : {rawOut, engOut}) std::filesystem::remove_all(d, ec);
  }
  const auto archiveSize = platform::File::open(archive, platform::FileAccess::Read).size();
  platform::deleteFile(archive);
  std::printf("%s: %.1f MB in %zu files, archive %.1f MB, pump %s, %s, best of %d\n", label.c_str(), totalMb,
              files.size(), static_cast<double>(archiveSize) / (1024.0 * 1024.0), opt.pump.c_str(),
              opt.perFile ? "one call per file" : "one call for all", opt.repeat);
  std::printf("  compress  raw deflate -9 %8.1f MB/s   CompressFiles %8.1f MB/s   ratio %.3f   time %.3fx raw\n",
              totalMb / rawC, totalMb / engC, rawC / engC, engC / rawC);
  std::printf("  extract   raw inflate    %8.1f MB/s   ExtractFiles  %8.1f MB/s   ratio %.3f   time %.3fx raw\n",
              totalMb / rawX, totalMb / engX, rawX / engX, engX / rawX);
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--size-mb" && i + 1 < argc) opt.sizeMb = std::atoi(argv[++i]);
    else if (a == "--small" && i + 1 < argc) opt.small = std::atoi(argv[++i]);
    else if (a == "--repeat" && i + 1 < argc) opt.repeat = std::atoi(argv[++i]);
    else if (a == "--pump" && i + 1 < argc) opt.pump = argv[++i];
    else if (a == "--calls" && i + 1 < argc && (std::string(argv[i + 1]) == "all" || std::string(argv[i + 1]) == "file"))
      opt.perFile = std::string(argv[++i]) == "file";
    else {
      std::fprintf(stderr,
                   "usage: archive_bench [--size-mb N] [--small N] [--repeat N] [--pump none|peek|cheap] "
                   "[--calls all|file]\n");
      return 2;
    }
  }
  if (opt.sizeMb < 0 || opt.small < 0 || opt.repeat < 1 || !bench::installPump(opt.pump)) {
    std::fprintf(stderr, "archive_bench: bad size, count, repeat count or pump %s\n", opt.pump.c_str());
    return 2;
  }
  const std::string tmp = platform::createTempFile("kab");
  platform::deleteFile(tmp);
  const std::string root = tmp + ".d";
  const char* const kinds[] = {"text", "random", "exe"};

  // A few large files: two of each kind share the size.
  if (opt.sizeMb > 0) {
    const std::string data = JoinPath(root, "large");
    platform::forceDirectories(data);
    const size_t each = static_cast<size_t>(opt.sizeMb) * 1024 * 1024 / 6;
    std::vector<std::string> files;
    for (int i = 0; i < 6; ++i) {
      files.push_back(JoinPath(data, std::string(kinds[i % 3]) + std::to_string(i) + ".dat"));
      generate(files.back(), kinds[i % 3], each, static_cast<uint32_t>(i + 1));
    }
    runSet("large files (text, random, executable-like)", files, root, opt);
  }
  // Many small files of 1 kB, the kinds in turn.
  if (opt.small > 0) {
    const std::string data = JoinPath(root, "small");
    platform::forceDirectories(data);
    std::vector<std::string> files;
    for (int i = 0; i < opt.small; ++i) {
      files.push_back(JoinPath(data, std::string(kinds[i % 3]) + std::to_string(i) + ".dat"));
      generate(files.back(), kinds[i % 3], 1024, static_cast<uint32_t>(i + 1));
    }
    runSet("small files of 1 kB", files, root, opt);
  }
  std::printf("peak memory %.1f MB\n", static_cast<double>(bench::peakMemoryBytes()) / (1024.0 * 1024.0));
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  return 0;
}
