// A page for the browser's tests: a message box asks a question, the answer
// is printed, and a second box (a single OK button) ends the program.
#include <windows.h>

#include <cstdio>

int main() {
  const int answer = MessageBoxA(nullptr, "Nog een potje?", "Vraag", MB_YESNO | MB_ICONQUESTION);
  std::printf("%d\n", answer);
  std::fflush(stdout);
  std::printf("%d\n", MessageBoxA(nullptr, "Tot ziens", "Einde", MB_OK));
  return 0;
}
