// The translator: per-language text tables (TLanguage, parsed from "GLID;Text" lines and
// "#GLID" memo blocks), the TTranslator component with its sixteen languages, and the
// global routines the kit calls through the main translator (the first one created).
//
// Controls of the translated kinds carry a GLID and get the target language's text of
// that number; every other published string property, radio group item and memo is
// looked up by its current text among the texts of the source language (the form's
// translation state), and the text with the same GLID in the target language replaces it.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/component.h"
#include "runtime/exceptions.h"
#include "runtime/strings.h"
#include "translation/kstr_language.h"
#include "ui/controls.h"
#include "ui/graphics.h"

namespace kestrune::translation {

// Malformed language lines and unrecognized languages.
KESTRUNE_EXCEPTION(ELanguageError, EKestruneAbnormal);

class TLanguage;
class TTranslator;

// One numbered text of a language; LineIndex is the index in Strings of the line that
// defined it (for a memo: its "#GLID" line).
class TLanguageElement {
 public:
  TLanguageElement(TLanguage* language, int32_t glid, int lineIndex)
      : GLID(glid), Language(language), LineIndex(lineIndex) {}
  virtual ~TLanguageElement() = default;
  int32_t GLID;
  TLanguage* Language;
  int LineIndex;
};

// A one-line text of at most 255 characters (longer texts are cut).
class TLanguageString : public TLanguageElement {
 public:
  static constexpr size_t kMaxChars = 255;
  TLanguageString(TLanguage* language, int32_t glid, int lineIndex, std::string_view text);
  std::string Text;
};

// A multi-line text with its own copy of the lines.
class TLanguageMemo : public TLanguageElement {
 public:
  TLanguageMemo(TLanguage* language, int32_t glid, int lineIndex, const std::vector<std::string>& lines);
  TStringList Lines;
};

// The Strings list of one language. Add, AddObject, AddStrings, Clear, Insert, SetStrings,
// SetText, LoadFromStream and Move make the language parse again; Assign, LoadFromFile and
// the stream reader fill in bulk with parsing off and parse once afterwards (also when the
// fill fails); Delete does not parse but shifts the line indices of the string elements.
class TLangFormatStrings : public TStringList {
  KESTRUNE_CLASS()
 public:
  explicit TLangFormatStrings(TLanguage* language = nullptr) : language_(language) {}
  TLanguage* Language() const { return language_; }

  int Add(const std::string& s) override;
  int AddObject(const std::string& s, void* object);
  void AddStrings(const TStrings& strings);
  void Clear();
  void Insert(int index, const std::string& s);
  void SetStrings(int index, const std::string& value);
  void SetText(std::string_view text);
  void Move(int curIndex, int newIndex);
  void Delete(int index);
  void Assign(const TPersistent& source) override;
  // Replaces the lines with the text of a language file (see language_files.h for the
  // encoding); raises ELanguageError for bytes that are not text of that form.
  void LoadFromStream(std::string_view bytes);
  // LoadFromStream of a whole file, with parsing off during the change.
  void LoadFromFile(const std::string& path);
  void DefineProperties(Filer& filer) override;

 private:
  void changed();
  // Runs a bulk change with the language's parsing off, then parses once.
  template <class F>
  void bulk(F&& change);
  TLanguage* language_;
};

class TLanguage : public TPersistent {
  KESTRUNE_CLASS()
 public:
  TLanguage(TTranslator* translator, TKstrLanguage ident);
  ~TLanguage() override;

  ui::TFont* Font() const { return font_.get(); }
  void SetFont(ui::TFont* font);
  bool FontOverride() const { return fontOverride_; }
  void SetFontOverride(bool v) { fontOverride_ = v; }
  TKstrLanguage LanguageIdent() const { return ident_; }
  TLangFormatStrings* Strings() const { return strings_.get(); }
  void SetStrings(TStrings* strings);
  TTranslator* Translator() const { return translator_; }
  // "BM_LANG_CZECH", "kstiCzech.txt", ...
  const std::string& ResourceName() const { return resourceName_; }
  const std::string& LanguageFileName() const { return fileName_; }

  bool ParsingEnabled() const { return parsing_; }
  void SetParsingEnabled(bool v) { parsing_ = v; }
  // Rebuilds the element lists from Strings (when parsing is enabled). Malformed lines
  // raise ELanguageError and leave the language without elements.
  void ParseStrings();

  const std::vector<std::unique_ptr<TLanguageString>>& StringElements() const { return stringElements_; }
  const std::vector<std::unique_ptr<TLanguageMemo>>& MemoElements() const { return memos_; }
  TLanguageString* FindString(int32_t glid) const;
  TLanguageMemo* FindMemo(int32_t glid) const;
  // Compared trimmed and case-insensitively (the letters of the Latin, Greek and Cyrillic
  // alphabets).
  TLanguageString* FindStringByText(std::string_view text) const;
  // The lines joined as one text, compared exactly.
  TLanguageMemo* FindMemoByText(const TStrings& lines) const;

 private:
  friend class TLangFormatStrings;
  void clearElements();
  void lineDeleted(int index);
  TTranslator* translator_;
  TKstrLanguage ident_;
  std::unique_ptr<ui::TFont> font_;
  bool fontOverride_ = false;
  std::unique_ptr<TLangFormatStrings> strings_;
  std::string resourceName_, fileName_;
  std::vector<std::unique_ptr<TLanguageString>> stringElements_;
  std::vector<std::unique_ptr<TLanguageMemo>> memos_;
  bool parsing_ = true;
};

class TTranslator : public TComponent {
  KESTRUNE_CLASS()
 public:
  explicit TTranslator(TComponent* owner);
  ~TTranslator() override;

  // The sixteen languages in the order of TKstrLanguage (klUser has none).
  TLanguage* lgChineseSimplified() const { return language(TKstrLanguage::klChineseSimplified); }
  TLanguage* lgCzech() const { return language(TKstrLanguage::klCzech); }
  TLanguage* lgDanish() const { return language(TKstrLanguage::klDanish); }
  TLanguage* lgEnglish() const { return language(TKstrLanguage::klEnglish); }
  TLanguage* lgFrench() const { return language(TKstrLanguage::klFrench); }
  TLanguage* lgGerman() const { return language(TKstrLanguage::klGerman); }
  TLanguage* lgGreek() const { return language(TKstrLanguage::klGreek); }
  TLanguage* lgHebrew() const { return language(TKstrLanguage::klHebrew); }
  TLanguage* lgItalian() const { return language(TKstrLanguage::klItalian); }
  TLanguage* lgJapanese() const { return language(TKstrLanguage::klJapanese); }
  TLanguage* lgKorean() const { return language(TKstrLanguage::klKorean); }
  TLanguage* lgPolish() const { return language(TKstrLanguage::klPolish); }
  TLanguage* lgPortugese() const { return language(TKstrLanguage::klPortugese); }
  TLanguage* lgRussian() const { return language(TKstrLanguage::klRussian); }
  TLanguage* lgSpanish() const { return language(TKstrLanguage::klSpanish); }
  TLanguage* lgVietnamese() const { return language(TKstrLanguage::klVietnamese); }
  const std::vector<std::unique_ptr<TLanguage>>& Languages() const { return languages_; }

  TKstrLanguage TranslateIntoLanguage() const { return into_; }
  void SetTranslateIntoLanguage(TKstrLanguage v);
  // Fired whenever TranslateIntoLanguage is set.
  std::function<void(TComponent* Sender)> OnChange;

  TLanguage* GetLanguage(TKstrLanguage language) const;
  // The language of the user's default language identifier; none if there is none.
  TLanguage* GetUserLanguage() const;
  TLanguage* TargetLanguage() const;

  std::string TranslateText(TKstrLanguage source, std::string_view text) const;
  std::string TranslateGLID(int32_t glid, std::string_view text) const;
  void TranslateMemo(TKstrLanguage source, const TStrings& lines, TStrings& result) const;
  // Translates the component, its string properties, items and memos and everything it
  // owns (forms excepted) from the language State; returns the language it is in now.
  TKstrLanguage TranslateComponent(TKstrLanguage state, TComponent* component);
  TKstrLanguage TranslateComponentInto(TKstrLanguage state, TKstrLanguage language, TComponent* component);
  // The target language's font (the English one when the target has no lines).
  void ApplyFont(ui::TControl* control);
  void ApplyFontInto(TKstrLanguage language, ui::TControl* control);

  // Languages still empty after the stream was read get their texts (language_files.h).
  void Loaded() override;

  // A translator made by the kit itself when it needs one; the next translator created
  // replaces it as the main translator and frees it.
  static TTranslator* CreateDefault();
  bool IsDefault() const { return isDefault_; }

 private:
  TLanguage* language(TKstrLanguage l) const;
  std::vector<std::unique_ptr<TLanguage>> languages_;
  TKstrLanguage into_ = TKstrLanguage::klUser;
  bool isDefault_ = false;
};

// The main translator (the first translator created while there was none), or null.
TTranslator* MainTranslator();

// Each does nothing, or returns its input, without a main translator.
TKstrLanguage TranslateForm(TKstrLanguage state, TComponent* form);
TKstrLanguage TranslateFormInto(TKstrLanguage state, TKstrLanguage language, TComponent* form);
void SetFormFont(ui::TControl* form);
void SetFormFontIn(TKstrLanguage language, ui::TControl* form);

// The per-language constants. LanguageCharset and SetLanguageFont raise ELanguageError
// "Unrecognized language" for klUser and values out of range.
int32_t LanguageCharset(TKstrLanguage language);
TKstrLanguage LanguageFromLangID(uint32_t identifier);
void SetLanguageFont(ui::TControl* control, const TLanguage* language);
std::string LanguageResourceName(TKstrLanguage language);
std::string LanguageFileName(TKstrLanguage language);

void registerTranslationClasses(ClassRegistry& registry);

}  // namespace kestrune::translation
