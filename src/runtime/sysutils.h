// Small text and file-name helpers used across the kit (trimming, case, file-name parts).
// File names use backslashes; a forward slash is accepted as a separator too.
#pragma once
#include <string>
#include <string_view>

namespace kestrune {

std::string Trim(std::string_view s);
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Directory part including the trailing separator ("C:\A\b.txt" -> "C:\A\").
std::string ExtractFilePath(std::string_view path);
// Directory part without the trailing separator ("C:\A\b.txt" -> "C:\A").
std::string ExtractFileDir(std::string_view path);
std::string ExtractFileName(std::string_view path);
// Extension including the dot, empty when none.
std::string ExtractFileExt(std::string_view path);
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// Drive part ("C:" of "C:\x", "\\server\share" of a UNC path), empty when none.
std::string ExtractFileDrive(std::string_view path);

}  // namespace kestrune
