// The program's seams: the calls a lower layer makes into code of a layer above it (or of
// the program). A lower layer never includes an upper one's header; it calls the slot
// declared here, and the upper code fills the slot in when it starts. Each slot has one
// setter (null or an empty function clears it) and one call, and says below what calls
// it, who sets it and what an unset slot does. Tests set them as the program would.
//
// Not seams: the substitutions with a working default in their own layer, which only
// tests replace (TCustomInstallFile::MoveAfterReboot, TFileGroupSelectForm::FreeSpaceProbe
// and AskUnknownSpace).
#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

class TStrings;

// Message pump. Called by ProcessMessages() (runtime/process_messages.h) at each step of
// the long walks (extraction, copying, downloads, the wizard's waits). Set by the UI
// layer's TApplication::Initialize and cleared when the application goes. Unset: nothing
// is pumped.
void SetProcessMessagesHook(void (*pump)());
void CallProcessMessagesHook();

// Message translation. Called by TranslateMessage() (runtime/exceptions.h) for the kit's
// English error and status texts. Set by the translation layer while a main translator
// exists. Unset: the English text unchanged.
void SetTranslateMessageHook(std::function<std::string(std::string_view)> hook);
std::string CallTranslateMessageHook(std::string_view english);

// Exceptions caught at window procedures and other system callbacks. Called by the
// platform layer's ReportCallbackException (platform/ui_app.h) from the catch block of
// each callback. Set by the UI layer's TApplication (its exception handler) and cleared
// when it goes. The handler must not throw; what it throws anyway is dropped. Unset: the
// message is written to the standard error stream.
void SetCallbackExceptionHandler(void (*handler)(std::exception_ptr));
void (*CallbackExceptionHandler())(std::exception_ptr);

// The exit code of the program when the session ends under it (a restart or log-off, its
// own or another's). Called by the platform layer's window procedure at the system's
// end-session message, which then ends the process at once with this code. Set by the
// setup program's start to the code of its run. The function must not throw. Unset: the
// end is left to the system (which ends the program with a code of its own).
void SetSessionEndExitCode(int (*code)());
int (*SessionEndExitCode())();

// The cursor while a file container reads or installs (the hourglass). Called by the
// objects layer's file container walks (the outermost one sets the hourglass and puts the
// previous cursor back). Set by the engine when a TInstall is made (the application's
// cursor). Returns the previous cursor. Unset: no cursor change (returns 0, the default).
void SetContainerCursorSetter(int (*setter)(int cursor));
int SetContainerCursor(int cursor);

// The question for another disk when a file's extraction needs one ("Please insert disk
// #%d", translated). Called by the objects layer's install step. Set by the engine when a
// TInstall is made (a message box with OK and Cancel). True means the disk is in. Unset:
// false, the extraction fails as cancelled.
void SetDiskPrompt(std::function<bool(const std::string& text)> prompt);
bool AskForDisk(const std::string& text);

// The kit directory (without the trailing backslash) where the database engine group
// finds its files. Called by the dbengine layer's file sets. Set by the engine's class
// registration (FindKitDirectory, which raises when required and not found). Unset: no
// kit directory (empty).
void SetKitDirectoryLookup(std::string (*lookup)(bool required));
std::string KitDirectoryForDatabaseEngine(bool required);

// The current engine's pre-setup files, to which the database engine group adds its
// installer. Called by the dbengine layer. Set by the engine's class registration. Unset:
// no list (null), nothing is added.
void SetPresetupFilesLookup(TStrings* (*lookup)());
TStrings* PresetupFilesOfEngine();

// Whether the run is unattended (no window may show). Called by the UI layer's Quiet()
// (ui/application.h) before it shows a window or a message box. Set by the engine layer,
// at program start, to the run state's QuietRun. Unset: false, windows show.
void SetQuietCheck(bool (*quiet)());
bool QuietCheck();

// The default theme picture of a new engine (BMP bytes). Called by the TInstall
// constructor. Set by the setup program's start (its bitmap resource). Unset: no picture
// (empty).
void SetThemeBitmapLoader(std::function<std::vector<uint8_t>()> loader);
std::vector<uint8_t> LoadThemeBitmap();

}  // namespace kestrune
