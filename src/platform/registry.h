// Registry access through the W functions: open or create keys by root and path, read and
// write string and DWORD values, enumerate, delete. Texts are UTF-8 in the program.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune::platform {

// The predefined root keys.
enum class RegRoot { ClassesRoot, CurrentConfig, CurrentUser, DynData, LocalMachine, Users };

// Paths are written as the kit writes them, "\SOFTWARE\Vendor\Key": leading backslashes
// are stripped before the system sees the path, so "" and "\" name the root itself.
std::string normalizeKeyPath(std::string_view path);

// An open registry key; closes it when destroyed. Errors throw PlatformError (api, code).
class RegKey {
 public:
  // Opens an existing key for reading (or reading and writing); nullopt when the key or one
  // of its parents does not exist. Other failures (access denied) throw.
  static std::optional<RegKey> open(RegRoot root, std::string_view path, bool writable = false);
  // Opens the key for reading and writing, creating it and its missing parents.
  static RegKey create(RegRoot root, std::string_view path);

  RegKey(RegKey&&) noexcept;
  RegKey& operator=(RegKey&&) noexcept;
  ~RegKey();

  // String values (REG_SZ, REG_EXPAND_SZ unexpanded): nullopt when the value is missing or
  // of another type.
  std::optional<std::string> tryReadString(std::string_view name) const;
  std::optional<uint32_t> tryReadDword(std::string_view name) const;
  void writeString(std::string_view name, std::string_view value);
  void writeDword(std::string_view name, uint32_t value);
  // REG_MULTI_SZ values: a list of strings (the system's own lists, such as pending renames).
  std::optional<std::vector<std::string>> tryReadMultiString(std::string_view name) const;
  void writeMultiString(std::string_view name, const std::vector<std::string>& items);
  // Binary values (REG_BINARY): the kit stores date-times as the 8 bytes of a double.
  std::optional<std::vector<uint8_t>> tryReadBinary(std::string_view name) const;
  void writeBinary(std::string_view name, const std::vector<uint8_t>& data);
  bool valueExists(std::string_view name) const;
  // True when the value was there and is gone; false when it was missing.
  bool deleteValue(std::string_view name);
  // Names in the registry's own order.
  std::vector<std::string> subKeyNames() const;
  std::vector<std::string> valueNames() const;
  // Deletes a direct sub-key that has no sub-keys of its own; false when it was missing.
  bool deleteSubKey(std::string_view name);
  // Writes the key's changes through to disk now.
  void flush();

  struct Impl;

 private:
  explicit RegKey(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

bool keyExists(RegRoot root, std::string_view path);
// Deletes one key without sub-keys; false when it was missing, throws on other failures.
bool deleteKey(RegRoot root, std::string_view path);

}  // namespace kestrune::platform
