// Text form <-> binary component stream, converted by syntax alone.
#include "runtime/text_form.h"

#include <array>
#include <cstring>
#include <limits>

#include "runtime/encoding.h"
#include "runtime/exceptions.h"
#include "runtime/stream_format.h"
#include "runtime/writer.h"

namespace kestrune {

using namespace stream;

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool isIdent(std::string_view s) {
  if (s.empty() || !isLetter(s[0])) return false;
  for (char c : s)
    if (!isLetter(c) && !isDigit(c)) return false;
  return true;
}

bool isDottedIdent(std::string_view s) {
  size_t start = 0;
  for (;;) {
    size_t dot = s.find('.', start);
    if (!isIdent(s.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start))) return false;
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

// Words that open or close an object in the text; a property cannot be named by them.
bool isObjectKeyword(std::string_view s) {
  return SameText(s, "object") || SameText(s, "inherited") || SameText(s, "inline") || SameText(s, "end");
}

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

// ---------------------------------------------------------------------------------------
// Text -> binary

enum class Tok { End, Symbol, Integer, String, Char };

struct Token {
  Tok kind = Tok::End;
  std::string text;   // symbol or number as written; for a string its Windows-1250 bytes
  int64_t value = 0;  // integer value (a hex value already as its 32-bit pattern)
  char ch = 0;        // single-character token
  int line = 1;
  int column = 1;
};

class TextToBinary {
 public:
  TextToBinary(std::string_view text, std::vector<TextFormMark>* marks) : src_(text), marks_(marks) {
    if (src_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;  // a byte order mark some editors add
  }

  std::vector<uint8_t> Run() {
    for (char c : kSignature) out_.WriteByte(static_cast<uint8_t>(c));
    next();
    parseObject(0);
    if (tok_.kind != Tok::End) expected("end of text");
    return out_.Bytes();
  }

 private:
  [[noreturn]] void errorAt(int line, int column, const std::string& what) const {
    throw EParserError("Line %d, column %d: %s", {line, column, what});
  }
  [[noreturn]] void expected(const std::string& what) const {
    errorAt(tok_.line, tok_.column, what + " expected but " + describe(tok_) + " found");
  }
  static std::string describe(const Token& t) {
    switch (t.kind) {
      case Tok::End: return "end of text";
      case Tok::Symbol: return "'" + t.text + "'";
      case Tok::Integer: return "number " + t.text;
      case Tok::String: return "string";
      case Tok::Char: return std::string("'") + t.ch + "'";
    }
    return "?";
  }
  // The character at pos_ as the user sees it, for messages.
  std::string describeChar() const {
    unsigned char c = static_cast<unsigned char>(src_[pos_]);
    if (c >= 0x20 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
    if (c < 0x80) return Format("character #%d", {static_cast<int>(c)});
    size_t p = pos_;
    uint32_t cp = 0;
    if (!DecodeUtf8(src_, p, cp)) return "invalid UTF-8";
    return "'" + std::string(src_.substr(pos_, p - pos_)) + "'";
  }

  // Notes where the object or property about to be written starts in the text.
  void mark(int line, int column, std::string object) {
    if (marks_) marks_->push_back({out_.Bytes().size(), line, column, std::move(object)});
  }

  bool atEnd() const { return pos_ >= src_.size(); }
  char peekChar(size_t ahead = 0) const { return pos_ + ahead < src_.size() ? src_[pos_ + ahead] : '\0'; }
  void advance() {  // one ASCII character that is not a line end
    ++pos_;
    ++column_;
  }

  void skipSpace() {
    while (!atEnd()) {
      char c = src_[pos_];
      if (c == '\n' || c == '\r') {
        ++pos_;
        if (c == '\r' && peekChar() == '\n') ++pos_;
        ++line_;
        column_ = 1;
      } else if (c == ' ' || c == '\t') {
        advance();
      } else {
        break;
      }
    }
  }

  void next() {
    skipSpace();
    tok_ = Token{};
    tok_.line = line_;
    tok_.column = column_;
    if (atEnd()) return;
    char c = src_[pos_];
    if (isLetter(c)) {
      size_t start = pos_;
      while (isLetter(peekChar()) || isDigit(peekChar())) advance();
      tok_.kind = Tok::Symbol;
      tok_.text = std::string(src_.substr(start, pos_ - start));
      if (tok_.text.size() > 255) errorAt(tok_.line, tok_.column, "identifier longer than 255 characters");
    } else if (isDigit(c) || c == '$') {
      lexNumber();
    } else if (c == '\'' || c == '#') {
      lexString();
    } else if (c != '\0' && std::strchr("=:[](){},+-.<>", c)) {
      tok_.kind = Tok::Char;
      tok_.ch = c;
      advance();
    } else {
      errorAt(line_, column_, "unexpected " + describeChar());
    }
  }

  void lexNumber() {
    size_t start = pos_;
    uint64_t v = 0;
    tok_.kind = Tok::Integer;
    if (src_[pos_] == '$') {
      advance();
      if (hexValue(peekChar()) < 0) errorAt(line_, column_, "hexadecimal digit expected after '$'");
      while (hexValue(peekChar()) >= 0) {
        v = v * 16 + hexValue(peekChar());
        if (v > 0xFFFFFFFFu) errorAt(tok_.line, tok_.column, "number out of the 32-bit range");
        advance();
      }
      tok_.value = static_cast<int32_t>(static_cast<uint32_t>(v));
    } else {
      while (isDigit(peekChar())) {
        v = v * 10 + (peekChar() - '0');
        // One more than the largest value, so that a minus sign can make it the smallest.
        if (v > static_cast<uint64_t>(kInt32Max) + 1) errorAt(tok_.line, tok_.column, "number out of the 32-bit range");
        advance();
      }
      tok_.value = static_cast<int64_t>(v);
      char c = peekChar();
      if ((c == '.' && isDigit(peekChar(1))) || c == 'e' || c == 'E')
        errorAt(tok_.line, tok_.column, "floating-point values are not supported");
    }
    if (isLetter(peekChar()) || isDigit(peekChar())) errorAt(tok_.line, tok_.column, "invalid number");
    tok_.text = std::string(src_.substr(start, pos_ - start));
  }

  // A string: quoted parts and #nnn codes written together without spaces.
  void lexString() {
    tok_.kind = Tok::String;
    for (;;) {
      char c = peekChar();
      if (c == '\'') {
        int line = line_, column = column_;
        advance();
        for (;;) {
          char d = peekChar();
          if (atEnd() || d == '\r' || d == '\n') errorAt(line, column, "unterminated string");
          if (d == '\'') {
            advance();
            if (peekChar() != '\'') break;
            advance();
            tok_.text += '\'';
            continue;
          }
          appendLetter();
        }
      } else if (c == '#') {
        int line = line_, column = column_;
        advance();
        uint32_t v = 0;
        bool hex = peekChar() == '$';
        if (hex) advance();
        int digits = 0;
        for (;; ++digits) {
          int d = hex ? hexValue(peekChar()) : (isDigit(peekChar()) ? peekChar() - '0' : -1);
          if (d < 0) break;
          v = v * (hex ? 16 : 10) + d;
          if (v > 255) errorAt(line, column, "character code out of the range 0..255");
          advance();
        }
        if (digits == 0) errorAt(line_, column_, "character code expected after '#'");
        tok_.text += static_cast<char>(v);
      } else {
        return;
      }
    }
  }

  // One UTF-8 letter inside quotes, stored as its Windows-1250 byte.
  void appendLetter() {
    uint32_t cp = 0;
    size_t p = pos_;
    if (!DecodeUtf8(src_, p, cp)) errorAt(line_, column_, "invalid UTF-8");
    std::optional<uint8_t> b = UnicodeToCp1250(cp);
    if (!b) {
      errorAt(line_, column_,
              Format("the character '%s' (U+%.4X) cannot be stored in Windows-1250",
                     {std::string(src_.substr(pos_, p - pos_)), static_cast<long long>(cp)}));
    }
    tok_.text += static_cast<char>(*b);
    pos_ = p;
    ++column_;
  }

  bool isKeyword(std::string_view word) const { return tok_.kind == Tok::Symbol && SameText(tok_.text, word); }
  bool atObjectStart() const { return isKeyword("object") || isKeyword("inherited") || isKeyword("inline"); }
  bool isChar(char c) const { return tok_.kind == Tok::Char && tok_.ch == c; }
  void expectChar(char c) {
    if (!isChar(c)) expected(std::string("'") + c + "'");
    next();
  }
  std::string expectSymbol(const char* what) {
    if (tok_.kind != Tok::Symbol) expected(what);
    std::string s = tok_.text;
    next();
    return s;
  }

  // An integer with an optional minus sign, checked against the 32-bit range.
  int32_t parseInteger() {
    bool negative = isChar('-');
    if (negative) next();
    if (tok_.kind != Tok::Integer) expected("number");
    int64_t v = negative ? -tok_.value : tok_.value;
    if (v < kInt32Min || v > kInt32Max) errorAt(tok_.line, tok_.column, "number out of the 32-bit range");
    next();
    return static_cast<int32_t>(v);
  }

  void parseObject(int depth) {
    if (depth > kMaxDepth) errorAt(tok_.line, tok_.column, "objects nested too deeply");
    if (!atObjectStart()) expected("'object'");
    uint8_t flags = isKeyword("inherited") ? ffInherited : isKeyword("inline") ? ffInline : 0;
    const int objectLine = tok_.line, objectColumn = tok_.column;
    next();
    int classLine = tok_.line, classColumn = tok_.column;
    std::string name, className = expectSymbol("component name");
    if (isChar(':')) {
      next();
      name = std::move(className);
      classLine = tok_.line;
      classColumn = tok_.column;
      className = expectSymbol("class name");
    }
    int32_t childPos = 0;
    if (isChar('[')) {
      next();
      childPos = parseInteger();
      flags |= ffChildPos;
      expectChar(']');
    }
    mark(objectLine, objectColumn, name.empty() ? className : name);
    if (flags) {
      out_.WriteByte(kFilerFlagsMask | flags);
      if (flags & ffChildPos) out_.WriteInteger(childPos);
    } else if (className.size() >= kFilerFlagsMask) {
      // Its length byte would read as the filer flags prefix.
      errorAt(classLine, classColumn, "class name longer than 239 characters");
    }
    out_.WriteShortString(className);
    out_.WriteShortString(name);
    while (!isKeyword("end") && !atObjectStart()) parseProperty(depth);
    out_.WriteByte(vaNull);
    while (atObjectStart()) parseObject(depth + 1);
    if (!isKeyword("end")) expected("'end'");
    next();
    out_.WriteByte(vaNull);
  }

  void parseProperty(int depth) {
    if (tok_.kind != Tok::Symbol) expected("property name, 'object' or 'end'");
    int line = tok_.line, column = tok_.column;
    std::string name = expectSymbol("property name");
    while (isChar('.')) {
      next();
      name += '.';
      name += expectSymbol("property name");
    }
    if (name.size() > 255) errorAt(line, column, "property name longer than 255 characters");
    expectChar('=');
    mark(line, column, {});
    out_.WriteShortString(name);
    parseValue(depth);
  }

  void parseValue(int depth) {
    if (depth > kMaxDepth) errorAt(tok_.line, tok_.column, "values nested too deeply");
    switch (tok_.kind) {
      case Tok::Integer:
        out_.WriteInteger(parseInteger());
        return;
      case Tok::String: {
        std::string s = tok_.text;
        next();
        while (isChar('+')) {
          next();
          if (tok_.kind != Tok::String) expected("string");
          s += tok_.text;
          next();
        }
        out_.WriteRawString(s);
        return;
      }
      case Tok::Symbol: {
        // An identifier, possibly dotted (a component of another root); True, False
        // and nil become their own tags.
        int line = tok_.line, column = tok_.column;
        std::string ident = expectSymbol("identifier");
        while (isChar('.')) {
          next();
          ident += '.';
          ident += expectSymbol("identifier");
        }
        if (ident.size() > 255) errorAt(line, column, "identifier longer than 255 characters");
        out_.WriteIdent(ident);
        return;
      }
      case Tok::Char:
        break;
      case Tok::End:
        expected("value");
    }
    switch (tok_.ch) {
      case '-':
        out_.WriteInteger(parseInteger());
        return;
      case '[':
        next();
        out_.WriteByte(vaSet);
        if (!isChar(']')) {
          for (;;) {
            out_.WriteShortString(expectSymbol("set element"));
            if (!isChar(',')) break;
            next();
          }
        }
        if (!isChar(']')) expected("',' or ']'");
        next();
        out_.WriteShortString("");
        return;
      case '(':
        next();
        out_.WriteListBegin();
        while (!isChar(')')) {
          if (tok_.kind == Tok::End) expected("')'");
          parseValue(depth + 1);
        }
        next();
        out_.WriteListEnd();
        return;
      case '{':
        parseBinary();
        return;
      default:
        expected("value");
    }
  }

  // Hexadecimal bytes up to '}', read straight from the text after the '{' token.
  void parseBinary() {
    std::vector<uint8_t> bytes;
    int high = -1, highLine = 0, highColumn = 0;
    for (;;) {
      skipSpace();
      if (atEnd()) errorAt(line_, column_, "'}' expected but end of text found");
      char c = src_[pos_];
      if (c == '}') {
        if (high >= 0) errorAt(highLine, highColumn, "odd number of hexadecimal digits");
        advance();
        break;
      }
      int v = hexValue(c);
      if (v < 0) errorAt(line_, column_, "hexadecimal digit or '}' expected but " + describeChar() + " found");
      if (high < 0) {
        high = v;
        highLine = line_;
        highColumn = column_;
      } else {
        bytes.push_back(static_cast<uint8_t>(high * 16 + v));
        high = -1;
      }
      advance();
    }
    out_.WriteBinary(bytes);
    next();
  }

  std::string_view src_;
  size_t pos_ = 0;
  int line_ = 1;
  int column_ = 1;
  Token tok_;
  Writer out_;
  std::vector<TextFormMark>* marks_;
};

// ---------------------------------------------------------------------------------------
// Binary -> text

constexpr size_t kStringWidth = 64;  // characters of a string piece before a '+' break
constexpr size_t kBinaryWidth = 32;  // bytes per line of a binary value

// How a stream byte is shown inside quotes; empty when it is written as #nnn (control
// characters, bytes Windows-1250 leaves unassigned, and invisible spaces).
const std::string& quotedGlyph(uint8_t b) {
  static const std::array<std::string, 256> table = [] {
    std::array<std::string, 256> t;
    for (int i = 0x20; i < 0x7F; ++i) t[i] = std::string(1, static_cast<char>(i));
    t['\''] = "''";
    for (int i = 0x80; i < 0x100; ++i) {
      std::string utf8 = Cp1250ToUtf8(std::string(1, static_cast<char>(i)));
      size_t p = 0;
      uint32_t cp = 0;
      if (DecodeUtf8(utf8, p, cp) && cp > 0xA0 && cp != 0xAD) t[i] = utf8;
    }
    return t;
  }();
  return table[b];
}

class BinaryToText {
 public:
  explicit BinaryToText(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

  std::string Run() {
    if (size_ < 4 || std::memcmp(data_, kSignature, 4) != 0) throw EReadError("Invalid stream format");
    pos_ = 4;
    convertObject(0, 0);
    if (pos_ != size_) fail("data after the root object");
    return std::move(out_);
  }

 private:
  [[noreturn]] void failAt(size_t at, const std::string& what) const {
    throw EReadError("Invalid stream format: %s at offset %d", {what, static_cast<long long>(at)});
  }
  [[noreturn]] void fail(const std::string& what) const { failAt(pos_, what); }

  const uint8_t* take(size_t n) {
    if (n > size_ - pos_) fail("unexpected end of stream");
    const uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
  }
  uint8_t peek() const {
    if (pos_ >= size_) fail("unexpected end of stream");
    return data_[pos_];
  }
  uint8_t readByte() { return *take(1); }
  size_t readLength() {
    const uint8_t* p = take(4);
    int32_t n = static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24));
    if (n < 0) failAt(pos_ - 4, "negative length");
    return static_cast<size_t>(n);
  }
  std::string readShortString() {
    size_t n = readByte();
    return std::string(reinterpret_cast<const char*>(take(n)), n);
  }
  // A short string that must read back as the same word in the text.
  std::string readWord(const char* what, bool (*valid)(std::string_view)) {
    size_t at = pos_;
    std::string s = readShortString();
    if (!valid(s)) failAt(at, Format("%s is not an identifier", {what}));
    return s;
  }
  int32_t readInteger(uint8_t tag) {
    switch (tag) {
      case vaInt8: return static_cast<int8_t>(readByte());
      case vaInt16: {
        const uint8_t* p = take(2);
        return static_cast<int16_t>(p[0] | (p[1] << 8));
      }
      default: {
        const uint8_t* p = take(4);
        return static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24));
      }
    }
  }

  void convertObject(size_t indent, int depth) {
    if (depth > kMaxDepth) fail("objects nested too deeply");
    std::string pad(indent, ' ');
    const char* keyword = "object";
    std::string position;
    if ((peek() & kFilerFlagsMask) == kFilerFlagsMask) {
      size_t at = pos_;
      uint8_t flags = readByte() & 0x0F;
      if (flags & ~(ffInherited | ffChildPos | ffInline) || (flags & ffInherited && flags & ffInline))
        failAt(at, "unknown filer flags");
      if (flags & ffInherited) keyword = "inherited";
      if (flags & ffInline) keyword = "inline";
      if (flags & ffChildPos) {
        uint8_t tag = readByte();
        if (tag != vaInt8 && tag != vaInt16 && tag != vaInt32) failAt(pos_ - 1, "child position is not an integer");
        position = " [" + std::to_string(readInteger(tag)) + "]";
      }
    }
    std::string className = readWord("the class name", isIdent);
    std::string name = readWord("the component name", [](std::string_view s) { return s.empty() || isIdent(s); });
    out_ += pad + keyword + " " + (name.empty() ? "" : name + ": ") + className + position + "\n";
    while (peek() != vaNull) {
      size_t at = pos_;
      std::string prop = readWord("the property name", isDottedIdent);
      if (isObjectKeyword(prop.substr(0, prop.find('.')))) failAt(at, "a property named " + prop + " cannot be written as text");
      out_ += pad + "  " + prop + " = ";
      convertValue(indent + 2, depth);
      out_ += "\n";
    }
    ++pos_;
    while (peek() != vaNull) convertObject(indent + 2, depth + 1);
    ++pos_;
    out_ += pad + "end\n";
  }

  void convertValue(size_t indent, int depth) {
    if (depth > kMaxDepth) fail("values nested too deeply");
    size_t at = pos_;
    uint8_t tag = readByte();
    switch (tag) {
      case vaInt8: case vaInt16: case vaInt32:
        out_ += std::to_string(readInteger(tag));
        break;
      case vaString:
        writeString(readShortString(), indent);
        break;
      case vaLString: {
        size_t n = readLength();
        writeString(std::string_view(reinterpret_cast<const char*>(take(n)), n), indent);
        break;
      }
      case vaIdent: {
        std::string ident = readWord("the value", isDottedIdent);
        // These would read back as the tags of their own.
        if (SameText(ident, "True") || SameText(ident, "False") || SameText(ident, "nil"))
          failAt(at, "identifier " + ident + " cannot be written as text");
        out_ += ident;
        break;
      }
      case vaFalse: out_ += "False"; break;
      case vaTrue: out_ += "True"; break;
      case vaNil: out_ += "nil"; break;
      case vaSet: {
        out_ += "[";
        for (bool first = true;; first = false) {
          std::string element = readShortString();
          if (element.empty()) break;
          if (!isIdent(element)) failAt(pos_ - element.size() - 1, "the set element is not an identifier");
          if (!first) out_ += ", ";
          out_ += element;
        }
        out_ += "]";
        break;
      }
      case vaList: {
        out_ += "(";
        std::string pad(indent + 2, ' ');
        while (peek() != vaNull) {
          out_ += "\n" + pad;
          convertValue(indent + 2, depth + 1);
        }
        ++pos_;
        out_ += ")";
        break;
      }
      case vaBinary: {
        size_t n = readLength();
        const uint8_t* p = take(n);
        static const char kHex[] = "0123456789ABCDEF";
        out_ += "{";
        for (size_t i = 0; i < n; ++i) {
          if (i % kBinaryWidth == 0) out_ += "\n" + std::string(indent + 2, ' ');
          out_ += kHex[p[i] >> 4];
          out_ += kHex[p[i] & 15];
        }
        out_ += "}";
        break;
      }
      default:
        failAt(at, Format("value tag %d is not supported", {static_cast<int>(tag)}));
    }
  }

  // Letters in quotes, other bytes as #nnn; long strings are split into pieces joined
  // with '+', and a piece also ends after a line feed.
  void writeString(std::string_view bytes, size_t indent) {
    if (bytes.empty()) {
      out_ += "''";
      return;
    }
    std::string breakLine = " +\n" + std::string(indent + 2, ' ');
    bool quoted = false;
    size_t width = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (width >= kStringWidth) {
        if (quoted) out_ += '\'';
        quoted = false;
        out_ += breakLine;
        width = 0;
      }
      uint8_t b = static_cast<uint8_t>(bytes[i]);
      const std::string& glyph = quotedGlyph(b);
      if (!glyph.empty()) {
        if (!quoted) out_ += '\'';
        quoted = true;
        out_ += glyph;
        ++width;
      } else {
        if (quoted) out_ += '\'';
        quoted = false;
        std::string code = "#" + std::to_string(b);
        out_ += code;
        width += code.size();
        if (b == '\n') width = kStringWidth;
      }
    }
    if (quoted) out_ += '\'';
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  std::string out_;
};

}  // namespace

std::vector<uint8_t> ObjectTextToBinary(std::string_view utf8Text, std::vector<TextFormMark>* marks) {
  return TextToBinary(utf8Text, marks).Run();
}

const TextFormMark* FindTextFormMark(const std::vector<TextFormMark>& marks, int64_t offset) {
  const TextFormMark* found = nullptr;
  for (const TextFormMark& m : marks) {
    if (static_cast<int64_t>(m.offset) > offset) break;
    found = &m;
  }
  return found;
}

std::string ObjectBinaryToText(const std::vector<uint8_t>& bytes) { return BinaryToText(bytes).Run(); }

}  // namespace kestrune
