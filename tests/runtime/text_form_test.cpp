// The text form of component streams: conversion both ways, the bytes chosen for each
// value, Windows-1250 letters, readable output, and errors that say where and what.
#include <gtest/gtest.h>

#include <sstream>

#include "../fuzz/script_classes.h"
#include "runtime/exceptions.h"
#include "runtime/reader.h"
#include "runtime/text_form.h"
#include "runtime/writer.h"

namespace kestrune {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(std::initializer_list<int> v) { return Bytes(v.begin(), v.end()); }

// The stream of "object A: TA <props> end" whose property list is body.
Bytes streamWith(const Bytes& body) {
  Bytes out = bytesOf({'T', 'P', 'F', '0', 2, 'T', 'A', 1, 'A'});
  out.reserve(out.size() + body.size() + 2);
  out.insert(out.end(), body.begin(), body.end());
  out.push_back(0);
  out.push_back(0);
  return out;
}

std::string textWith(const std::string& props) { return "object A: TA\n" + props + "end\n"; }

TEST(TextFormTest, ScriptTextReadsIntoComponentsAndWritesBackUnchanged) {
  using namespace sample;
  Bytes bytes = ObjectTextToBinary(SampleScriptText());
  ClassRegistry registry;
  RegisterSampleClasses(registry);
  TSampleRoot root(nullptr);
  Reader(bytes, registry).ReadRootComponent(&root);

  EXPECT_EQ(root.Caption, "Instalace Zkouška 1.0");
  auto* install = As<TSampleItem>(root.FindComponent("Install"));
  auto* group = As<TSampleItem>(root.FindComponent("Group"));
  auto* file = As<TSampleItem>(root.FindComponent("File1"));
  auto* backdrop = As<TSampleControl>(root.FindComponent("BackDrop"));
  ASSERT_TRUE(install && group && file && backdrop);
  EXPECT_EQ(install->Information()->CompanyName, "Dévari s.r.o.");
  EXPECT_EQ(install->Information()->Charset, 238);
  EXPECT_EQ(install->Lines()->Strings(0), "C:\\KIT\\IDAPINST.DLL");
  EXPECT_EQ(install->Bitmap()->GraphicClass(), "TBitmap");
  EXPECT_EQ(install->Bitmap()->GraphicData().size(), 10u);
  EXPECT_FALSE(install->RunAutomatic);
  EXPECT_EQ(group->Container(), install);
  EXPECT_EQ(group->Kind, TSampleKind::skGroup);
  EXPECT_TRUE(group->Kinds.Empty());
  EXPECT_EQ(file->Container(), group);
  EXPECT_EQ(file->Order, -70000);
  EXPECT_EQ(file->Color, -16777208);
  EXPECT_EQ(file->Kinds, (TSet<TSampleKind>{TSampleKind::skFile, TSampleKind::skLink}));
  EXPECT_EQ(file->UniqueID, 17);
  EXPECT_EQ(backdrop->ControlCount(), 1);

  // The text lists properties in the writer's order, so the components write the same
  // bytes and those print as the same text.
  EXPECT_EQ(WriteComponentStream(&root), bytes);
  EXPECT_EQ(ObjectBinaryToText(bytes), SampleScriptText());
}

TEST(TextFormTest, SmallestIntegerTagAndShortOrLongStringTag) {
  std::string longText(256, 'x');
  Bytes bytes = ObjectTextToBinary(textWith(
      "  A = 127\n  B = -128\n  C = 128\n  D = -32768\n  E = 32768\n  F = -2147483648\n  G = $FF000008\n"
      "  H = '" + std::string(255, 'y') + "'\n  I = '" + longText.substr(0, 100) + "' + '" + longText.substr(100) + "'\n"));
  Bytes expected = bytesOf({1, 'A', 2, 127, 1, 'B', 2, 0x80, 1, 'C', 3, 128, 0, 1, 'D', 3, 0, 0x80,
                            1, 'E', 4, 0, 0x80, 0, 0, 1, 'F', 4, 0, 0, 0, 0x80, 1, 'G', 4, 8, 0, 0, 0xFF,
                            1, 'H', 6, 255});
  expected.insert(expected.end(), 255, 'y');
  expected.insert(expected.end(), {1, 'I', 12, 0, 1, 0, 0});
  expected.insert(expected.end(), 256, 'x');
  EXPECT_EQ(bytes, streamWith(expected));
}

TEST(TextFormTest, LettersMapToWindows1250AndBack) {
  std::string text = textWith("  S = 'Instalační – Žluťoučký'#129\n");
  Bytes bytes = ObjectTextToBinary(text);
  std::string s(bytes.begin() + 13, bytes.end() - 2);
  EXPECT_EQ(s, "Instala\xE8n\xED \x96 \x8Elu\x9Dou\xE8k\xFD\x81");
  EXPECT_EQ(ObjectBinaryToText(bytes), text);
}

TEST(TextFormTest, BinaryPrintsAsReadableTextThatReadsBackTheSame) {
  std::string licence;
  for (int i = 0; i < 6; ++i) licence += "Line " + std::to_string(i) + " of the licence, 'quoted' \tand long enough\r\n";
  Bytes body = bytesOf({7, 'L', 'i', 'c', 'e', 'n', 'c', 'e', 12});
  for (int i = 0; i < 4; ++i) body.push_back(static_cast<uint8_t>(licence.size() >> (8 * i)));
  body.insert(body.end(), licence.begin(), licence.end());
  body.insert(body.end(), {4, 'D', 'a', 't', 'a', 10, 40, 0, 0, 0});
  for (int i = 0; i < 40; ++i) body.push_back(static_cast<uint8_t>(i * 7));
  Bytes stream = streamWith(body);

  std::string text = ObjectBinaryToText(stream);
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    EXPECT_LE(line.size(), 100u) << line;
    for (unsigned char c : line) EXPECT_GE(c, 0x20) << "control character in " << line;
  }
  EXPECT_NE(text.find("'Line 0 of the licence, ''quoted'' '#9'and long enough'#13#10 +\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Data = {\n    00070E15"), std::string::npos) << text;
  Bytes again = ObjectTextToBinary(text);
  EXPECT_EQ(again, stream);
  EXPECT_EQ(ObjectBinaryToText(again), text);
}

TEST(TextFormTest, TextErrorsGiveLineColumnAndWhatWasExpected) {
  struct Case {
    std::string text, message;
  } cases[] = {
      {"objekt A: TA\nend\n", "Line 1, column 1: 'object' expected but 'objekt' found"},
      {"object A: TA\n  Left 214\nend\n", "Line 2, column 8: '=' expected but number 214 found"},
      {"object A: TA\n  S = 'Ωmega'\nend\n", "Line 2, column 8: the character 'Ω' (U+03A9) cannot be stored in Windows-1250"},
      {"object A: TA\n  S = 'open\nend\n", "Line 2, column 7: unterminated string"},
      {"object A: TA\n  S = 'a' +\nend\n", "Line 3, column 1: string expected but 'end' found"},
      {"object A: TA\n  S = #256\nend\n", "Line 2, column 7: character code out of the range 0..255"},
      {"object A: TA\n  N = 2147483648\nend\n", "Line 2, column 7: number out of the 32-bit range"},
      {"object A: TA\n  N = 1.5\nend\n", "Line 2, column 7: floating-point values are not supported"},
      {"object A: TA\n  N = [a b]\nend\n", "Line 2, column 10: ',' or ']' expected but 'b' found"},
      {"object A: TA\n  N = (1 2\n", "Line 3, column 1: ')' expected but end of text found"},
      {"object A: TA\n  D = {0A1}\nend\n", "Line 2, column 10: odd number of hexadecimal digits"},
      {"object A: TA\n  D = {0AZ1}\nend\n", "Line 2, column 10: hexadecimal digit or '}' expected but 'Z' found"},
      {"object A: TA\n  Ná = 1\nend\n", "Line 2, column 4: unexpected 'á'"},
      {"object A: TA\n  N = 1\n", "Line 3, column 1: property name, 'object' or 'end' expected but end of text found"},
      {"object A: TA\nend\nend\n", "Line 3, column 1: end of text expected but 'end' found"},
      {"object A: TA\n  S = '\xC3('\nend\n", "Line 2, column 8: invalid UTF-8"},
      // A length byte of 240 or more would read as the filer flags prefix.
      {"object A: TA\n  object " + std::string(240, 'C') + "\n  end\nend\n",
       "Line 2, column 10: class name longer than 239 characters"},
  };
  for (const Case& c : cases) {
    try {
      ObjectTextToBinary(c.text);
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const EParserError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(TextFormTest, BinaryErrorsGiveTheOffset) {
  struct Case {
    Bytes bytes;
    std::string message;
  } cases[] = {
      {bytesOf({'T', 'P', 'F', '1'}), "Invalid stream format"},
      {streamWith(bytesOf({1, 'S', 6, 5, 'a'})), "unexpected end of stream at offset 13"},
      {streamWith(bytesOf({1, 'N', 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})), "value tag 5 is not supported at offset 11"},
      {streamWith(bytesOf({1, 'B', 10, 0xFF, 0xFF, 0xFF, 0xFF})), "negative length at offset 12"},
      {streamWith(bytesOf({3, 'e', 'n', 'd', 2, 1})), "a property named end cannot be written as text at offset 9"},
      {streamWith(bytesOf({1, 'V', 7, 4, 'T', 'r', 'u', 'e'})), "identifier True cannot be written as text at offset 11"},
      {streamWith(bytesOf({1, 'V', 7, 2, '1', 'x'})), "the value is not an identifier at offset 12"},
      {streamWith(bytesOf({2, 'A', ' ', 2, 1})), "the property name is not an identifier at offset 9"},
      {[] { Bytes b = streamWith({}); b.push_back(0); return b; }(), "data after the root object at offset 11"},
  };
  for (const Case& c : cases) {
    try {
      ObjectBinaryToText(c.bytes);
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const EReadError& e) {
      EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
    }
  }
}

TEST(TextFormTest, ObjectHeadersKeepFlagsPositionsAndUnnamedObjects) {
  std::string text =
      "inherited frmMain: TRoot\n"
      "  object TUnnamed\n"
      "  end\n"
      "  inline Frame1: TFrame [2]\n"
      "    Owner.Sub.Value = Other.Component\n"
      "    object Inner: TInner [-1]\n"
      "      Items = (\n"
      "        1\n"
      "        (\n"
      "          nil\n"
      "          True)\n"
      "        [])\n"
      "    end\n"
      "  end\n"
      "end\n";
  Bytes bytes = ObjectTextToBinary(text);
  EXPECT_EQ(bytes[4], 0xF1);  // inherited
  EXPECT_EQ(ObjectBinaryToText(bytes), text);
}

}  // namespace
}  // namespace kestrune
