// In-memory registry for the native build, so callers of the registry routines can be unit
// tested off Windows. Names compare case-insensitively (ASCII), values keep insertion order,
// sub-keys enumerate sorted, as the system's registry does. Not thread-safe.
#include <algorithm>
#include <cctype>
#include <map>
#include <variant>

#include "platform/platform_error.h"
#include "platform/registry.h"

namespace kestrune::platform {

namespace {

constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kInvalidParameter = 87;

std::string fold(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

struct Node {
  std::string name;
  std::map<std::string, std::unique_ptr<Node>> children;  // by folded name
  std::vector<std::pair<std::string, std::variant<std::string, uint32_t, std::vector<std::string>, std::vector<uint8_t>>>> values;

  auto findValue(std::string_view valueName) {
    return std::find_if(values.begin(), values.end(),
                        [&](const auto& v) { return fold(v.first) == fold(valueName); });
  }
};

Node& rootNode(RegRoot root) {
  static std::map<RegRoot, Node> roots;
  return roots[root];
}

std::vector<std::string> splitPath(std::string_view path) {
  std::vector<std::string> parts;
  std::string normalized = normalizeKeyPath(path);
  size_t start = 0;
  while (start <= normalized.size()) {
    size_t end = normalized.find('\\', start);
    if (end == std::string::npos) end = normalized.size();
    if (end > start) parts.emplace_back(normalized.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

Node* walk(RegRoot root, std::string_view path, bool create) {
  Node* node = &rootNode(root);
  for (const std::string& part : splitPath(path)) {
    auto it = node->children.find(fold(part));
    if (it == node->children.end()) {
      if (!create) return nullptr;
      auto child = std::make_unique<Node>();
      child->name = part;
      it = node->children.emplace(fold(part), std::move(child)).first;
    }
    node = it->second.get();
  }
  return node;
}

}  // namespace

// Keys are never deleted while open in the tests that use this stand-in; a deleted key's
// node would dangle, as a deleted key's handle is stale on Windows.
struct RegKey::Impl {
  Node* node = nullptr;
  bool writable = false;
  void checkWritable() const {
    if (!writable) throwWin32("RegSetValueExW", kAccessDenied);
  }
};

RegKey::RegKey(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
RegKey::RegKey(RegKey&&) noexcept = default;
RegKey& RegKey::operator=(RegKey&&) noexcept = default;
RegKey::~RegKey() = default;

std::optional<RegKey> RegKey::open(RegRoot root, std::string_view path, bool writable) {
  Node* node = walk(root, path, false);
  if (!node) return std::nullopt;
  return RegKey(std::make_unique<Impl>(Impl{node, writable}));
}

RegKey RegKey::create(RegRoot root, std::string_view path) {
  return RegKey(std::make_unique<Impl>(Impl{walk(root, path, true), true}));
}

std::optional<std::string> RegKey::tryReadString(std::string_view name) const {
  auto it = impl_->node->findValue(name);
  if (it == impl_->node->values.end() || !std::holds_alternative<std::string>(it->second)) return std::nullopt;
  return std::get<std::string>(it->second);
}

std::optional<uint32_t> RegKey::tryReadDword(std::string_view name) const {
  auto it = impl_->node->findValue(name);
  if (it == impl_->node->values.end() || !std::holds_alternative<uint32_t>(it->second)) return std::nullopt;
  return std::get<uint32_t>(it->second);
}

std::optional<std::vector<std::string>> RegKey::tryReadMultiString(std::string_view name) const {
  auto it = impl_->node->findValue(name);
  if (it == impl_->node->values.end() || !std::holds_alternative<std::vector<std::string>>(it->second))
    return std::nullopt;
  return std::get<std::vector<std::string>>(it->second);
}

void RegKey::writeMultiString(std::string_view name, const std::vector<std::string>& items) {
  impl_->checkWritable();
  auto it = impl_->node->findValue(name);
  if (it != impl_->node->values.end()) it->second = items;
  else impl_->node->values.emplace_back(std::string(name), items);
}

void RegKey::writeString(std::string_view name, std::string_view value) {
  impl_->checkWritable();
  auto it = impl_->node->findValue(name);
  if (it != impl_->node->values.end()) it->second = std::string(value);
  else impl_->node->values.emplace_back(std::string(name), std::string(value));
}

void RegKey::writeDword(std::string_view name, uint32_t value) {
  impl_->checkWritable();
  auto it = impl_->node->findValue(name);
  if (it != impl_->node->values.end()) it->second = value;
  else impl_->node->values.emplace_back(std::string(name), value);
}

std::optional<std::vector<uint8_t>> RegKey::tryReadBinary(std::string_view name) const {
  auto it = impl_->node->findValue(name);
  if (it == impl_->node->values.end() || !std::holds_alternative<std::vector<uint8_t>>(it->second)) return std::nullopt;
  return std::get<std::vector<uint8_t>>(it->second);
}

void RegKey::writeBinary(std::string_view name, const std::vector<uint8_t>& data) {
  impl_->checkWritable();
  auto it = impl_->node->findValue(name);
  if (it != impl_->node->values.end()) it->second = data;
  else impl_->node->values.emplace_back(std::string(name), data);
}

bool RegKey::valueExists(std::string_view name) const {
  return impl_->node->findValue(name) != impl_->node->values.end();
}

bool RegKey::deleteValue(std::string_view name) {
  impl_->checkWritable();
  auto it = impl_->node->findValue(name);
  if (it == impl_->node->values.end()) return false;
  impl_->node->values.erase(it);
  return true;
}

std::vector<std::string> RegKey::subKeyNames() const {
  std::vector<std::string> names;
  for (const auto& [folded, child] : impl_->node->children) names.push_back(child->name);
  return names;
}

std::vector<std::string> RegKey::valueNames() const {
  std::vector<std::string> names;
  for (const auto& value : impl_->node->values) names.push_back(value.first);
  return names;
}

bool RegKey::deleteSubKey(std::string_view name) {
  impl_->checkWritable();
  auto it = impl_->node->children.find(fold(name));
  if (it == impl_->node->children.end()) return false;
  if (!it->second->children.empty()) throwWin32("RegDeleteKeyW", kAccessDenied);
  impl_->node->children.erase(it);
  return true;
}

void RegKey::flush() {}

bool keyExists(RegRoot root, std::string_view path) { return walk(root, path, false) != nullptr; }

bool deleteKey(RegRoot root, std::string_view path) {
  std::vector<std::string> parts = splitPath(path);
  if (parts.empty()) throwWin32("RegDeleteKeyW", kInvalidParameter);
  Node* parent = &rootNode(root);
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    auto it = parent->children.find(fold(parts[i]));
    if (it == parent->children.end()) return false;
    parent = it->second.get();
  }
  auto it = parent->children.find(fold(parts.back()));
  if (it == parent->children.end()) return false;
  if (!it->second->children.empty()) throwWin32("RegDeleteKeyW", kAccessDenied);
  parent->children.erase(it);
  return true;
}

}  // namespace kestrune::platform
