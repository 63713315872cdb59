// The portable reader of PE version resources: the PE headers, the section table, the
// three levels of the resource directory (type, name, language) and the tree of
// version blocks, each length and offset checked before it is used.
#include "platform/portable_pe_version.h"

#include <algorithm>
#include <cstring>

#include "platform/files.h"
#include "platform/platform_error.h"

namespace kestrune::platform::pe {

namespace {

constexpr uint32_t kRtVersion = 16;
constexpr uint32_t kVersionInfoId = 1;
constexpr uint32_t kSubdirectory = 0x80000000u;
constexpr size_t kMaxSections = 96;
constexpr size_t kFixedInfoSize = 52;

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

struct Section {
  uint32_t virtualAddress, rawSize, rawOffset;
};

class Image {
 public:
  explicit Image(const ReadAt& readAt) : readAt_(readAt) {}

  // Reads the headers and the section table; false when this is not a PE image.
  bool open() {
    uint8_t dos[64];
    if (!readAt_(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return false;
    const uint64_t pe = u32(dos + 0x3C);
    uint8_t head[24];
    if (!readAt_(pe, head, sizeof head) || std::memcmp(head, "PE\0\0", 4) != 0) return false;
    const size_t sections = u16(head + 6);
    const size_t optionalSize = u16(head + 20);
    std::vector<uint8_t> optional(optionalSize);
    if (optionalSize < 2 || !readAt_(pe + 24, optional.data(), optionalSize)) return false;
    size_t countAt = 0;
    switch (u16(optional.data())) {
      case 0x10B: countAt = 92; break;  // PE32
      case 0x20B: countAt = 108; break;  // PE32+
      default: return false;
    }
    const size_t directories = countAt + 4 <= optionalSize ? u32(optional.data() + countAt) : 0;
    const size_t resourceAt = countAt + 4 + 2 * 8;
    if (directories <= 2 || resourceAt + 8 > optionalSize) return false;
    resourceRva_ = u32(optional.data() + resourceAt);
    if (resourceRva_ == 0 || sections == 0 || sections > kMaxSections) return false;
    std::vector<uint8_t> table(sections * 40);
    if (!readAt_(pe + 24 + optionalSize, table.data(), table.size())) return false;
    for (size_t i = 0; i < sections; ++i) {
      const uint8_t* s = table.data() + i * 40;
      sections_.push_back({u32(s + 12), u32(s + 16), u32(s + 20)});
    }
    return true;
  }

  // Reads count bytes at a relative virtual address; they must lie in one section's data.
  bool readRva(uint64_t rva, void* buffer, size_t count) const {
    for (const Section& s : sections_) {
      if (rva < s.virtualAddress) continue;
      const uint64_t into = rva - s.virtualAddress;
      if (into + count > s.rawSize) continue;
      return readAt_(static_cast<uint64_t>(s.rawOffset) + into, buffer, count);
    }
    return false;
  }

  // The entry of a resource directory level (offset from the resource root) with the
  // given ID; its target offset, or empty.
  std::optional<uint32_t> entryById(uint32_t dir, uint32_t id) const {
    const auto entries = readEntries(dir);
    for (size_t i = 0; i + 8 <= entries.size(); i += 8)
      if (u32(entries.data() + i) == id) return u32(entries.data() + i + 4);
    return std::nullopt;
  }

  // The language entry: neutral, then US English, then the first.
  std::optional<uint32_t> languageEntry(uint32_t dir) const {
    const auto entries = readEntries(dir);
    for (uint32_t lang : {0u, 0x409u})
      for (size_t i = 0; i + 8 <= entries.size(); i += 8)
        if (u32(entries.data() + i) == lang) return u32(entries.data() + i + 4);
    if (entries.size() >= 8) return u32(entries.data() + 4);
    return std::nullopt;
  }

  uint32_t resourceRva() const { return resourceRva_; }

 private:
  // The ID entries of a directory (named entries come first and are passed over).
  std::vector<uint8_t> readEntries(uint32_t dir) const {
    uint8_t head[16];
    if (!readRva(static_cast<uint64_t>(resourceRva_) + dir, head, sizeof head)) return {};
    const size_t named = u16(head + 12), ids = u16(head + 14);
    std::vector<uint8_t> entries(ids * 8);
    if (!readRva(static_cast<uint64_t>(resourceRva_) + dir + 16 + named * 8, entries.data(), entries.size()))
      return {};
    return entries;
  }

  const ReadAt& readAt_;
  uint32_t resourceRva_ = 0;
  std::vector<Section> sections_;
};

// One node of the version tree: wLength, wValueLength, wType, a NUL-terminated UTF-16 key,
// the value and the children, each part aligned to 4 bytes from the node's start.
struct Node {
  size_t start = 0, end = 0;  // end: within the block and the node's own length
  size_t valueLength = 0;
  uint16_t type = 0;
  size_t key = 0, keyChars = 0;
  size_t value = 0, children = 0;
};

size_t align4(size_t n) { return (n + 3) & ~size_t{3}; }

std::optional<Node> nodeAt(const std::vector<uint8_t>& b, size_t start, size_t limit) {
  if (start + 6 > limit) return std::nullopt;
  Node n;
  n.start = start;
  const size_t length = u16(b.data() + start);
  if (length < 6) return std::nullopt;
  n.end = std::min(start + length, limit);
  n.valueLength = u16(b.data() + start + 2);
  n.type = u16(b.data() + start + 4);
  n.key = start + 6;
  size_t p = n.key;
  while (true) {
    if (p + 2 > n.end) return std::nullopt;
    if (u16(b.data() + p) == 0) break;
    p += 2;
  }
  n.keyChars = (p - n.key) / 2;
  n.value = start + align4(p + 2 - start);
  n.children = n.value + align4(n.valueLength * (n.type ? 2 : 1));
  return n;
}

bool keyEquals(const std::vector<uint8_t>& b, const Node& n, const std::u16string& key) {
  if (n.keyChars != key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    char16_t a = u16(b.data() + n.key + 2 * i), c = key[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char16_t>(a - 32);
    if (c >= 'a' && c <= 'z') c = static_cast<char16_t>(c - 32);
    if (a != c) return false;
  }
  return true;
}

// The node a path leads to from the root.
std::optional<Node> findPath(const std::vector<uint8_t>& b, const std::string& path) {
  auto node = nodeAt(b, 0, b.size());
  size_t pos = 0;
  while (node && pos < path.size()) {
    const size_t slash = std::min(path.find('\\', pos), path.size());
    if (slash == pos) {
      ++pos;
      continue;
    }
    const std::u16string key(path.begin() + static_cast<std::ptrdiff_t>(pos),
                             path.begin() + static_cast<std::ptrdiff_t>(slash));
    pos = slash;
    std::optional<Node> found;
    for (size_t child = node->children; child < node->end;) {
      auto c = nodeAt(b, child, node->end);
      if (!c) break;
      if (keyEquals(b, *c, key)) {
        found = c;
        break;
      }
      child += align4(u16(b.data() + child));
    }
    node = found;
  }
  return node;
}

void appendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::optional<std::vector<uint8_t>> FindVersionResource(const ReadAt& readAt) {
  Image image(readAt);
  if (!image.open()) return std::nullopt;
  const auto names = image.entryById(0, kRtVersion);
  if (!names || !(*names & kSubdirectory)) return std::nullopt;
  const auto languages = image.entryById(*names & ~kSubdirectory, kVersionInfoId);
  if (!languages || !(*languages & kSubdirectory)) return std::nullopt;
  const auto data = image.languageEntry(*languages & ~kSubdirectory);
  if (!data || (*data & kSubdirectory)) return std::nullopt;
  uint8_t entry[16];
  if (!image.readRva(static_cast<uint64_t>(image.resourceRva()) + *data, entry, sizeof entry)) return std::nullopt;
  const uint32_t rva = u32(entry), size = u32(entry + 4);
  uint8_t head[2];
  if (size < 6 || !image.readRva(rva, head, sizeof head)) return std::nullopt;
  const size_t length = u16(head);
  if (length < 6 || length > size) return std::nullopt;
  std::vector<uint8_t> block(length);
  if (!image.readRva(rva, block.data(), length)) return std::nullopt;
  return block;
}

std::optional<std::vector<uint8_t>> FindVersionResource(const uint8_t* data, size_t size) {
  return FindVersionResource([data, size](uint64_t offset, void* buffer, size_t count) {
    if (offset > size || count > size - offset) return false;
    if (count) std::memcpy(buffer, data + offset, count);
    return true;
  });
}

std::optional<std::vector<uint8_t>> ReadVersionResource(const std::string& path) {
  File file = File::open(path, FileAccess::Read);
  const int64_t size = file.size();
  return FindVersionResource([&file, size](uint64_t offset, void* buffer, size_t count) {
    if (offset > static_cast<uint64_t>(size) || count > static_cast<uint64_t>(size) - offset) return false;
    file.seek(static_cast<int64_t>(offset), SeekOrigin::Begin);
    return file.read(buffer, count) == count;
  });
}

std::optional<FixedFileInfo> QueryFixedFileInfo(const std::vector<uint8_t>& block) {
  const auto root = nodeAt(block, 0, block.size());
  if (!root || root->valueLength < kFixedInfoSize || root->value + kFixedInfoSize > block.size()) return std::nullopt;
  const uint8_t* v = block.data() + root->value;
  FixedFileInfo f;
  f.fileVersionMS = u32(v + 8);
  f.fileVersionLS = u32(v + 12);
  f.productVersionMS = u32(v + 16);
  f.productVersionLS = u32(v + 20);
  f.fileOS = u32(v + 32);
  f.fileType = u32(v + 36);
  f.fileSubtype = u32(v + 40);
  return f;
}

std::optional<std::string> QueryVersionString(const std::vector<uint8_t>& block, const std::string& subBlock) {
  const auto node = findPath(block, subBlock);
  if (!node) return std::nullopt;
  // The value runs to its first NUL within its stated length and the block.
  const size_t chars = node->valueLength;
  std::string out;
  for (size_t i = 0; i < chars && node->value + 2 * i + 2 <= block.size(); ++i) {
    uint32_t c = u16(block.data() + node->value + 2 * i);
    if (c == 0) break;
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < chars && node->value + 2 * i + 4 <= block.size()) {
      const uint32_t low = u16(block.data() + node->value + 2 * i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
    appendUtf8(out, c);
  }
  return out;
}

std::vector<std::pair<uint16_t, uint16_t>> QueryTranslations(const std::vector<uint8_t>& block) {
  std::vector<std::pair<uint16_t, uint16_t>> pairs;
  const auto node = findPath(block, "\\VarFileInfo\\Translation");
  if (!node) return pairs;
  // A binary value: its length counts bytes; text values (type 1) count characters.
  const size_t bytes = node->valueLength * (node->type ? 2 : 1);
  const size_t end = std::min(node->value + bytes, std::min(node->end, block.size()));
  for (size_t p = node->value; p + 4 <= end; p += 4) pairs.emplace_back(u16(block.data() + p), u16(block.data() + p + 2));
  return pairs;
}

}  // namespace kestrune::platform::pe
