// The command line and the program's resources through the Win32 API.
#include <windows.h>

#include <cstring>

#include "platform/gzip.h"
#include "platform/platform_error.h"
#include "platform/system.h"
#include "platform/text.h"
#include "runtime/params.h"

namespace kestrune::platform {

// The raw wide command line, split by the kit's own rules: CommandLineToArgvW would read
// the backslash of "-sC:\Dist\" as escaping the closing quote.
std::vector<std::string> commandLineArguments() { return SplitCommandLine(Narrow(GetCommandLineW())); }

std::string rawCommandLine() { return Narrow(GetCommandLineW()); }

namespace {

// The largest picture a compressed bitmap resource may inflate to: the file states its own
// size in its last four bytes, which must not make the program reserve gigabytes.
constexpr size_t kMaxInflatedBitmap = 64u << 20;

}  // namespace

std::optional<std::vector<uint8_t>> loadBitmapResource(std::string_view name) {
  HMODULE module = GetModuleHandleW(nullptr);
  const std::wstring wname = Widen(name);
  HRSRC res = FindResourceW(module, wname.c_str(), MAKEINTRESOURCEW(2));  // RT_BITMAP
  if (!res) {
    // The shipped programs keep their pictures compressed (a third of the size).
    res = FindResourceW(module, wname.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!res) return std::nullopt;
    HGLOBAL data = LoadResource(module, res);
    const auto* bytes = static_cast<const uint8_t*>(data ? LockResource(data) : nullptr);
    if (!bytes) return std::nullopt;
    // An RCDATA resource holding a BMP file as one gzip member (cmake/gzip-file.cmake).
    std::optional<std::vector<uint8_t>> file = InflateGzipMember({bytes, SizeofResource(module, res)}, kMaxInflatedBitmap);
    if (!file || file->size() < 14 || (*file)[0] != 'B' || (*file)[1] != 'M') return std::nullopt;
    return file;
  }
  HGLOBAL data = LoadResource(module, res);
  DWORD size = SizeofResource(module, res);
  const auto* dib = static_cast<const uint8_t*>(data ? LockResource(data) : nullptr);
  if (!dib || size < sizeof(BITMAPINFOHEADER)) return std::nullopt;
  // A bitmap resource is the file without its 14-byte file header: put it back, with the
  // pixels after the info header and its colour table.
  const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
  DWORD colours = info->biClrUsed ? info->biClrUsed : (info->biBitCount <= 8 ? (1u << info->biBitCount) : 0);
  if (info->biCompression == BI_BITFIELDS) colours = 3;
  DWORD offset = 14 + info->biSize + colours * 4;
  std::vector<uint8_t> file(14 + size);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfSize = static_cast<DWORD>(file.size());
  header.bfOffBits = offset;
  memcpy(file.data(), &header, 14);
  memcpy(file.data() + 14, dib, size);
  return file;
}

bool hasRcData(const std::string& exePath, std::string_view name) {
  // As a data file: nothing of the program runs, its imports are not resolved.
  HMODULE module = LoadLibraryExW(Widen(exePath).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return false;
  std::wstring wname = Widen(name);
  for (wchar_t& c : wname) c = static_cast<wchar_t>(towupper(c));
  const bool found = FindResourceW(module, wname.c_str(), MAKEINTRESOURCEW(10)) != nullptr;  // RT_RCDATA
  FreeLibrary(module);
  return found;
}

}  // namespace kestrune::platform
