// kestrune-arc: the archive tool for kit users and tests. It drives TKstrCompress and
// nothing else. Every failure exits non-zero (2 for a wrong command line, 1 otherwise)
// with a message on standard error that names the member concerned.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "archive/cmp_TKstrCompress.h"
#include "platform/files.h"
#include "runtime/exceptions.h"
#include "runtime/strings.h"

using namespace kestrune;

namespace {

const char* const kUsage =
    "usage:\n"
    "  kestrune-arc add ARCHIVE FILE... [--append] [--id N] [--level none|fastest|default|max]\n"
    "  kestrune-arc list ARCHIVE [--offset N]\n"
    "  kestrune-arc extract ARCHIVE DIR [NAME...] [--offset N]\n"
    "               [--overwrite always|never|version|date|versiondate]\n"
    "  kestrune-arc span ARCHIVE DIR NAME [--offset N]\n"
    "Volumes of a spanned set that are needed or full are asked for on standard input (one\n"
    "directory per line), unless given in order with --disk DIR.\n";

struct UsageError {
  std::string text;
};

// Outside text (member names, versions, paths, messages that quote them) printed with
// control characters as \xNN, so that a name cannot move the cursor, fake a line or
// break the tab-separated listing.
std::string escaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// The member being worked on, so that an error names it.
std::string currentMember;

struct Args {
  std::vector<std::string> positional;
  bool append = false;
  int32_t id = 0;
  int32_t offset = 0;
  TCompressionLevel level = TCompressionLevel::colMax;
  TOverwriteType overwrite = TOverwriteType::owAlways;
  std::vector<std::string> disks;
};

int32_t number(const std::string& option, const std::string& text) {
  char* end = nullptr;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end || v < INT32_MIN || v > INT32_MAX) throw UsageError{option + " needs a number"};
  return static_cast<int32_t>(v);
}

template <class E>
E choice(const std::string& option, const std::string& text, const std::vector<std::string>& names) {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == text) return static_cast<E>(i);
  throw UsageError{"unknown value " + text + " for " + option};
}

Args parse(int argc, char** argv) {
  Args a;
  for (int i = 2; i < argc; ++i) {
    std::string s = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw UsageError{s + " needs a value"};
      return argv[++i];
    };
    if (s == "--append") a.append = true;
    else if (s == "--id") a.id = number(s, value());
    else if (s == "--offset") a.offset = number(s, value());
    else if (s == "--level") a.level = choice<TCompressionLevel>(s, value(), {"none", "fastest", "default", "max"});
    else if (s == "--overwrite")
      a.overwrite = choice<TOverwriteType>(s, value(), {"always", "never", "version", "date", "versiondate"});
    else if (s == "--disk") a.disks.push_back(value());
    else if (s.size() > 2 && s.compare(0, 2, "--") == 0) throw UsageError{"unknown option " + s};
    else a.positional.push_back(s);
  }
  return a;
}

std::string dateText(double days) {
  const auto p = platform::decodeDateTime(days);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute, p.second);
  return buf;
}

void answerDisks(TKstrCompress& engine, Args& args) {
  engine.OnNewDisk = [&args](TComponent*, int disk, std::string& dir) {
    if (!args.disks.empty()) {
      dir = args.disks.front();
      args.disks.erase(args.disks.begin());
      return;
    }
    std::fprintf(stderr, "Disk %d: directory [%s]? ", disk, dir.c_str());
    std::string line;
    if (std::getline(std::cin, line) && !line.empty()) dir = line;
  };
}

int run(int argc, char** argv) {
  if (argc < 2) throw UsageError{""};
  const std::string command = argv[1];
  Args args = parse(argc, argv);
  auto& pos = args.positional;
  TKstrCompress engine(nullptr);
  engine.OnAborted = [](TComponent*) { throw Exception("Operation aborted by user"); };
  engine.OnBeforeAdding = [](TComponent*, TlzhFileStats& s) { currentMember = "adding " + s.FileName; };
  engine.OnAfterAdding = [](TComponent*, TlzhFileStats&) { currentMember.clear(); };
  engine.OnBeforeExtracting = [](TComponent*, TlzhFileStats& s) { currentMember = "extracting " + s.FileName; };
  if (command == "add") {
    if (pos.size() < 2) throw UsageError{"add needs an archive and files"};
    engine.SetCompressedFile(pos[0]);
    engine.SetCompressionLevel(args.level);
    TStringList files;
    for (size_t i = 1; i < pos.size(); ++i) files.Add(pos[i]);
    engine.SetFilesToProcess(files);
    engine.CompressFiles(args.append, args.id);
  } else if (command == "list") {
    if (pos.size() != 1) throw UsageError{"list needs an archive"};
    engine.SetCompressedFile(pos[0]);
    engine.SetOffset(args.offset);
    engine.ReadHeaders();
    TFileHeaders& headers = engine.Headers();
    for (int i = 0; i < headers.Count(); ++i) {
      const TFileHeader& h = headers.FileHeaders(i);
      std::printf("%s\t%d\t%d\t%s\t%s\t%d\t%d\t%d\n", escaped(h.FileName()).c_str(), h.OriginalSize(),
                  h.CompressedSize(), dateText(h.FileDate()).c_str(), escaped(h.FileVersion()).c_str(), h.UniqueID(),
                  h.StartDisk() == 0 ? 1 : h.StartDisk(), h.EndDisk() == 0 ? 1 : h.EndDisk());
    }
  } else if (command == "extract") {
    if (pos.size() < 2) throw UsageError{"extract needs an archive and a directory"};
    engine.SetCompressedFile(pos[0]);
    engine.SetOffset(args.offset);
    engine.SetExtractDirectory(pos[1]);
    engine.SetOverwrite(args.overwrite);
    answerDisks(engine, args);
    TStringList names;
    if (pos.size() > 2) {
      for (size_t i = 2; i < pos.size(); ++i) names.Add(pos[i]);
    } else {
      engine.ReadHeaders();
      for (int i = 0; i < engine.Headers().Count(); ++i) names.Add(engine.Headers().FileHeaders(i).FileName());
    }
    engine.SetFilesToProcess(names);
    engine.ExtractFiles();
  } else if (command == "span") {
    if (pos.size() != 3) throw UsageError{"span needs an archive, a directory and a volume name"};
    engine.SetCompressedFile(pos[0]);
    engine.SetOffset(args.offset);
    answerDisks(engine, args);
    engine.SpanToDisks(pos[1], pos[2]);
  } else {
    throw UsageError{"unknown command " + command};
  }
  currentMember.clear();
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) throw Exception("Cannot write the output");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const UsageError& e) {
    if (!e.text.empty()) std::fprintf(stderr, "kestrune-arc: %s\n", escaped(e.text).c_str());
    std::fputs(kUsage, stderr);
    return 2;
  } catch (const std::exception& e) {
    const std::string where = currentMember.empty() ? "" : currentMember + ": ";
    std::fprintf(stderr, "kestrune-arc: %s%s\n", escaped(where).c_str(), escaped(e.what()).c_str());
    return 1;
  }
}
