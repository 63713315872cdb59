// Text conversions at the Win32 edge: UTF-8 inside the program, UTF-16 for the W
// functions, the ANSI code page for bytes stored as 8-bit text.
#pragma once
#include <string>
#include <string_view>

namespace kestrune::platform {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// UTF-8 <-> the system's ANSI code page (Windows-1250 when not on Windows).
std::string ToAnsi(std::string_view utf8);
std::string FromAnsi(std::string_view ansi);

}  // namespace kestrune::platform
