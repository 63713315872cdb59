// Inputs, outputs and failure reports shared by the kit's command-line tools.
#include "tool_files.h"

#include <iostream>

#include "platform/files.h"
#include "platform/platform_error.h"
#include "runtime/encoding.h"
#include "runtime/exceptions.h"

namespace kestrune::tools {

std::vector<uint8_t> ReadInputFile(const std::string& path) {
  if (platform::directoryExists(path))
    throw EFOpenError("Cannot open file \"%s\": it is a directory, not a file", {path});
  try {
    return platform::readWholeFile(path);
  } catch (const platform::PlatformError& e) {
    throw EFOpenError("Cannot open file \"%s\": %s", {path, e.Message()});
  }
}

void CheckOutputPath(const std::string& path) {
  if (platform::directoryExists(path))
    throw EFCreateError("Cannot create file \"%s\": it is a directory; give the name of the file to write", {path});
}

void FailWrite(const std::string& path, const platform::PlatformError& error) {
  throw EWriteError("Cannot write file \"%s\": %s", {path, platform::isDiskFull(error) ? "the disk is full" : error.Message()});
}

void WriteOutputFile(const std::string& path, const void* data, size_t size) {
  CheckOutputPath(path);
  try {
    platform::writeWholeFile(path, data, size);
  } catch (const platform::PlatformError& e) {
    FailWrite(path, e);
  }
}

int ReportFailure(const char* tool, const std::exception& error) {
  std::cerr << tool << ": " << PrintableText(error.what()) << std::endl;
  return 1;
}

}  // namespace kestrune::tools
