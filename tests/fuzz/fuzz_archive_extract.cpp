// Fuzzes extraction: the input is written as an archive and every member is extracted into
// a scratch folder. Errors must be exceptions of the kit; nothing may appear outside the
// folder, and the folder is emptied after each input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "archive/cmp_TKstrCompress.h"
#include "runtime/exceptions.h"

namespace {

// The scratch folder of this process, removed with its contents at exit.
struct Scratch {
  std::string dir;
  Scratch() {
    char templ[] = "/tmp/fuzz-archive-XXXXXX";
    dir = mkdtemp(templ);
    std::filesystem::create_directories(dir + "/in/out");
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

const std::string& scratch() {
  static Scratch s;
  return s.dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrune;
  const std::string base = scratch();
  const std::string archive = base + "/in/fuzz.1";
  const std::string out = base + "/in/out";
  if (FILE* f = std::fopen(archive.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  TKstrCompress engine(nullptr);
  engine.SetCompressedFile(archive);
  engine.SetExtractDirectory(out);
  try {
    engine.ReadHeaders();
    TStringList names;
    for (int i = 0; i < engine.Headers().Count() && i < 16; ++i) names.Add(engine.Headers().FileHeaders(i).FileName());
    engine.SetFilesToProcess(names);
    engine.ExtractFiles();
  } catch (const Exception&) {
  }
  // Only the archive and the extraction folder may exist in the scratch folder.
  for (const auto& e : std::filesystem::recursive_directory_iterator(base)) {
    const std::string p = e.path().string();
    if (p != base + "/in" && p != archive && p.rfind(out, 0) != 0) {
      std::fprintf(stderr, "written outside the extraction folder: %s\n", p.c_str());
      std::abort();
    }
  }
  std::filesystem::remove_all(out);
  std::filesystem::create_directories(out);
  std::remove(archive.c_str());
  return 0;
}
