/* Draws into a memory bitmap through <windows.h> and checks what it drew. */
#include <stdio.h>
#include <windows.h>

int main(void) {
  HDC screen = GetDC(NULL);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 32);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ oldBrush = SelectObject(dc, red);
  char text[64];
  RECT r = {0, 0, 0, 0};
  int ok;

  ReleaseDC(NULL, screen);
  Rectangle(dc, 4, 4, 20, 20);
  wsprintfA(text, "Speler %i", 1);
  SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, text, -1, &r, DT_CALCRECT);
  ok = GetPixel(dc, 10, 10) == RGB(255, 255, 255) - RGB(0, 255, 255) && GetPixel(dc, 4, 4) == RGB(0, 0, 0) &&
       r.right > 0 && r.bottom > 0;

  DeleteObject(SelectObject(dc, oldBrush));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  printf("%s: %s is %ld x %ld pixels\n", ok ? "ok" : "FAILED", text, (long)r.right, (long)r.bottom);
  return ok ? 0 : 1;
}
