// The slots of the program's seams.
#include "runtime/seams.h"

namespace kestrune {

namespace {

// The slots of the program. Created on first use, so that a static initialiser of
// another file may set or call them.
struct Seams {
  void (*pump)() = nullptr;
  std::function<std::string(std::string_view)> translate;
  void (*callbackException)(std::exception_ptr) = nullptr;
  int (*sessionEndExitCode)() = nullptr;
  int (*containerCursor)(int) = nullptr;
  std::function<bool(const std::string&)> diskPrompt;
  std::string (*kitDirectory)(bool) = nullptr;
  TStrings* (*presetupFiles)() = nullptr;
  std::function<std::vector<uint8_t>()> themeBitmap;
  bool (*quiet)() = nullptr;
};

Seams& seams() {
  static Seams s;
  return s;
}

}  // namespace

void SetProcessMessagesHook(void (*pump)()) { seams().pump = pump; }
void CallProcessMessagesHook() {
  if (void (*pump)() = seams().pump) pump();
}

void SetTranslateMessageHook(std::function<std::string(std::string_view)> hook) { seams().translate = std::move(hook); }
std::string CallTranslateMessageHook(std::string_view english) {
  const auto& hook = seams().translate;
  return hook ? hook(english) : std::string(english);
}

void SetCallbackExceptionHandler(void (*handler)(std::exception_ptr)) { seams().callbackException = handler; }
void (*CallbackExceptionHandler())(std::exception_ptr) { return seams().callbackException; }

void SetSessionEndExitCode(int (*code)()) { seams().sessionEndExitCode = code; }
int (*SessionEndExitCode())() { return seams().sessionEndExitCode; }

void SetContainerCursorSetter(int (*setter)(int cursor)) { seams().containerCursor = setter; }
int SetContainerCursor(int cursor) { return seams().containerCursor ? seams().containerCursor(cursor) : 0; }

void SetDiskPrompt(std::function<bool(const std::string& text)> prompt) { seams().diskPrompt = std::move(prompt); }
bool AskForDisk(const std::string& text) { return seams().diskPrompt && seams().diskPrompt(text); }

void SetKitDirectoryLookup(std::string (*lookup)(bool required)) { seams().kitDirectory = lookup; }
std::string KitDirectoryForDatabaseEngine(bool required) {
  return seams().kitDirectory ? seams().kitDirectory(required) : std::string();
}

void SetPresetupFilesLookup(TStrings* (*lookup)()) { seams().presetupFiles = lookup; }
TStrings* PresetupFilesOfEngine() { return seams().presetupFiles ? seams().presetupFiles() : nullptr; }

void SetThemeBitmapLoader(std::function<std::vector<uint8_t>()> loader) { seams().themeBitmap = std::move(loader); }
std::vector<uint8_t> LoadThemeBitmap() { return seams().themeBitmap ? seams().themeBitmap() : std::vector<uint8_t>{}; }

void SetQuietCheck(bool (*quiet)()) { seams().quiet = quiet; }
bool QuietCheck() { return seams().quiet && seams().quiet(); }

}  // namespace kestrune
