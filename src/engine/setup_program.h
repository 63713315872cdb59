// The start of the setup program, shared by the shipped program and the test programs
// built like it: the application, the main form read from the embedded install script
// (its engine decides what this start does), then the message loop.
#pragma once
#include <functional>

namespace kestrune {

class TCustomInstall;

namespace engine {

// Runs the setup program and returns its exit code (engine/exit_codes.h, README).
// attach is called with the script's engine once the main form is read, before the
// wizard's forms are made: a test program attaches there the events a script cannot.
int RunSetupProgram(const std::function<void(TCustomInstall& install)>& attach = {});

}  // namespace engine
}  // namespace kestrune
