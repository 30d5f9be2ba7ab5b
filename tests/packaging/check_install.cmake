# Installs the game into a fresh DESTDIR and checks what lands where: the
# launcher, the three programs, the 29 pictures, the menu entry, the
# metadata (both validated), the icons, the manual page and the package
# documents, and nothing else.
#   cmake -DBUILD_DIR=<build> -DROOT=<destdir> -DMEDIA_DIR=<build>/game/Media -P check_install.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../packaging/file_lists.cmake)
file(REMOVE_RECURSE ${ROOT})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${ROOT}
                        ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr --component Game
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result})")
endif()

set(app nl.brannoway.OperationBrannoway)
set(expected
  usr/games/operation-brannoway
  usr/libexec/operation-brannoway/OperationBrannoway
  usr/libexec/operation-brannoway/ButtonSample
  usr/libexec/operation-brannoway/Test
  usr/share/applications/${app}.desktop
  usr/share/metainfo/${app}.metainfo.xml
  usr/share/icons/hicolor/48x48/apps/operation-brannoway.png
  usr/share/icons/hicolor/128x128/apps/operation-brannoway.png
  usr/share/icons/hicolor/256x256/apps/operation-brannoway.png
  usr/share/man/man6/operation-brannoway.6.gz
  usr/share/doc/operation-brannoway/copyright
  usr/share/doc/operation-brannoway/changelog.gz)
game_pictures(pictures ${MEDIA_DIR})
foreach(picture ${pictures})
  list(APPEND expected usr/share/games/operation-brannoway/Media/${picture})
endforeach()

file(GLOB_RECURSE installed RELATIVE ${ROOT} ${ROOT}/*)
expect_exactly(installed "${expected}" "${installed}")

foreach(program usr/games/operation-brannoway usr/libexec/operation-brannoway/OperationBrannoway
    usr/libexec/operation-brannoway/ButtonSample usr/libexec/operation-brannoway/Test)
  execute_process(COMMAND test -x ${ROOT}/${program} RESULT_VARIABLE not_executable)
  if(not_executable)
    message(FATAL_ERROR "${program} is not executable")
  endif()
endforeach()

# Each icon is a PNG of its size: the signature, then the header's width and height.
foreach(size 48 128 256)
  set(icon ${ROOT}/usr/share/icons/hicolor/${size}x${size}/apps/operation-brannoway.png)
  file(READ ${icon} signature LIMIT 8 HEX)
  file(READ ${icon} width OFFSET 16 LIMIT 4 HEX)
  file(READ ${icon} height OFFSET 20 LIMIT 4 HEX)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    message(FATAL_ERROR "the ${size}-pixel icon is not a ${size} x ${size} PNG (${signature}, ${width} x ${height})")
  endif()
endforeach()

foreach(check "desktop-file-validate;${ROOT}/usr/share/applications/${app}.desktop"
              "appstreamcli;validate;--no-net;${ROOT}/usr/share/metainfo/${app}.metainfo.xml")
  execute_process(COMMAND ${check} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${check}: ${result}\n${out}")
  endif()
endforeach()
list(LENGTH installed count)
message(STATUS "${count} files installed where expected; menu entry and metadata valid")
