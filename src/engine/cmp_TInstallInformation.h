// The engine's settings records: product information and web-build settings.
#pragma once
#include <string>

#include "runtime/persistent.h"

namespace kestrune {

class TInstallInformation : public TPersistent {
  KESTRUNE_CLASS()
 public:
  std::string CompanyName = "My Company";
  // The line under the product name on the wizard's pages (edition, short description);
  // empty: the version line.
  std::string Description;
  std::string ProductName = "My product";
  std::string Version = "1.0";
  void Assign(const TPersistent& source) override;
};

// Settings that travel with the script for the web-distribution build.
class TBuildInfo : public TPersistent {
  KESTRUNE_CLASS()
 public:
  std::string AppName;
  std::string AppURL;
  std::string BuildDirectory = "c:\\build";
  std::string CredentialsFile;
  std::string OCXName = "kwsetup";
  std::string PrivateKeyFile;
  bool SignCode = false;
  std::string URLPath;
  void Assign(const TPersistent& source) override;
};

}  // namespace kestrune
