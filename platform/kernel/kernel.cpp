// Kernel operations: module handle, string length, the tick counter and the
// thread's last error.
#include <windows.h>

#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

#include "../rules/poll_pacing.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// The program's own module: any non-null value that stays the same.
char programModule;

}  // namespace

extern "C" {

DWORD WINAPI GetTickCount(void) {
  timespec t{};
  // Milliseconds since the system started, wrapping at 2^32; where there is
  // no such clock (the browser), since some moment before the program's start.
  if (clock_gettime(CLOCK_BOOTTIME, &t) != 0) clock_gettime(CLOCK_MONOTONIC, &t);
  const unsigned long long ms =
      static_cast<unsigned long long>(t.tv_sec) * 1000ULL + static_cast<unsigned long long>(t.tv_nsec) / 1000000ULL;
  return static_cast<DWORD>(ms);
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  if (lpModuleName == nullptr) return reinterpret_cast<HMODULE>(&programModule);
  SetLastError(ERROR_FILE_NOT_FOUND);  // no other modules are loaded
  return nullptr;
}

int WINAPI lstrlenA(LPCSTR lpString) { return lpString ? static_cast<int>(std::strlen(lpString)) : 0; }

DWORD WINAPI GetLastError(void) { return lastError; }

void WINAPI SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

void WINAPI Sleep(DWORD dwMilliseconds) {
  if (dwMilliseconds == 0) {
    sched_yield();
    return;
  }
  winlayer::pacing::ShowHeldFrame();  // the thread pauses: its last frame goes to the screen now
  timespec t{static_cast<time_t>(dwMilliseconds / 1000), static_cast<long>(dwMilliseconds % 1000) * 1000000L};
  while (nanosleep(&t, &t) != 0) {
  }
}

}  // extern "C"
