// The login record of a network location.
#include "objects/cmp_TCustomLoginInformation.h"

#include "routines/routines_Strings.h"
#include "runtime/published.h"
#include "runtime/sysutils.h"

namespace kestrune {

const EnumType& EnumTypeInfo(TInternetProtocol) {
  static constexpr std::string_view values[] = {"ipFTP", "ipHTTP"};
  static constexpr EnumType t{"TInternetProtocol", values};
  return t;
}

const ClassInfo& TCustomLoginInformation::classInfo() {
  using L = TCustomLoginInformation;
  static constexpr PropInfo props[] = {
      prop<&L::Anonymous, &L::Anonymous>("Anonymous").Default(1),
      prop<&L::Directory, &L::Directory>("Directory"),
      prop<&L::Hostname, &L::Hostname>("Hostname"),
      prop<&L::Password, &L::Password>("Password"),
      prop<&L::Protocol, &L::Protocol>("Protocol").Default(static_cast<int>(TInternetProtocol::ipHTTP)),
      prop<&L::Username, &L::Username>("Username")};
  static const ClassInfo info{"TCustomLoginInformation", &TPersistent::classInfo(), nullptr, props};
  return info;
}

const ClassInfo& TLoginInformation::classInfo() {
  static const ClassInfo info{"TLoginInformation", &TCustomLoginInformation::classInfo(), nullptr, {}};
  return info;
}

void TCustomLoginInformation::Assign(const TPersistent& source) {
  if (const auto* o = As<TCustomLoginInformation>(&source)) {
    Anonymous = o->Anonymous;
    Directory = o->Directory;
    Hostname = o->Hostname;
    Password = o->Password;
    Protocol = o->Protocol;
    Username = o->Username;
    return;
  }
  TPersistent::Assign(source);
}

bool IsLoginComplete(const TCustomLoginInformation& login) {
  if (login.Anonymous) return !Trim(login.Hostname).empty();
  return !Trim(login.Hostname).empty() || !Trim(login.Password).empty() || !Trim(login.Username).empty();
}

std::string ServerDirectory(const std::string& directory) {
  if (Trim(directory).empty()) return "/";
  std::string result = directory;
  for (char& c : result)
    if (c == '\\') c = '/';
  return result;
}

}  // namespace kestrune
