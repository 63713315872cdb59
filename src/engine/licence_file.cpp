// The licence agreement carried in the script.
#include "engine/licence_file.h"

#include "runtime/encoding.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {

std::vector<std::string> LicenseLines(std::string_view bytes, const std::string& name) {
  constexpr size_t kMaxBytes = 1 << 20;
  if (bytes.size() > kMaxBytes || bytes.find('\0') != std::string_view::npos)
    throw EConvertError("The licence file \"%s\" is not a text file", {name});
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  bool utf8 = true;
  for (size_t pos = 0; pos < bytes.size() && utf8;) {
    uint32_t cp = 0;
    utf8 = DecodeUtf8(bytes, pos, cp);
  }
  const std::string text = utf8 ? std::string(bytes) : Cp1250ToUtf8(bytes);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  // Blank lines at the end would only lengthen the box.
  while (!lines.empty() && Trim(lines.back()).empty()) lines.pop_back();
  return lines;
}

}  // namespace kestrune
