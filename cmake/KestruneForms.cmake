# Compiling text forms (install scripts, page layouts) to binary component streams at
# build time with the host's kestrune-form. The native build makes the tool itself; the
# Windows build uses the native build's tool (scripts/build.sh builds native first), or
# KESTRUNE_HOST_FORM_TOOL when given.
if(WIN32 OR KESTRUNE_FUZZ)
  set(KESTRUNE_HOST_FORM_TOOL ${PROJECT_SOURCE_DIR}/build/native/bin/kestrune-form CACHE FILEPATH "Host kestrune-form")
  set(_form_tool_dep "")
else()
  set(KESTRUNE_HOST_FORM_TOOL $<TARGET_FILE:kestrune-form>)
  set(_form_tool_dep kestrune-form)
endif()

# kestrune_compile_form(OUTVAR text.kfm) -> OUTVAR = path of the generated binary stream
function(kestrune_compile_form outvar text)
  get_filename_component(name ${text} NAME_WE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/forms/${name}.bin)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/forms
    COMMAND ${KESTRUNE_HOST_FORM_TOOL} to-binary ${text} ${out}
    DEPENDS ${text} ${_form_tool_dep}
    COMMENT "Compiling form ${name}")
  set(${outvar} ${out} PARENT_SCOPE)
endfunction()
