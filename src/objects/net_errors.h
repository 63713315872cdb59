// Errors of the network location. Every ENIL error but the three plain ones carries four
// parts: the step that failed, the symbolic name of the Windows error code, the server of
// the location that connected last and the server's last response.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "runtime/exceptions.h"

namespace kestrune {

KESTRUNE_EXCEPTION(ENIL_OpenSession, ENIL);
KESTRUNE_EXCEPTION(ENIL_OpenService, ENIL);
KESTRUNE_EXCEPTION(ENIL_FailDataQuery, ENIL);
KESTRUNE_EXCEPTION(ENIL_ReadFile, ENIL);
KESTRUNE_EXCEPTION(ENIL_FileNotFound, ENIL);
KESTRUNE_EXCEPTION(ENIL_FTP, ENIL);
KESTRUNE_EXCEPTION(ENIL_FTPSetDir, ENIL_FTP);
KESTRUNE_EXCEPTION(ENIL_FTPOpenFile, ENIL_FTP);
KESTRUNE_EXCEPTION(ENIL_FTPCloseFile, ENIL_FTP);
KESTRUNE_EXCEPTION(ENIL_HTTP, ENIL);
KESTRUNE_EXCEPTION(ENIL_HTTPOpenFile, ENIL_HTTP);
KESTRUNE_EXCEPTION(ENIL_HTTPSendRequest, ENIL_HTTP);
KESTRUNE_EXCEPTION(IENetList, ENIL);
KESTRUNE_EXCEPTION(ENIL_WriteDestFile, Exception);
KESTRUNE_EXCEPTION(ENIL_FailLoadWININET, Exception);
KESTRUNE_EXCEPTION(ENIL_FailLoadDLLProc, Exception);

// The symbolic name of a Windows error code of the internet library ("ERROR_INVALID_HANDLE",
// "ERROR_INTERNET_TIMEOUT", ...); "Unregistered error code" for any other code.
std::string InternetErrorName(uint32_t code);

// "<step>. Error message <name>. Server <host>. Response from server <response>": the step's
// text (translated, then formatted with args) completed by the other three parts. An empty
// response becomes "No server response".
std::string NetErrorMessage(std::string_view step, std::initializer_list<FmtArg> args, uint32_t code,
                            const std::string& host, const std::string& response);

}  // namespace kestrune
