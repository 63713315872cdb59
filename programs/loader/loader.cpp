// KestruneLoadProgram.exe: the front of a self-extracting setup.exe. It finds setup.1
// through the extraction info at the end of its own file (or, on a floppy set, as a file
// beside itself), unpacks the setup program and the pre-setup files into a new private
// temporary folder, runs the setup program there with -s, -e and -c (and -f for the switch
// "*TODISK"; -q, -lPATH, -? and -h of its own command line passed on), waits for it and
// returns its exit code. The folder is removed afterwards
// unless the setup program left a resume after restart that needs it.
//
// Plain Win32 and zlib only: no C or C++ runtime, no exceptions, fixed buffers. Everything
// read from the file is checked before it is used; damage ends in a message box (none under
// -q: the exit code alone tells it).
//
// Exit codes: the setup program's own, or kLoaderFailed (5) when the loader could not run it:
// this file is damaged or cut short (or carries no setup files), or the temporary folder or
// the setup program's process could not be made.
//
// The program imports from kernel32 alone. It usually runs from a download folder, where
// anyone may have put a DLL named like a system one: before anything else it limits the
// DLL search to the system directory, and only then loads user32 (message boxes) by its
// full system path, when it first shows one. A static import of it, or of advapi32 or
// shell32, would load them and what they load before the first line of this program runs,
// searching this program's folder first. A run that shows no message loads no other
// library: under Wine loading user32 starts the graphics and font machinery (a tenth of
// the loader's run), and advapi32 brings three more libraries; the one registry value the
// loader reads is read through ntdll, which every process has loaded.
#include <windows.h>
#include <zlib.h>

#include "engine/distribution_format.h"
#include "engine/loader_command_line.h"

namespace df = kestrune::distribution_format;

namespace {

constexpr DWORD kLoaderFailed = 5;  // exit code when the setup program could not be run
constexpr int kPath = 1024;
constexpr size_t kHeaderSize = 172;  // archive member header
constexpr size_t kHeadSize = 5;      // archive head: member count, spanned flag
constexpr int kMaxMembers = 4096;
const wchar_t kTitle[] = L"Setup";

// ---- the system libraries, loaded after the DLL search is limited ----

struct UserCalls {
  int(WINAPI* messageBox)(HWND, LPCWSTR, LPCWSTR, UINT) = nullptr;
  int(WINAPIV* format)(LPWSTR, LPCWSTR, ...) = nullptr;
};
// The native registry calls and their structures.
struct CountedString {
  USHORT length, capacity;  // in bytes
  const wchar_t* text;
};
struct ObjectAttributes {
  ULONG length;
  HANDLE root;
  const CountedString* name;
  ULONG attributes;
  void* securityDescriptor;
  void* securityQuality;
};
struct PartialValue {
  ULONG titleIndex, type, dataLength;
  BYTE data[1];
};
constexpr ULONG kCaseInsensitive = 0x40;   // OBJ_CASE_INSENSITIVE
constexpr int kPartialInformation = 2;     // KeyValuePartialInformation
struct RegistryCalls {
  LONG(WINAPI* openKey)(HANDLE*, ACCESS_MASK, const ObjectAttributes*) = nullptr;
  LONG(WINAPI* queryValue)(HANDLE, const CountedString*, int, void*, ULONG, ULONG*) = nullptr;
  LONG(WINAPI* close)(HANDLE) = nullptr;
};

template <typename Function>
void bind(HMODULE module, const char* name, Function& function) {
  function = module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// Loads a library of the system directory by its full path.
HMODULE loadSystemLibrary(const wchar_t* name) {
  wchar_t path[MAX_PATH + 32];
  const UINT n = GetSystemDirectoryW(path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  lstrcatW(path, L"\\");
  lstrcatW(path, name);
  return LoadLibraryW(path);
}

// Nothing is loaded from the folder of this program or from the current folder: the
// system's directories only, where the system knows the newer rule, else at least not the
// current folder.
void limitDllSearch() {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  using SetDirectory = BOOL(WINAPI*)(LPCWSTR);
  using SetDefault = BOOL(WINAPI*)(DWORD);
  SetDirectory setDirectory;
  SetDefault setDefault;
  bind(kernel, "SetDllDirectoryW", setDirectory);
  bind(kernel, "SetDefaultDllDirectories", setDefault);
  if (setDirectory) setDirectory(L"");
  if (setDefault) setDefault(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
}

// user32, loaded by the first message.
const UserCalls& userCalls() {
  static UserCalls calls;
  static bool loaded = false;
  if (!loaded) {
    loaded = true;
    HMODULE user = loadSystemLibrary(L"user32.dll");
    bind(user, "MessageBoxW", calls.messageBox);
    bind(user, "wsprintfW", calls.format);
  }
  return calls;
}

// The registry calls of ntdll, which is in every process: nothing is loaded for them. A
// 32-bit program on 64-bit Windows sees the same view of the registry through them as
// through advapi32 (the redirection of the 32-bit view lies below both).
RegistryCalls registryCalls() {
  RegistryCalls calls;
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  bind(ntdll, "NtOpenKey", calls.openKey);
  bind(ntdll, "NtQueryValueKey", calls.queryValue);
  bind(ntdll, "NtClose", calls.close);
  return calls;
}

CountedString counted(const wchar_t* text) {
  const USHORT bytes = static_cast<USHORT>(lstrlenW(text) * sizeof(wchar_t));
  return {bytes, static_cast<USHORT>(bytes + sizeof(wchar_t)), text};
}

// ---- small helpers without the C runtime ----

// What the loader's own command line passes on to the setup program
// (engine/loader_command_line.h): read first, so that -q silences every message.
kestrune::loader_command_line::Switches<wchar_t> switches;

// Under -q the loader shows nothing (and loads no user32): its exit code (kLoaderFailed)
// tells the failure.
void fail(const wchar_t* format, const wchar_t* a = L"", const wchar_t* b = L"") {
  if (switches.quiet) return;
  const UserCalls& user = userCalls();
  wchar_t text[3 * kPath];
  if (!user.format || !user.messageBox) return;
  user.format(text, format, a, b);
  user.messageBox(nullptr, text, kTitle, MB_OK | MB_ICONSTOP);
}

void failCode(const wchar_t* format, const wchar_t* a, DWORD code) {
  if (switches.quiet) return;
  const UserCalls& user = userCalls();
  wchar_t text[3 * kPath];
  if (!user.format || !user.messageBox) return;
  user.format(text, format, a, static_cast<unsigned>(code));
  user.messageBox(nullptr, text, kTitle, MB_OK | MB_ICONSTOP);
}

// Appends text when it fits into capacity characters (terminator included).
bool append(wchar_t* to, const wchar_t* text, int capacity = kPath) {
  const int have = lstrlenW(to), add = lstrlenW(text);
  if (have + add >= capacity) return false;
  lstrcpyW(to + have, text);
  return true;
}

bool startsWith(const wchar_t* text, const wchar_t* prefix) {
  for (; *prefix; ++text, ++prefix)
    if (*text != *prefix) return false;
  return true;
}

// Appends value in upper-case hexadecimal, without leading zeros.
void appendHex(wchar_t* to, unsigned value) {
  wchar_t digits[9];
  int n = 0;
  do {
    const unsigned d = value & 0xF;
    digits[n++] = static_cast<wchar_t>(d < 10 ? L'0' + d : L'A' + d - 10);
    value >>= 4;
  } while (value);
  wchar_t* end = to + lstrlenW(to);
  while (n) *end++ = digits[--n];
  *end = 0;
}

// Text in capitals, as the system's upper-casing of file names gives them.
void toUpper(wchar_t* text, int capacity) {
  wchar_t upper[2 * kPath];
  const int n = LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text, -1, upper, 2 * kPath);
  if (n > 0 && n <= capacity) lstrcpynW(text, upper, capacity);
}

// The part of path after its last "\", "/" or ":".
const wchar_t* leafOf(const wchar_t* path) {
  const wchar_t* leaf = path;
  for (const wchar_t* p = path; *p; ++p)
    if (*p == L'\\' || *p == L'/' || *p == L':') leaf = p + 1;
  return leaf;
}

int32_t getInt32(const uint8_t* p) { return df::getInt32(p); }

class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  // Takes over the other handle.
  void take(Handle& other) {
    close();
    h_ = other.h_;
    other.h_ = INVALID_HANDLE_VALUE;
  }
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  void close() {
    if (valid()) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

bool readAt(HANDLE file, int64_t at, void* buffer, DWORD count) {
  LARGE_INTEGER pos;
  pos.QuadPart = at;
  DWORD got = 0;
  return SetFilePointerEx(file, pos, nullptr, FILE_BEGIN) && ReadFile(file, buffer, count, &got, nullptr) && got == count;
}

// ---- where setup.1 is ----

struct Source {
  Handle file;
  int64_t start = 0, end = 0;  // the setup.1 bytes, end inclusive
  bool selfExtracting = false;
};

// Opens the setup.1 part: inside this program when it carries extraction info, else a
// setup.1 beside it. False after a message.
bool openSource(const wchar_t* self, const wchar_t* selfDir, Source& source) {
  Handle own(CreateFileW(self, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size{};
  if (!own.valid() || !GetFileSizeEx(own.get(), &size)) {
    failCode(L"The setup program %s cannot read itself (error %u).", self, GetLastError());
    return false;
  }
  uint8_t info[df::kInfoSize];
  if (size.QuadPart > static_cast<int64_t>(df::kInfoSize) &&
      readAt(own.get(), size.QuadPart - static_cast<int64_t>(df::kInfoSize), info, sizeof info) && df::hasSignature(info)) {
    const df::ExtractionOffsets offsets = df::decodeOffsets(info);
    if (const char* problem = df::offsetsProblem(offsets, size.QuadPart)) {
      wchar_t why[256];
      MultiByteToWideChar(CP_ACP, 0, problem, -1, why, 256);
      fail(L"The self-extracting setup program %s is damaged: %s. Please get a new copy of it.", self, why);
      return false;
    }
    source.start = offsets.setupStart;
    source.end = offsets.setupEnd;
    source.selfExtracting = true;
    source.file.take(own);
    return true;
  }
  wchar_t beside[kPath];
  lstrcpyW(beside, selfDir);
  if (!append(beside, L"\\setup.1")) return false;
  Handle archive(CreateFileW(beside, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER archiveSize{};
  if (!archive.valid() || !GetFileSizeEx(archive.get(), &archiveSize) || archiveSize.QuadPart <= 0) {
    fail(L"The setup program %s carries no setup files, and no setup.1 lies beside it.", self);
    return false;
  }
  source.start = 0;
  source.end = archiveSize.QuadPart - 1;
  source.file.take(archive);
  return true;
}

// ---- the temporary folder ----

// Creates a folder of a new name in the temporary directory; never reuses one.
bool makeFolder(wchar_t* folder) {
  wchar_t temp[kPath];
  DWORD n = GetTempPathW(kPath - 40, temp);
  if (n == 0 || n >= kPath - 40) {
    fail(L"The temporary directory cannot be found.");
    return false;
  }
  const DWORD pid = GetCurrentProcessId(), tick = GetTickCount();
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    // TEMP\Kst<pid><tick><attempt>, each in hexadecimal.
    lstrcpyW(folder, temp);
    append(folder, L"Kst");
    appendHex(folder, static_cast<unsigned>(pid));
    appendHex(folder, static_cast<unsigned>(tick));
    appendHex(folder, attempt);
    if (CreateDirectoryW(folder, nullptr)) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  failCode(L"A temporary folder cannot be made in %s (error %u).", temp, GetLastError());
  return false;
}

// Removes what lies in the folder, then the folder; false when the folder stays.
bool removeOnce(const wchar_t* folder) {
  wchar_t pattern[kPath];
  lstrcpyW(pattern, folder);
  if (!append(pattern, L"\\*")) return false;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern, &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!lstrcmpW(found.cFileName, L".") || !lstrcmpW(found.cFileName, L"..")) continue;
      wchar_t path[kPath];
      lstrcpyW(path, folder);
      if (!append(path, L"\\") || !append(path, found.cFileName)) continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeOnce(path);
      } else {
        SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path);
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryW(folder) != 0;
}

// Removes the folder and what lies in it. Right after the setup program's end the system
// may hold its program file or the folder a moment longer: the removal is tried again for
// up to five seconds, so that no trace of the folder is left.
void removeTree(const wchar_t* folder) {
  for (int attempt = 0; !removeOnce(folder) && GetFileAttributesW(folder) != INVALID_FILE_ATTRIBUTES && attempt < 50;
       ++attempt)
    Sleep(100);
}

// True when the setup program registered a resume after restart that runs from folder.
bool resumeNeeds(const wchar_t* folder) {
  const RegistryCalls sys = registryCalls();
  if (!sys.openKey || !sys.queryValue || !sys.close) return false;
  const CountedString path = counted(L"\\Registry\\Machine\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
  const ObjectAttributes attributes{sizeof(ObjectAttributes), nullptr, &path, kCaseInsensitive, nullptr, nullptr};
  HANDLE key = nullptr;
  if (sys.openKey(&key, KEY_QUERY_VALUE, &attributes) < 0) return false;
  // The value's text, kept terminated: one that does not fit counts as not found.
  wchar_t command[2 * kPath] = {};
  ULONG value[(sizeof(PartialValue) + sizeof command) / sizeof(ULONG) + 1];
  ULONG got = 0;
  const CountedString name = counted(L"KestruneUnfinished");
  const bool found = sys.queryValue(key, &name, kPartialInformation, value, sizeof value, &got) >= 0;
  sys.close(key);
  const PartialValue* partial = reinterpret_cast<const PartialValue*>(value);
  if (!found || partial->dataLength > sizeof command - sizeof(wchar_t)) return false;
  CopyMemory(command, partial->data, partial->dataLength);
  toUpper(command, 2 * kPath);
  wchar_t upper[kPath];
  lstrcpyW(upper, folder);
  toUpper(upper, kPath);
  for (const wchar_t* p = command; *p; ++p)
    if (startsWith(p, upper)) return true;
  return false;
}

// ---- unpacking setup.1 ----

// Inflates count bytes of the member at `at` into out; true when exactly size bytes came
// out of one complete zlib stream. A member of up to kWhole bytes (the setup program) is
// read with one read, inflated in one call into a buffer of its size and written with one
// write: no output ever goes through zlib's window, and the system sees one call each. A
// larger member goes the same way in pieces of kWhole bytes.
bool inflateMember(HANDLE in, int64_t at, int32_t count, int32_t size, HANDLE out) {
  constexpr int32_t kWhole = 4 << 20;
  const DWORD inputSize = static_cast<DWORD>(count < kWhole ? count : kWhole);
  const DWORD outputSize = static_cast<DWORD>(size < kWhole ? (size > 0 ? size : 1) : kWhole);
  // From the heap: zero-filled static buffers would be stored in the program file.
  uint8_t* input = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, inputSize + outputSize));
  if (!input) return false;
  uint8_t* output = input + inputSize;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) {
    HeapFree(GetProcessHeap(), 0, input);
    return false;
  }
  LARGE_INTEGER pos;
  pos.QuadPart = at;
  bool ok = SetFilePointerEx(in, pos, nullptr, FILE_BEGIN);
  int64_t left = count, written = 0;
  int status = Z_OK;
  while (ok && status != Z_STREAM_END) {
    if (z.avail_in == 0) {
      if (left == 0) {
        ok = false;
        break;
      }
      DWORD want = static_cast<DWORD>(left < static_cast<int64_t>(inputSize) ? left : inputSize), got = 0;
      if (!ReadFile(in, input, want, &got, nullptr) || got != want) {
        ok = false;
        break;
      }
      left -= got;
      z.next_in = input;
      z.avail_in = got;
    }
    z.next_out = output;
    z.avail_out = outputSize;
    status = inflate(&z, left == 0 ? Z_FINISH : Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END && !(status == Z_BUF_ERROR && z.avail_out == 0)) {
      ok = false;
      break;
    }
    const DWORD produced = outputSize - z.avail_out;
    written += produced;
    DWORD put = 0;
    if (written > size || (produced && (!WriteFile(out, output, produced, &put, nullptr) || put != produced))) ok = false;
  }
  inflateEnd(&z);
  HeapFree(GetProcessHeap(), 0, input);
  return ok && status == Z_STREAM_END && written == size && left == 0 && z.avail_in == 0;
}

// Days since 30 Dec 1899 (local time) as a file time.
bool toFileTime(double days, FILETIME& result) {
  if (!(days > 0 && days < 2958466.0)) return false;
  const double ticks = (days + 109205.0) * 864000000000.0;
  ULARGE_INTEGER v;
  v.QuadPart = static_cast<ULONGLONG>(ticks);
  FILETIME local;
  local.dwLowDateTime = v.LowPart;
  local.dwHighDateTime = v.HighPart;
  return LocalFileTimeToFileTime(&local, &result);
}

// Unpacks every member of setup.1 into folder; the first member's path goes to program.
// False after a message.
bool unpack(const Source& source, const wchar_t* self, const wchar_t* folder, wchar_t* program) {
  const wchar_t* damaged = L"The setup archive in %s is damaged: %s. Please get a new copy of the setup program.";
  const int64_t length = source.end - source.start + 1;
  uint8_t head[kHeadSize];
  if (length < static_cast<int64_t>(kHeadSize) || !readAt(source.file.get(), source.start, head, sizeof head)) {
    fail(damaged, self, L"it is too short");
    return false;
  }
  const int32_t count = getInt32(head);
  if (count <= 0 || count > kMaxMembers || head[4] != 0) {
    fail(damaged, self, L"its member count is wrong");
    return false;
  }
  int64_t next = kHeadSize;
  for (int32_t i = 0; i < count; ++i) {
    uint8_t h[kHeaderSize];
    if (next + static_cast<int64_t>(kHeaderSize) > length || !readAt(source.file.get(), source.start + next, h, sizeof h)) {
      fail(damaged, self, L"a member header lies outside it");
      return false;
    }
    const int32_t lastByte = getInt32(h + 16), following = getInt32(h + 124), size = getInt32(h + 128),
                  dataStart = getInt32(h + 132), packed = getInt32(h + 136);
    if (size < 0 || packed <= 0 || dataStart < next + static_cast<int64_t>(kHeaderSize) ||
        static_cast<int64_t>(dataStart) + packed - 1 != lastByte || lastByte >= length || following <= lastByte) {
      fail(damaged, self, L"a member's data lies outside it");
      return false;
    }
    const int nameLength = h[20] > 100 ? 100 : h[20];
    wchar_t stored[128];
    const int n = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(h + 21), nameLength, stored, 127);
    stored[n > 0 ? n : 0] = 0;
    const wchar_t* leaf = leafOf(stored);
    if (!*leaf || !lstrcmpW(leaf, L".") || !lstrcmpW(leaf, L"..")) {
      fail(damaged, self, L"a member has no usable name");
      return false;
    }
    wchar_t target[kPath];
    lstrcpyW(target, folder);
    if (!append(target, L"\\") || !append(target, leaf)) {
      fail(L"The path of %s in %s is too long.", leaf, folder);
      return false;
    }
    Handle out(CreateFileW(target, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.valid()) {
      failCode(L"The file %s cannot be written (error %u).", target, GetLastError());
      return false;
    }
    if (!inflateMember(source.file.get(), source.start + dataStart, packed, size, out.get())) {
      out.close();
      DeleteFileW(target);
      fail(damaged, self, L"a member does not unpack to its size");
      return false;
    }
    double date;
    CopyMemory(&date, h + 4, sizeof date);
    FILETIME when;
    if (toFileTime(date, when)) SetFileTime(out.get(), nullptr, nullptr, &when);
    if (i == 0) lstrcpyW(program, target);
    next = following;
  }
  return true;
}

// ---- the run ----

DWORD run() {
  limitDllSearch();
  kestrune::loader_command_line::Read(GetCommandLineW(), switches);
  wchar_t self[kPath], selfDir[kPath];
  const DWORD n = GetModuleFileNameW(nullptr, self, kPath);
  if (n == 0 || n >= kPath) {
    fail(L"The setup program cannot find its own file.");
    return kLoaderFailed;
  }
  lstrcpyW(selfDir, self);
  wchar_t* leaf = const_cast<wchar_t*>(leafOf(selfDir));
  if (leaf > selfDir && leaf[-1] == L'\\') --leaf;
  *leaf = 0;

  Source source;
  if (!openSource(self, selfDir, source)) return kLoaderFailed;
  wchar_t folder[kPath], program[kPath] = {};
  if (!makeFolder(folder)) return kLoaderFailed;
  if (!unpack(source, self, folder, program)) {
    removeTree(folder);
    return kLoaderFailed;
  }
  source.file.close();

  // "PROGRAM" "-sSOURCEDIR" ["-eSELF"] -c [-f] [-q] ["-lLOG"] [-?]: the added switches
  // last, so that the ones before keep their places.
  constexpr int kCommand = 5 * kPath;
  wchar_t command[kCommand] = L"\"";
  const bool log = switches.log[0] != 0;
  const wchar_t* parts[] = {program, L"\" \"-s", selfDir, L"\"", source.selfExtracting ? L" \"-e" : L"",
                            source.selfExtracting ? leafOf(self) : L"", source.selfExtracting ? L"\"" : L"", L" -c",
                            switches.toDisk ? L" -f" : L"", switches.quiet ? L" -q" : L"", log ? L" \"" : L"",
                            switches.log, log ? L"\"" : L"", switches.help ? L" -?" : L""};
  for (const wchar_t* part : parts) append(command, part, kCommand);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program, command, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process)) {
    failCode(L"The setup program %s cannot be started (error %u).", program, GetLastError());
    removeTree(folder);
    return kLoaderFailed;
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = kLoaderFailed;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  if (!resumeNeeds(folder)) removeTree(folder);
  return code;
}

}  // namespace

// What the compiler and zlib expect of a C library, over the process heap.
extern "C" {
void* memcpy(void* to, const void* from, size_t count) {
  auto* t = static_cast<unsigned char*>(to);
  const auto* f = static_cast<const unsigned char*>(from);
  while (count--) *t++ = *f++;
  return to;
}
void* memmove(void* to, const void* from, size_t count) {
  auto* t = static_cast<unsigned char*>(to);
  const auto* f = static_cast<const unsigned char*>(from);
  if (t < f) {
    while (count--) *t++ = *f++;
  } else {
    while (count--) t[count] = f[count];
  }
  return to;
}
void* memset(void* to, int value, size_t count) {
  auto* t = static_cast<unsigned char*>(to);
  while (count--) *t++ = static_cast<unsigned char>(value);
  return to;
}
int memcmp(const void* a, const void* b, size_t count) {
  const auto* x = static_cast<const unsigned char*>(a);
  const auto* y = static_cast<const unsigned char*>(b);
  for (; count--; ++x, ++y)
    if (*x != *y) return *x < *y ? -1 : 1;
  return 0;
}
void* malloc(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }
void free(void* block) {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}
// The program's entry: no C runtime start-up runs before it.
void WinMainCRTStartup() { ExitProcess(run()); }
}
