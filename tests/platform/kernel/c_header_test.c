/* <windows.h> compiles as C, and its records have their Windows sizes there too. */
#include <windows.h>

int CHeaderSizes(void) {
  POINT p = {1, 2};
  RECT r;
  SetRect(&r, p.x, p.y, 3, 4);
  return sizeof(DWORD) == 4 && sizeof(LOGFONTA) == 60 && sizeof(TEXTMETRICA) == 56 && sizeof(BITMAP) >= 24 &&
         RGB(1, 2, 3) == 0x030201 && r.right == 3;
}
