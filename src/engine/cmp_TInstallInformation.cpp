// The engine's settings records.
#include "engine/cmp_TInstallInformation.h"

#include "runtime/published.h"

namespace kestrune {

const ClassInfo& TInstallInformation::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TInstallInformation::CompanyName, &TInstallInformation::CompanyName>("CompanyName").DefaultStr("My Company"),
      prop<&TInstallInformation::Description, &TInstallInformation::Description>("Description"),
      prop<&TInstallInformation::ProductName, &TInstallInformation::ProductName>("ProductName").DefaultStr("My product"),
      prop<&TInstallInformation::Version, &TInstallInformation::Version>("Version").DefaultStr("1.0")};
  static const ClassInfo info{"TInstallInformation", &TPersistent::classInfo(), nullptr, props};
  return info;
}

void TInstallInformation::Assign(const TPersistent& source) {
  if (const auto* o = As<TInstallInformation>(&source)) {
    CompanyName = o->CompanyName;
    Description = o->Description;
    ProductName = o->ProductName;
    Version = o->Version;
    return;
  }
  TPersistent::Assign(source);
}

const ClassInfo& TBuildInfo::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TBuildInfo::AppName, &TBuildInfo::AppName>("AppName"),
      prop<&TBuildInfo::AppURL, &TBuildInfo::AppURL>("AppURL"),
      prop<&TBuildInfo::BuildDirectory, &TBuildInfo::BuildDirectory>("BuildDirectory")
          .DefaultStr("c:\\build"),
      prop<&TBuildInfo::CredentialsFile, &TBuildInfo::CredentialsFile>("CredentialsFile"),
      prop<&TBuildInfo::OCXName, &TBuildInfo::OCXName>("OCXName").DefaultStr("kwsetup"),
      prop<&TBuildInfo::PrivateKeyFile, &TBuildInfo::PrivateKeyFile>("PrivateKeyFile"),
      prop<&TBuildInfo::SignCode, &TBuildInfo::SignCode>("SignCode"),
      prop<&TBuildInfo::URLPath, &TBuildInfo::URLPath>("URLPath")};
  static const ClassInfo info{"TBuildInfo", &TPersistent::classInfo(), nullptr, props};
  return info;
}

void TBuildInfo::Assign(const TPersistent& source) {
  if (const auto* o = As<TBuildInfo>(&source)) {
    AppName = o->AppName;
    AppURL = o->AppURL;
    BuildDirectory = o->BuildDirectory;
    CredentialsFile = o->CredentialsFile;
    OCXName = o->OCXName;
    PrivateKeyFile = o->PrivateKeyFile;
    SignCode = o->SignCode;
    URLPath = o->URLPath;
    return;
  }
  TPersistent::Assign(source);
}

}  // namespace kestrune
