# The database engine installation of the building machine, as the engine group of the
# Zarvotill script takes its files from it (the kit directory is C:\Kestrune under Wine):
#   kit/Engine                      engine 5.0: core, drivers, administration program,
#                                   locale libraries (.btl, charset.cvb, bantam.dll), the
#                                   English resource library IDR20009.DLL, BDEINFO.TXT
#   kit/Engine/engine.reg           its registry keys (DLLPATH, RESOURCE, BLW32, drivers)
#   demo/engine-versions/<v>/idapi32.dll  the core library of versions 3.0, 3.5, 4.0, 4.5
#                                   and 5.0, for the tests of each version's file set
set(BDE_ENGINE ${ZV_KIT}/Engine)
set(BDE_VERSIONS ${CMAKE_CURRENT_BINARY_DIR}/engine-versions)

# bde_file(TARGET KIND DIR FILE VERSION DESCRIPTION): a library (dll) or program (exe) with
# the engine's version resource; VERSION is the FileVersion text, "5.01" = 5.0.1.0.
function(bde_file target kind dir file version description)
  string(REGEX MATCH "^([0-9])\\.([0-9])([0-9]*)$" ok ${version})
  if(NOT ok)
    message(FATAL_ERROR "bde_file: version ${version} is not N.NN")
  endif()
  set(v1 ${CMAKE_MATCH_1})
  set(v2 ${CMAKE_MATCH_2})
  set(v3 ${CMAKE_MATCH_3})
  if(v3 STREQUAL "")
    set(v3 0)
  endif()
  if(kind STREQUAL "exe")
    set(filetype VFT_APP)
    set(source engine_program.c)
  else()
    set(filetype VFT_DLL)
    set(source engine_library.c)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  file(WRITE ${rc}
    "#define BDE_V1 ${v1}\n#define BDE_V2 ${v2}\n#define BDE_V3 ${v3}\n#define BDE_V4 0\n"
    "#define BDE_FILETYPE ${filetype}\n#define BDE_DESCRIPTION \"${description}\"\n"
    "#define BDE_VERSION_TEXT \"${version}\"\n#define BDE_FILENAME \"${file}\"\n"
    "#include \"${CMAKE_CURRENT_SOURCE_DIR}/engine_version.rc\"\n")
  if(kind STREQUAL "exe")
    add_executable(${target} ${source} ${rc})
  else()
    add_library(${target} SHARED ${source} ${rc})
    target_link_options(${target} PRIVATE -Wl,--kill-at)
    # The versions' libraries share a file name in different folders; their import
    # libraries (nothing links them) are named after the target so that they do not
    # collide in lib/.
    set_target_properties(${target} PROPERTIES ARCHIVE_OUTPUT_NAME ${target})
  endif()
  string(REGEX REPLACE "\\.[^.]*$" "" base ${file})
  string(REGEX MATCH "\\.[^.]*$" suffix ${file})
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${base} SUFFIX ${suffix}
                        RUNTIME_OUTPUT_DIRECTORY ${dir})
  target_compile_definitions(${target} PRIVATE ENGINE_MAJOR=${v1} ENGINE_MINOR=${v2}
                             ENGINE_FILE="${file}" ENGINE_VERSION="${version}")
  set_property(GLOBAL APPEND PROPERTY BDE_TARGETS ${target})
endfunction()

# The engine 5.0 of the building machine.
foreach(entry
    "IDAPI32.DLL;Engine core" "BLW32.DLL;Language driver layer" "IDDR32.DLL;Data repository"
    "IDBAT32.DLL;Batch operations" "IDR20009.DLL;English resources" "IDASCI32.DLL;Text driver"
    "IDDBAS32.DLL;dBASE driver" "IDODBC32.DLL;ODBC socket" "IDDAO32.DLL;DAO driver" "IDDA3532.DLL;Access driver"
    "IDPDX32.DLL;Paradox driver" "IDSQL32.DLL;SQL query engine" "IDQBE32.DLL;QBE query engine"
    "BDEADMIN.CPL;Administrator control panel" "bantam.dll;Locale library")
  list(GET entry 0 file)
  list(GET entry 1 description)
  string(MAKE_C_IDENTIFIER "bde_${file}" target)
  string(TOLOWER ${target} target)
  bde_file(${target} dll ${BDE_ENGINE} ${file} 5.01 "${description}")
endforeach()
bde_file(bde_bdeadmin_exe exe ${BDE_ENGINE} BDEADMIN.EXE 5.01 "Administrator")
foreach(file BDEADMIN.HLP BDEADMIN.CNT ceeurope.btl europe.btl fareast.btl japan.btl other.btl usa.btl charset.cvb)
  file(WRITE ${BDE_ENGINE}/${file} "Database engine 5.0: ${file}\r\n")
endforeach()
file(WRITE ${BDE_ENGINE}/BDEINFO.TXT
     "Database engine 5.01 (English) as shipped with Zarvotill 2.1.\r\n"
     "The configuration of this machine stays; the engine's settings are merged into it.\r\n")

# Its registry keys, for a building machine (regedit /s engine.reg): the engine in
# C:\Kestrune\Engine, English resources, two SQL Link drivers' settings.
file(WRITE ${BDE_ENGINE}/engine.reg
  "REGEDIT4\r\n\r\n"
  "[HKEY_LOCAL_MACHINE\\Software\\Borland\\Database Engine]\r\n"
  "\"DLLPATH\"=\"C:\\\\Kestrune\\\\Engine\"\r\n\"RESOURCE\"=\"0009\"\r\n\r\n"
  "[HKEY_LOCAL_MACHINE\\Software\\Borland\\BLW32]\r\n\"BLAPIPATH\"=\"C:\\\\Kestrune\\\\Engine\"\r\n\r\n"
  "[HKEY_LOCAL_MACHINE\\Software\\Borland\\Database Engine\\Settings\\Drivers\\PARADOX\\INIT]\r\n"
  "\"TYPE\"=\"FILE\"\r\n\"NET DIR\"=\"C:\\\\\"\r\n\r\n"
  "[HKEY_LOCAL_MACHINE\\Software\\Borland\\Database Engine\\Settings\\Drivers\\ORACLE\\DB OPEN]\r\n"
  "\"SERVER NAME\"=\"ORA_SERVER\"\r\n\"USER NAME\"=\"MYNAME\"\r\n\r\n"
  "[HKEY_LOCAL_MACHINE\\Software\\Borland\\Database Engine\\Settings\\Drivers\\ORACLE\\INIT]\r\n"
  "\"VERSION\"=\"4.0\"\r\n\"TYPE\"=\"SERVER\"\r\n\r\n")

# The core library of each version whose file set differs.
foreach(version 3.01 3.51 4.01 4.51 5.01)
  string(SUBSTRING ${version} 0 3 short)
  string(REPLACE "." "" id ${short})
  bde_file(bde_idapi32_${id} dll ${BDE_VERSIONS}/${short} idapi32.dll ${version} "Engine core")
endforeach()

get_property(bde_targets GLOBAL PROPERTY BDE_TARGETS)
add_custom_target(bde_engine ALL DEPENDS ${bde_targets})
add_dependencies(zarvotill_kit bde_engine)
