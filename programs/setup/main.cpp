// Entry of the setup program (engine/setup_program.h). The exit code tells how it ended
// (engine/exit_codes.h, README).
#include "engine/setup_program.h"

int main() { return kestrune::engine::RunSetupProgram(); }
