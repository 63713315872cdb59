// The translator: the language line format and its errors, the Strings list's re-parse
// rules, lookups by GLID and by text, the main translator and the kit's messages, a real
// page translated into English and back, and the fonts each language sets.
#include <gtest/gtest.h>

#include <map>

#include "dialogs/dialog_classes.h"
#include "dialogs/ordlg_WelcomeDlg.h"
#include "platform/files.h"
#include "platform/system.h"
#include "runtime/reader.h"
#include "runtime/sysutils.h"
#include "runtime/writer.h"
#include "translation/cmp_TTranslator.h"
#include "translation/language_files.h"
#include "ui/application.h"
#include "ui/cmp_TTranslateControls.h"
#include "ui/comctrls.h"
#include "ui/extctrls.h"
#include "ui/forms.h"
#include "ui/ui_classes.h"

namespace kestrune::translation {
namespace {

using enum TKstrLanguage;

std::unique_ptr<TTranslator> builtInTranslator(TKstrLanguage into) {
  auto t = std::make_unique<TTranslator>(nullptr);
  LoadMissingLanguages(*t, "/no/such/folder");
  t->SetTranslateIntoLanguage(into);
  return t;
}

// The message of the error that parsing the lines raises, or "" when they parse.
std::string parseError(TLanguage& l, std::initializer_list<std::string> lines) {
  try {
    l.Strings()->SetText("");
    for (const auto& s : lines) l.Strings()->Add(s);
    return "";
  } catch (const ELanguageError& e) {
    EXPECT_TRUE(l.StringElements().empty() && l.MemoElements().empty()) << e.what();
    return e.what();
  }
}

TEST(LanguageLines, FormatAndErrors) {
  TTranslator t(nullptr);
  TLanguage& l = *t.lgCzech();
  EXPECT_EQ(parseError(l, {"  12;Hello;World  ", "", "* 13;comment", "14 ; Spaced text ;"}), "");
  ASSERT_EQ(l.StringElements().size(), 2u);
  EXPECT_EQ(l.FindString(12)->Text, "Hello");
  EXPECT_EQ(l.FindString(14)->Text, "Spaced text");
  EXPECT_EQ(l.FindString(14)->LineIndex, 3);

  EXPECT_EQ(parseError(l, {"# 7;note", "first", "* a note", "", "second", "#"}), "");
  ASSERT_EQ(l.MemoElements().size(), 1u);
  EXPECT_EQ(l.FindMemo(7)->Lines.Text(), "first\r\nsecond\r\n");
  EXPECT_EQ(l.FindMemo(7)->LineIndex, 0);
  // Inside a memo GLID lines and "#..." lines are text; an open memo at the end is dropped.
  EXPECT_EQ(parseError(l, {"#8", "1;a", "#9;", "#", "#10;", "open"}), "");
  EXPECT_EQ(l.FindMemo(8)->Lines.Text(), "1;a\r\n#9;\r\n");
  EXPECT_EQ(l.FindMemo(10), nullptr);
  EXPECT_TRUE(l.StringElements().empty());

  const std::string glidText = "does not have the proper format of GLID;Text";
  EXPECT_EQ(parseError(l, {"1;ok", "12;"}), "The 1'th string (12;) " + glidText);
  EXPECT_EQ(parseError(l, {"12"}), "The 0'th string (12) " + glidText);
  EXPECT_EQ(parseError(l, {";text"}), "The 0'th string (;text) " + glidText);
  EXPECT_EQ(parseError(l, {"#;"}), "The 0'th string (#;) " + glidText);
  EXPECT_EQ(parseError(l, {"", " twelve;Hello "}), "The 1'th string (twelve;Hello) " + glidText + " or .GLID;");
  EXPECT_EQ(parseError(l, {"#x7;"}), "The 0'th string (#x7;) " + glidText + " or .GLID;");
  EXPECT_EQ(parseError(l, {"99999999999;big"}), "The 0'th string (99999999999;big) " + glidText + " or .GLID;");
  EXPECT_EQ(parseError(l, {"1;a", "", "  #  "}), "Found the end of memo marker # at line 2. Was not in a memo however");

  // Texts keep at most 255 characters, counted as characters, not bytes.
  std::string longText;
  for (int i = 0; i < 300; ++i) longText += "\xc5\xa1";  // š
  EXPECT_EQ(parseError(l, {"5;" + longText}), "");
  EXPECT_EQ(l.FindString(5)->Text, longText.substr(0, 510));
}

TEST(LanguageLines, ReparseRulesOfTheStringsList) {
  TTranslator t(nullptr);
  TLanguage& l = *t.lgEnglish();
  TLangFormatStrings& s = *l.Strings();
  s.Add("1;one");
  s.Insert(0, "2;two");
  EXPECT_EQ(l.FindString(1)->LineIndex, 1);
  s.Move(0, 1);
  EXPECT_EQ(l.FindString(1)->LineIndex, 0);
  s.AddObject("3;three", nullptr);
  s.SetStrings(2, "3;drei");
  EXPECT_EQ(l.FindString(3)->Text, "drei");
  // Delete does not parse: the element of the deleted line stays, later ones move up.
  s.Delete(0);
  EXPECT_NE(l.FindString(1), nullptr);
  EXPECT_EQ(l.FindString(3)->LineIndex, 1);
  s.Clear();
  EXPECT_TRUE(l.StringElements().empty());

  // A bulk change parses once and leaves parsing on, also when its lines are bad.
  TStringList bad{"1;fine", "#"};
  EXPECT_THROW(s.Assign(bad), ELanguageError);
  EXPECT_TRUE(l.ParsingEnabled());
  EXPECT_EQ(s.Count(), 2);
  s.Assign(TStringList{"4;four", "#4", "x", "#"});
  EXPECT_EQ(l.StringElements().size(), 1u);
  EXPECT_EQ(l.MemoElements().size(), 1u);

  // Language files: UTF-8 with an optional byte order mark; other bytes are refused.
  s.LoadFromStream("\xEF\xBB\xBF" "5;p\xc5\x99\xc3\xad\x6c\x69\xc5\xa1\r\n6;x");
  EXPECT_EQ(l.FindString(5)->Text, "p\xc5\x99\xc3\xadli\xc5\xa1");
  EXPECT_THROW(s.LoadFromStream("7;\xff"), ELanguageError);
}

TEST(LanguageLines, TranslatorStreamsItsLanguagesAndParsesThemWhenRead) {
  ui::registerUiClasses(ClassRegistry::Global());
  registerTranslationClasses(ClassRegistry::Global());
  ui::TForm root(nullptr);
  root.SetName("Root");
  auto* t = new TTranslator(&root);
  t->SetName("Translator");
  t->lgCzech()->Strings()->SetText("5;Další\r\n#7;\r\nřádek\r\n#");
  const std::vector<uint8_t> stream = WriteComponentStream(&root);
  delete t;

  ui::TForm copy(nullptr);
  ReadComponentStream(stream, &copy);
  auto* read = dynamic_cast<TTranslator*>(copy.FindComponent("Translator"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->lgCzech()->FindString(5)->Text, "Další");
  EXPECT_EQ(read->lgCzech()->FindMemo(7)->Lines[0], "řádek");
  // Loaded filled the languages the stream left empty from the built-in texts.
  EXPECT_NE(read->lgEnglish()->FindString(5), nullptr);
  EXPECT_EQ(read->lgFrench()->Strings()->Count(), 0);
}

TEST(LanguageLines, FilesBesideTheProgramComeBeforeTheBuiltInTexts) {
  const std::string dir = platform::tempDirectory() + "kestrune-language-files";
  platform::forceDirectories(dir);
  auto put = [&](const std::string& name, std::string_view text) {
    platform::writeWholeFile(dir + "/" + name, text.data(), text.size());
  };
  put("kstiCzech.txt", "\xEF\xBB\xBF* own Czech texts\r\n5;Pokra\xc4\x8dovat\r\n");
  put("kstiFrench.txt", "5;Suivant >\n6;Annuler\n");
  TTranslator t(nullptr);
  LoadMissingLanguages(t, dir);
  EXPECT_EQ(t.lgCzech()->FindString(5)->Text, "Pokra\xc4\x8dovat");
  EXPECT_EQ(t.lgCzech()->FindString(6), nullptr);  // the file replaces the built-in text
  EXPECT_EQ(t.lgFrench()->FindString(6)->Text, "Annuler");
  EXPECT_NE(t.lgGerman()->FindString(6), nullptr);  // no file: built in
  // A language already filled (from the script) is left alone; a bad file is named.
  put("kstiDanish.txt", "1;ok\n#\n");
  TTranslator u(nullptr);
  u.lgCzech()->Strings()->SetText("5;ze skriptu");
  try {
    LoadMissingLanguages(u, dir);
    ADD_FAILURE() << "a bad language file was used";
  } catch (const ELanguageError& e) {
    EXPECT_NE(std::string(e.what()).find("kstiDanish.txt cannot be used: Found the end of memo marker # at line 1"),
              std::string::npos) << e.what();
  }
  EXPECT_EQ(u.lgCzech()->FindString(5)->Text, "ze skriptu");
  for (const char* name : {"kstiCzech.txt", "kstiFrench.txt", "kstiDanish.txt"}) platform::deleteFile(dir + "/" + name);
  platform::removeDirectory(dir);
}

TEST(Translator, LookupsByGlidTextAndMemo) {
  auto t = builtInTranslator(klEnglish);
  EXPECT_EQ(t->TranslateGLID(5, "x"), "Next >");
  EXPECT_EQ(t->TranslateGLID(99999, "x"), "x");
  // By text in a source language, letter case ignored, also beyond ASCII.
  EXPECT_EQ(t->TranslateText(klCzech, "DALŠÍ"), "Next >");
  EXPECT_EQ(t->TranslateText(klCzech, "storno"), "Cancel");
  EXPECT_EQ(t->TranslateText(klCzech, "no such text"), "no such text");
  EXPECT_EQ(t->TranslateText(klFrench, "Storno"), "Storno");  // source without texts
  // klUser is the user's language: U.S. English natively, whatever Windows says under Wine.
  if (t->GetUserLanguage() == t->lgEnglish()) {
    EXPECT_EQ(t->TranslateText(klUser, "next >"), "Next >");
  }
  // No target text for the GLID: the text stays.
  t->lgEnglish()->Strings()->SetText("1;only here");
  t->SetTranslateIntoLanguage(klCzech);
  EXPECT_EQ(t->TranslateText(klEnglish, "only here"), "only here");

  auto u = builtInTranslator(klEnglish);
  TStringList czech;
  czech.Assign(u->lgCzech()->FindMemo(1100)->Lines);
  TStringList result;
  u->TranslateMemo(klCzech, czech, result);
  EXPECT_EQ(result[0], "ZARVOTILL LICENCE AGREEMENT");
  u->TranslateMemo(klEnglish, TStringList{"unknown", "memo"}, result);
  EXPECT_EQ(result.Text(), "unknown\r\nmemo\r\n");
}

TEST(Translator, BuiltInLanguagesGiveEveryTextInEachLanguage) {
  auto t = builtInTranslator(klEnglish);
  TLanguage* english = t->lgEnglish();
  for (TLanguage* l : {t->lgCzech(), t->lgGerman()}) {
    for (const auto& e : l->StringElements()) EXPECT_NE(english->FindString(e->GLID), nullptr) << e->Text;
    for (const auto& e : english->StringElements()) EXPECT_NE(l->FindString(e->GLID), nullptr) << e->Text;
    for (const auto& e : english->MemoElements()) EXPECT_NE(l->FindMemo(e->GLID), nullptr) << e->GLID;
    // Every text of the kit's translated controls is there.
    for (int glid : {2, 3, 4, 5, 6, 10, 14, 15, 16, 48, 52, 60, 72}) EXPECT_NE(l->FindString(glid), nullptr);
  }
  // The pages' Czech texts lead to the German ones through the English language.
  t->SetTranslateIntoLanguage(klGerman);
  EXPECT_EQ(t->TranslateText(klEnglish, "Plná instalace"), "Vollständige Installation");
  EXPECT_EQ(t->TranslateText(klEnglish, "Full installation"), "Vollständige Installation");
}

TEST(Translator, MainTranslatorAndMessagesTranslatedBeforeFormatting) {
  EXPECT_EQ(MainTranslator(), nullptr);
  EXPECT_EQ(TranslateMessage("The BIFList is NIL"), "The BIFList is NIL");
  EXPECT_EQ(TranslateForm(klEnglish, nullptr), klEnglish);
  auto first = builtInTranslator(klCzech);
  auto second = builtInTranslator(klEnglish);
  EXPECT_EQ(MainTranslator(), first.get());
  EXPECT_EQ(TranslateMessage("Installation aborted by the user"), "Instalace byla přerušena uživatelem");
  EXPECT_EQ(EAIUserAbort().Message(), "Instalace byla přerušena uživatelem");
  // The format is translated first, then filled: the arguments are never looked up.
  EXPECT_EQ(IException("Please insert disk #%d", {3}).Message(), "Vložte prosím disketu č. 3");
  EXPECT_EQ(IException("%s could not write to the local dest file %s", {"Storno", "C:\\a"}).Message(),
            "Storno nemůže zapisovat do místního cílového souboru C:\\a");
  EXPECT_EQ(TranslateMessage("The BIFList is NIL"), "The BIFList is NIL");
  // Destroying the main translator leaves none, even while another one lives.
  first.reset();
  EXPECT_EQ(MainTranslator(), nullptr);
  EXPECT_EQ(TranslateMessage("Installation aborted by the user"), "Installation aborted by the user");
}

TEST(Translator, DefaultTranslatorGivesWayToTheNextOne) {
  TTranslator* made = TTranslator::CreateDefault();
  EXPECT_TRUE(made->IsDefault());
  EXPECT_EQ(MainTranslator(), made);
  {
    TTranslator own(nullptr);  // frees the default one
    EXPECT_EQ(MainTranslator(), &own);
  }
  EXPECT_EQ(MainTranslator(), nullptr);
}

class FormTranslation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static ui::TApplication application;
    ui::registerUiClasses(ClassRegistry::Global());
    dialogs::registerDialogClasses(ClassRegistry::Global());
  }
  // Every text a translation may change: string properties, radio items and memo lines
  // (trimmed: language texts hold no surrounding blanks).
  static std::map<std::string, std::string> texts(TComponent* c) {
    std::map<std::string, std::string> out;
    auto add = [&](TComponent* x) {
      for (const PropInfo* p : x->GetClassInfo().AllProps())
        if (p->kind == PropKind::String) out[x->Name() + "." + std::string(p->name)] = Trim(p->getStr(*x));
      if (auto* g = dynamic_cast<ui::TRadioGroup*>(x)) out[x->Name() + ".Items"] = g->Items()->Text();
      if (auto* r = dynamic_cast<ui::TRichEdit*>(x)) out[x->Name() + ".Lines"] = r->Lines()->Text();
    };
    add(c);
    for (int i = 0; i < c->ComponentCount(); ++i) add(c->Components(i));
    return out;
  }
};

TEST_F(FormTranslation, WelcomePageIntoEnglishAndBack) {
  dialogs::TWelcomeForm design(nullptr), form(nullptr);
  // Without a translator the page keeps its design texts.
  EXPECT_EQ(TranslateForm(klEnglish, &form), klEnglish);
  form.ApplyLanguage();
  EXPECT_EQ(texts(&form), texts(&design));
  auto t = builtInTranslator(klEnglish);
  form.rgpTypInstalace->SetItemIndex(1);
  const bool visible = form.btnDalsi->Visible();

  EXPECT_EQ(t->TranslateComponent(klEnglish, &form), klEnglish);
  EXPECT_EQ(form.Caption(), "Welcome");
  EXPECT_EQ(form.btnDalsi->Caption(), "Next >");
  EXPECT_EQ(form.btnStorno->Caption(), "Cancel");
  EXPECT_EQ(form.Label1->Caption(), "This program will install on your computer");
  EXPECT_EQ(form.rgpTypInstalace->Caption(), "Installation type");
  EXPECT_EQ(form.rgpTypInstalace->Items()->Text(), "Full installation\r\nDemo version\r\nBDE only\r\n");
  EXPECT_EQ(form.rgpTypInstalace->Buttons(2)->Caption(), "BDE only");
  EXPECT_EQ(form.rgpTypInstalace->ItemIndex(), 1);  // the user's choice stays
  EXPECT_EQ(form.Label3->Caption(), "Zarvotill");    // no text of any language
  EXPECT_EQ(form.btnDalsi->Visible(), visible);

  // Back into Czech from the state English: every text as designed.
  EXPECT_EQ(t->TranslateComponentInto(klEnglish, klCzech, &form), klCzech);
  EXPECT_EQ(t->TranslateIntoLanguage(), klEnglish);
  EXPECT_EQ(texts(&form), texts(&design));

  // A target without texts changes nothing and keeps the state.
  EXPECT_EQ(t->TranslateComponentInto(klCzech, klFrench, &form), klCzech);
  EXPECT_EQ(texts(&form), texts(&design));

  // A page applies the main translator's language, or its own when it overrides it, and
  // keeps the language its texts are in.
  dialogs::TWelcomeForm page(nullptr);
  page.ApplyLanguage();
  EXPECT_EQ(page.btnDalsi->Caption(), "Next >");
  EXPECT_EQ(page.TranslationState, klEnglish);
  EXPECT_EQ(page.rgpTypInstalace->Font()->Name(), "Arial");
  page.OverrideMainTranslator = true;
  page.TranslateIntoLanguage = klGerman;
  page.ApplyLanguage();
  EXPECT_EQ(page.Caption(), "Willkommen");
  EXPECT_EQ(page.TranslationState, klGerman);
  EXPECT_EQ(page.rgpTypInstalace->Font()->Name(), "MS Sans Serif");
  EXPECT_EQ(t->TranslateIntoLanguage(), klEnglish);
}

TEST_F(FormTranslation, TranslatedControlsByGlidOrByText) {
  auto t = builtInTranslator(klEnglish);
  ui::TForm form(nullptr);
  auto* byText = new ui::TTranslateLabel(&form);
  byText->SetCaption("Storno");
  auto* byGlid = new ui::TTranslateLabel(&form);
  byGlid->SetCaption("Storno");  // a text of GLID 6; its own GLID wins
  byGlid->SetGLID(5);
  auto* untouched = new ui::TTranslateBitBtn(&form);
  untouched->SetCaption("Storno");
  untouched->SetGLID(-1);  // non-zero: no translation by text either
  auto* named = new ui::TLabel(&form);
  named->SetName("Storno");
  named->SetCaption("  ");
  t->TranslateComponent(klCzech, &form);
  EXPECT_EQ(byText->Caption(), "Cancel");
  EXPECT_EQ(byGlid->Caption(), "Next >");
  EXPECT_EQ(untouched->Caption(), "Storno");
  EXPECT_EQ(named->Name(), "Storno");
  EXPECT_EQ(named->Caption(), "  ");
}

TEST_F(FormTranslation, FontsPerLanguage) {
  auto t = builtInTranslator(klCzech);
  ui::TForm form(nullptr);
  auto* panel = new ui::TPanel(&form);
  panel->SetParent(&form);
  auto* label = new ui::TLabel(&form);
  label->SetParent(panel);
  label->SetParentFont(false);
  label->Font()->SetSize(6);
  label->Font()->SetName("Courier New");

  t->ApplyFont(&form);
  for (ui::TControl* c : std::initializer_list<ui::TControl*>{&form, panel, label}) {
    EXPECT_EQ(c->Font()->Charset(), 238);
    EXPECT_EQ(c->Font()->Name(), "Arial");
    EXPECT_GE(c->Font()->Size(), 8);
  }
  t->lgJapanese()->Strings()->SetText("1;x");
  t->ApplyFontInto(klJapanese, &form);
  EXPECT_EQ(t->TranslateIntoLanguage(), klCzech);
  EXPECT_EQ(label->Font()->Charset(), 128);
  EXPECT_EQ(label->Font()->Size(), 9);
  // A language without texts sets the English font; FontOverride copies the language's.
  t->ApplyFontInto(klRussian, &form);
  EXPECT_EQ(label->Font()->Charset(), 0);
  t->lgCzech()->SetFontOverride(true);
  t->lgCzech()->Font()->SetName("Tahoma");
  t->lgCzech()->Font()->SetSize(12);
  t->ApplyFont(&form);
  EXPECT_EQ(label->Font()->Name(), "Tahoma");
  EXPECT_EQ(label->Font()->Size(), 12);
  // Hebrew has a face of its own; klUser and values beyond the list have none.
  SetLanguageFont(label, t->lgHebrew());
  EXPECT_EQ(label->Font()->Charset(), 177);
  EXPECT_THROW(LanguageCharset(klUser), ELanguageError);
  EXPECT_THROW(LanguageCharset(static_cast<TKstrLanguage>(17)), ELanguageError);
  // Without a main translator a form keeps its font.
  t.reset();
  const std::string face = label->Font()->Name();
  SetFormFont(&form);
  EXPECT_EQ(label->Font()->Name(), face);
}

TEST(LanguageTables, IdentifiersAndConstants) {
  EXPECT_EQ(LanguageFromLangID(0x0405), klCzech);
  EXPECT_EQ(LanguageFromLangID(0x0804), klChineseSimplified);  // sublanguage bits ignored
  EXPECT_EQ(LanguageFromLangID(0x042A), klVietnamese);
  EXPECT_EQ(LanguageFromLangID(0x0409), klEnglish);
  EXPECT_EQ(LanguageFromLangID(0x040E), klEnglish);  // Hungarian has no language here
  EXPECT_EQ(LanguageCharset(klRussian), 204);
  EXPECT_EQ(LanguageResourceName(klPortugese), "BM_LANG_PORTUGESE");
  EXPECT_EQ(LanguageFileName(klChineseSimplified), "kstiChineseSimplified.txt");
  TTranslator t(nullptr);
  EXPECT_EQ(t.Languages().size(), 16u);
  EXPECT_EQ(t.GetLanguage(klUser), nullptr);
  EXPECT_EQ(t.lgVietnamese()->LanguageIdent(), klVietnamese);
}

}  // namespace
}  // namespace kestrune::translation
