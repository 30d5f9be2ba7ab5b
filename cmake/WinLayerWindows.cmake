# winlayer_windows(<program> [FRAME_RATE <n>|screen])
#
# The layer of the Windows build. There the programs call user32 and gdi32
# themselves, so the layer's comforts (presents paced to the program's frame
# rate, waiting loops that nap, the click latch) can't come from our own
# <windows.h>. The link puts the layer between them instead, leaving the
# programs' source as it is: GNU ld's --wrap on each wrapped import's pointer
# (__imp_BitBlt; on i686 _imp__BitBlt@36) sends every imported call of the
# program to the layer's function (platform/windows/), which calls Windows
# through the __real_ pointer. Wrapping the plain name (BitBlt) would catch
# nothing: calls of a dllimport function go through its __imp_ pointer. A
# misspelt name fails the link, since the layer's function needs its
# __real_ pointer. FRAME_RATE is as for winlayer_display.
function(winlayer_windows target)
  cmake_parse_arguments(CHOICE "" "FRAME_RATE" "" ${ARGN})
  set_target_properties(${target} PROPERTIES BRANNOWAY_DISPLAY winlayer_windows)
  target_link_libraries(${target} PRIVATE winlayer_api)
  if(DEFINED CHOICE_FRAME_RATE)
    winlayer_frame_rate(${target} ${CHOICE_FRAME_RATE})
  endif()
endfunction()
