/* A stand-in for the system's WININET.DLL with every entry point the network location
   looks up but HttpQueryInfoA, the last of them: loading it must name that one. The
   entry points are never called (the location refuses a library with one missing). */
#define ENTRY(name) __declspec(dllexport) int name(void) { return 0; }
ENTRY(InternetGetLastResponseInfoA)
ENTRY(InternetOpenA)
ENTRY(InternetConnectA)
ENTRY(FtpSetCurrentDirectoryA)
ENTRY(InternetCloseHandle)
ENTRY(InternetQueryDataAvailable)
ENTRY(InternetReadFile)
ENTRY(FtpOpenFileA)
ENTRY(HttpOpenRequestA)
ENTRY(HttpSendRequestA)
