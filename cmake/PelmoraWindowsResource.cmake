# Gives a Windows program the tool's icon, its application manifest and a version resource that
# follows the project version, so Explorer shows both and the program can read its own version.
function(pelmora_windows_resource target description)
  set(PELMORA_ICON ${PROJECT_SOURCE_DIR}/icons/pelmora-align.ico)
  set(PELMORA_MANIFEST ${PROJECT_SOURCE_DIR}/cmake/windows-program.manifest)
  set(PELMORA_DESCRIPTION ${description})
  set(PELMORA_FILE_NAME ${target}.exe)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows-program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${PELMORA_MANIFEST} ${PELMORA_ICON})
endfunction()
