// Running from a distribution: the extraction info of a self-extracting setup.exe, the
// floppy transfer (-f), the clean-up of the loader's temporary copy (-c) and the kit
// directory that holds the loader.
#include <algorithm>
#include <vector>

#include "archive/cmp_TKstrCompress.h"
#include "engine/cmp_TInstall.h"
#include "engine/engine_Build.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/ui_app.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"
#include "runtime/process_messages.h"
#include "runtime/sysutils.h"
#include "ui/application.h"

namespace kestrune {

namespace df = distribution_format;

namespace {

// Reads the extraction info and checks that its offsets describe the file.
df::ExtractionOffsets checkedOffsets(const std::string& path) {
  const TExtractionInfo info = ReadExtractionInfo(path);
  const df::ExtractionOffsets offsets = df::decodeOffsets(info.data());
  std::optional<platform::File> file = platform::File::tryOpen(path, platform::FileAccess::Read);
  const int64_t size = file ? file->size() : 0;
  if (const char* problem = df::offsetsProblem(offsets, size))
    throw IEInstall("The extraction info of the self-extracting file %s is damaged: %s", {path, problem});
  return offsets;
}

// Copies bytes [from, to] of source into a new file on the target in 8192-byte blocks,
// letting window messages through after each; any failure raises IEInstall(message).
void copyPart(platform::File& source, int64_t from, int64_t to, const std::string& target, const char* message) {
  try {
    platform::PendingFile out(target);
    std::vector<uint8_t> buffer(TKstrCompress::kCopyBufferSize);
    source.seek(from, platform::SeekOrigin::Begin);
    for (int64_t left = to - from + 1; left > 0;) {
      const size_t want = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(buffer.size())));
      const size_t got = source.read(buffer.data(), want);
      if (got == 0 || out.file().write(buffer.data(), got) < got) throw IEInstall(message);
      left -= static_cast<int64_t>(got);
      ProcessMessages();
    }
    out.commit();
  } catch (const IEInstall&) {
    throw;
  } catch (const std::exception&) {
    throw IEInstall(message);
  }
}

void setCursor(ui::TCursor cursor) {
  if (ui::Application) ui::Application->SetCursor(cursor);
}

}  // namespace

// ---- extraction info ----

TExtractionInfo ReadExtractionInfo(const std::string& path) {
  TExtractionInfo info{};
  std::optional<platform::File> file = platform::File::tryOpen(path, platform::FileAccess::Read);
  size_t got = 0;
  if (file && file->size() >= static_cast<int64_t>(info.size())) {
    file->seek(-static_cast<int64_t>(info.size()), platform::SeekOrigin::End);
    got = file->read(info.data(), info.size());
  }
  if (got < info.size())
    throw IEInstall(
        "Could not read the extraction info from the archive file %s when trying to find the correct offset into the "
        "self extracting file",
        {path});
  return info;
}

int64_t ReadSelfExtractOffset(TCustomInstall& engine, const std::string& selfExtractor) {
  const df::ExtractionOffsets offsets = checkedOffsets(selfExtractor);
  // The offset belongs to that file: the install files read their archive through the
  // shared engine only while it names the same file.
  TKstrCompress& archive = SharedArchiveEngine();
  archive.SetCompressedFile(selfExtractor);
  archive.SetOffset(offsets.filesStart);
  return offsets.filesStart;
}

// ---- floppies ----

void TransferToFloppies(TCustomInstall& engine, const std::string& target) {
  const ui::TCursor previous = ui::Application ? ui::Application->Cursor() : ui::crDefault;
  TKstrCompress& archive = SharedArchiveEngine();
  try {
    setCursor(ui::crHourGlass);
    if (!engine.Modes().Contains(TInstallMode::imSelfExtractor))
      throw IEInstall(
          "Sorry... You can only transfer this installation to floppies through the self-extracting file. Usage "
          "example: setup.exe *TODISK");
    const std::string selfExtractor = engine.GetSetupFileName();
    const df::ExtractionOffsets offsets = checkedOffsets(selfExtractor);
    const std::string dir = AddBackslash(target);
    engine.ShowStatusMessage(TranslateMessage("Transferring this installation to floppies. Please wait..."));
    try {
      platform::File source = platform::File::open(selfExtractor, platform::FileAccess::Read);
      copyPart(source, 0, offsets.setupStart - 1, dir + "setup.exe",
               "Cannot create setup.exe on the A drive. Probably not enough room");
      copyPart(source, offsets.setupStart, offsets.setupEnd, dir + "setup.1",
               "Cannot create setup.1 on the A drive. Probably not enough room");
    } catch (...) {
      engine.HideStatusMessage();
      throw;
    }
    engine.HideStatusMessage();

    if (offsets.hasFiles()) {
      archive.OnNewDisk = [](TComponent*, int disk, std::string&) {
        const ui::TCursor busy = ui::Application ? ui::Application->Cursor() : ui::crDefault;
        setCursor(ui::crDefault);
        const int answer = ui::Application ? ui::Application->MessageBox(
                                                 Format(TranslateMessage("Please insert disk %d"), {disk}), "",
                                                 platform::ui::mbOkCancel | platform::ui::mbIconQuestion)
                                           : platform::ui::idCancel;
        setCursor(busy);
        if (answer != platform::ui::idOk) throw IEInstall("Aborted by user");
      };
      archive.OnStatus = [](TComponent*, TlzhFileStats&) { ProcessMessages(); };
      try {
        archive.SetCompressedFile(selfExtractor);
        archive.SetOffset(offsets.filesStart);
        archive.SpanToDisks(dir, "files.1");
      } catch (...) {
        archive.OnNewDisk = nullptr;
        archive.OnStatus = nullptr;
        throw;
      }
      archive.OnNewDisk = nullptr;
      archive.OnStatus = nullptr;
    }
  } catch (const std::exception& e) {
    engine.SetEnding(TRunEnding::reFailed);
    if (ui::Application) ui::Application->ShowException(e);
  }
  setCursor(previous);
  if (ui::Application) ui::Application->Terminate();
}

// ---- the loader's temporary copy ----

void TCustomInstall::CleanupLoadingProgram() {
  if (!useLoadingProgram_ || modes_.Contains(TInstallMode::imDebug) || !modes_.Contains(TInstallMode::imCleanup)) return;
  bool flag = true;
  if (OnBeforeCleanup) OnBeforeCleanup(this, flag);
  if (!flag) return;
  const std::string program = platform::moduleFileName();
  const std::string programDir = RemoveBackslash(ExtractFileDir(program));
  for (int i = 0; i < presetupFiles_->Count(); ++i)
    platform::deleteFile(AddBackslash(programDir) + ExtractFileName((*presetupFiles_)[i]));
  // A run started by the loader leaves the folder to the loader, which waits for this
  // program's end and removes the folder then (or keeps it for a resume after a restart
  // that runs from it); a batch file of ours removing it at the same time left the folder
  // behind, empty, as often as not. Only the run after a restart, started by the system,
  // has no loader waiting.
  if (!modes_.Contains(TInstallMode::imAfterReboot)) return;

  const std::string batch = ChangeFileExt(MakeTempFileName(false), ".bat");
  // Quoted: an unquoted path with blanks ("Documents and Settings") would name other files.
  auto quoted = [](const std::string& path) { return "\"" + path + "\""; };
  std::string text;
  for (const std::string& line : {"ERASE " + quoted(program), "DELTREE /Y " + quoted(programDir),
                                  "ERASE " + quoted(ChangeFileExt(batch, ".PIF")), "ERASE " + quoted(batch)})
    text += platform::ToAnsi(line) + "\r\n";
  platform::PendingFile out(batch);
  out.writeAll(text.data(), text.size());
  out.commit();
  pendingBatch_ = true;
  pendingBatchFile_ = batch;
}

// ---- the kit ----

std::string FindKitDirectory(bool required) {
  std::string searchPath;
  try {
    if (std::optional<platform::RegKey> key = platform::RegKey::open(platform::RegRoot::CurrentUser, kKitSearchKey))
      searchPath = key->tryReadString(kKitSearchValue).value_or("");
  } catch (const std::exception&) {
    searchPath.clear();
  }
  auto notFound = [] { return IENoKestrunePath("Cannot find the the Kestrune directory on the VCL library search path"); };
  if (Trim(searchPath).empty()) {
    if (required) throw notFound();
    return {};
  }
  TStringList dirs;
  SplitList(searchPath, ';', dirs);
  for (int i = 0; i < dirs.Count(); ++i) {
    const std::string dir = RemoveBackslash(Trim(dirs[i]));
    if (!dir.empty() && platform::fileExists(AddBackslash(dir) + kKitMarkerFile)) return dir;
  }
  if (required) throw notFound();
  return {};
}

}  // namespace kestrune
