# Checks the Windows ZIP's listing: the three programs, a read-me and every
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/file_lists.cmake)
# picture of the game under Media/, in one folder, and nothing else.
#   cmake -DZIP=<zip> -DMEDIA_DIR=<a Linux build's game/Media> -P check_windows_zip.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP} OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list ${ZIP}")
endif()
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "(^$|/$)")  # folders
string(REGEX REPLACE "\\.zip$" "" top "${ZIP}")
get_filename_component(top ${top} NAME)

game_pictures(pictures ${MEDIA_DIR})
set(expected ${top}/OperationBrannoway.exe ${top}/ButtonSample.exe ${top}/Test.exe ${top}/README.txt)
foreach(picture ${pictures})
  list(APPEND expected ${top}/Media/${picture})
endforeach()

expect_exactly(${ZIP} "${expected}" "${entries}")
list(LENGTH entries count)
message(STATUS "${ZIP}: ${count} files as expected: the three programs, README.txt and 29 pictures in ${top}/")
