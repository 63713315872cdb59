// TStrings / TStringList: ordered lists of strings with optional attached objects.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "runtime/persistent.h"

namespace kestrune {

class TStrings : public TPersistent {
  KESTRUNE_CLASS()
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EStringListError "List index out of bounds (%d)" for a bad index.
  const std::string& Strings(int index) const;
  void SetStrings(int index, const std::string& value);
  const std::string& operator[](int index) const { return Strings(index); }
  void* Objects(int index) const;
  void SetObjects(int index, void* object);

  virtual int Add(const std::string& s);
  int AddObject(const std::string& s, void* object);
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Clear();
  // Index of the first equal string (case-insensitive), -1 when absent.
  int IndexOf(std::string_view s) const;
  int IndexOfName(std::string_view name) const;
  // Value of the first "name=value" line with that name, empty when absent.
  std::string Values(std::string_view name) const;
  void SetValues(std::string_view name, const std::string& value);
  std::string Names(int index) const;

  // Lines joined with CR LF after each; SetText splits at CR LF, LF or CR.
  std::string Text() const;
  void SetText(std::string_view text);
  std::string CommaText() const;

  const std::vector<std::string>& Items() const { return items_; }
  void Assign(const TPersistent& source) override;
  void DefineProperties(Filer& filer) override;

 protected:
  void checkIndex(int index) const;
  std::vector<std::string> items_;
  std::vector<void*> objects_;
};

class TStringList : public TStrings {
  KESTRUNE_CLASS()
 public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> items);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  int Add(const std::string& s) override;

 private:
  bool sorted_ = false;
};

}  // namespace kestrune
