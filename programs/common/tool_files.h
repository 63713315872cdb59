// Inputs, outputs and failure reports shared by the kit's command-line tools.
#pragma once
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace kestrune::platform {
class PlatformError;
}

namespace kestrune::tools {

// The whole input file. Raises EFOpenError naming the file and the reason (missing,
// unreadable, a directory).
std::vector<uint8_t> ReadInputFile(const std::string& path);
// Raises EFCreateError when path cannot name an output file because it is a directory.
void CheckOutputPath(const std::string& path);
// Raises EWriteError naming the output and the reason ("the disk is full").
[[noreturn]] void FailWrite(const std::string& path, const platform::PlatformError& error);
// Writes an output whole through a pending file: a failure leaves the target as it was and
// raises as FailWrite does.
void WriteOutputFile(const std::string& path, const void* data, size_t size);
// Prints "tool: message" on stderr with control characters escaped; returns the exit code 1.
int ReportFailure(const char* tool, const std::exception& error);

}  // namespace kestrune::tools
