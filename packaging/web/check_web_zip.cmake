# Checks the web site's ZIP: in one folder, exactly the files the site's
# service worker names (the pages, the programs, the icons, the manifest,
# the notices) and the worker itself, the same as the installed site; and
# that its notices hold every part the site carries.
#
#   cmake -DZIP=<OperationBrannoway-<version>-web.zip> -DSITE=<installed site> -P check_web_zip.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../file_lists.cmake)
get_filename_component(ZIP ${ZIP} ABSOLUTE)
get_filename_component(SITE ${SITE} ABSOLUTE)
zip_listing(${ZIP} entries top)

file(READ ${SITE}/service-worker.js worker)
set(expected ${top}/service-worker.js)
foreach(group kSmallFiles kLargeFiles)
  string(REGEX MATCH "const ${group} = \\[([^]]*)\\]" named "${worker}")
  string(REGEX MATCHALL "\"[^\"]+\"" names "${CMAKE_MATCH_1}")
  foreach(name ${names})
    string(REPLACE "\"" "" name ${name})
    list(APPEND expected ${top}/${name})
  endforeach()
endforeach()
expect_exactly(${ZIP} "${expected}" "${entries}")
file(GLOB installed RELATIVE ${SITE} ${SITE}/*)
list(TRANSFORM installed PREPEND ${top}/)
expect_exactly("${SITE} against ${ZIP}" "${installed}" "${entries}")

get_filename_component(zip_dir ${ZIP} DIRECTORY)
set(unpacked ${zip_dir}/zip-check)
file(REMOVE_RECURSE ${unpacked})
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ZIP} ${top}/NOTICES.txt WORKING_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -DARTIFACT=web -DFILE=${unpacked}/${top}/NOTICES.txt
                        -P ${CMAKE_CURRENT_LIST_DIR}/../notices/check_notices.cmake RESULT_VARIABLE result)
file(REMOVE_RECURSE ${unpacked})
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${ZIP}: its notices lack a part")
endif()
list(LENGTH entries count)
message(STATUS "${ZIP}: ${count} files as expected, the site's, in ${top}/")
