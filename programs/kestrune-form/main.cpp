// kestrune-form: "to-binary IN OUT" compiles a text form to a binary component stream,
// "to-text IN OUT" writes a binary stream as text.
#include <iostream>
#include <string>
#include <vector>

#include "../common/tool_files.h"
#include "platform/system.h"
#include "runtime/exceptions.h"
#include "runtime/text_form.h"

namespace {

using namespace kestrune;

int usage() {
  std::cerr << "usage: kestrune-form to-binary TEXT-FILE BINARY-FILE\n"
               "       kestrune-form to-text BINARY-FILE TEXT-FILE\n";
  return 2;
}

int run(const std::vector<std::string>& args) {
  if (args.size() != 4) return usage();
  const std::string &command = args[1], &in = args[2], &out = args[3];
  if (command != "to-binary" && command != "to-text") return usage();
  tools::CheckOutputPath(out);
  const std::vector<uint8_t> bytes = tools::ReadInputFile(in);
  try {
    if (command == "to-binary") {
      const std::vector<uint8_t> stream =
          ObjectTextToBinary(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
      tools::WriteOutputFile(out, stream.data(), stream.size());
    } else {
      const std::string text = ObjectBinaryToText(bytes);
      tools::WriteOutputFile(out, text.data(), text.size());
    }
  } catch (const EWriteError&) {
    throw;
  } catch (const Exception& e) {
    // Errors of the form itself name the file they are in.
    throw Exception(in + ": " + e.Message());
  }
  return 0;
}

}  // namespace

// Windows: the UTF-16 entry point, so that no argument passes through the ANSI code page;
// the arguments are read back as UTF-8 from the platform layer.
#ifdef _WIN32
int wmain(int, wchar_t**) {
#else
int main(int, char**) {
#endif
  try {
    return run(platform::commandLineArguments());
  } catch (const std::exception& e) {
    return tools::ReportFailure("kestrune-form", e);
  }
}
