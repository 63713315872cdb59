# Compiling text forms (install scripts, page layouts) to binary component streams at
# build time with a kestrune-form that runs on the build machine.
#
# - The native build uses its own kestrune-form target.
# - Builds whose programs cannot run on the build machine as they are (the Windows cross
#   build, the sanitized fuzz build) make a host sub-build of their own: this source tree
#   configured with the host compiler and KESTRUNE_HOST_TOOLS_ONLY, in <build>/host-tools,
#   built only when a form is compiled and rebuilt when its sources change. No other build
#   folder has to exist first.
# - KESTRUNE_HOST_FORM_TOOL=/path/to/kestrune-form uses a given one instead (e.g. an
#   installed kit's); it must understand the same stream format as this tree.
include_guard(GLOBAL)

set(KESTRUNE_HOST_FORM_TOOL "" CACHE FILEPATH
    "A host kestrune-form to compile text forms with (empty: this build's own, or a host sub-build)")
# Build folders configured before the host sub-build existed cached the native build's tool.
if(KESTRUNE_HOST_FORM_TOOL STREQUAL "${PROJECT_SOURCE_DIR}/build/native/bin/kestrune-form")
  set_property(CACHE KESTRUNE_HOST_FORM_TOOL PROPERTY VALUE "")
endif()

if(KESTRUNE_HOST_FORM_TOOL)
  set(_kestrune_form_tool ${KESTRUNE_HOST_FORM_TOOL})
  set(_kestrune_form_tool_deps ${KESTRUNE_HOST_FORM_TOOL})
elseif((CMAKE_CROSSCOMPILING OR KESTRUNE_FUZZ) AND NOT KESTRUNE_HOST_TOOLS_ONLY)
  include(ExternalProject)
  set(_host_dir ${CMAKE_BINARY_DIR}/host-tools)
  set(_kestrune_form_tool ${_host_dir}/bin/kestrune-form)
  if(CMAKE_GENERATOR MATCHES "Makefiles")
    set(_host_build $(MAKE) kestrune-form)  # a recursive make: shares the parent's jobs
  else()
    set(_host_build ${CMAKE_COMMAND} --build ${_host_dir} --target kestrune-form)
  endif()
  # The host build gets no toolchain file and no flags of this build: the build machine's
  # default compilers, a release build of the one tool.
  ExternalProject_Add(kestrune_host_tools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${_host_dir}
    PREFIX ${_host_dir}/ep
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_HOST_TOOLS_ONLY=ON -DKESTRUNE_TESTS=OFF
               -DKESTRUNE_WERROR=${KESTRUNE_WERROR}
    BUILD_COMMAND ${_host_build}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${_kestrune_form_tool}
    EXCLUDE_FROM_ALL ON)
  set(_kestrune_form_tool_deps kestrune_host_tools ${_kestrune_form_tool})
else()
  set(_kestrune_form_tool $<TARGET_FILE:kestrune-form>)
  set(_kestrune_form_tool_deps kestrune-form)
endif()

# kestrune_compile_form(OUTVAR text.kfm) -> OUTVAR = path of the generated binary stream
function(kestrune_compile_form outvar text)
  get_filename_component(name ${text} NAME_WE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/forms/${name}.bin)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/forms
    COMMAND ${_kestrune_form_tool} to-binary ${text} ${out}
    DEPENDS ${text} ${_kestrune_form_tool_deps}
    COMMENT "Compiling form ${name}")
  set(${outvar} ${out} PARENT_SCOPE)
endfunction()
