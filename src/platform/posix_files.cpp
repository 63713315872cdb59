// Files on POSIX systems, for the native build of the archive engine and its tools.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/files.h"
#include "platform/platform_error.h"

namespace kestrune::platform {

namespace {

[[noreturn]] void fail(const char* api) { throwWin32(api, static_cast<unsigned long>(errno)); }

// The kit builds Windows paths ("dir\\name"); here a backslash separates folders as well, so
// that the engine's paths and a script's relative sources name the files they mean.
std::string host(const std::string& path) {
  std::string p = path;
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

// Day fraction of a time_t in local time, cut to DOS precision when in the DOS range.
double daysOfTime(time_t t) {
  struct tm tm {};
  localtime_r(&t, &tm);
  DateTimeParts p{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0};
  const double exact = encodeDateTime(p);
  if (auto dos = dateTimeToDosDateTime(exact)) return dosDateTimeToDateTime(*dos);
  return exact;
}

time_t timeOfDays(double days) {
  if (auto dos = dateTimeToDosDateTime(days)) days = dosDateTimeToDateTime(*dos);
  const DateTimeParts p = decodeDateTime(days);
  struct tm tm {};
  tm.tm_year = p.year - 1900;
  tm.tm_mon = p.month - 1;
  tm.tm_mday = p.day;
  tm.tm_hour = p.hour;
  tm.tm_min = p.minute;
  tm.tm_sec = p.second;
  tm.tm_isdst = -1;
  return mktime(&tm);
}

}  // namespace

std::optional<File> File::tryOpen(const std::string& path, FileAccess access) {
  int fd = ::open(host(path).c_str(), (access == FileAccess::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return std::nullopt;
  }
  return File(fd);
}

File File::open(const std::string& path, FileAccess access) {
  auto f = tryOpen(path, access);
  if (!f) fail("open");
  return std::move(*f);
}

File File::create(const std::string& path) {
  int fd = ::open(host(path).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) fail("open");
  return File(fd);
}

File File::createNew(const std::string& path) {
  int fd = ::open(host(path).c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) fail("open");
  return File(fd);
}

void File::flush() {
  if (::fsync(static_cast<int>(handle_)) != 0 && errno != EINVAL && errno != EROFS) fail("fsync");
}

// A rename by name is one call here as well.
bool File::tryRenameOpen(const std::string&, bool) { return false; }

void replaceFile(const std::string& from, const std::string& to) {
  if (::rename(host(from).c_str(), host(to).c_str()) != 0) fail("rename");
}

bool renameNew(const std::string& from, const std::string& to) {
  // A new link fails on an existing name; the old name goes once the new one is there.
  if (::link(from.c_str(), to.c_str()) != 0) {
    if (errno == EEXIST) return false;
    fail("link");
  }
  ::unlink(from.c_str());
  return true;
}

// Files are replaced here by renaming over them, which no open handle prevents.
bool fileReplaceable(const std::string&) { return true; }

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (stat(host(a).c_str(), &sa) != 0 || stat(host(b).c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

size_t File::read(void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::read(static_cast<int>(handle_), static_cast<char*>(buffer) + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("read");
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

size_t File::write(const void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::write(static_cast<int>(handle_), static_cast<const char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

int64_t File::seek(int64_t offset, SeekOrigin origin) {
  int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), whence);
  if (r < 0) fail("lseek");
  return r;
}

int64_t File::position() const {
  off_t r = ::lseek(static_cast<int>(handle_), 0, SEEK_CUR);
  if (r < 0) fail("lseek");
  return r;
}

int64_t File::size() const {
  struct stat st {};
  if (fstat(static_cast<int>(handle_), &st) != 0) fail("fstat");
  return st.st_size;
}

void File::truncate() {
  if (ftruncate(static_cast<int>(handle_), position()) != 0) fail("ftruncate");
}

double File::date() const {
  struct stat st {};
  if (fstat(static_cast<int>(handle_), &st) != 0) fail("fstat");
  return daysOfTime(st.st_mtime);
}

void File::setDate(double days) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = timeOfDays(days);
  times[1].tv_nsec = 0;
  if (futimens(static_cast<int>(handle_), times) != 0) fail("futimens");
}

void File::close() {
  if (handle_ != -1) {
    ::close(static_cast<int>(handle_));
    handle_ = -1;
  }
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(host(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool directoryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(host(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void forceDirectories(const std::string& path) {
  std::string p = host(path);
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  if (p.empty() || directoryExists(p)) return;
  auto slash = p.rfind('/');
  if (slash != std::string::npos && slash > 0) forceDirectories(p.substr(0, slash));
  if (mkdir(p.c_str(), 0755) != 0 && errno != EEXIST) fail("mkdir");
}

bool deleteFile(const std::string& path) { return unlink(host(path).c_str()) == 0; }

std::optional<double> fileAgeDays(const std::string& path) {
  struct stat st {};
  if (stat(host(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  return daysOfTime(st.st_mtime);
}

std::optional<std::vector<std::string>> folderEntries(const std::string& path) {
  DIR* dir = opendir(host(path).c_str());
  if (!dir) return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  return names;
}

std::optional<FileSizeAndDate> fileSizeAndDate(const std::string& path) {
  struct stat st {};
  if (stat(host(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  const int64_t stamp = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return FileSizeAndDate{static_cast<int64_t>(st.st_size), daysOfTime(st.st_mtime), stamp};
}

std::string createTempFile(std::string_view prefix) {
  const char* dir = getenv("TMPDIR");
  std::string templ = std::string(dir && *dir ? dir : "/tmp") + "/" + std::string(prefix) + "XXXXXX";
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  int fd = mkstemp(buf.data());
  if (fd < 0) fail("mkstemp");
  ::close(fd);
  return buf.data();
}

std::optional<uint64_t> freeDiskSpace(const std::string& path) {
  struct statvfs sv {};
  if (statvfs(host(path).c_str(), &sv) != 0) return std::nullopt;
  return static_cast<uint64_t>(sv.f_bavail) * sv.f_frsize;
}

std::optional<uint32_t> fileAttributes(const std::string& path) {
  struct stat st {};
  if (stat(host(path).c_str(), &st) != 0) return std::nullopt;
  uint32_t a = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
  if ((st.st_mode & S_IWUSR) == 0) a |= kAttrReadOnly;
  return a;
}

bool setFileAttributes(const std::string& path, uint32_t attributes) {
  struct stat st {};
  if (stat(host(path).c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & kAttrReadOnly) ? (mode & ~mode_t(0222)) : (mode | S_IWUSR);
  return chmod(host(path).c_str(), mode) == 0;
}

}  // namespace kestrune::platform
