// A Windows program of the tests under Wine, started with the layer's rule
// for windowed programs: it writes into the file its argument names whether
// it still has a console window, once the layer has let go of a console
// that Windows made for it alone.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::FILE* out = std::fopen(argv[1], "w");
  if (!out) return 3;
  std::fputs(GetConsoleWindow() ? "console window\n" : "no console window\n", out);
  return std::fclose(out) == 0 ? 0 : 4;
}
