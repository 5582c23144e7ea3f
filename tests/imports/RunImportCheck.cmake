# Runs cmake/CheckImports.cmake on each planted program and fails unless it
# answers as the row says: a program without a planted import passes, and
# each planted import fails the check and is named in its message.
#   cmake -DOBJDUMP=<objdump> -DCHECK=<CheckImports.cmake> -DROWS=<program|expected|...;...> -P RunImportCheck.cmake
# A row with no expected text means the check must pass; with several, the
# check must name every one.
cmake_minimum_required(VERSION 3.20)

set(wrong "")
foreach(row IN LISTS ROWS)
  string(REPLACE "|" ";" row "${row}")
  list(POP_FRONT row program)
  execute_process(COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${OBJDUMP} -DPROGRAM=${program} -P ${CHECK}
                  RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE err)
  get_filename_component(name "${program}" NAME)
  if(NOT row)
    if(failed)
      list(APPEND wrong "${name}: the check failed a program that imports only what Vista has:\n${err}")
    endif()
  elseif(NOT failed)
    list(APPEND wrong "${name}: the check passed a program that imports ${row}")
  else()
    foreach(expected IN LISTS row)
      string(FIND "${err}" "${expected}" at)
      if(at EQUAL -1)
        list(APPEND wrong "${name}: the check failed without naming ${expected}:\n${err}")
      endif()
    endforeach()
  endif()
endforeach()
if(wrong)
  list(JOIN wrong "\n" text)
  message(FATAL_ERROR "${text}")
endif()
