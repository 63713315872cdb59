# The kit's layout for `cmake --install BUILD --prefix DIR`:
#   bin/       the shipped programs (kestrune_shipped_program: setup.exe,
#              KestruneLoadProgram.exe with its kit marker K32V35.TXT, uninstall.exe,
#              IDAPINST.DLL with its default IDAPI32.CNF) and
#              the kit's tools (kestrune_kit_tool: kestrune-form, kestrune-script, kestrune-arc)
#   doc/       README.md and docs/*.md            (share/doc/kestrune natively)
#   examples/  the Zarvotill install script in text form, the starter example with its
#              product files and the Notebook Pro example (share/kestrune/examples natively)
# The language files (kstiEnglish.txt, ...) go beside the kit's setup.exe: bin/ here,
# share/kestrune/kit natively, where a native install also carries setup.exe, the loader
# and uninstall.exe of a Windows build (KESTRUNE_WINDOWS_KIT) for `kestrune-script build`.
# The test `install_layout` installs into a folder of the build and checks the list.
include_guard(GLOBAL)

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${KESTRUNE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${KESTRUNE_INSTALL_DOCDIR}
        FILES_MATCHING PATTERN "*.md")
install(FILES ${PROJECT_SOURCE_DIR}/src/resources/zarvotill.kfm DESTINATION ${KESTRUNE_INSTALL_EXAMPLEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${KESTRUNE_INSTALL_EXAMPLEDIR})
file(GLOB _kestrune_languages RELATIVE ${PROJECT_SOURCE_DIR}/src/resources/languages
     ${PROJECT_SOURCE_DIR}/src/resources/languages/*.txt)
list(TRANSFORM _kestrune_languages PREPEND ${PROJECT_SOURCE_DIR}/src/resources/languages/ OUTPUT_VARIABLE _kestrune_language_files)
install(FILES ${_kestrune_language_files} DESTINATION ${KESTRUNE_INSTALL_KITDIR})
if(NOT WIN32)
  set(KESTRUNE_WINDOWS_KIT "${PROJECT_SOURCE_DIR}/build/win32/bin" CACHE PATH
      "A Windows build's bin folder (or an installed Windows kit's): its setup.exe, loader and uninstall.exe go into the native install")
  install(FILES ${KESTRUNE_WINDOWS_KIT}/setup.exe ${KESTRUNE_WINDOWS_KIT}/KestruneLoadProgram.exe
                ${KESTRUNE_WINDOWS_KIT}/uninstall.exe ${PROJECT_SOURCE_DIR}/programs/loader/K32V35.TXT
          DESTINATION ${KESTRUNE_INSTALL_KITDIR} OPTIONAL)
endif()
# bin/ is also a kit directory for `setup -b` with UseLoadingProgram: the loader and its
# marker file side by side.
set(_kit_marker ${PROJECT_SOURCE_DIR}/programs/loader/K32V35.TXT)
if(TARGET loader AND EXISTS ${_kit_marker})
  install(FILES ${_kit_marker} DESTINATION ${KESTRUNE_INSTALL_BINDIR})
endif()

if(KESTRUNE_TESTS AND NOT KESTRUNE_FUZZ)
  get_property(shipped GLOBAL PROPERTY KESTRUNE_SHIPPED_PROGRAMS)
  get_property(tools GLOBAL PROPERTY KESTRUNE_KIT_TOOLS)
  set(expected ${KESTRUNE_INSTALL_DOCDIR}/README.md ${KESTRUNE_INSTALL_EXAMPLEDIR}/zarvotill.kfm
      ${KESTRUNE_INSTALL_EXAMPLEDIR}/starter/starter.kfm ${KESTRUNE_INSTALL_EXAMPLEDIR}/starter/product/ReadMe.txt
      ${KESTRUNE_INSTALL_EXAMPLEDIR}/notebook/notebook.kfm ${KESTRUNE_INSTALL_EXAMPLEDIR}/notebook/licence.txt)
  foreach(l ${_kestrune_languages})
    list(APPEND expected ${KESTRUNE_INSTALL_KITDIR}/${l})
  endforeach()
  if(NOT WIN32 AND EXISTS ${KESTRUNE_WINDOWS_KIT}/setup.exe)
    list(APPEND expected ${KESTRUNE_INSTALL_KITDIR}/setup.exe ${KESTRUNE_INSTALL_KITDIR}/KestruneLoadProgram.exe)
  endif()
  if(TARGET loader AND EXISTS ${_kit_marker})
    list(APPEND expected ${KESTRUNE_INSTALL_BINDIR}/K32V35.TXT)
  endif()
  if(TARGET idapinst)
    list(APPEND expected ${KESTRUNE_INSTALL_BINDIR}/IDAPI32.CNF)
  endif()
  file(GLOB docs RELATIVE ${PROJECT_SOURCE_DIR}/docs ${PROJECT_SOURCE_DIR}/docs/*.md)
  foreach(d ${docs})
    list(APPEND expected ${KESTRUNE_INSTALL_DOCDIR}/${d})
  endforeach()
  set(stripped)
  foreach(t ${shipped})
    list(APPEND expected ${KESTRUNE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${t}>)
    list(APPEND stripped ${KESTRUNE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${t}>)
  endforeach()
  foreach(t ${tools})
    list(APPEND expected ${KESTRUNE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${t}>)
  endforeach()
  string(REPLACE ";" "|" expected "${expected}")
  string(REPLACE ";" "|" stripped "${stripped}")
  add_test(NAME install_layout
           COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_BINARY_DIR}/install-check
                   "-DEXPECTED=${expected}" "-DSTRIPPED=${stripped}" -DOBJDUMP=${CMAKE_OBJDUMP}
                   -P ${PROJECT_SOURCE_DIR}/cmake/install-check.cmake)
  set_tests_properties(install_layout PROPERTIES TIMEOUT 120)
endif()
