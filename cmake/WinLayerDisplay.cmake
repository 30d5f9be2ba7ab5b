# winlayer_display(<program> <sdl|web|headless> [FRAME_RATE <n>|screen])
#
# Chooses the display a program of the Windows layer runs on: the SDL display
# for people, the web display in the browser (the program becomes a page,
# <program>.html), the headless one for tests and tools. Every library the program
# links compiles against <windows.h> (winlayer_api); the display is linked
# after all of them. FRAME_RATE is the program's own frame rate, which
# WINLAYER_FRAME_RATE overrides: frames per second, 0 for no limit (the
# default), or "screen" for one frame per refresh of the screen.
function(winlayer_display target display)
  cmake_parse_arguments(CHOICE "" "FRAME_RATE" "" ${ARGN})
  if(NOT display MATCHES "^(sdl|web|headless)$")
    message(FATAL_ERROR "winlayer_display: ${target}: no display called '${display}' (sdl, web or headless)")
  endif()
  if(BRANNOWAY_ON_WINDOWS)
    return()  # Windows is the display: see winlayer_windows
  endif()
  set_target_properties(${target} PROPERTIES BRANNOWAY_DISPLAY winlayer_${display})
  target_link_libraries(${target} PRIVATE winlayer_api)
  if(display STREQUAL "web")
    set_target_properties(${target} PROPERTIES SUFFIX ".html" LINK_DEPENDS "${WINLAYER_WEB_PAGE_FILES}")
  endif()
  if(DEFINED CHOICE_FRAME_RATE)
    winlayer_frame_rate(${target} ${CHOICE_FRAME_RATE})
  endif()
endfunction()

# winlayer_frame_rate(<program> <n>|screen): the program's own frame rate,
# compiled into it (either build).
function(winlayer_frame_rate target rate)
  if(rate STREQUAL "screen")
    set(rate "winlayer::kScreenRefreshRate")
  elseif(NOT rate MATCHES "^[0-9]+$")
    message(FATAL_ERROR "${target}: FRAME_RATE takes a number or 'screen', not '${rate}'")
  endif()
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_frame_rate.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// Made by winlayer_frame_rate: the frame rate of ${target}.
#include <winlayer/frame_rate.h>

namespace {
[[maybe_unused]] const bool kFrameRateSet = winlayer::SetDefaultFrameRate(${rate});
}
")
  target_sources(${target} PRIVATE ${source})
endfunction()

# winlayer_program_start(<program> [WINDOWED] [DATA_FOLDER <folder>]): what
# the layer does for the program before its main (winlayer/program_start.h),
# compiled into it (either build).
function(winlayer_program_start target)
  cmake_parse_arguments(START "WINDOWED" "DATA_FOLDER" "" ${ARGN})
  set(data nullptr)
  if(START_DATA_FOLDER)
    set(data "\"${START_DATA_FOLDER}\"")
  endif()
  set(windowed false)
  if(START_WINDOWED)
    set(windowed true)
  endif()
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_program_start.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// Made by winlayer_program_start: what the layer does before the main of ${target}.
#include <winlayer/program_start.h>

namespace {
[[maybe_unused]] const bool kStarted = winlayer::StartProgram({${data}, ${windowed}});
}
")
  target_sources(${target} PRIVATE ${source})
endfunction()
