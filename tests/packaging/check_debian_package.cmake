# Makes the Debian package of a build and checks it: dependencies on the
# libraries the programs link and on the fonts, a copyright file with the
# notice of every third-party part the programs carry, and no errors from lintian.
#   cmake -DBUILD_DIR=<build> -DWORK_DIR=<folder> -P check_debian_package.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND cpack -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB package ${WORK_DIR}/operation-brannoway_*.deb)
if(NOT result EQUAL 0 OR NOT package)
  message(FATAL_ERROR "cpack -G DEB failed (${result}):\n${out}")
endif()
execute_process(COMMAND dpkg-deb -f ${package} Depends OUTPUT_VARIABLE depends OUTPUT_STRIP_TRAILING_WHITESPACE)
foreach(needed fonts-liberation fonts-comic-neue libsdl2-2.0-0 libfreetype6 libfontconfig1 libc6)
  if(NOT depends MATCHES "(^|, )${needed}( |,|$)")
    message(FATAL_ERROR "the package does not depend on ${needed}: ${depends}")
  endif()
endforeach()
execute_process(COMMAND dpkg-deb --fsys-tarfile ${package} OUTPUT_FILE ${WORK_DIR}/files.tar)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${WORK_DIR}/files.tar ./usr/share/doc/operation-brannoway/copyright
                WORKING_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} -DARTIFACT=debian -DFILE=${WORK_DIR}/usr/share/doc/operation-brannoway/copyright
                        -P ${CMAKE_CURRENT_LIST_DIR}/../../packaging/notices/check_notices.cmake
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT result EQUAL 0)
  file(REMOVE_RECURSE ${WORK_DIR})
  message(FATAL_ERROR "the package's copyright file:\n${out}")
endif()
# lintian leaves a file in its temporary folder: keep it in ours.
file(MAKE_DIRECTORY ${WORK_DIR}/tmp)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TMPDIR=${WORK_DIR}/tmp lintian --fail-on error ${package}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(REMOVE_RECURSE ${WORK_DIR})
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lintian found errors:\n${out}")
endif()
message(STATUS "the package depends on ${depends}; lintian: no errors")
