// The baselines of the distribution benchmark, as a program of its own so that it runs
// under the same conditions as the setup program (a process of its own, under Wine):
//
//   bench_baseline deflate ROOT LIST OUT   deflates (level 9) each file of LIST (paths
//                                           relative to ROOT, one a line) onto OUT and
//                                           writes OUT.idx: start, length, path a line
//   bench_baseline inflate OUT DEST        inflates every entry of OUT.idx into DEST\path
//                                           from OUT opened once, 64 KiB writes
//   bench_baseline copy ROOT LIST DEST     copies each file of LIST to DEST\path, 64 KiB
//                                           reads and writes
#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_names.h"
#include "platform/files.h"
#include "raw_zlib.h"
#include "runtime/sysutils.h"

using namespace kestrune;

namespace {

std::vector<std::string> lines(const std::string& path) {
  const std::vector<uint8_t> data = platform::readWholeFile(path);
  std::vector<std::string> out;
  std::string line;
  for (uint8_t c : data) {
    if (c == '\n') {
      if (!line.empty()) out.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line.push_back(static_cast<char>(c));
    }
  }
  if (!line.empty()) out.push_back(line);
  return out;
}

// Makes sure of the folder of path, once per run of files in one folder.
void folderOf(const std::string& path, std::string& last) {
  const std::string folder = ExtractFileDir(path);
  if (folder == last) return;
  platform::forceDirectories(folder);
  last = folder;
}

int deflateAll(const std::string& root, const std::string& list, const std::string& out) {
  platform::File dst = platform::File::create(out);
  std::string index;
  int64_t at = 0;
  for (const std::string& rel : lines(list)) {
    const int64_t length = bench::rawDeflate(JoinPath(root, rel), dst);
    index += std::to_string(at) + " " + std::to_string(length) + " " + rel + "\n";
    at += length;
  }
  platform::writeWholeFile(out + ".idx", index.data(), index.size());
  return 0;
}

int inflateAll(const std::string& in, const std::string& dest) {
  platform::File src = platform::File::open(in, platform::FileAccess::Read);
  std::string last;
  for (const std::string& entry : lines(in + ".idx")) {
    const size_t a = entry.find(' '), b = entry.find(' ', a + 1);
    const std::string out = JoinPath(dest, entry.substr(b + 1));
    folderOf(out, last);
    bench::rawInflate(src, std::stoll(entry.substr(0, a)), std::stoll(entry.substr(a + 1, b - a - 1)), out);
  }
  return 0;
}

int copyAll(const std::string& root, const std::string& list, const std::string& dest) {
  std::vector<uint8_t> buffer(65536);
  std::string last;
  for (const std::string& rel : lines(list)) {
    const std::string out = JoinPath(dest, rel);
    folderOf(out, last);
    platform::File src = platform::File::open(JoinPath(root, rel), platform::FileAccess::Read);
    platform::File dst = platform::File::create(out);
    for (size_t got; (got = src.read(buffer.data(), buffer.size())) > 0;) dst.writeAll(buffer.data(), got);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> a(argv + 1, argv + argc);
  try {
    if (a.size() == 4 && a[0] == "deflate") return deflateAll(a[1], a[2], a[3]);
    if (a.size() == 3 && a[0] == "inflate") return inflateAll(a[1], a[2]);
    if (a.size() == 4 && a[0] == "copy") return copyAll(a[1], a[2], a[3]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_baseline: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "usage: bench_baseline deflate ROOT LIST OUT | inflate OUT DEST | copy ROOT LIST DEST\n");
  return 2;
}
