# Programs that a kit user ships to end users (setup.exe, KestruneLoadProgram.exe,
# uninstall.exe, IDAPINST.DLL) are small release programs: optimized code with no debug
# information inside them. The debug information is kept beside each one
# (bin/NAME.exe.debug, found by gdb through the program's .gnu_debuglink), and a link map
# (shipped/NAME.map) tells what the program's bytes are made of; docs/performance.md
# ("Shipped sizes") has the figures and `cmake/size-report.py` reads the map.
include_guard(GLOBAL)

if(WIN32)
  # Every function in its own section, so that the shipped programs' links can drop what
  # they do not reach (--gc-sections below). Harmless for the other programs and the tests.
  # Not -fdata-sections: for Windows targets GCC names a variable's own section ".data$..."
  # whether or not it starts as zeros, so every zero-initialized buffer and table would
  # take its size in the file instead of in .bss (23 KB in setup.exe).
  add_compile_options(-ffunction-sections)
endif()

# Link-time optimization of the shipped programs: the Windows build compiles every object
# with its intermediate code beside the machine code (-flto -ffat-lto-objects, no slower to
# compile), a shipped program's link optimizes the whole program at once (inlining and
# dropping across libraries, one copy of what each library instantiated), and every other
# link (tests, tools) takes the machine code as before (-fno-lto). One partition: GCC 12 for
# mingw-w64 fails with an internal error (binds_to_current_def_p) when the program is split
# into partitions that refer to each other's symbols. GCC's link-time optimization needs GNU
# ld (its linker plugin), so lld is not used. docs/performance.md has the figures.
option(KESTRUNE_LTO "Link the shipped Windows programs with link-time optimization" ON)
if(WIN32 AND KESTRUNE_LTO AND NOT KESTRUNE_FUZZ)
  add_compile_options(-flto -ffat-lto-objects)
  set(_kestrune_lto_link $<BOOL:$<TARGET_PROPERTY:KESTRUNE_LTO_LINK>>)
  add_link_options("$<IF:${_kestrune_lto_link},-flto,-fno-lto>"
                   "$<${_kestrune_lto_link}:-flto-partition=one>")
  # lld for the final link of a program marked LLD (cmake/lto-lld-link.py): after the
  # optimization GNU ld keeps what it took from the system archives for code the optimizer
  # then dropped; lld links the optimized object again without it. This compiler's
  # -fuse-ld=lld looks only beside its fixed GNU ld path, so a specs file names ld.lld as
  # the driver's link step. scripts/setup.sh installs lld; without it GNU ld's link stays.
  find_program(KESTRUNE_LLD_PROGRAM NAMES ld.lld ld.lld-16 ld.lld-15 ld.lld-14)
  find_package(Python3 COMPONENTS Interpreter)
  if(KESTRUNE_LLD_PROGRAM AND Python3_FOUND)
    set(KESTRUNE_LLD_SPECS ${CMAKE_BINARY_DIR}/lld.specs)
    file(WRITE ${KESTRUNE_LLD_SPECS} "*linker:\n${KESTRUNE_LLD_PROGRAM}\n\n")
  else()
    message(WARNING "ld.lld or python3 not found: uninstall.exe is linked by GNU ld alone (larger)")
  endif()
endif()

# The Windows build's libraries are the shipped programs' code, so the whole build is
# compiled for size (the tests run the code as it ships). zlib is the system's library,
# compiled for speed. The native and fuzz builds keep the build type's -O2.
if(WIN32)
  set(_kestrune_size_default ON)
else()
  set(_kestrune_size_default OFF)
endif()
option(KESTRUNE_OPTIMIZE_SIZE "Compile for size (-Os) in optimized configurations" ${_kestrune_size_default})
if(KESTRUNE_OPTIMIZE_SIZE)
  add_compile_options($<$<NOT:$<CONFIG:Debug>>:-Os>)
endif()

# kestrune_shipped_program(target): marks an executable target as a shipped program:
# the small terminate handler (programs/shipped_terminate.cpp), unreferenced sections
# dropped at link, a link map, debug information split into bin/NAME.exe.debug and
# stripped, an install rule into bin/ and a place in the install check
# (cmake/KestruneInstall.cmake). NO_RUNTIME: a program linked without the C and C++
# runtimes, which has no terminate handler to replace. LLD: the optimized program linked
# again by lld (see above), for a program whose GNU ld link keeps parts it does not use.
function(kestrune_shipped_program target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "NO_RUNTIME;LLD" "" "")
  if(WIN32)
    if(NOT ARG_NO_RUNTIME)
      target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/programs/shipped_terminate.cpp)
    endif()
    # Link-time optimization for the programs with the C++ runtime. The loader's entry
    # point, which only the linker names, would be dropped, and kept by hand GNU ld 2.40
    # crashes in that link; IDAPINST.DLL would be 0.5 KB smaller.
    if(NOT ARG_NO_RUNTIME)
      set_property(TARGET ${target} PROPERTY KESTRUNE_LTO_LINK ON)
      if(ARG_LLD AND KESTRUNE_LLD_SPECS)
        set_property(TARGET ${target} PROPERTY RULE_LAUNCH_LINK
          "${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/lto-lld-link.py ${KESTRUNE_LLD_SPECS}")
      endif()
    endif()
    set(map ${CMAKE_BINARY_DIR}/shipped/${target}.map)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/shipped)
    target_link_options(${target} PRIVATE -Wl,--gc-sections -Wl,-Map=${map})
  endif()
  if(NOT KESTRUNE_FUZZ AND CMAKE_OBJCOPY)
    set(file $<TARGET_FILE:${target}>)
    # objcopy keeps only the base name in the debug link: the .debug file lives beside it.
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${file}.debug
      COMMAND ${CMAKE_OBJCOPY} --strip-all ${file}
      COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${file}.debug ${file}
      WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
      COMMENT "Splitting the debug information of shipped program ${target}"
      VERBATIM)
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION ${KESTRUNE_INSTALL_BINDIR})
  set_property(GLOBAL APPEND PROPERTY KESTRUNE_SHIPPED_PROGRAMS ${target})
endfunction()

# kestrune_kit_tool(target): a tool of the kit (form and script tools, archive tool),
# installed into bin/ beside the shipped programs (kestrune-script make-setup finds
# setup.exe beside itself).
function(kestrune_kit_tool target)
  install(TARGETS ${target} RUNTIME DESTINATION ${KESTRUNE_INSTALL_BINDIR})
  set_property(GLOBAL APPEND PROPERTY KESTRUNE_KIT_TOOLS ${target})
endfunction()

set(KESTRUNE_INSTALL_BINDIR bin)
if(WIN32)
  # The kit as a user unpacks it: bin/, doc/, examples/. bin/ is the kit folder of
  # `kestrune-script build` (setup.exe and the loader beside the tool).
  set(KESTRUNE_INSTALL_DOCDIR doc)
  set(KESTRUNE_INSTALL_EXAMPLEDIR examples)
  set(KESTRUNE_INSTALL_KITDIR bin)
else()
  # The host tools in bin/; the Windows kit that `kestrune-script build` takes by default in
  # share/kestrune/kit (a native build cannot make setup.exe: it comes from a Windows build,
  # KESTRUNE_WINDOWS_KIT).
  set(KESTRUNE_INSTALL_DOCDIR share/doc/kestrune)
  set(KESTRUNE_INSTALL_EXAMPLEDIR share/kestrune/examples)
  set(KESTRUNE_INSTALL_KITDIR share/kestrune/kit)
endif()

# kestrune_theme_resource(var): the program theme bitmap (src/resources/installtheme1.bmp)
# gzip-compressed into the calling folder's build folder, for an `INSTALLTHEME1 RCDATA`
# line of a program's resource script; sets var to its path. 102 KB of 24-bit picture are
# 39 KB so; platform::loadBitmapResource inflates it. The .rc that names the file depends
# on it (OBJECT_DEPENDS).
function(kestrune_theme_resource var)
  set(bmp ${PROJECT_SOURCE_DIR}/src/resources/installtheme1.bmp)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/installtheme1.bmp.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -DIN=${bmp} -DOUT=${gz} -P ${PROJECT_SOURCE_DIR}/cmake/gzip-file.cmake
    DEPENDS ${bmp} ${PROJECT_SOURCE_DIR}/cmake/gzip-file.cmake
    COMMENT "Compressing the program theme bitmap"
    VERBATIM)
  set(${var} ${gz} PARENT_SCOPE)
endfunction()
