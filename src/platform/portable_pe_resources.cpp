// The resource section writer: reads the PE headers, the section table and the whole
// three-level resource directory (type, name, language) into a list of resources, changes
// the list and writes the directory, the names and the data again, every offset and
// length read from the file checked against what is there.
#include "platform/portable_pe_resources.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <tuple>

namespace kestrune::platform::pe {

namespace {

constexpr uint32_t kRtRcData = 10;
constexpr uint32_t kHighBit = 0x80000000u;
constexpr size_t kMaxSections = 96;
constexpr size_t kMaxResources = 65536;
constexpr uint32_t kScnMemDiscardable = 0x02000000u;
constexpr size_t kDirResource = 2, kDirSecurity = 4, kDirBaseReloc = 5;

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
void put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
  put16(p, v);
  put16(p + 2, v >> 16);
}
uint64_t alignUp(uint64_t n, uint64_t a) { return a ? (n + a - 1) / a * a : n; }

[[noreturn]] void bad(const std::string& what) { throw ResourceLayoutError(what); }

// A directory entry's key: a number, or a name (UTF-16 code units) when named.
struct Key {
  bool named = false;
  uint32_t id = 0;
  std::u16string name;
  // Named entries first, by name; then numbers, ascending (the order the loader searches).
  bool operator<(const Key& o) const {
    if (named != o.named) return named;
    return named ? name < o.name : id < o.id;
  }
};

struct Resource {
  Key type, name;
  uint32_t language = 0, codePage = 0;
  std::vector<uint8_t> data;
};

struct Headers {
  size_t pe = 0, optional = 0, optionalSize = 0, sectionTable = 0, sections = 0;
  size_t directories = 0;  // offset of the data directory array
  size_t directoryCount = 0;
  uint32_t sectionAlignment = 0, fileAlignment = 0;
  size_t rsrc = 0;  // index of the resource section
};

size_t sectionAt(const Headers& h, size_t i) { return h.sectionTable + i * 40; }

Headers readHeaders(const std::vector<uint8_t>& f) {
  Headers h;
  if (f.size() < 64 || f[0] != 'M' || f[1] != 'Z') bad("not a Windows program");
  h.pe = u32(f.data() + 0x3C);
  if (h.pe > f.size() || f.size() - h.pe < 24 || std::memcmp(f.data() + h.pe, "PE\0\0", 4) != 0)
    bad("not a Windows program");
  h.sections = u16(f.data() + h.pe + 6);
  h.optionalSize = u16(f.data() + h.pe + 20);
  h.optional = h.pe + 24;
  h.sectionTable = h.optional + h.optionalSize;
  if (h.optionalSize < 96 || h.sections == 0 || h.sections > kMaxSections || h.sectionTable + h.sections * 40 > f.size())
    bad("not a 32-bit Windows program");
  if (u16(f.data() + h.optional) != 0x10B) bad("not a 32-bit Windows program");
  h.sectionAlignment = u32(f.data() + h.optional + 32);
  h.fileAlignment = u32(f.data() + h.optional + 36);
  h.directories = h.optional + 96;
  h.directoryCount = std::min<size_t>(u32(f.data() + h.optional + 92), (h.optionalSize - 96) / 8);
  if (h.directoryCount <= kDirResource) bad("the program has no resources");
  if (h.fileAlignment == 0 || h.sectionAlignment == 0) bad("the program's section alignment is damaged");
  // The loader wants the sections in ascending address order, none at address 0; a table
  // that is not is damaged, and rewriting it could not keep the other sections in place.
  for (size_t i = 0; i < h.sections; ++i) {
    const uint32_t va = u32(f.data() + sectionAt(h, i) + 12);
    if (va == 0 || (i > 0 && va <= u32(f.data() + sectionAt(h, i - 1) + 12)))
      bad("the program's section table is damaged");
  }
  const uint32_t rva = u32(f.data() + h.directories + kDirResource * 8);
  bool found = false;
  for (size_t i = 0; i < h.sections; ++i)
    if (rva != 0 && u32(f.data() + sectionAt(h, i) + 12) == rva) {
      h.rsrc = i;
      found = true;
    }
  if (!found) bad("the program has no resource section of its own");
  return h;
}

// The resource section's raw bytes (its data in the file), checked to be there.
std::pair<size_t, size_t> rsrcRaw(const std::vector<uint8_t>& f, const Headers& h) {
  const uint8_t* s = f.data() + sectionAt(h, h.rsrc);
  const size_t size = u32(s + 16), at = u32(s + 20);
  if (at > f.size() || f.size() - at < size) bad("the program's resource section is cut short");
  return {at, size};
}

class TreeReader {
 public:
  TreeReader(const std::vector<uint8_t>& f, size_t at, size_t size, uint32_t rva)
      : f_(f), at_(at), size_(size), rva_(rva) {}

  std::vector<Resource> read() {
    std::vector<Resource> out;
    Resource r;
    walk(0, 0, r, out);
    return out;
  }

 private:
  void walk(uint32_t dir, int level, Resource& r, std::vector<Resource>& out) {
    if (++directoriesSeen_ > kMaxResources) bad("the program's resource directory is damaged");
    if (dir > size_ || size_ - dir < 16) bad("the program's resource directory is damaged");
    const uint8_t* d = f_.data() + at_ + dir;
    const size_t count = size_t{u16(d + 12)} + u16(d + 14);
    if ((size_ - dir - 16) / 8 < count) bad("the program's resource directory is damaged");
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* e = d + 16 + i * 8;
      const uint32_t nameField = u32(e), target = u32(e + 4);
      Key key;
      if (nameField & kHighBit) {
        key.named = true;
        const size_t s = nameField & ~kHighBit;
        if (s > size_ || size_ - s < 2) bad("a resource name lies outside the resource section");
        const size_t chars = u16(f_.data() + at_ + s);
        if ((size_ - s - 2) / 2 < chars) bad("a resource name lies outside the resource section");
        spend(chars * 2);
        for (size_t c = 0; c < chars; ++c) key.name.push_back(static_cast<char16_t>(u16(f_.data() + at_ + s + 2 + c * 2)));
      } else {
        key.id = nameField;
      }
      if (level == 0) r.type = key;
      if (level == 1) r.name = key;
      if (level == 2) {
        if (key.named) bad("a resource language is named");
        r.language = key.id;
      }
      if (level < 2) {
        if (!(target & kHighBit)) bad("the program's resource directory is damaged");
        walk(target & ~kHighBit, level + 1, r, out);
        continue;
      }
      if ((target & kHighBit) || target > size_ || size_ - target < 16) bad("the program's resource directory is damaged");
      const uint8_t* entry = f_.data() + at_ + target;
      const uint32_t dataRva = u32(entry), dataSize = u32(entry + 4);
      if (dataRva < rva_ || dataRva - rva_ > size_ || size_ - (dataRva - rva_) < dataSize)
        bad("a resource's data lies outside the resource section");
      r.codePage = u32(entry + 8);
      spend(dataSize);
      const uint8_t* data = f_.data() + at_ + (dataRva - rva_);
      r.data.assign(data, data + dataSize);
      if (out.size() >= kMaxResources) bad("the program's resource directory is damaged");
      out.push_back(r);
    }
  }

  // What is copied out (names, data) cannot be more than the section holds: resources
  // sharing bytes would otherwise let a small file ask for gigabytes.
  void spend(size_t bytes) {
    if (bytes > budget_) bad("the program's resources overlap");
    budget_ -= bytes;
  }

  const std::vector<uint8_t>& f_;
  size_t at_, size_;
  uint32_t rva_;
  size_t directoriesSeen_ = 0;
  size_t budget_ = size_;
};

std::vector<Resource> readResources(const std::vector<uint8_t>& f, const Headers& h) {
  const auto [at, size] = rsrcRaw(f, h);
  const uint32_t rva = u32(f.data() + sectionAt(h, h.rsrc) + 12);
  return TreeReader(f, at, size, rva).read();
}

Key nameKey(std::string_view name) {
  Key k;
  k.named = true;
  for (char c : name) k.name.push_back(static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c));
  return k;
}

bool isRcData(const Resource& r, const Key& name) {
  if (r.type.named || r.type.id != kRtRcData || !r.name.named || r.name.name.size() != name.name.size()) return false;
  for (size_t i = 0; i < name.name.size(); ++i) {
    char16_t c = r.name.name[i];
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    if (c != name.name[i]) return false;
  }
  return true;
}

// The resource section for a list of resources placed at rva: the directories, their
// data entries, the names, then each resource's data on an 8-byte boundary.
std::vector<uint8_t> writeSection(const std::vector<Resource>& list, uint32_t rva) {
  std::map<Key, std::map<Key, std::map<uint32_t, const Resource*>>> tree;
  for (const Resource& r : list) tree[r.type][r.name].emplace(r.language, &r);  // a repeated entry: the first
  size_t dirBytes = 16 + tree.size() * 8, leaves = 0;
  std::map<std::u16string, uint32_t> names;
  auto noteName = [&](const Key& k) {
    if (k.named) names.emplace(k.name, 0);
  };
  for (const auto& [type, byName] : tree) {
    noteName(type);
    dirBytes += 16 + byName.size() * 8;
    for (const auto& [name, byLang] : byName) {
      noteName(name);
      dirBytes += 16 + byLang.size() * 8;
      leaves += byLang.size();
    }
  }
  size_t at = dirBytes + leaves * 16;
  for (auto& [name, offset] : names) {
    offset = static_cast<uint32_t>(at);
    at += 2 + name.size() * 2;
  }
  at = alignUp(at, 8);
  std::vector<uint8_t> out(at);
  size_t dirAt = 0, leafAt = dirBytes;
  auto header = [&](size_t pos, size_t named, size_t ids) {
    put16(out.data() + pos + 12, static_cast<uint32_t>(named));
    put16(out.data() + pos + 14, static_cast<uint32_t>(ids));
  };
  auto putKey = [&](size_t pos, const Key& k) { put32(out.data() + pos, k.named ? kHighBit | names.at(k.name) : k.id); };
  auto countNamed = [](const auto& m) {
    return static_cast<size_t>(std::count_if(m.begin(), m.end(), [](const auto& e) { return e.first.named; }));
  };
  // Directories in breadth order: the root, then every type's, then every name's.
  header(0, countNamed(tree), tree.size() - countNamed(tree));
  dirAt = 16 + tree.size() * 8;
  size_t entry = 16;
  std::vector<const std::map<Key, std::map<uint32_t, const Resource*>>*> typeDirs;
  for (const auto& [type, byName] : tree) {
    putKey(entry, type);
    put32(out.data() + entry + 4, kHighBit | static_cast<uint32_t>(dirAt));
    entry += 8;
    header(dirAt, countNamed(byName), byName.size() - countNamed(byName));
    size_t nameEntry = dirAt + 16;
    dirAt += 16 + byName.size() * 8;
    for (const auto& [name, byLang] : byName) {
      putKey(nameEntry, name);
      put32(out.data() + nameEntry + 4, kHighBit | static_cast<uint32_t>(dirAt));
      nameEntry += 8;
      header(dirAt, 0, byLang.size());
      size_t langEntry = dirAt + 16;
      dirAt += 16 + byLang.size() * 8;
      for (const auto& [language, r] : byLang) {
        put32(out.data() + langEntry, language);
        put32(out.data() + langEntry + 4, static_cast<uint32_t>(leafAt));
        langEntry += 8;
        const size_t dataAt = out.size();
        out.resize(alignUp(dataAt + r->data.size(), 8));
        std::copy(r->data.begin(), r->data.end(), out.begin() + static_cast<std::ptrdiff_t>(dataAt));
        put32(out.data() + leafAt, rva + static_cast<uint32_t>(dataAt));
        put32(out.data() + leafAt + 4, static_cast<uint32_t>(r->data.size()));
        put32(out.data() + leafAt + 8, r->codePage);
        leafAt += 16;
      }
    }
  }
  for (const auto& [name, offset] : names) {
    put16(out.data() + offset, static_cast<uint32_t>(name.size()));
    for (size_t i = 0; i < name.size(); ++i) put16(out.data() + offset + 2 + i * 2, name[i]);
  }
  return out;
}

// The PE checksum: the 16-bit folded sum of the file's words with the checksum field
// taken as zero, plus the file's length.
uint32_t peChecksum(const std::vector<uint8_t>& f, size_t checksumAt) {
  uint64_t sum = 0;
  for (size_t i = 0; i < f.size(); i += 2) {
    if (i == checksumAt || i == checksumAt + 2) continue;
    uint32_t word = f[i];
    if (i + 1 < f.size()) word |= uint32_t{f[i + 1]} << 8;
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + f.size());
}

}  // namespace

std::optional<std::vector<uint8_t>> FindRcData(const std::vector<uint8_t>& image, std::string_view name) {
  const Headers h = readHeaders(image);
  const Key key = nameKey(name);
  // Among several (languages, spellings of the name) the lowest language, then the
  // lowest name: the same one before and after a rewrite, which sorts the directory.
  std::vector<Resource> list = readResources(image, h);
  Resource* best = nullptr;
  for (Resource& r : list)
    if (isRcData(r, key) && (!best || std::tie(r.language, r.name.name) < std::tie(best->language, best->name.name)))
      best = &r;
  if (!best) return std::nullopt;
  return std::move(best->data);
}

std::vector<uint8_t> WithRcData(const std::vector<uint8_t>& image, std::string_view name,
                                const std::vector<uint8_t>& data) {
  const Headers h = readHeaders(image);
  if (h.directoryCount > kDirSecurity && u32(image.data() + h.directories + kDirSecurity * 8 + 4) != 0)
    bad("the program is signed: a changed copy would carry a broken signature");
  std::vector<Resource> list = readResources(image, h);
  const Key key = nameKey(name);
  uint32_t language = 0;
  const auto old = std::find_if(list.begin(), list.end(), [&](const Resource& r) { return isRcData(r, key); });
  if (old != list.end()) language = old->language;
  list.erase(std::remove_if(list.begin(), list.end(), [&](const Resource& r) { return isRcData(r, key); }), list.end());
  Resource added;
  added.type.id = kRtRcData;
  added.name = key;
  added.language = language;
  added.data = data;
  list.push_back(std::move(added));

  const size_t rsrcHeader = sectionAt(h, h.rsrc);
  const uint32_t rva = u32(image.data() + rsrcHeader + 12);
  const auto [rawAt, rawSize] = rsrcRaw(image, h);
  if (rawSize % h.fileAlignment != 0 || rawAt % h.fileAlignment != 0) bad("the program's resource section is not aligned");
  if (rawAt < sectionAt(h, h.sections)) bad("the program's resource section overlaps its headers");
  const uint32_t oldVirtual = u32(image.data() + rsrcHeader + 8) ? u32(image.data() + rsrcHeader + 8) : static_cast<uint32_t>(rawSize);
  const std::vector<uint8_t> section = writeSection(list, rva);
  const uint64_t newRaw = alignUp(section.size(), h.fileAlignment);
  const int64_t deltaRaw = static_cast<int64_t>(newRaw) - static_cast<int64_t>(rawSize);
  const int64_t deltaVa =
      static_cast<int64_t>(alignUp(section.size(), h.sectionAlignment)) - static_cast<int64_t>(alignUp(oldVirtual, h.sectionAlignment));
  if (rva + alignUp(section.size(), h.sectionAlignment) > 0x7FFFFFFFu) bad("the resources are too large");

  // What moves: every section after the resource section in the address space and in
  // the file. Only discardable data nothing but the relocation directory points into
  // may move: code and data are addressed absolutely.
  std::vector<uint8_t> out(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(rawAt));
  for (size_t i = 0; i < h.sections; ++i) {
    if (i == h.rsrc) continue;
    uint8_t* s = out.data() + sectionAt(h, i);
    const uint32_t va = u32(s + 12), size = u32(s + 16), at = u32(s + 20), flags = u32(s + 36);
    if (va > rva) {
      if (!(flags & kScnMemDiscardable)) bad("a section after the resources holds code or data");
      for (size_t d = 0; d < h.directoryCount; ++d) {
        const uint32_t dirRva = u32(out.data() + h.directories + d * 8);
        if (d != kDirBaseReloc && dirRva >= va && dirRva - va < std::max(size, u32(s + 8)))
          bad("a section after the resources holds a table of the program");
      }
      put32(s + 12, static_cast<uint32_t>(va + deltaVa));
    }
    if (size != 0 && at >= rawAt + rawSize) {
      put32(s + 20, static_cast<uint32_t>(at + deltaRaw));
    } else if (size != 0 && at + size > rawAt) {
      bad("a section overlaps the resources in the file");
    }
  }
  // The relocation directory moves with its section.
  if (h.directoryCount > kDirBaseReloc) {
    uint8_t* reloc = out.data() + h.directories + kDirBaseReloc * 8;
    if (u32(reloc) > rva) put32(reloc, static_cast<uint32_t>(u32(reloc) + deltaVa));
  }
  put32(out.data() + h.directories + kDirResource * 8 + 4, static_cast<uint32_t>(section.size()));
  uint8_t* rsrcOut = out.data() + rsrcHeader;
  put32(rsrcOut + 8, static_cast<uint32_t>(section.size()));
  put32(rsrcOut + 16, static_cast<uint32_t>(newRaw));
  put32(out.data() + h.optional + 56, static_cast<uint32_t>(u32(out.data() + h.optional + 56) + deltaVa));  // SizeOfImage
  put32(out.data() + h.optional + 8, static_cast<uint32_t>(u32(out.data() + h.optional + 8) + deltaRaw));  // initialized data
  const uint32_t symbols = u32(out.data() + h.pe + 12);
  if (symbols >= rawAt + rawSize) put32(out.data() + h.pe + 12, static_cast<uint32_t>(symbols + deltaRaw));

  out.insert(out.end(), section.begin(), section.end());
  out.resize(rawAt + newRaw);
  out.insert(out.end(), image.begin() + static_cast<std::ptrdiff_t>(rawAt + rawSize), image.end());
  const size_t checksumAt = h.optional + 64;
  if (u32(out.data() + checksumAt) != 0) put32(out.data() + checksumAt, peChecksum(out, checksumAt));
  // A damaged layout the checks above let through (sections sharing addresses with the
  // resources, directory counts out of range) could give a program whose resource reads
  // back as something else: such a program is refused instead of written.
  if (FindRcData(out, name) != data) bad("the program's section layout cannot be rewritten");
  return out;
}

}  // namespace kestrune::platform::pe
