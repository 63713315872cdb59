// kestrune-form: "to-binary IN OUT" compiles a text form to a binary component stream,
// "to-text IN OUT" writes a binary stream as text.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/exceptions.h"
#include "runtime/text_form.h"

namespace {

using kestrune::EFCreateError;
using kestrune::EFOpenError;
namespace fs = std::filesystem;

std::string displayName(const fs::path& path) {
  std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"%s\"", {displayName(path)});
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EFOpenError("Cannot read file \"%s\"", {displayName(path)});
  return bytes;
}

// Writes the whole result or, on failure, removes the partial file.
void writeFile(const fs::path& path, const char* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EFCreateError("Cannot create file \"%s\"", {displayName(path)});
  out.write(data, static_cast<std::streamsize>(size));
  out.close();
  if (!out) {
    std::error_code ignored;
    fs::remove(path, ignored);
    throw EFCreateError("Cannot write file \"%s\"", {displayName(path)});
  }
}

int usage() {
  std::cerr << "usage: kestrune-form to-binary TEXT-FILE BINARY-FILE\n"
               "       kestrune-form to-text BINARY-FILE TEXT-FILE\n";
  return 2;
}

int run(const std::string& command, const fs::path& in, const fs::path& out) {
  try {
    if (command == "to-binary") {
      std::vector<uint8_t> bytes = kestrune::ObjectTextToBinary(readFile(in));
      writeFile(out, reinterpret_cast<const char*>(bytes.data()), bytes.size());
    } else if (command == "to-text") {
      std::string bytes = readFile(in);
      std::string text = kestrune::ObjectBinaryToText(std::vector<uint8_t>(bytes.begin(), bytes.end()));
      writeFile(out, text.data(), text.size());
    } else {
      return usage();
    }
  } catch (const kestrune::Exception& e) {
    std::cerr << "kestrune-form: " << displayName(in) << ": " << e.Message() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "kestrune-form: " << displayName(in) << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return usage();
  std::string command;
  for (const wchar_t* c = argv[1]; *c; ++c) command += *c < 0x80 ? static_cast<char>(*c) : '?';
  return run(command, fs::path(argv[2]), fs::path(argv[3]));
}
#else
int main(int argc, char** argv) {
  if (argc != 4) return usage();
  return run(argv[1], fs::path(argv[2]), fs::path(argv[3]));
}
#endif
