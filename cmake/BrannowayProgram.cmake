# A program of the system: its main, linked with its code and with the
# display it runs on (the SDL display of the Windows layer on Linux, at the
# program's own frame rate; a page of the web display in the browser, with
# the fonts it maps to preloaded; Windows itself, with everything linked in
# statically and the layer's pacing put in front of it at link time, on Windows).
# WINDOWED and DATA_FOLDER are what the layer does before its main
# (winlayer_program_start): a program that only shows windows lets go of a
# console Windows made for it alone; one that reads a folder from its
# working directory starts beside it. The browser needs neither. FONTS names
# the bundled font files (LiberationSans-Bold, ...) that the program's texts
# can ask for, through the faces it names and those the layer maps them to:
# its page preloads only those (all of them when FONTS is not given).
function(brannoway_program name)
  cmake_parse_arguments(PROGRAM "WINDOWED" "FRAME_RATE;DATA_FOLDER" "SOURCES;LIBRARIES;FONTS" ${ARGN})
  add_executable(${name} ${PROGRAM_SOURCES})
  target_link_libraries(${name} PRIVATE ${PROGRAM_LIBRARIES})
  if(NOT BRANNOWAY_ON_WEB AND (PROGRAM_WINDOWED OR PROGRAM_DATA_FOLDER))
    set(start)
    if(PROGRAM_WINDOWED)
      list(APPEND start WINDOWED)
    endif()
    if(PROGRAM_DATA_FOLDER)
      list(APPEND start DATA_FOLDER ${PROGRAM_DATA_FOLDER})
    endif()
    winlayer_program_start(${name} ${start})
  endif()
  if(BRANNOWAY_ON_WINDOWS)
    target_link_options(${name} PRIVATE -static -mconsole)
    winlayer_windows(${name} FRAME_RATE ${PROGRAM_FRAME_RATE})
  elseif(BRANNOWAY_ON_WEB)
    winlayer_display(${name} web FRAME_RATE ${PROGRAM_FRAME_RATE})
    set(unknown ${PROGRAM_FONTS})
    foreach(font ${WINLAYER_BUNDLED_FONTS})
      get_filename_component(font_name ${font} NAME_WE)
      if(PROGRAM_FONTS AND NOT font_name IN_LIST PROGRAM_FONTS)
        continue()
      endif()
      list(REMOVE_ITEM unknown ${font_name})
      target_link_options(${name} PRIVATE "SHELL:--preload-file ${font}@${font}")
    endforeach()
    if(unknown)
      message(FATAL_ERROR "${name}: no bundled font files called ${unknown}")
    endif()
  else()
    winlayer_display(${name} sdl FRAME_RATE ${PROGRAM_FRAME_RATE})
  endif()
endfunction()
