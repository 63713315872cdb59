# Toolchain for the 32-bit Windows build: mingw-w64 i686 with the posix thread model.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
# The binutils of the target (CMake would pick the host's: the compiler's "-posix" suffix
# hides the prefix from its search).
foreach(tool ar ranlib nm objcopy objdump strip)
  string(TOUPPER ${tool} TOOL)
  set(CMAKE_${TOOL} /usr/bin/i686-w64-mingw32-${tool} CACHE FILEPATH "mingw-w64 ${tool}" FORCE)
endforeach()
