// Our text form against Free Pascal's Classes unit, an independent implementation of the
// stream format: ASCII forms covering every value tag must give the same bytes, and each
// side must read the text the other prints.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "runtime/exceptions.h"
#include "runtime/text_form.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& p, std::string_view data) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

class TextFormOracleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(work_);
    ASSERT_TRUE(fs::exists(KESTRUNE_FORM_ORACLE)) << "the Free Pascal oracle was not built";
  }

  // Runs the oracle on input (text or stream bytes); its output, or a test failure.
  std::string oracle(const char* command, std::string_view input, const std::string& label) {
    fs::path in = work_ / (label + ".in"), out = work_ / (label + ".out");
    writeFile(in, input);
    fs::remove(out);
    std::string cmd = std::string("'") + KESTRUNE_FORM_ORACLE + "' " + command + " '" + in.string() + "' '" +
                      out.string() + "'";
    int rc = std::system(cmd.c_str());
    EXPECT_EQ(rc, 0) << "oracle " << command << " failed on " << label;
    return readFile(out);
  }

  // Compares both implementations on one text.
  void compare(const std::string& text, const std::string& label) {
    SCOPED_TRACE(label);
    Bytes ours = ObjectTextToBinary(text);
    std::string theirs = oracle("to-binary", text, label);
    ASSERT_EQ(std::string(ours.begin(), ours.end()), theirs) << text;

    std::string ourText = ObjectBinaryToText(ours);
    EXPECT_EQ(oracle("to-binary", ourText, label + ".ours"), theirs) << ourText;
    std::string theirText = oracle("to-text", theirs, label + ".theirs");
    EXPECT_EQ(ObjectTextToBinary(theirText), ours) << theirText;
    EXPECT_EQ(ObjectTextToBinary(ourText), ours);
  }

  fs::path work_ = KESTRUNE_ORACLE_WORK;
};

TEST_F(TextFormOracleTest, HandWrittenFormsCoveringEveryTag) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(KESTRUNE_FORM_CASES)) {
    if (entry.path().extension() != ".kfm") continue;
    compare(readFile(entry.path()), entry.path().stem().string());
    ++count;
  }
  EXPECT_GE(count, 4);
}

// Random forms: values at and around every tag boundary, strings of any length mixing
// quoted text, #codes and '+' joins, nested lists and objects.
class FormGenerator {
 public:
  explicit FormGenerator(unsigned seed) : rng_(seed) {}

  std::string Form() {
    out_.clear();
    object(0, 0);
    return out_;
  }

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  std::string ident() {
    static const char* words[] = {"Install", "dmReboot", "psSystem", "clWindowText", "Zarvotill", "a", "B_2", "x9"};
    return words[pick(8)];
  }
  std::string integer() {
    static const int64_t edges[] = {0, 1, -1, 127, 128, -128, -129, 255, 32767, 32768, -32768, -32769,
                                    65535, 2147483647, -2147483647 - 1, 100000, -100000};
    int64_t v = pick(3) ? edges[pick(17)] : static_cast<int64_t>(static_cast<int32_t>(rng_()));
    if (v >= 0 && pick(4) == 0) {
      char buf[24];
      std::snprintf(buf, sizeof buf, "$%llX", static_cast<long long>(v));
      return buf;
    }
    return std::to_string(v);
  }
  std::string string(size_t indent) {
    static const size_t lengths[] = {0, 1, 64, 254, 255, 256, 300, 600};
    size_t n = pick(3) ? pick(40) : lengths[pick(8)];
    std::string s;
    bool quoted = false;
    for (size_t i = 0; i < n; ++i) {
      if (pick(12) == 0) {
        if (quoted) s += '\'';
        quoted = false;
        s += "#" + std::to_string(pick(32));
      } else {
        if (!quoted) s += '\'';
        quoted = true;
        char c = static_cast<char>(' ' + pick(95));
        s += c == '\'' ? "''" : std::string(1, c);
      }
      if (pick(60) == 0 && i + 1 < n) {
        if (quoted) s += '\'';
        quoted = false;
        s += " +\n" + std::string(indent + 2, ' ');
      }
    }
    if (quoted) s += '\'';
    return s.empty() ? "''" : s;
  }
  void value(size_t indent, int depth) {
    switch (pick(depth < 2 ? 9 : 7)) {
      case 0: case 1: out_ += integer(); break;
      case 2: case 3: out_ += string(indent); break;
      case 4: {
        static const char* words[] = {"True", "False", "nil", "true"};
        out_ += pick(2) ? ident() : words[pick(4)];
        break;
      }
      case 5: {
        out_ += "[";
        for (int i = 0, n = pick(4); i < n; ++i) out_ += (i ? ", " : "") + ident();
        out_ += "]";
        break;
      }
      case 6: {
        out_ += "{";
        for (int i = 0, n = pick(3) ? pick(40) : 0; i < n; ++i) {
          char buf[4];
          std::snprintf(buf, sizeof buf, "%02X", pick(256));
          out_ += buf;
        }
        out_ += "}";
        break;
      }
      default: {
        out_ += "(";
        for (int i = 0, n = pick(5); i < n; ++i) {
          out_ += "\n" + std::string(indent + 2, ' ');
          // Free Pascal reads binary values in lists as numbers, so lists hold the rest.
          size_t before = out_.size();
          value(indent + 2, depth + 1);
          if (out_[before] == '{') out_.replace(before, std::string::npos, "0");
        }
        out_ += ")";
      }
    }
  }
  void object(size_t indent, int depth) {
    std::string pad(indent, ' ');
    out_ += pad + "object Obj" + std::to_string(objects_++) + ": T" + ident() + "\n";
    for (int i = 0, n = pick(8); i < n; ++i) {
      out_ += pad + "  " + ident() + (pick(3) == 0 ? "." + ident() : "") + " = ";
      value(indent + 2, 0);
      out_ += "\n";
    }
    if (depth < 3)
      for (int i = 0, n = pick(3); i < n; ++i) object(indent + 2, depth + 1);
    out_ += pad + "end\n";
  }

  std::mt19937 rng_;
  std::string out_;
  int objects_ = 0;
};

TEST_F(TextFormOracleTest, GeneratedForms) {
  FormGenerator gen(20240611);
  for (int i = 0; i < 60; ++i) compare(gen.Form(), "generated" + std::to_string(i));
}

}  // namespace
}  // namespace kestrune
