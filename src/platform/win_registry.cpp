// Registry access through advapi32's W functions.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/platform_error.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace kestrune::platform {

struct RegKey::Impl {
  HKEY key = nullptr;
  ~Impl() {
    if (key) RegCloseKey(key);
  }
};

namespace {

HKEY rootHandle(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
    case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::DynData: return HKEY_DYN_DATA;
    case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::Users: return HKEY_USERS;
  }
  return HKEY_CURRENT_USER;
}

bool isMissing(LONG rc) { return rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND; }

// Reads a value's raw bytes and type; nullopt when it does not exist. Most values are short:
// the first call reads into a buffer of a few hundred bytes, and only a longer value is
// read again at the size the first call reports (under Wine each call is a round trip to
// the server, and a run reads values for every file).
std::optional<std::pair<DWORD, std::vector<BYTE>>> queryValue(HKEY key, std::string_view name) {
  std::wstring wname = Widen(name);
  std::vector<BYTE> data(512);
  for (;;) {
    DWORD type = 0;
    // Room is kept for a terminating null the stored string may lack.
    DWORD got = static_cast<DWORD>(data.size() - sizeof(wchar_t));
    LONG rc = RegQueryValueExW(key, wname.c_str(), nullptr, &type, data.data(), &got);
    if (rc == ERROR_MORE_DATA) {  // longer than the buffer, or grown since the last call
      data.resize(std::max<size_t>(got + sizeof(wchar_t), data.size() * 2));
      continue;
    }
    if (isMissing(rc)) return std::nullopt;
    if (rc != ERROR_SUCCESS) throwWin32("RegQueryValueExW", rc);
    data.resize(got);
    return std::make_pair(type, std::move(data));
  }
}

// Collects names through RegEnumKeyExW / RegEnumValueW, whose name buffers are bounded by
// the key's longest name as RegQueryInfoKeyW reports it.
template <typename Enum>
std::vector<std::string> enumerate(HKEY key, bool values, Enum next) {
  DWORD maxSubKey = 0, maxValue = 0;
  LONG rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &maxSubKey, nullptr, nullptr, &maxValue,
                             nullptr, nullptr, nullptr);
  if (rc != ERROR_SUCCESS) throwWin32("RegQueryInfoKeyW", rc);
  std::vector<std::string> names;
  std::wstring buffer((values ? maxValue : maxSubKey) + 1, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(buffer.size());
    rc = next(index, buffer.data(), &length);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_MORE_DATA) {  // a longer name appeared meanwhile
      buffer.resize(buffer.size() * 2 + 256);
      --index;
      continue;
    }
    if (rc != ERROR_SUCCESS) throwWin32(values ? "RegEnumValueW" : "RegEnumKeyExW", rc);
    names.push_back(Narrow(std::wstring_view(buffer.data(), length)));
  }
  return names;
}

}  // namespace

RegKey::RegKey(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
RegKey::RegKey(RegKey&&) noexcept = default;
RegKey& RegKey::operator=(RegKey&&) noexcept = default;
RegKey::~RegKey() = default;

std::optional<RegKey> RegKey::open(RegRoot root, std::string_view path, bool writable) {
  auto impl = std::make_unique<Impl>();
  LONG rc = RegOpenKeyExW(rootHandle(root), Widen(normalizeKeyPath(path)).c_str(), 0,
                          writable ? KEY_READ | KEY_WRITE : KEY_READ, &impl->key);
  if (isMissing(rc)) return std::nullopt;
  if (rc != ERROR_SUCCESS) throwWin32("RegOpenKeyExW", rc);
  return RegKey(std::move(impl));
}

RegKey RegKey::create(RegRoot root, std::string_view path) {
  auto impl = std::make_unique<Impl>();
  LONG rc = RegCreateKeyExW(rootHandle(root), Widen(normalizeKeyPath(path)).c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &impl->key, nullptr);
  if (rc != ERROR_SUCCESS) throwWin32("RegCreateKeyExW", rc);
  return RegKey(std::move(impl));
}

std::optional<std::string> RegKey::tryReadString(std::string_view name) const {
  auto value = queryValue(impl_->key, name);
  if (!value || (value->first != REG_SZ && value->first != REG_EXPAND_SZ)) return std::nullopt;
  const auto& data = value->second;
  std::wstring_view text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  // Stored strings usually carry their terminating null, but need not.
  if (auto end = text.find(L'\0'); end != std::wstring_view::npos) text = text.substr(0, end);
  return Narrow(text);
}

std::optional<uint32_t> RegKey::tryReadDword(std::string_view name) const {
  auto value = queryValue(impl_->key, name);
  if (!value || value->first != REG_DWORD || value->second.size() != sizeof(DWORD)) return std::nullopt;
  DWORD result = 0;
  memcpy(&result, value->second.data(), sizeof result);
  return result;
}

std::optional<std::vector<std::string>> RegKey::tryReadMultiString(std::string_view name) const {
  auto value = queryValue(impl_->key, name);
  if (!value || value->first != REG_MULTI_SZ) return std::nullopt;
  const auto& data = value->second;
  std::wstring_view text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  // Each item ends in a null and one more null ends the list. Items may be empty (a
  // pending delete has an empty target), so the list is split by its length.
  if (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
  std::vector<std::string> items;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = std::min(text.find(L'\0', start), text.size());
    items.push_back(Narrow(text.substr(start, end - start)));
    start = end + 1;
  }
  return items;
}

void RegKey::writeMultiString(std::string_view name, const std::vector<std::string>& items) {
  std::wstring data;
  for (const std::string& item : items) {
    data += Widen(item);
    data += L'\0';
  }
  data += L'\0';
  LONG rc = RegSetValueExW(impl_->key, Widen(name).c_str(), 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>(data.size() * sizeof(wchar_t)));
  if (rc != ERROR_SUCCESS) throwWin32("RegSetValueExW", rc);
}

void RegKey::writeString(std::string_view name, std::string_view value) {
  std::wstring data = Widen(value);
  LONG rc = RegSetValueExW(impl_->key, Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  if (rc != ERROR_SUCCESS) throwWin32("RegSetValueExW", rc);
}

void RegKey::writeDword(std::string_view name, uint32_t value) {
  DWORD data = value;
  LONG rc = RegSetValueExW(impl_->key, Widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                           sizeof data);
  if (rc != ERROR_SUCCESS) throwWin32("RegSetValueExW", rc);
}

std::optional<std::vector<uint8_t>> RegKey::tryReadBinary(std::string_view name) const {
  auto value = queryValue(impl_->key, name);
  if (!value || value->first != REG_BINARY) return std::nullopt;
  return std::vector<uint8_t>(value->second.begin(), value->second.end());
}

void RegKey::writeBinary(std::string_view name, const std::vector<uint8_t>& data) {
  LONG rc = RegSetValueExW(impl_->key, Widen(name).c_str(), 0, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
  if (rc != ERROR_SUCCESS) throwWin32("RegSetValueExW", rc);
}

bool RegKey::valueExists(std::string_view name) const {
  LONG rc = RegQueryValueExW(impl_->key, Widen(name).c_str(), nullptr, nullptr, nullptr, nullptr);
  if (isMissing(rc)) return false;
  if (rc != ERROR_SUCCESS) throwWin32("RegQueryValueExW", rc);
  return true;
}

bool RegKey::deleteValue(std::string_view name) {
  LONG rc = RegDeleteValueW(impl_->key, Widen(name).c_str());
  if (isMissing(rc)) return false;
  if (rc != ERROR_SUCCESS) throwWin32("RegDeleteValueW", rc);
  return true;
}

std::vector<std::string> RegKey::subKeyNames() const {
  HKEY key = impl_->key;
  return enumerate(key, false, [key](DWORD index, wchar_t* name, DWORD* length) {
    return RegEnumKeyExW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
  });
}

std::vector<std::string> RegKey::valueNames() const {
  HKEY key = impl_->key;
  return enumerate(key, true, [key](DWORD index, wchar_t* name, DWORD* length) {
    return RegEnumValueW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
  });
}

bool RegKey::deleteSubKey(std::string_view name) {
  LONG rc = RegDeleteKeyW(impl_->key, Widen(name).c_str());
  if (isMissing(rc)) return false;
  if (rc != ERROR_SUCCESS) throwWin32("RegDeleteKeyW", rc);
  return true;
}

void RegKey::flush() {
  LONG rc = RegFlushKey(impl_->key);
  if (rc != ERROR_SUCCESS) throwWin32("RegFlushKey", rc);
}

bool keyExists(RegRoot root, std::string_view path) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExW(rootHandle(root), Widen(normalizeKeyPath(path)).c_str(), 0, KEY_READ, &key);
  if (rc == ERROR_SUCCESS) {
    RegCloseKey(key);
    return true;
  }
  if (isMissing(rc)) return false;
  throwWin32("RegOpenKeyExW", rc);
}

bool deleteKey(RegRoot root, std::string_view path) {
  std::string normalized = normalizeKeyPath(path);
  // An empty path would name the root key itself, which is never deleted.
  if (normalized.empty()) throwWin32("RegDeleteKeyW", ERROR_INVALID_PARAMETER);
  LONG rc = RegDeleteKeyW(rootHandle(root), Widen(normalized).c_str());
  if (isMissing(rc)) return false;
  if (rc != ERROR_SUCCESS) throwWin32("RegDeleteKeyW", rc);
  return true;
}

}  // namespace kestrune::platform
