# Both programs carry the application manifest as resource type 24 (RT_MANIFEST), id 1, and it
# asks for the common controls of version 6 and per-monitor (v2) scaling.
# Usage: cmake -DOBJDUMP=... -DPROGRAMS="a.exe;b.exe" -P manifest_check.cmake
foreach(program ${PROGRAMS})
  execute_process(COMMAND ${OBJDUMP} -p ${program} OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
  if(NOT headers MATCHES "Entry: ID: 0x000018[^\n]*\n[^\n]*Name Table[^\n]*\n[^\n]*Entry: ID: 0x000001,")
    message(FATAL_ERROR "${program}: no manifest resource (type 24, id 1)")
  endif()
  file(STRINGS ${program} bytes REGEX "Common-Controls|PerMonitorV2|asInvoker|longPathAware")
  foreach(wanted "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"" "PerMonitorV2"
                 "level=\"asInvoker\"" "<longPathAware")
    string(FIND "${bytes}" "${wanted}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${program}: the manifest lacks ${wanted}")
    endif()
  endforeach()
endforeach()
