// The login record of a network location: server, directory, protocol and credentials.
#pragma once
#include <string>

#include "runtime/classinfo.h"
#include "runtime/persistent.h"

namespace kestrune {

class TCustomNetInstallLocation;

enum class TInternetProtocol { ipFTP, ipHTTP };
const EnumType& EnumTypeInfo(TInternetProtocol);

class TCustomLoginInformation : public TPersistent {
  KESTRUNE_CLASS()
 public:
  explicit TCustomLoginInformation(TCustomNetInstallLocation* location = nullptr) : location_(location) {}

  bool Anonymous = true;
  // Directory on the server that holds the files; backslashes are sent as "/".
  std::string Directory;
  // Server name; "name:port" names a port other than the protocol's default one.
  std::string Hostname;
  std::string Password;
  TInternetProtocol Protocol = TInternetProtocol::ipHTTP;
  std::string Username;

  // The location that owns the record (null for a free-standing record).
  TCustomNetInstallLocation* Location() const { return location_; }
  // Copies all six fields from another login record.
  void Assign(const TPersistent& source) override;

 private:
  TCustomNetInstallLocation* location_;
};

class TLoginInformation : public TCustomLoginInformation {
  KESTRUNE_CLASS()
 public:
  using TCustomLoginInformation::TCustomLoginInformation;
};

// Anonymous: the host name is not blank. Named: at least one of host name, password and
// user name is not blank.
bool IsLoginComplete(const TCustomLoginInformation& login);

// The directory as the server gets it: "/" when blank after trimming, otherwise every
// backslash replaced by "/".
std::string ServerDirectory(const std::string& directory);

}  // namespace kestrune
