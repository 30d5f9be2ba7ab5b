# A program of the system: its main, linked with its code and with the
# display it runs on (the SDL display of the Windows layer on Linux, at the
# program's own frame rate; a page of the web display in the browser, with
# the fonts it maps to preloaded; Windows itself, with everything linked in
# statically and the layer's pacing put in front of it at link time, on Windows).
function(brannoway_program name)
  cmake_parse_arguments(PROGRAM "" "FRAME_RATE" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${PROGRAM_SOURCES})
  target_link_libraries(${name} PRIVATE ${PROGRAM_LIBRARIES})
  if(BRANNOWAY_ON_WINDOWS)
    target_link_options(${name} PRIVATE -static -mconsole)
    winlayer_windows(${name} FRAME_RATE ${PROGRAM_FRAME_RATE})
  elseif(BRANNOWAY_ON_WEB)
    winlayer_display(${name} web FRAME_RATE ${PROGRAM_FRAME_RATE})
    foreach(font ${WINLAYER_BUNDLED_FONTS})
      target_link_options(${name} PRIVATE "SHELL:--preload-file ${font}@${font}")
    endforeach()
  else()
    winlayer_display(${name} sdl FRAME_RATE ${PROGRAM_FRAME_RATE})
  endif()
endfunction()
