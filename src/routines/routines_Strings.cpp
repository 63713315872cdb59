// Path and list string routines.
#include "routines/routines_Strings.h"

#include <algorithm>

#include "runtime/strings.h"

namespace kestrune {

std::string AddBackslash(std::string_view text) {
  std::string result(text);
  if (!result.empty() && result.back() != '\\') result += '\\';
  return result;
}

std::string RemoveBackslash(std::string_view text) {
  if (!text.empty() && text.back() == '\\') text.remove_suffix(1);
  return std::string(text);
}

int CountListItems(std::string_view text, char separator) {
  if (text.empty()) return 0;
  int count = static_cast<int>(std::count(text.begin(), text.end(), separator));
  return text.back() == separator ? count : count + 1;
}

std::string GetListItem(std::string_view text, int n, char separator) {
  for (int i = 1; i < n; ++i) {
    size_t pos = text.find(separator);
    if (pos == std::string_view::npos) return {};
    text.remove_prefix(pos + 1);
  }
  return std::string(text.substr(0, text.find(separator)));
}

void SplitList(std::string_view text, char separator, TStrings& list) {
  list.Clear();
  int count = CountListItems(text, separator);
  for (int i = 1; i <= count; ++i) list.Add(GetListItem(text, i, separator));
}

std::optional<std::string> TextAfterColon(std::string_view text) {
  size_t pos = text.find(':');
  if (pos == std::string_view::npos) return std::nullopt;
  return std::string(text.substr(pos + 1));
}

std::string SafeDirectoryName(std::string_view text) {
  static constexpr std::string_view kRemoved = "\"*:;<>?\\|";
  std::string result;
  for (char c : text) {
    if (c == '/') result += '-';
    else if (kRemoved.find(c) == std::string_view::npos) result += c;
  }
  return result;
}

}  // namespace kestrune
