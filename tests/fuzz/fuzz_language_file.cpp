// Fuzzes the language file reader and the language line parser: input is either refused
// with ELanguageError (and leaves the language without elements) or parsed into elements
// that the lookups find again; the lines written back out parse to the same elements.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "runtime/sysutils.h"
#include "translation/cmp_TTranslator.h"

namespace {

using namespace kestrune;
using namespace kestrune::translation;

void check(bool ok) {
  if (!ok) std::abort();
}

std::string dump(const TLanguage& l) {
  std::string out;
  for (const auto& e : l.StringElements()) out += std::to_string(e->GLID) + ";" + e->Text + "\n";
  for (const auto& e : l.MemoElements()) out += "#" + std::to_string(e->GLID) + "\n" + e->Lines.Text() + "#\n";
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TTranslator translator(nullptr);
  translator.SetTranslateIntoLanguage(TKstrLanguage::klCzech);
  TLanguage& english = *translator.lgEnglish();
  try {
    english.Strings()->LoadFromStream(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const ELanguageError&) {
    check(english.StringElements().empty() && english.MemoElements().empty());
    check(english.ParsingEnabled());
    return 0;
  }
  const int lines = english.Strings()->Count();
  // Lookups are linear: the first elements stand for all, so that a long input stays quick.
  const size_t probes = 64;
  for (const auto& e : english.StringElements()) {
    check(!e->Text.empty() && e->Text == Trim(e->Text) && e->Text.find(';') == std::string::npos);
    check(e->LineIndex >= 0 && e->LineIndex < lines);
    if (&e - english.StringElements().data() >= static_cast<std::ptrdiff_t>(probes)) continue;
    check(english.FindString(e->GLID) != nullptr);
    const TLanguageString* byText = english.FindStringByText(e->Text);
    check(byText != nullptr && byText->LineIndex <= e->LineIndex);
  }
  for (const auto& e : english.MemoElements()) {
    check(e->LineIndex >= 0 && e->LineIndex < lines);
    if (&e - english.MemoElements().data() < static_cast<std::ptrdiff_t>(probes))
      check(english.FindMemoByText(e->Lines) != nullptr);
  }
  // The elements written back as a language text parse to the same elements.
  TLanguage& czech = *translator.lgCzech();
  czech.Strings()->LoadFromStream(dump(english));
  check(dump(czech) == dump(english));
  for (size_t i = 0; i < english.StringElements().size() && i < probes; ++i) {
    const auto& e = english.StringElements()[i];
    check(translator.TranslateText(TKstrLanguage::klEnglish, e->Text) == czech.FindString(
        english.FindStringByText(e->Text)->GLID)->Text);
  }
  return 0;
}
