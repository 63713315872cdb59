// Outputs written under a temporary name beside their target and renamed into place when
// complete, so that a full disk or an error half-way never leaves a partial file.
#include <atomic>
#include <chrono>
#include <cstdio>

#include "platform/files.h"
#include "platform/platform_error.h"

namespace kestrune::platform {

namespace {

std::string folderOf(const std::string& path) {
  const auto cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string leafOf(const std::string& path) {
  const auto cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

void File::writeAll(const void* buffer, size_t count) {
  if (write(buffer, count) != count) throw PlatformError("WriteFile", 112);  // disk full
}

PendingFile::PendingFile(std::string target) : target_(std::move(target)) { openNumbered(); }

PendingFile::PendingFile(std::string target, Reclaim) : target_(std::move(target)) {
  temp_ = folderOf(target_) + "~" + leafOf(target_) + std::string(kReclaimedTempSuffix);
  try {
    file_ = File::createNew(temp_);
    return;
  } catch (const PlatformError&) {
  }
  // Left by a writer that was stopped half-way, or still open in another one (which
  // shares no deleting, so the name stays its own).
  if (deleteFile(temp_)) {
    try {
      file_ = File::createNew(temp_);
      return;
    } catch (const PlatformError&) {
    }
  }
  openNumbered();
}

void PendingFile::openNumbered() {
  static std::atomic<unsigned> counter{0};
  const auto seed = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0;; ++attempt) {
    const unsigned tag = (seed ^ (counter.fetch_add(1) * 2654435761u)) & 0xFFFFFFu;
    char suffix[16];
    snprintf(suffix, sizeof suffix, ".%06x.tmp", tag);
    temp_ = folderOf(target_) + "~" + leafOf(target_) + suffix;
    try {
      file_ = File::createNew(temp_);
      return;
    } catch (const PlatformError&) {
      if (attempt >= 16 || fileExists(temp_) == false) throw;
    }
  }
}

PendingFile::~PendingFile() {
  if (!committed_) {
    file_.close();
    deleteFile(temp_);
  }
}

void PendingFile::commit() {
  // The caller may have closed the file to let another writer (a resource update) finish it.
  // Every write was checked when it was made, so the data is complete; it is not forced
  // to the medium here, as an install of thousands of files would pay a flush per file.
  // Renaming the open file saves opening it again by name (a server round trip per file
  // under Wine).
  if (file_.isOpen() && file_.tryRenameOpen(target_)) {
    file_.close();
    committed_ = true;
    return;
  }
  if (file_.isOpen()) file_.close();
  replaceFile(temp_, target_);
  committed_ = true;
}

bool PendingFile::commitNew() {
  if (file_.isOpen()) {
    if (file_.tryRenameOpen(target_, false)) {
      file_.close();
      committed_ = true;
      return true;
    }
    // Renamed by name instead, which tells an existing target from other failures; the
    // closed file can still be committed over the target or dropped.
    file_.close();
  }
  if (!renameNew(temp_, target_)) return false;
  committed_ = true;
  return true;
}

}  // namespace kestrune::platform
