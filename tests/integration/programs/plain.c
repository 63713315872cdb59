/* A DLL with a version resource and no registration entry point. */
__declspec(dllexport) int kestrune_versioned(void) { return VERSION_MAJOR; }
