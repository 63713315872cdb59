# Writes a C++ source holding the built-in language texts:
# cmake -DOUT=cpp -DFILES="RESOURCE=path;..." -P embed_languages.cmake
set(entries "")
foreach(pair ${FILES})
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 path)
  file(READ ${path} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(REGEX REPLACE "(('.x..',){16})" "\\1\n" bytes "${bytes}")
  string(APPEND entries "  {\"${name}\", []() -> std::string_view {\n    static const char text[] = {\n${bytes}};\n    return {text, sizeof text};\n  }},\n")
endforeach()
file(WRITE ${OUT}.tmp "// Generated from src/resources/languages; do not edit.
#include \"translation/language_files.h\"

#include <utility>

#include \"runtime/classinfo.h\"

namespace kestrune::translation {

std::optional<std::string_view> BuiltInLanguageText(std::string_view resourceName) {
  static const std::pair<const char*, std::string_view (*)()> texts[] = {
${entries}  };
  for (const auto& [name, text] : texts)
    if (SameText(name, resourceName)) return text();
  return std::nullopt;
}

}  // namespace kestrune::translation
")
file(RENAME ${OUT}.tmp ${OUT})
