# Installs the layer into a fresh prefix, then configures, builds and runs
# an outside project against it.
file(REMOVE_RECURSE ${WORK_DIR})
foreach(step
    "${CMAKE_COMMAND};--install;${BUILD_DIR};--prefix;${WORK_DIR}/prefix;--component;Development"
    "${CMAKE_COMMAND};-S;${SOURCE_DIR}/tests/outside/example;-B;${WORK_DIR}/build;-G;${GENERATOR};-DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix"
    "${CMAKE_COMMAND};--build;${WORK_DIR}/build"
    "${WORK_DIR}/build/outside_example")
  execute_process(COMMAND ${step} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "outside program step failed (${result}): ${step}")
  endif()
endforeach()
