# The UI.INI a package ships: every language of packaging/languages.ini, with the Font keys of
# the package's system (linux or windows), written to OUTPUT at build time.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(pelmora_ui_ini system output)
  set(languages ${PROJECT_SOURCE_DIR}/packaging/languages.ini)
  set(maker ${PROJECT_SOURCE_DIR}/tools/make_ui_ini.py)
  add_custom_command(
    OUTPUT ${output}
    COMMAND Python3::Interpreter ${maker} ${system} ${languages} ${output}
    DEPENDS ${maker} ${languages}
    COMMENT "Making the UI.INI of every language (${system})")
endfunction()
