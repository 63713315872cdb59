// The log of a run (the setup program's -l switch): lines of what happened to each file,
// each registration and each error, written as they happen.
#pragma once
#include <string>

namespace kestrune {

// Starts the log in path (created anew; raises PlatformError when it cannot be). Without
// it RunLog does nothing.
void OpenRunLog(const std::string& path);
void CloseRunLog();
bool RunLogOpen();
// Appends one line (a time stamp, the text, CR LF); a failing write is ignored.
void RunLog(const std::string& text);

}  // namespace kestrune
