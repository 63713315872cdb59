// The files of a distribution that are read back: the build directory line of
// "BUILD.INF" and the records of "filelist.lst". Kept free of the engine so that the fuzz
// target can take them alone.
#include <algorithm>
#include <cstring>

#include "engine/engine_Build.h"
#include "platform/text.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace df = distribution_format;

namespace {

void putText(uint8_t* field, size_t width, const std::string& text) {
  std::memcpy(field, text.data(), std::min(width, text.size()));
}

std::string getText(const uint8_t* field, size_t width) {
  size_t n = 0;
  while (n < width && field[n] != 0) ++n;
  return platform::FromAnsi(std::string_view(reinterpret_cast<const char*>(field), n));
}

}  // namespace

// ---- BUILD.INF ----

std::string BuildDirectoryFromBuildInf(std::string_view text) {
  if (text.size() >= 3 && std::memcmp(text.data(), "\xEF\xBB\xBF", 3) == 0) text.remove_prefix(3);
  size_t end = text.find_first_of("\r\n");
  std::string first = Trim(text.substr(0, end));
  // A blank first line would build into the root of the current drive.
  if (first.empty()) throw IEInstall("Must be 1 line in BUILD.INF. This line should specify the build directory");
  return platform::FromAnsi(first);
}

std::vector<uint8_t> EncodeFileList(const std::vector<TFileListRecord>& records) {
  std::vector<uint8_t> out(df::kListCountSize + records.size() * df::kRecordLength, 0);
  df::putInt32(out.data(), static_cast<int32_t>(records.size()));
  uint8_t* p = out.data() + df::kListCountSize;
  for (const TFileListRecord& r : records) {
    df::putInt32(p + df::kRecordSize, r.Size);
    std::memcpy(p + df::kRecordDate, &r.FileDate, sizeof r.FileDate);
    putText(p + df::kRecordName, df::kRecordNameMax, platform::ToAnsi(r.Name));
    putText(p + df::kRecordVersion, df::kRecordVersionLength, platform::ToAnsi(r.FileVersion));
    p += df::kRecordLength;
  }
  return out;
}

std::vector<TFileListRecord> ParseFileList(const uint8_t* data, size_t size) {
  if (size < df::kListCountSize) throw IEInstall("The file list is shorter than its record count");
  const int32_t count = df::getInt32(data);
  if (count < 0 || (size - df::kListCountSize) / df::kRecordLength != static_cast<size_t>(count) ||
      (size - df::kListCountSize) % df::kRecordLength != 0)
    throw IEInstall("The file list holds %d records of %d bytes, but its count says %d",
                    {static_cast<int>((size - df::kListCountSize) / df::kRecordLength), static_cast<int>(df::kRecordLength),
                     count});
  std::vector<TFileListRecord> records(static_cast<size_t>(count));
  const uint8_t* p = data + df::kListCountSize;
  for (TFileListRecord& r : records) {
    r.Size = df::getInt32(p + df::kRecordSize);
    std::memcpy(&r.FileDate, p + df::kRecordDate, sizeof r.FileDate);
    r.Name = getText(p + df::kRecordName, df::kRecordNameLength);
    r.FileVersion = getText(p + df::kRecordVersion, df::kRecordVersionLength);
    p += df::kRecordLength;
  }
  return records;
}

}  // namespace kestrune
