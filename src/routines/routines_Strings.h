// Path and list string routines: trailing backslashes, ";"-separated lists, safe
// directory names.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kestrune {

class TStrings;

// The text with "\" appended, unless it is empty or already ends in "\".
std::string AddBackslash(std::string_view text);
// The text without one trailing "\".
std::string RemoveBackslash(std::string_view text);
// Number of items in a separated list: the separators, plus one for a last item that is
// not closed by a separator. An empty text has none.
int CountListItems(std::string_view text, char separator = ';');
// The n-th item (from 1; 0 or less count as 1); empty when the list has fewer separators
// before it.
std::string GetListItem(std::string_view text, int n, char separator = ';');
// Clears list and adds items 1 to CountListItems.
void SplitList(std::string_view text, char separator, TStrings& list);
// The part after the first ":"; nullopt when the text has none.
std::optional<std::string> TextAfterColon(std::string_view text);
// The text usable as one directory name: "/" becomes "-", and " * : ; < > ? \ | go.
std::string SafeDirectoryName(std::string_view text);

}  // namespace kestrune
