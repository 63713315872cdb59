// Fuzzes what a distribution reads back: any bytes as "filelist.lst" give records that
// encode to the same length, or IEInstall; as "BUILD.INF" a directory or IEInstall; as the
// end of a self-extracting file, offsets that the check accepts lie inside the file in
// order (loader, setup.1, files.1, extraction info).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/distribution_format.h"
#include "engine/engine_Build.h"
#include "runtime/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrune;
  namespace df = distribution_format;
  try {
    const std::vector<TFileListRecord> records = ParseFileList(data, size);
    if (EncodeFileList(records).size() != size) __builtin_trap();
  } catch (const IEInstall&) {
  }
  try {
    if (BuildDirectoryFromBuildInf(std::string_view(reinterpret_cast<const char*>(data), size)).empty()) __builtin_trap();
  } catch (const IEInstall&) {
  }
  if (size >= df::kInfoSize) {
    // The file is as long as the input plus a length taken from its first bytes.
    const int64_t fileSize = static_cast<int64_t>(size) + (data[0] | data[1] << 8) * 4096;
    const df::ExtractionOffsets o = df::decodeOffsets(data + size - df::kInfoSize);
    (void)df::hasSignature(data + size - df::kInfoSize);
    if (!df::offsetsProblem(o, fileSize)) {
      const int64_t infoStart = fileSize - static_cast<int64_t>(df::kInfoSize);
      if (o.setupStart <= 0 || o.setupEnd < o.setupStart || o.setupEnd >= infoStart) __builtin_trap();
      if (o.hasFiles() && (o.filesStart <= o.setupEnd || o.filesEnd < o.filesStart || o.filesEnd >= infoStart))
        __builtin_trap();
    }
  }
  return 0;
}
