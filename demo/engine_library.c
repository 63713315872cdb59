/* A library of the demo's database engine installation: it only carries its version
   resource and tells its engine version. */
#include <windows.h>

__declspec(dllexport) int WINAPI EngineVersion(void) { return ENGINE_MAJOR * 100 + ENGINE_MINOR; }
