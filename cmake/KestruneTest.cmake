# Test helpers: GoogleTest from the Debian source package for both builds, and the Wine
# prefix fixture that every Windows test runs in.
set(KESTRUNE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)

# kestrune_add_gtest(NAME SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s])
function(kestrune_add_gtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
  kestrune_wine_test(${name})
endfunction()

# Marks a test as running under Wine in the run's throwaway prefix (no-op natively).
function(kestrune_wine_test name)
  if(WIN32)
    set_property(TEST ${name} APPEND PROPERTY FIXTURES_REQUIRED wineprefix)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
      "WINEPREFIX=${KESTRUNE_WINEPREFIX}" "WINEARCH=win32" "WINEDEBUG=-all"
      "WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=")
  endif()
endfunction()
