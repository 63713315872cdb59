// The four-part messages of the network location and the names of its error codes.
#include "objects/net_errors.h"

#include <array>

namespace kestrune {

namespace {

// Names of the internet library's codes from 12001 on, as its headers publish them; the
// gaps of the numbering hold no name.
constexpr std::array<const char*, 31> kInternetNames = {
    "ERROR_INTERNET_OUT_OF_HANDLES",        "ERROR_INTERNET_TIMEOUT",
    "ERROR_INTERNET_EXTENDED_ERROR",        "ERROR_INTERNET_INTERNAL_ERROR",
    "ERROR_INTERNET_INVALID_URL",           "ERROR_INTERNET_UNRECOGNIZED_SCHEME",
    "ERROR_INTERNET_NAME_NOT_RESOLVED",     "ERROR_INTERNET_PROTOCOL_NOT_FOUND",
    "ERROR_INTERNET_INVALID_OPTION",        "ERROR_INTERNET_BAD_OPTION_LENGTH",
    "ERROR_INTERNET_OPTION_NOT_SETTABLE",   "ERROR_INTERNET_SHUTDOWN",
    "ERROR_INTERNET_INCORRECT_USER_NAME",   "ERROR_INTERNET_INCORRECT_PASSWORD",
    "ERROR_INTERNET_LOGIN_FAILURE",         "ERROR_INTERNET_INVALID_OPERATION",
    "ERROR_INTERNET_OPERATION_CANCELLED",   "ERROR_INTERNET_INCORRECT_HANDLE_TYPE",
    "ERROR_INTERNET_INCORRECT_HANDLE_STATE", "ERROR_INTERNET_NOT_PROXY_REQUEST",
    "ERROR_INTERNET_REGISTRY_VALUE_NOT_FOUND", "ERROR_INTERNET_BAD_REGISTRY_PARAMETER",
    "ERROR_INTERNET_NO_DIRECT_ACCESS",      "ERROR_INTERNET_NO_CONTEXT",
    "ERROR_INTERNET_NO_CALLBACK",           "ERROR_INTERNET_REQUEST_PENDING",
    "ERROR_INTERNET_INCORRECT_FORMAT",      "ERROR_INTERNET_ITEM_NOT_FOUND",
    "ERROR_INTERNET_CANNOT_CONNECT",        "ERROR_INTERNET_CONNECTION_ABORTED",
    "ERROR_INTERNET_CONNECTION_RESET"};

constexpr std::array<const char*, 9> kGopherNames = {
    "ERROR_GOPHER_PROTOCOL_ERROR",  "ERROR_GOPHER_NOT_FILE",        "ERROR_GOPHER_DATA_ERROR",
    "ERROR_GOPHER_END_OF_DATA",     "ERROR_GOPHER_INVALID_LOCATOR", "ERROR_GOPHER_INCORRECT_LOCATOR_TYPE",
    "ERROR_GOPHER_NOT_GOPHER_PLUS", "ERROR_GOPHER_ATTRIBUTE_NOT_FOUND", "ERROR_GOPHER_UNKNOWN_LOCATOR"};

constexpr std::array<const char*, 6> kHttpNames = {
    "ERROR_HTTP_HEADER_NOT_FOUND",    "ERROR_HTTP_DOWNLEVEL_SERVER",      "ERROR_HTTP_INVALID_SERVER_RESPONSE",
    "ERROR_HTTP_INVALID_HEADER",      "ERROR_HTTP_INVALID_QUERY_REQUEST", "ERROR_HTTP_HEADER_ALREADY_EXISTS"};

}  // namespace

std::string InternetErrorName(uint32_t code) {
  if (code == 6) return "ERROR_INVALID_HANDLE";
  if (code >= 12001 && code <= 12031) return kInternetNames[code - 12001];
  switch (code) {
    case 12032: return "ERROR_INTERNET_FORCE_RETRY";
    case 12036: return "ERROR_INTERNET_HANDLE_EXISTS";
    case 12041: return "ERROR_INTERNET_MIXED_SECURITY";
    case 12110: return "ERROR_FTP_TRANSFER_IN_PROGRESS";
    case 12111: return "ERROR_FTP_DROPPED";
    default: break;
  }
  if (code >= 12130 && code <= 12138) return kGopherNames[code - 12130];
  if (code >= 12150 && code <= 12155) return kHttpNames[code - 12150];
  return "Unregistered error code";
}

std::string NetErrorMessage(std::string_view step, std::initializer_list<FmtArg> args, uint32_t code,
                            const std::string& host, const std::string& response) {
  const std::string stepText = Format(TranslateMessage(step), args);
  return Format(TranslateMessage("%s. Error message %s. Server %s. Response from server %s"),
                {stepText, InternetErrorName(code), host,
                 response.empty() ? TranslateMessage("No server response") : response});
}

}  // namespace kestrune
