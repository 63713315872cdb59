# The kit's layout for `cmake --install BUILD --prefix DIR`:
#   bin/       the shipped programs (kestrune_shipped_program: setup.exe, and the uninstaller
#              and loading program once they exist) and the kit's tools
#              (kestrune_kit_tool: kestrune-form, kestrune-script, kestrune-arc)
#   doc/       README.md and docs/*.md            (share/doc/kestrune natively)
#   examples/  the Zarvotill install script in text form (share/kestrune/examples natively)
# The test `install_layout` installs into a folder of the build and checks the list.
include_guard(GLOBAL)

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${KESTRUNE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${KESTRUNE_INSTALL_DOCDIR}
        FILES_MATCHING PATTERN "*.md")
install(FILES ${PROJECT_SOURCE_DIR}/src/resources/zarvotill.kfm DESTINATION ${KESTRUNE_INSTALL_EXAMPLEDIR})

if(KESTRUNE_TESTS AND NOT KESTRUNE_FUZZ)
  get_property(shipped GLOBAL PROPERTY KESTRUNE_SHIPPED_PROGRAMS)
  get_property(tools GLOBAL PROPERTY KESTRUNE_KIT_TOOLS)
  set(expected ${KESTRUNE_INSTALL_DOCDIR}/README.md ${KESTRUNE_INSTALL_EXAMPLEDIR}/zarvotill.kfm)
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
