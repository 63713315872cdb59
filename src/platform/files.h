// Files for the archive engine and the install run: open, read, write, seek and truncate,
// file times as day fractions (days since 30 Dec 1899, local time, DOS precision),
// attributes, free disk space, deleting, existence tests and temporary files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune::platform {

class PlatformError;

#ifdef _WIN32
inline constexpr char kPathDelim = '\\';
#else
inline constexpr char kPathDelim = '/';
#endif

enum class FileAccess { Read, ReadWrite };
enum class SeekOrigin { Begin, Current, End };

// An open file. Files are opened with sharing allowed for other readers and writers, as
// the installer must read files that other programs hold open. Errors raise PlatformError
// with the failing call and the system error code.
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens an existing file.
  static File open(const std::string& path, FileAccess access);
  // Like open, but returns an empty optional instead of raising.
  static std::optional<File> tryOpen(const std::string& path, FileAccess access);
  // Creates the file, or truncates an existing one, for reading and writing.
  static File create(const std::string& path);
  // Creates a new file that must not exist yet (no link is followed), open for renaming
  // too; raises PlatformError when the name is taken.
  static File createNew(const std::string& path);

  bool isOpen() const { return handle_ != -1; }
  // Reads up to count bytes; returns the bytes read, 0 at the end of the file.
  size_t read(void* buffer, size_t count);
  // Writes count bytes; returns the bytes written, fewer when the medium is full or the
  // write fails. Never raises: a short write is for the caller to judge.
  size_t write(const void* buffer, size_t count);
  int64_t seek(int64_t offset, SeekOrigin origin);
  int64_t position() const;
  int64_t size() const;
  // Cuts the file at the current position.
  void truncate();
  // Last-write time as a day fraction (local time, DOS precision of two seconds).
  double date() const;
  // Sets the last-write time from a day fraction (local time).
  void setDate(double days);
  // Writes all count bytes or raises PlatformError (a short write: the medium is full).
  void writeAll(const void* buffer, size_t count);
  // Pushes buffered data to the medium; raises PlatformError when it cannot be written.
  void flush();
  // Gives the open file the name to, replacing an existing file unless replace is false,
  // through its handle where the system can (one call instead of opening the file again by
  // name). False, with nothing changed, where it cannot or the rename fails: the caller
  // renames by name.
  bool tryRenameOpen(const std::string& to, bool replace = true);
  void close();

 private:
  explicit File(intptr_t handle) : handle_(handle) {}
  intptr_t handle_ = -1;
};

// An output file written under a temporary name in its target's folder and put in place
// by commit() only when complete: a failed or abandoned write leaves neither a partial file
// nor a changed target. The destructor removes the temporary file unless committed.
class PendingFile {
 public:
  // The temporary name is "~NAME.XXXXXX.tmp" with a new number each time.
  explicit PendingFile(std::string target);
  // The temporary name is the target's own "~NAME.kestrune.tmp" (kReclaimedTempSuffix),
  // the same in every run: what a writer killed half-way left under it is taken over
  // (deleted and written anew) by the next writer of the target. A temporary that another
  // writer still holds open cannot be deleted; a numbered name serves then.
  struct Reclaim {};
  PendingFile(std::string target, Reclaim);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  File& file() { return file_; }
  const std::string& target() const { return target_; }
  const std::string& tempPath() const { return temp_; }
  void writeAll(const void* buffer, size_t count) { file_.writeAll(buffer, count); }
  // Flushes, closes and renames the temporary file over the target. Raises PlatformError.
  void commit();
  // Like commit, but only when the target does not exist: false, with the temporary file
  // kept open and uncommitted, when it does. Raises PlatformError for other failures.
  bool commitNew();
  // Another target in the same folder for commit.
  void retarget(std::string target) { target_ = std::move(target); }

 private:
  void openNumbered();
  std::string target_;
  std::string temp_;
  File file_;
  bool committed_ = false;
};

// The whole contents of an existing file. Raises PlatformError (a directory included).
std::vector<uint8_t> readWholeFile(const std::string& path);
// Writes a whole output file through a PendingFile. Raises PlatformError; on failure the
// target is left as it was.
void writeWholeFile(const std::string& path, const void* data, size_t size);
// True when the error says that the medium is full.
bool isDiskFull(const PlatformError& error);

// The end of the fixed temporary name of PendingFile(target, Reclaim): "~" + the target's
// name + this.
inline constexpr std::string_view kReclaimedTempSuffix = ".kestrune.tmp";

// Renames from to to, replacing an existing file. Raises PlatformError.
void replaceFile(const std::string& from, const std::string& to);
// Renames from to to when no file of that name exists; false when one does. Raises
// PlatformError for other failures.
bool renameNew(const std::string& from, const std::string& to);
// Whether an existing file could be replaced or deleted now, found out without changing
// it: not held open by a program that shares neither writing nor deleting, not a running
// program's image, not read-only. True when there is no such file.
bool fileReplaceable(const std::string& path);
// True when both paths name the same existing file (links and other spellings included).
bool sameFile(const std::string& a, const std::string& b);

bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);
// The names in a folder (files and folders, without "." and ".."); empty when the folder
// cannot be read.
std::optional<std::vector<std::string>> folderEntries(const std::string& path);
// Creates a directory and every missing parent. Raises PlatformError on failure.
void forceDirectories(const std::string& path);
// Deletes a file; false when it could not be deleted (or did not exist).
bool deleteFile(const std::string& path);
// Last-write time of a file as a day fraction; empty when the file cannot be opened.
std::optional<double> fileAgeDays(const std::string& path);
struct FileSizeAndDate {
  int64_t size = 0;
  double date = 0;  // last-write time as File::date() gives it
  int64_t stamp = 0;  // last-write time at the file system's own resolution
};
// Size and last-write time of an existing file (not a directory), read without opening it;
// empty when they cannot be read.
std::optional<FileSizeAndDate> fileSizeAndDate(const std::string& path);
// Creates a new empty file with a unique name in the system's temporary directory and
// returns its path. The name starts with prefix. Raises PlatformError on failure.
std::string createTempFile(std::string_view prefix);
// Bytes available to the caller on the volume that holds path; empty when unknown.
std::optional<uint64_t> freeDiskSpace(const std::string& path);

// File attributes in the Windows bit layout (read-only 1, hidden 2, system 4,
// directory 16, archive 32). Natively only read-only and directory are real.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
std::optional<uint32_t> fileAttributes(const std::string& path);
bool setFileAttributes(const std::string& path, uint32_t attributes);

// Day fraction <-> calendar and DOS date-time (high word date, low word time, local time).
struct DateTimeParts {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, millisecond = 0;
};
double encodeDateTime(const DateTimeParts& parts);
DateTimeParts decodeDateTime(double days);
// Empty when the date lies outside the DOS range 1980..2107.
std::optional<uint32_t> dateTimeToDosDateTime(double days);
double dosDateTimeToDateTime(uint32_t dos);

}  // namespace kestrune::platform
