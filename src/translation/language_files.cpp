// Filling languages from language files beside the program or from the built-in texts.
#include "translation/language_files.h"

#include "platform/files.h"
#include "platform/system.h"
#include "runtime/sysutils.h"
#include "translation/cmp_TTranslator.h"

namespace kestrune::translation {

void LoadLanguageFile(TLanguage& language, const std::string& path) {
  try {
    language.Strings()->LoadFromFile(path);
  } catch (const ELanguageError& e) {
    throw ELanguageError("The language file %s cannot be used: %s", {path, e.Message()});
  }
}

void LoadMissingLanguages(TTranslator& translator, const std::string& directory) {
  std::string dir = directory.empty() ? ExtractFilePath(platform::moduleFileName()) : directory;
  // Windows paths take a backslash; a path of the native build (tests) keeps its slashes.
  const char separator = dir.find('\\') == std::string::npos && dir.find('/') != std::string::npos ? '/' : '\\';
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += separator;
  for (const auto& language : translator.Languages()) {
    if (language->Strings()->Count() > 0) continue;
    const std::string path = dir + language->LanguageFileName();
    if (platform::fileExists(path)) {
      LoadLanguageFile(*language, path);
    } else if (auto text = BuiltInLanguageText(language->ResourceName())) {
      try {
        language->Strings()->LoadFromStream(*text);
      } catch (const ELanguageError& e) {
        throw ELanguageError("The language text %s cannot be used: %s", {language->ResourceName(), e.Message()});
      }
    }
  }
}

}  // namespace kestrune::translation
