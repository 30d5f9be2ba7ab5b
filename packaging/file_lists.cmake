# Helpers of the scripts that check what an installation or a package holds.

# The game's pictures in a build's Media folder, by name; all 29 of them, or a fatal error.
function(game_pictures out media_dir)
  file(GLOB pictures RELATIVE ${media_dir} ${media_dir}/*.bmp)
  list(LENGTH pictures count)
  if(NOT count EQUAL 29)
    message(FATAL_ERROR "${media_dir} holds ${count} pictures, not the game's 29")
  endif()
  set(${out} ${pictures} PARENT_SCOPE)
endfunction()

# A fatal error naming what is missing and what is extra unless `found` holds exactly `expected`.
function(expect_exactly what expected found)
  set(missing ${expected})
  list(REMOVE_ITEM missing ${found})
  set(extra ${found})
  list(REMOVE_ITEM extra ${expected})
  if(missing OR extra)
    message(FATAL_ERROR "${what}: missing: ${missing}; not expected: ${extra}")
  endif()
endfunction()

# A ZIP's files (not its folders), and the name of the one folder CPack puts them in.
function(zip_listing zip out_entries out_top)
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zip} OUTPUT_VARIABLE listing RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cannot list ${zip}")
  endif()
  string(REPLACE "\n" ";" entries "${listing}")
  list(FILTER entries EXCLUDE REGEX "(^$|/$)")  # folders
  string(REGEX REPLACE "\\.zip$" "" top "${zip}")
  get_filename_component(top ${top} NAME)
  set(${out_entries} ${entries} PARENT_SCOPE)
  set(${out_top} ${top} PARENT_SCOPE)
endfunction()
