// Where a language's texts come from. A language file is UTF-8 text (a leading byte order
// mark is skipped) in the "GLID;Text" / "#GLID" memo format, named as the language names
// it ("kstiCzech.txt", ...). A file of that name beside the setup program is used first;
// otherwise the text built into the program under the language's resource name
// ("BM_LANG_CZECH", ...), where there is one (docs/translation.md lists them).
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kestrune::translation {

class TLanguage;
class TTranslator;

// The language text built into the program under a resource name, if any.
std::optional<std::string_view> BuiltInLanguageText(std::string_view resourceName);
// Fills every language of the translator whose Strings is empty: from its file in
// directory (the setup program's folder when empty), else from its built-in text.
// A file or text that is not a valid language raises ELanguageError naming it.
void LoadMissingLanguages(TTranslator& translator, const std::string& directory = {});
// Replaces the language's lines with a language file.
void LoadLanguageFile(TLanguage& language, const std::string& path);

}  // namespace kestrune::translation
