// Language elements, the language's Strings list and its parser.
#include <algorithm>
#include <charconv>

#include "platform/files.h"
#include "runtime/encoding.h"
#include "runtime/published.h"
#include "runtime/reader.h"
#include "runtime/sysutils.h"
#include "runtime/writer.h"
#include "translation/cmp_TTranslator.h"

namespace kestrune::translation {

namespace {

// The first max characters of UTF-8 text (bytes that are not UTF-8 count one each).
std::string cutToChars(std::string_view text, size_t max) {
  size_t pos = 0, chars = 0;
  while (pos < text.size() && chars < max) {
    uint32_t cp;
    if (!DecodeUtf8(text, pos, cp)) ++pos;
    ++chars;
  }
  return std::string(text.substr(0, pos));
}

// Lower case of a letter of the Latin, Greek and Cyrillic alphabets; other code points
// are returned as they are.
uint32_t foldCase(uint32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : c + 32;
  if (c >= 0x100 && c <= 0x137) return c | 1;
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
  if (c >= 0x14A && c <= 0x177) return c | 1;
  if (c == 0x178) return 0xFF;
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  return c;
}

bool sameTextFolded(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    uint32_t ca, cb;
    if (!DecodeUtf8(a, i, ca)) ca = 0x110000 + static_cast<uint8_t>(a[i++]);
    if (!DecodeUtf8(b, j, cb)) cb = 0x110000 + static_cast<uint8_t>(b[j++]);
    if (foldCase(ca) != foldCase(cb)) return false;
  }
  return i == a.size() && j == b.size();
}

// A decimal integer with an optional sign, surrounded by blanks at most.
bool parseGlid(std::string_view s, int32_t& value) {
  std::string t = Trim(s);
  std::string_view v = t;
  if (!v.empty() && v[0] == '+') v.remove_prefix(1);
  if (v.empty() || v[0] == '+') return false;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  return ec == std::errc() && end == v.data() + v.size();
}

[[noreturn]] void formatError(int index, const std::string& line, bool notNumber) {
  if (notNumber)
    throw ELanguageError("The %d'th string (%s) does not have the proper format of GLID;Text or .GLID;", {index, line});
  throw ELanguageError("The %d'th string (%s) does not have the proper format of GLID;Text", {index, line});
}

}  // namespace

TLanguageString::TLanguageString(TLanguage* language, int32_t glid, int lineIndex, std::string_view text)
    : TLanguageElement(language, glid, lineIndex), Text(Trim(cutToChars(text, kMaxChars))) {}

TLanguageMemo::TLanguageMemo(TLanguage* language, int32_t glid, int lineIndex, const std::vector<std::string>& lines)
    : TLanguageElement(language, glid, lineIndex) {
  for (const auto& l : lines) Lines.Add(l);
}

// ---- TLangFormatStrings ------------------------------------------------------------

const ClassInfo& TLangFormatStrings::classInfo() {
  static const ClassInfo info{"TLangFormatStrings", &TStringList::classInfo(), nullptr, {}};
  return info;
}

void TLangFormatStrings::changed() {
  if (language_) language_->ParseStrings();
}

template <class F>
void TLangFormatStrings::bulk(F&& change) {
  if (!language_) {
    change();
    return;
  }
  const bool was = language_->ParsingEnabled();
  language_->SetParsingEnabled(false);
  try {
    change();
  } catch (...) {
    language_->SetParsingEnabled(was);
    language_->ParseStrings();
    throw;
  }
  language_->SetParsingEnabled(was);
  language_->ParseStrings();
}

int TLangFormatStrings::Add(const std::string& s) {
  int i = TStringList::Add(s);
  changed();
  return i;
}

int TLangFormatStrings::AddObject(const std::string& s, void* object) {
  int i = TStringList::Add(s);
  TStrings::SetObjects(i, object);
  changed();
  return i;
}

void TLangFormatStrings::AddStrings(const TStrings& strings) {
  if (&strings == this) return;
  for (int i = 0; i < strings.Count(); ++i) {
    int at = TStringList::Add(strings[i]);
    TStrings::SetObjects(at, strings.Objects(i));
  }
  changed();
}

void TLangFormatStrings::Clear() {
  TStrings::Clear();
  changed();
}

void TLangFormatStrings::Insert(int index, const std::string& s) {
  TStrings::Insert(index, s);
  changed();
}

void TLangFormatStrings::SetStrings(int index, const std::string& value) {
  TStrings::SetStrings(index, value);
  changed();
}

void TLangFormatStrings::SetText(std::string_view text) {
  bulk([&] { TStrings::SetText(text); });
}

void TLangFormatStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  checkIndex(curIndex);
  checkIndex(newIndex);
  std::string s = items_[curIndex];
  void* o = objects_[curIndex];
  items_.erase(items_.begin() + curIndex);
  objects_.erase(objects_.begin() + curIndex);
  items_.insert(items_.begin() + newIndex, std::move(s));
  objects_.insert(objects_.begin() + newIndex, o);
  changed();
}

void TLangFormatStrings::Delete(int index) {
  TStrings::Delete(index);
  if (language_) language_->lineDeleted(index);
}

void TLangFormatStrings::Assign(const TPersistent& source) {
  bulk([&] { TStringList::Assign(source); });
}

void TLangFormatStrings::LoadFromStream(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  for (size_t pos = 0; pos < bytes.size();) {
    uint32_t cp;
    if (!DecodeUtf8(bytes, pos, cp))
      throw ELanguageError("The language text is not UTF-8: byte %d cannot be read", {static_cast<int64_t>(pos)});
  }
  bulk([&] { TStrings::SetText(bytes); });
}

void TLangFormatStrings::LoadFromFile(const std::string& path) {
  std::vector<uint8_t> data = platform::readWholeFile(path);
  LoadFromStream(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

void TLangFormatStrings::DefineProperties(Filer& filer) {
  filer.DefineProperty(
      "Strings",
      [this](Reader& r) {
        bulk([&] {
          TStrings::Clear();
          r.ReadListBegin();
          while (!r.EndOfList()) TStringList::Add(r.ReadString());
          r.ReadListEnd();
        });
      },
      [this](Writer& w) {
        w.WriteListBegin();
        for (const auto& s : items_) w.WriteString(s);
        w.WriteListEnd();
      },
      Count() > 0);
}

// ---- TLanguage -----------------------------------------------------------------------

const ClassInfo& TLanguage::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TLanguage::Font>("Font"),
      prop<&TLanguage::FontOverride, &TLanguage::SetFontOverride>("FontOverride").Default(0),
      prop<&TLanguage::LanguageIdent>("LanguageIdent"),
      prop<&TLanguage::Strings>("Strings")};
  static const ClassInfo info{"TLanguage", &TPersistent::classInfo(), nullptr, props};
  return info;
}

TLanguage::TLanguage(TTranslator* translator, TKstrLanguage ident)
    : translator_(translator),
      ident_(ident),
      font_(std::make_unique<ui::TFont>()),
      strings_(std::make_unique<TLangFormatStrings>(this)),
      resourceName_(translation::LanguageResourceName(ident)),
      fileName_(translation::LanguageFileName(ident)) {}

TLanguage::~TLanguage() = default;

void TLanguage::SetFont(ui::TFont* font) {
  if (font) font_->Assign(*font);
}

void TLanguage::SetStrings(TStrings* strings) {
  if (strings) strings_->Assign(*strings);
}

void TLanguage::clearElements() {
  stringElements_.clear();
  memos_.clear();
}

void TLanguage::lineDeleted(int index) {
  for (auto& e : stringElements_)
    if (e->LineIndex > index) --e->LineIndex;
}

void TLanguage::ParseStrings() {
  if (!parsing_) return;
  clearElements();
  bool inMemo = false;
  int32_t memoGlid = 0;
  int memoStart = 0;
  std::vector<std::string> collected;
  try {
    for (int i = 0; i < strings_->Count(); ++i) {
      const std::string t = Trim((*strings_)[i]);
      if (t.empty()) continue;
      if (t == "#") {
        if (!inMemo) throw ELanguageError("Found the end of memo marker # at line %d. Was not in a memo however", {i});
        memos_.push_back(std::make_unique<TLanguageMemo>(this, memoGlid, memoStart, collected));
        inMemo = false;
        continue;
      }
      if (t[0] == '*') continue;
      int32_t glid = 0;
      if (!inMemo) {
        std::string head = t.substr(0, t.find(';'));
        const bool memoStartLine = t[0] == '#';
        if (memoStartLine) head.erase(0, 1);
        if (Trim(head).empty()) formatError(i, t, false);
        if (!parseGlid(head, glid)) formatError(i, t, true);
        if (memoStartLine) {
          memoGlid = glid;
          memoStart = i;
          collected.clear();
          inMemo = true;
          continue;
        }
      }
      if (inMemo) {
        collected.push_back(t);
        continue;
      }
      const size_t first = t.find(';');
      std::string text;
      if (first != std::string::npos) {
        const size_t second = t.find(';', first + 1);
        text = Trim(std::string_view(t).substr(first + 1, second == std::string::npos ? std::string::npos
                                                                                         : second - first - 1));
      }
      if (text.empty()) formatError(i, t, false);
      stringElements_.push_back(std::make_unique<TLanguageString>(this, glid, i, text));
    }
  } catch (...) {
    clearElements();
    throw;
  }
}

TLanguageString* TLanguage::FindString(int32_t glid) const {
  for (const auto& e : stringElements_)
    if (e->GLID == glid) return e.get();
  return nullptr;
}

TLanguageMemo* TLanguage::FindMemo(int32_t glid) const {
  for (const auto& e : memos_)
    if (e->GLID == glid) return e.get();
  return nullptr;
}

TLanguageString* TLanguage::FindStringByText(std::string_view text) const {
  // Element texts are trimmed when parsed, so the text is compared trimmed too: a caption
  // with a trailing blank ("Typ instalace ") still finds its text.
  const std::string wanted = Trim(text);
  for (const auto& e : stringElements_)
    if (sameTextFolded(e->Text, wanted)) return e.get();
  return nullptr;
}

TLanguageMemo* TLanguage::FindMemoByText(const TStrings& lines) const {
  const std::string joined = lines.Text();
  for (const auto& e : memos_)
    if (e->Lines.Text() == joined) return e.get();
  return nullptr;
}

}  // namespace kestrune::translation
