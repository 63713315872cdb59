// Network install locations: where the product's archives lie on an FTP or HTTP server,
// and the download of one named file from there into a local file through the Windows
// internet library. File-related objects reach a location through the seam below
// (login facts, DownloadFile and an attached progress receiver).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "objects/cmp_TCustomLoginInformation.h"
#include "objects/run_state.h"
#include "platform/wininet.h"
#include "runtime/component.h"
#include "runtime/format.h"

namespace kestrune {

using TDataReceivedEvent = std::function<void(TComponent* Sender, const std::string& FileName, int32_t Bytes,
                                              int32_t TotalBytes, int32_t FileSize, const void* Buffer)>;
using TNetLoginEvent = std::function<void(TComponent* Sender)>;
using TNetNotifyEvent = std::function<void(TComponent* Sender)>;
using TNotifyWithAbortEvent = std::function<void(TComponent* Sender, bool Aborted)>;

class TCustomNetInstallLocation : public TComponent {
  KESTRUNE_CLASS()
 public:
  // Progress of a transfer as the attached receiver gets it: file name, bytes of the last
  // block, bytes so far, expected size, the block itself.
  using DataReceivedHandler =
      std::function<void(const std::string& fileName, int32_t bytes, int32_t totalBytes, int32_t fileSize, const void* buffer)>;

  // Largest block read at a time.
  static constexpr uint32_t kBlockSize = 8192;

  explicit TCustomNetInstallLocation(TComponent* owner);
  ~TCustomNetInstallLocation() override;

  TLoginInformation* LoginInformation() const { return loginInformation_.get(); }
  // Copies the fields of value into the owned record.
  virtual void SetLoginInformation(const TLoginInformation* value);

  TNetLoginEvent OnBeforeLogin;
  TNetLoginEvent OnAfterLogin;
  TNetNotifyEvent OnBeforeDownload;
  TNotifyWithAbortEvent OnAfterDownload;
  TDataReceivedEvent OnDataReceived;

  // Loads the internet library and its entry points. Raises ENIL_FailLoadWININET or
  // ENIL_FailLoadDLLProc.
  virtual void LoadWinInet();
  // Loads the library, opens the session and the connection (each only when not done
  // yet) and, for FTP, sets the server's directory. Raises the ENIL errors of each step.
  virtual void Connect();
  // Copies the remote file into the local file (created or replaced once complete).
  // Returns normally also when the user cancelled (the abort flag of the run state); the
  // local file is then not written.
  virtual void Download(const std::string& remoteName, const std::string& localPath);
  // Closes the connection, then the session; a handle is forgotten only when closing it
  // succeeds. Returns false when one could not be closed.
  bool Disconnect();
  bool IsLoginComplete(const TCustomLoginInformation& login) const { return kestrune::IsLoginComplete(login); }

  // The seam of file-related objects. The defaults answer from LoginInformation and
  // download with Download.
  virtual std::string LoginHostname() const { return loginInformation_->Hostname; }
  virtual std::string LoginDirectory() const { return loginInformation_->Directory; }
  virtual TInternetProtocol LoginProtocol() const { return loginInformation_->Protocol; }
  virtual bool LoginComplete() const { return IsLoginComplete(*loginInformation_); }
  virtual void DownloadFile(const std::string& remoteName, const std::string& localPath) {
    Download(remoteName, localPath);
  }
  // The second progress receiver, attached by an install object while it downloads.
  void SetOnProgress(DataReceivedHandler handler) { onProgress_ = std::move(handler); }
  const DataReceivedHandler& OnProgress() const { return onProgress_; }

  // Time-out of connecting, sending and receiving, so that a server that stops answering
  // ends the download with an error instead of holding the setup program forever.
  uint32_t TimeoutMilliseconds() const { return timeoutMilliseconds_; }
  void SetTimeoutMilliseconds(uint32_t value) { timeoutMilliseconds_ = value; }

  const std::string& LocalPath() const { return localPath_; }
  const std::string& RemoteName() const { return remoteName_; }

 protected:
  // Hands the location a loaded library (LoadWinInet, and tests with their own).
  void UseInternetApi(std::unique_ptr<platform::InternetApi> api);
  platform::InternetApi* InternetApi() const { return api_.get(); }

 private:
  // Raises E with the four-part message of a failed step.
  template <class E>
  [[noreturn]] void raise(std::string_view step, std::initializer_list<FmtArg> args) const;
  std::string serverResponse() const;
  platform::InternetHandle openRemoteFile();
  bool transfer();
  // Raises ENIL_WriteDestFile for the local file.
  [[noreturn]] void throwWriteDestFile() const;
  int32_t expectedSize(bool http);
  void checkHttpStatus();

  std::unique_ptr<TLoginInformation> loginInformation_;
  std::unique_ptr<platform::InternetApi> api_;
  platform::InternetHandle session_ = nullptr;
  platform::InternetHandle connection_ = nullptr;
  platform::InternetHandle file_ = nullptr;
  std::string ftpDirectory_;  // set on the open connection
  std::string localPath_;
  std::string remoteName_;
  DataReceivedHandler onProgress_;
  uint32_t timeoutMilliseconds_ = 60000;
};

// The component scripts name: publishes LoginInformation and the five events.
class TNetInstallLocation : public TCustomNetInstallLocation {
  KESTRUNE_CLASS()
 public:
  using TCustomNetInstallLocation::TCustomNetInstallLocation;
};

// Every live location, in creation order. Adding a null reference raises IENetList.
class TNetInstallLocationList {
 public:
  void Add(TCustomNetInstallLocation* location);
  void Remove(TCustomNetInstallLocation* location);
  int Count() const { return static_cast<int>(items_.size()); }
  TCustomNetInstallLocation* Items(int index) const { return items_.at(static_cast<size_t>(index)); }

 private:
  std::vector<TCustomNetInstallLocation*> items_;
};
// NetInstallLocations() and LastConnectedLocation() are in objects/run_state.h.

void registerNetClasses(ClassRegistry& registry);

}  // namespace kestrune
