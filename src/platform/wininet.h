// The Windows internet library (WININET.DLL) as the network location uses it: loaded by
// name at first use from the system directory only, one operation per entry point. The
// operations report failure by their result and leave the reason in lastError(); the
// network location turns them into its own errors one level up.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kestrune::platform {

// A session, connection or remote file handle; null means none.
using InternetHandle = void*;

enum class InternetService { Ftp, Http };
enum class HttpInfo { ContentLength, StatusCode };

// Windows error codes the network location tests for.
inline constexpr uint32_t kErrorHttpHeaderNotFound = 12150;

class InternetApi {
 public:
  virtual ~InternetApi() = default;
  // InternetGetLastResponseInfo: the server's last response text (at most 3000
  // characters); empty when none can be read.
  virtual std::optional<std::string> lastResponseInfo() = 0;
  // InternetOpen with the preconfigured proxy settings and no flags.
  virtual InternetHandle open(const std::string& agent) = 0;
  // InternetConnect; port 0 is the service's default port. Null user and password mean
  // none are passed.
  virtual InternetHandle connect(InternetHandle session, const std::string& host, uint16_t port, InternetService service,
                                 const char* user, const char* password) = 0;
  virtual bool ftpSetCurrentDirectory(InternetHandle connection, const std::string& directory) = 0;
  virtual bool closeHandle(InternetHandle handle) = 0;
  virtual bool queryDataAvailable(InternetHandle file, uint32_t& bytes) = 0;
  // Reads up to size bytes; read = 0 at the end of the file.
  virtual bool readFile(InternetHandle file, void* buffer, uint32_t size, uint32_t& read) = 0;
  // FtpOpenFile for reading, binary transfer.
  virtual InternetHandle ftpOpenFile(InternetHandle connection, const std::string& name) = 0;
  // HttpOpenRequest with the flags reload, existing connection and no cache write.
  virtual InternetHandle httpOpenRequest(InternetHandle connection, const std::string& verb, const std::string& object) = 0;
  virtual bool httpSendRequest(InternetHandle request, const std::string& headers) = 0;
  // HttpQueryInfo of one header as text into a buffer of bufferSize bytes.
  virtual bool httpQueryInfo(InternetHandle request, HttpInfo what, uint32_t bufferSize, std::string& value) = 0;
  // Connect, send and receive time-outs of a session; false when the library cannot set
  // them (the optional entry point InternetSetOption is missing or refuses).
  virtual bool setTimeouts(InternetHandle session, uint32_t milliseconds) = 0;
  // The calling thread's last error code.
  virtual uint32_t lastError() = 0;
};

// The result of loading: the library's operations, or why there are none: the library
// could not be loaded (missingEntry empty) or the named entry point is missing.
struct InternetLibrary {
  std::unique_ptr<InternetApi> api;
  std::string missingEntry;
};

// Loads WININET.DLL by its full path in the system directory (never from the program's
// folder) and looks up its entry points in a fixed order. Natively there is no such
// library: the result then has no operations and no missing entry.
InternetLibrary loadInternetLibrary();

}  // namespace kestrune::platform
