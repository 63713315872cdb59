// The per-language constants: resource and file names, character sets, font faces and
// minimum sizes, and the Windows primary language identifiers.
#include <array>

#include "runtime/published.h"
#include "translation/cmp_TTranslator.h"

namespace kestrune {

const EnumType& EnumTypeInfo(TKstrLanguage) {
  static constexpr std::string_view values[] = {"klChineseSimplified", "klCzech", "klDanish", "klEnglish", "klFrench",
      "klGerman", "klGreek", "klHebrew", "klItalian", "klJapanese", "klKorean", "klPolish", "klPortugese", "klRussian",
      "klSpanish", "klUser", "klVietnamese"};
  static constexpr EnumType t{"TKstrLanguage", values};
  return t;
}

}  // namespace kestrune

namespace kestrune::translation {

namespace {

struct LanguageConstants {
  const char* suffix;    // BM_LANG_<suffix>
  const char* fileName;  // kstiXxx.txt
  int32_t charset;
  const char* face;      // UTF-8
  int32_t minSize;
};

// Indexed by TKstrLanguage; klUser (15) has no entry of its own.
// The Chinese face is PMingLiU's own name, the Japanese one MS PGothic's, the Korean one
// Batang's. Hebrew uses Arial, which carries the Hebrew letters.
const std::array<LanguageConstants, 17> kTable{{
    {"SIMPCHINESE", "kstiChineseSimplified.txt", 134, "\xe6\x96\xb0\xe7\xb4\xb0\xe6\x98\x8e\xe9\xab\x94", 9},
    {"CZECH", "kstiCzech.txt", 238, "Arial", 8},
    {"DANISH", "kstiDanish.txt", 0, "Arial", 8},
    {"ENGLISH", "kstiEnglish.txt", 0, "Arial", 8},
    {"FRENCH", "kstiFrench.txt", 0, "Arial", 8},
    {"GERMAN", "kstiGerman.txt", 0, "MS Sans Serif", 8},
    {"GREEK", "kstiGreek.txt", 0, "SGreek", 8},
    {"HEBREW", "kstiHebrew.txt", 177, "Arial", 8},
    {"ITALIAN", "kstiItalian.txt", 0, "Arial", 8},
    {"JAPANESE", "kstiJapanese.txt", 128,
     "\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf", 9},
    {"KOREAN", "kstiKorean.txt", 129, "\xeb\xb0\x94\xed\x83\x95", 9},
    {"POLISH", "kstiPolish.txt", 238, "Arial", 8},
    {"PORTUGESE", "kstiPortugese.txt", 238, "Arial", 8},
    {"RUSSIAN", "kstiRussian.txt", 204, "Arial", 8},
    {"SPANISH", "kstiSpanish.txt", 0, "Arial", 8},
    {nullptr, nullptr, 0, nullptr, 0},
    {"VIETNAMESE", "kstiVietnamese.txt", 163, "Arial", 8},
}};

const LanguageConstants& constants(TKstrLanguage language) {
  const auto i = static_cast<size_t>(language);
  if (i >= kTable.size() || !kTable[i].suffix) throw ELanguageError("Unrecognized language");
  return kTable[i];
}

}  // namespace

std::string LanguageResourceName(TKstrLanguage language) {
  return std::string("BM_LANG_") + constants(language).suffix;
}

std::string LanguageFileName(TKstrLanguage language) { return constants(language).fileName; }

int32_t LanguageCharset(TKstrLanguage language) { return constants(language).charset; }

TKstrLanguage LanguageFromLangID(uint32_t identifier) {
  using enum TKstrLanguage;
  switch (identifier & 0x3ff) {
    case 4: return klChineseSimplified;
    case 5: return klCzech;
    case 6: return klDanish;
    case 7: return klGerman;
    case 8: return klGreek;
    case 10: return klSpanish;
    case 12: return klFrench;
    case 13: return klHebrew;
    case 16: return klItalian;
    case 17: return klJapanese;
    case 18: return klKorean;
    case 21: return klPolish;
    case 22: return klPortugese;
    case 25: return klRussian;
    case 42: return klVietnamese;
    default: return klEnglish;
  }
}

void SetLanguageFont(ui::TControl* control, const TLanguage* language) {
  if (!control || !language) return;
  ui::TFont* font = control->Font();
  if (language->FontOverride()) {
    font->Assign(*language->Font());
  } else {
    const LanguageConstants& c = constants(language->LanguageIdent());
    font->SetCharset(c.charset);
    font->SetName(c.face);
    if (font->Size() < c.minSize) font->SetSize(c.minSize);
  }
  if (auto* win = dynamic_cast<ui::TWinControl*>(control))
    for (int i = 0; i < win->ControlCount(); ++i) SetLanguageFont(win->Controls(i), language);
}

}  // namespace kestrune::translation
