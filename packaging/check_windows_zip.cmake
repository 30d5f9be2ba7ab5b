# Checks the Windows ZIP's listing: the three programs, a read-me, the
# notices and every picture of the game under Media/, in one folder, and
# nothing else; that the notices hold every part the programs carry; and
# that every program's header asks for Windows Vista (6.0) or later.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/file_lists.cmake)
get_filename_component(ZIP ${ZIP} ABSOLUTE)
#   cmake -DZIP=<zip> -DMEDIA_DIR=<a Linux build's game/Media> [-DOBJDUMP=<objdump>] -P check_windows_zip.cmake
zip_listing(${ZIP} entries top)

game_pictures(pictures ${MEDIA_DIR})
set(expected ${top}/OperationBrannoway.exe ${top}/ButtonSample.exe ${top}/Test.exe ${top}/README.txt ${top}/NOTICES.txt)
foreach(picture ${pictures})
  list(APPEND expected ${top}/Media/${picture})
endforeach()

expect_exactly(${ZIP} "${expected}" "${entries}")
list(LENGTH entries count)
message(STATUS "${ZIP}: ${count} files as expected: the three programs, README.txt, NOTICES.txt and 29 pictures in ${top}/")

# What the ZIP holds, unpacked beside it for the other checks and removed.
get_filename_component(zip_dir ${ZIP} DIRECTORY)
set(unpacked ${zip_dir}/zip-check)
file(REMOVE_RECURSE ${unpacked})
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ZIP} WORKING_DIRECTORY ${unpacked} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE_RECURSE ${unpacked})
  message(FATAL_ERROR "cannot unpack ${ZIP}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -DARTIFACT=windows -DFILE=${unpacked}/${top}/NOTICES.txt
                        -P ${CMAKE_CURRENT_LIST_DIR}/notices/check_notices.cmake RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE_RECURSE ${unpacked})
  message(FATAL_ERROR "${ZIP}: its NOTICES.txt lacks a part's notice")
endif()
if(OBJDUMP)
  foreach(program OperationBrannoway ButtonSample Test)
    execute_process(COMMAND ${OBJDUMP} -p ${unpacked}/${top}/${program}.exe OUTPUT_VARIABLE header)
    foreach(field MajorOSystemVersion MajorSubsystemVersion)
      if(NOT header MATCHES "${field}[ \t]+6\n")
        file(REMOVE_RECURSE ${unpacked})
        message(FATAL_ERROR "${program}.exe: ${field} is not 6 (Windows Vista): the header lets an older Windows try it")
      endif()
    endforeach()
  endforeach()
  message(STATUS "${ZIP}: every program's header asks for Windows 6.0 (Vista) or later")
endif()
file(REMOVE_RECURSE ${unpacked})
