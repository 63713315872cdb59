// The base of network install locations: the seam through which file-related objects
// download their archives. The FTP/HTTP location itself derives from it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "objects/run_state.h"
#include "runtime/component.h"

namespace kestrune {

enum class TNetProtocol { ipFTP, ipHTTP };

class TCustomNetInstallLocation : public TComponent {
  KESTRUNE_CLASS()
 public:
  using TComponent::TComponent;
  // Progress of a transfer: file name, bytes of the last block, bytes so far, file size,
  // the block itself.
  using DataReceivedHandler =
      std::function<void(const std::string& fileName, int32_t bytes, int32_t totalBytes, int32_t fileSize, const void* buffer)>;

  // Host name, directory and protocol of the login information.
  virtual std::string LoginHostname() const = 0;
  virtual std::string LoginDirectory() const = 0;
  virtual TNetProtocol LoginProtocol() const = 0;
  // True when the login information is complete enough to connect.
  virtual bool LoginComplete() const = 0;
  // Downloads one remote file of the location's directory to a local path.
  virtual void DownloadFile(const std::string& remoteName, const std::string& localPath) = 0;

  void SetOnProgress(DataReceivedHandler handler) { onProgress_ = std::move(handler); }
  const DataReceivedHandler& OnProgress() const { return onProgress_; }

 private:
  DataReceivedHandler onProgress_;
};

}  // namespace kestrune
