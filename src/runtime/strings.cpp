// TStrings / TStringList.
#include "runtime/strings.h"

#include <algorithm>

#include "runtime/exceptions.h"
#include "runtime/published.h"
#include "runtime/reader.h"
#include "runtime/writer.h"

namespace kestrune {

const ClassInfo& TStrings::classInfo() {
  static const ClassInfo info{"TStrings", &TPersistent::classInfo(), nullptr, {}};
  return info;
}

const ClassInfo& TStringList::classInfo() {
  static const ClassInfo info{"TStringList", &TStrings::classInfo(), nullptr, {}};
  return info;
}

void TStrings::checkIndex(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError("List index out of bounds (%d)", {index});
}

const std::string& TStrings::Strings(int index) const {
  checkIndex(index);
  return items_[index];
}

void TStrings::SetStrings(int index, const std::string& value) {
  checkIndex(index);
  items_[index] = value;
}

void* TStrings::Objects(int index) const {
  checkIndex(index);
  return objects_[index];
}

void TStrings::SetObjects(int index, void* object) {
  checkIndex(index);
  objects_[index] = object;
}

int TStrings::Add(const std::string& s) {
  items_.push_back(s);
  objects_.push_back(nullptr);
  return Count() - 1;
}

int TStrings::AddObject(const std::string& s, void* object) {
  int i = Add(s);
  objects_[i] = object;
  return i;
}

void TStrings::Insert(int index, const std::string& s) {
  if (index < 0 || index > Count()) throw EStringListError("List index out of bounds (%d)", {index});
  items_.insert(items_.begin() + index, s);
  objects_.insert(objects_.begin() + index, nullptr);
}

void TStrings::Delete(int index) {
  checkIndex(index);
  items_.erase(items_.begin() + index);
  objects_.erase(objects_.begin() + index);
}

void TStrings::Clear() {
  items_.clear();
  objects_.clear();
}

int TStrings::IndexOf(std::string_view s) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(items_[i], s)) return i;
  return -1;
}

std::string TStrings::Names(int index) const {
  const std::string& s = Strings(index);
  size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

int TStrings::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    size_t eq = items_[i].find('=');
    if (eq != std::string::npos && SameText(std::string_view(items_[i]).substr(0, eq), name)) return i;
  }
  return -1;
}

std::string TStrings::Values(std::string_view name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : items_[i].substr(items_[i].find('=') + 1);
}

void TStrings::SetValues(std::string_view name, const std::string& value) {
  int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  std::string line = std::string(name) + "=" + value;
  if (i >= 0) items_[i] = line;
  else Add(line);
}

std::string TStrings::Text() const {
  std::string out;
  for (const auto& s : items_) out += s + "\r\n";
  return out;
}

void TStrings::SetText(std::string_view text) {
  Clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      Add(std::string(text.substr(start)));
      break;
    }
    Add(std::string(text.substr(start, end - start)));
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

std::string TStrings::CommaText() const {
  std::string out;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (i) out += ',';
    const std::string& s = items_[i];
    bool quote = s.empty() || s.find_first_of(" ,\"") != std::string::npos;
    if (!quote) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

void TStrings::Assign(const TPersistent& source) {
  if (const TStrings* other = As<TStrings>(&source)) {
    if (other == this) return;
    items_ = other->items_;
    objects_ = other->objects_;
    return;
  }
  TPersistent::Assign(source);
}

void TStrings::DefineProperties(Filer& filer) {
  filer.DefineProperty(
      "Strings",
      [this](Reader& r) {
        Clear();
        r.ReadListBegin();
        while (!r.EndOfList()) Add(r.ReadString());
        r.ReadListEnd();
      },
      [this](Writer& w) {
        w.WriteListBegin();
        for (const auto& s : items_) w.WriteString(s);
        w.WriteListEnd();
      },
      Count() > 0);
}

TStringList::TStringList(std::initializer_list<std::string> items) {
  for (const auto& s : items) TStrings::Add(s);
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) {
    std::vector<size_t> idx(items_.size());
    for (size_t i = 0; i < idx.size(); ++i) idx[i] = i;
    std::stable_sort(idx.begin(), idx.end(), [&](size_t a, size_t b) {
      return std::lexicographical_compare(items_[a].begin(), items_[a].end(), items_[b].begin(), items_[b].end(),
                                          [](char x, char y) { return std::tolower((unsigned char)x) < std::tolower((unsigned char)y); });
    });
    std::vector<std::string> s;
    std::vector<void*> o;
    for (size_t i : idx) {
      s.push_back(items_[i]);
      o.push_back(objects_[i]);
    }
    items_ = std::move(s);
    objects_ = std::move(o);
  }
  sorted_ = sorted;
}

int TStringList::Add(const std::string& s) {
  if (!sorted_) return TStrings::Add(s);
  auto less = [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return std::tolower((unsigned char)x) < std::tolower((unsigned char)y); });
  };
  auto it = std::upper_bound(items_.begin(), items_.end(), s, less);
  int index = static_cast<int>(it - items_.begin());
  items_.insert(it, s);
  objects_.insert(objects_.begin() + index, nullptr);
  return index;
}

}  // namespace kestrune
