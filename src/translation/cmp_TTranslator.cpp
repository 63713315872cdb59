// The translator component, the main translator and the global translation routines.
#include "translation/cmp_TTranslator.h"

#include "platform/system.h"
#include "runtime/published.h"
#include "runtime/seams.h"
#include "runtime/sysutils.h"
#include "translation/language_files.h"
#include "ui/cmp_TTranslateControls.h"
#include "ui/comctrls.h"
#include "ui/extctrls.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

namespace kestrune::translation {

namespace {

struct MainState {
  TTranslator* main = nullptr;
  std::unique_ptr<TTranslator> made;  // the default translator the kit made itself
};
MainState& mainState() {
  static MainState s;
  return s;
}

void setMain(TTranslator* t) {
  MainState& s = mainState();
  s.main = t;
  if (t)
    SetTranslateMessageHook([](std::string_view text) {
      TTranslator* m = MainTranslator();
      return m ? m->TranslateText(TKstrLanguage::klEnglish, text) : std::string(text);
    });
  else
    SetTranslateMessageHook(nullptr);
}

// Sets the value back when the scope ends, also on an exception.
struct IntoLanguageScope {
  TTranslator& t;
  TKstrLanguage saved;
  IntoLanguageScope(TTranslator& translator, TKstrLanguage language)
      : t(translator), saved(translator.TranslateIntoLanguage()) {
    t.SetTranslateIntoLanguage(language);
  }
  ~IntoLanguageScope() { t.SetTranslateIntoLanguage(saved); }
};

}  // namespace

const ClassInfo& TTranslator::classInfo() {
  using enum TKstrLanguage;
  static constexpr PropInfo props[] = {
      prop<&TTranslator::lgChineseSimplified>("lgChineseSimplified"), prop<&TTranslator::lgCzech>("lgCzech"),
      prop<&TTranslator::lgDanish>("lgDanish"), prop<&TTranslator::lgEnglish>("lgEnglish"),
      prop<&TTranslator::lgFrench>("lgFrench"), prop<&TTranslator::lgGerman>("lgGerman"),
      prop<&TTranslator::lgGreek>("lgGreek"), prop<&TTranslator::lgHebrew>("lgHebrew"),
      prop<&TTranslator::lgItalian>("lgItalian"), prop<&TTranslator::lgJapanese>("lgJapanese"),
      prop<&TTranslator::lgKorean>("lgKorean"), prop<&TTranslator::lgPolish>("lgPolish"),
      prop<&TTranslator::lgPortugese>("lgPortugese"), prop<&TTranslator::lgRussian>("lgRussian"),
      prop<&TTranslator::lgSpanish>("lgSpanish"), prop<&TTranslator::lgVietnamese>("lgVietnamese"),
      prop<&TTranslator::TranslateIntoLanguage, &TTranslator::SetTranslateIntoLanguage>("TranslateIntoLanguage")
          .Default(static_cast<int64_t>(klUser))};
  static const ClassInfo info{"TTranslator", &TComponent::classInfo(), create<TTranslator>, props};
  return info;
}

TTranslator::TTranslator(TComponent* owner) : TComponent(owner) {
  for (int i = 0; i <= static_cast<int>(TKstrLanguage::klVietnamese); ++i) {
    auto l = static_cast<TKstrLanguage>(i);
    if (l != TKstrLanguage::klUser) languages_.push_back(std::make_unique<TLanguage>(this, l));
  }
  MainState& s = mainState();
  if (s.main && s.main == s.made.get()) s.made.reset();  // its destructor clears the main translator
  if (!s.main) setMain(this);
}

TTranslator::~TTranslator() {
  if (mainState().main == this) setMain(nullptr);
}

TTranslator* TTranslator::CreateDefault() {
  MainState& s = mainState();
  if (s.main) return s.main;
  s.made = std::make_unique<TTranslator>(nullptr);
  s.made->isDefault_ = true;
  return s.made.get();
}

TLanguage* TTranslator::language(TKstrLanguage l) const { return GetLanguage(l); }

void TTranslator::SetTranslateIntoLanguage(TKstrLanguage v) {
  into_ = v;
  if (OnChange) OnChange(this);
}

TLanguage* TTranslator::GetLanguage(TKstrLanguage language) const {
  for (const auto& l : languages_)
    if (l->LanguageIdent() == language) return l.get();
  return nullptr;
}

TLanguage* TTranslator::GetUserLanguage() const {
  try {
    return GetLanguage(LanguageFromLangID(platform::userDefaultLanguageId()));
  } catch (const std::exception&) {
    return nullptr;
  }
}

TLanguage* TTranslator::TargetLanguage() const {
  return into_ == TKstrLanguage::klUser ? GetUserLanguage() : GetLanguage(into_);
}

std::string TTranslator::TranslateText(TKstrLanguage source, std::string_view text) const {
  const TLanguage* from = source == TKstrLanguage::klUser ? GetUserLanguage() : GetLanguage(source);
  const TLanguageString* found = from ? from->FindStringByText(text) : nullptr;
  const TLanguage* target = found ? TargetLanguage() : nullptr;
  const TLanguageString* result = target ? target->FindString(found->GLID) : nullptr;
  return result ? result->Text : std::string(text);
}

std::string TTranslator::TranslateGLID(int32_t glid, std::string_view text) const {
  const TLanguage* target = TargetLanguage();
  const TLanguageString* result = target ? target->FindString(glid) : nullptr;
  return result ? result->Text : std::string(text);
}

void TTranslator::TranslateMemo(TKstrLanguage source, const TStrings& lines, TStrings& result) const {
  TStringList translated;
  translated.Assign(lines);
  const TLanguage* from = source == TKstrLanguage::klUser ? GetUserLanguage() : GetLanguage(source);
  const TLanguageMemo* found = from ? from->FindMemoByText(lines) : nullptr;
  const TLanguage* target = found ? TargetLanguage() : nullptr;
  if (const TLanguageMemo* memo = target ? target->FindMemo(found->GLID) : nullptr) translated.Assign(memo->Lines);
  result.Assign(translated);
}

TKstrLanguage TTranslator::TranslateComponent(TKstrLanguage state, TComponent* component) {
  if (!component) return state;
  auto* control = dynamic_cast<ui::TControl*>(component);
  const bool hide = control && !dynamic_cast<ui::TCustomForm*>(control) && !dynamic_cast<ui::TImage*>(control);
  const bool wasVisible = control && control->Visible();
  auto* label = dynamic_cast<ui::TLabel*>(component);
  auto* customLabel = dynamic_cast<ui::TCustomLabel*>(component);
  const bool autoSize = label ? label->AutoSize() : customLabel && customLabel->AutoSize();
  if (hide) control->SetVisible(false);
  if (label) label->SetAutoSize(false);
  if (customLabel) customLabel->SetAutoSize(false);

  // Whatever happens below, the control is shown and sized as it was.
  struct Restore {
    ui::TControl* control;
    bool hide, visible, autoSize;
    ui::TLabel* label;
    ui::TCustomLabel* customLabel;
    ~Restore() {
      if (label) label->SetAutoSize(autoSize);
      if (customLabel) customLabel->SetAutoSize(autoSize);
      if (hide) control->SetVisible(visible);
      if (auto* win = dynamic_cast<ui::TWinControl*>(control)) win->AlignControls();
    }
  } restore{control, hide, wasVisible, autoSize, label, customLabel};

  int32_t glid = 0;
  if (auto* l = dynamic_cast<ui::TTranslateLabel*>(component)) glid = l->GLID();
  else if (auto* b = dynamic_cast<ui::TTranslateBitBtn*>(component)) glid = b->GLID();
  if (glid > 0) control->SetCaption(TranslateGLID(glid, control->Caption()));
  const bool handled = glid != 0;
  if (!handled) {
    for (const PropInfo* p : component->GetClassInfo().AllProps()) {
      if (p->kind != PropKind::String || !p->setStr || SameText(p->name, "NAME")) continue;
      const std::string value = p->getStr(*component);
      if (Trim(value).empty()) continue;
      p->setStr(*component, TranslateText(state, value));
    }
    if (auto* memo = dynamic_cast<ui::TRichEdit*>(component)) {
      TranslateMemo(state, *memo->Lines(), *memo->Lines());
      memo->LinesChanged();
    }
    if (auto* group = dynamic_cast<ui::TRadioGroup*>(component)) {
      TStrings& items = *group->Items();
      for (int i = 0; i < items.Count(); ++i) items.SetStrings(i, TranslateText(state, items[i]));
      group->ItemsChanged();
    }
  }
  for (int i = 0; i < component->ComponentCount(); ++i) {
    TComponent* child = component->Components(i);
    if (!dynamic_cast<ui::TCustomForm*>(child)) TranslateComponent(state, child);
  }
  const TLanguage* target = TargetLanguage();
  return target && target->Strings()->Count() > 0 ? into_ : state;
}

TKstrLanguage TTranslator::TranslateComponentInto(TKstrLanguage state, TKstrLanguage language, TComponent* component) {
  IntoLanguageScope scope(*this, language);
  return TranslateComponent(state, component);
}

void TTranslator::ApplyFont(ui::TControl* control) {
  const TLanguage* target = control ? TargetLanguage() : nullptr;
  if (!target) return;
  if (target->Strings()->Count() == 0) target = GetLanguage(TKstrLanguage::klEnglish);
  SetLanguageFont(control, target);
}

void TTranslator::ApplyFontInto(TKstrLanguage language, ui::TControl* control) {
  IntoLanguageScope scope(*this, language);
  ApplyFont(control);
}

void TTranslator::Loaded() {
  TComponent::Loaded();
  LoadMissingLanguages(*this);
}

TTranslator* MainTranslator() { return mainState().main; }

TKstrLanguage TranslateForm(TKstrLanguage state, TComponent* form) {
  TTranslator* t = MainTranslator();
  return t ? t->TranslateComponent(state, form) : state;
}

TKstrLanguage TranslateFormInto(TKstrLanguage state, TKstrLanguage language, TComponent* form) {
  TTranslator* t = MainTranslator();
  return t ? t->TranslateComponentInto(state, language, form) : state;
}

void SetFormFont(ui::TControl* form) {
  if (TTranslator* t = MainTranslator()) t->ApplyFont(form);
}

void SetFormFontIn(TKstrLanguage language, ui::TControl* form) {
  if (TTranslator* t = MainTranslator()) t->ApplyFontInto(language, form);
}

void registerTranslationClasses(ClassRegistry& registry) { registry.Register(TTranslator::classInfo()); }

}  // namespace kestrune::translation
