// Message boxes, shown by the display and modal for the calling thread.
#include "../display/display.h"

extern "C" int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  return winlayer::display::TheDisplay().ShowMessage(hWnd, lpText ? lpText : "", lpCaption ? lpCaption : "Error", uType);
}
