# The third-party parts that the artifacts carry, and the notices each needs:
# the one list from which every artifact's notices are made (notices.cmake)
# and checked (check_notices.cmake).
#
#   <part>|<artifacts>|<texts>|<mark>
#
# artifacts: windows (the ZIP), web (the site), debian (the package, whose
# copyright file is written by hand in Debian's format: it must hold the mark);
# texts: files of this folder, in order; several of either are joined by
# "+"; mark: a line every copy of the
# part's notice holds.
set(BRANNOWAY_NOTICES_DIR ${CMAKE_CURRENT_LIST_DIR})
set(BRANNOWAY_THIRD_PARTY_PARTS
  "winpthreads|windows|winpthreads.txt|Copyright (c) 2011-2016 mingw-w64 project"
  "GCC runtime|windows|gcc-runtime.txt|GCC Runtime Library Exception"
  "FreeType|web|freetype.txt|Portions of this software are copyright (c) 2022 The FreeType Project (www.freetype.org). All rights reserved."
  "Liberation fonts|web|liberation-fonts.txt+gpl-2.0.txt|Copyright (C) 2007 Red Hat, Inc. All rights reserved."
  "Comic Neue|web|comic-neue.txt+ofl-1.1.txt|Copyright (c) 2014-2016 Craig Rozynski"
  "Emscripten|web|emscripten.txt|Copyright (c) 2010-2022 The Emscripten Authors"
  "stb|web+debian|stb.txt|Copyright (c) 2017 Sean Barrett"
)

# The parts an artifact carries, as indices into the list above.
function(brannoway_parts_of artifact out)
  set(found)
  list(LENGTH BRANNOWAY_THIRD_PARTY_PARTS count)
  math(EXPR last "${count} - 1")
  foreach(index RANGE ${last})
    brannoway_part_field(${index} 1 artifacts)
    if(artifact IN_LIST artifacts)
      list(APPEND found ${index})
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# One field of a part (0 name, 1 artifacts, 2 texts, 3 mark); a list where it is joined by "+".
function(brannoway_part_field index field out)
  list(GET BRANNOWAY_THIRD_PARTY_PARTS ${index} entry)
  string(REGEX MATCHALL "[^|]+" fields "${entry}")
  list(GET fields ${field} value)
  if(field EQUAL 1 OR field EQUAL 2)
    string(REPLACE "+" ";" value "${value}")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# Writes an artifact's notices: a heading, then each part it carries with its texts.
function(brannoway_write_notices artifact output crlf)
  brannoway_parts_of(${artifact} parts)
  set(names)
  foreach(index ${parts})
    brannoway_part_field(${index} 0 name)
    list(APPEND names "${name}")
  endforeach()
  list(JOIN names ", " named)
  set(rule "================================================================================")
  set(text "Third-party notices\n\nOperation Brannoway was written and drawn by its own developers. What follows\nis the part of this copy that others made, each with the notice its licence\nasks to travel with it: ${named}.\n")
  foreach(index ${parts})
    brannoway_part_field(${index} 0 name)
    brannoway_part_field(${index} 2 texts)
    string(APPEND text "\n${rule}\n${name}\n${rule}\n\n")
    foreach(file ${texts})
      file(READ ${BRANNOWAY_NOTICES_DIR}/${file} body)
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${BRANNOWAY_NOTICES_DIR}/${file})
      string(APPEND text "${body}\n")
    endforeach()
  endforeach()
  if(crlf)
    string(REPLACE "\n" "\r\n" text "${text}")
  endif()
  file(WRITE ${output} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${BRANNOWAY_NOTICES_DIR}/parts.cmake)
endfunction()
