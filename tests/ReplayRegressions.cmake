cmake_minimum_required(VERSION 3.20)
# Runs PROGRAM on every input in the folder REGRESSIONS (inputs that once made the program crash,
# hang, leak or report undefined behaviour) and fails when a run does not end as the program ends:
# exit status 0, 1 or 2 within the time limit, with no sanitizer report on standard error.
file(GLOB inputs "${REGRESSIONS}/*")
set(failed FALSE)
foreach(input IN LISTS inputs)
  execute_process(COMMAND "${PROGRAM}" "${input}" OUTPUT_QUIET ERROR_VARIABLE err
                  RESULT_VARIABLE status TIMEOUT 20)
  if(NOT status MATCHES "^[012]$" OR err MATCHES "Sanitizer|runtime error|terminate called")
    get_filename_component(name "${input}" NAME)
    message("${name}: exit status ${status}\n${err}")
    set(failed TRUE)
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "a regression input failed")
endif()
