# Runs a program that cannot make its window and checks that it says why and
# ends with a status a launcher takes for failure.
#   cmake -DPROGRAM=<path> -P expect_failed_start.cmake
execute_process(COMMAND "${PROGRAM}" RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET TIMEOUT 20)
if(NOT status EQUAL 1)
  message(FATAL_ERROR "${PROGRAM} ended with status '${status}', not 1; standard error:\n${errors}")
endif()
if(NOT errors MATCHES "could not be made")
  message(FATAL_ERROR "${PROGRAM} gave no reason on standard error:\n${errors}")
endif()
