// Directories of the target machine: existence and creation, the user's shell folders and
// the program files directories, and the scan that expands %-meta variables.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace kestrune {

// True when the path's attributes can be read and mark a directory.
bool DirectoryExists(std::string_view path);
// Creates the directory and its missing parents. An empty path raises Exception "Unable to
// create directory"; one trailing backslash is ignored; a bare drive and existing
// directories are left alone. A directory that cannot be created is not reported: the
// next file operation in it fails instead.
void CreateDirectories(std::string_view path);

// The shell folders of the current user and the program files directories: the registry
// value, or the fallback when it has none, without a trailing backslash. The fallback is
// computed first on every call, so a failing GetWindowsDir raises EAPIRoutines even when
// the registry holds a value. Nothing is cached.
std::string GetStartMenuDir();     // fallback: Windows dir + "\Startmen"
std::string GetProgramsDir();      // fallback: start menu + "\Programs"
std::string GetDesktopDir();       // fallback: Windows dir + "\Desktop"
std::string GetStartupDir();       // fallback: Windows dir + "\Startup"
std::string GetProgramFilesDir();  // fallback: root of the current drive + "Program Files"
std::string GetCommonFilesDir();   // fallback: root of the current drive + "Program Files\Common Files"

// The path of a meta variable that depends on the install objects (%a, %c, %i; the letter
// comes in lower case). It raises the variable's error when the path cannot be given.
using TMetaVariableResolver = std::function<std::string(char letter)>;
// Expands %-meta variables in one left-to-right scan: "%%" is "%", %b %d %f %m %p %s %w
// (either case) are the directories above, %a %c %i come from the resolver (nothing when
// there is none), any other "%x" and a "%" at the end produce nothing. Inserted paths lose
// one trailing backslash. The first error ends the expansion.
std::string ExpandMetaVariablesWith(std::string_view text, const TMetaVariableResolver& resolver);

}  // namespace kestrune
