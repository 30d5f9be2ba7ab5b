// Threads: made with CreateThread, waited for, and their handles closed.
// A thread runs at once; its handle is signalled when its routine returns.
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits.h>

#include <windows.h>

#include "handle_map.h"
#include "threads.h"

namespace {

std::atomic<winlayer::kernel::ThreadEndHook> threadEndHook{nullptr};
thread_local bool madeByCreateThread = false;

struct ThreadObject {
  std::mutex lock;
  std::condition_variable changed;
  DWORD id = 0;
  bool started = false;
  bool finished = false;
  DWORD exitCode = STILL_ACTIVE;
};

winlayer::HandleMap<ThreadObject>& Threads() {
  static auto* threads = new winlayer::HandleMap<ThreadObject>(0x1004, 0x10000, 4);
  return *threads;
}

struct Start {
  std::shared_ptr<ThreadObject> thread;
  LPTHREAD_START_ROUTINE routine;
  LPVOID parameter;
};

void* Run(void* argument) {
  std::unique_ptr<Start> start(static_cast<Start*>(argument));
  {
    std::lock_guard guard(start->thread->lock);
    start->thread->id = GetCurrentThreadId();
    start->thread->started = true;
  }
  start->thread->changed.notify_all();
  madeByCreateThread = true;
  const DWORD code = start->routine(start->parameter);
  if (auto hook = threadEndHook.load()) hook();
  {
    std::lock_guard guard(start->thread->lock);
    start->thread->exitCode = code;
    start->thread->finished = true;
  }
  start->thread->changed.notify_all();
  return nullptr;
}

}  // namespace

namespace winlayer::kernel {

void SetThreadEndHook(ThreadEndHook hook) { threadEndHook.store(hook); }
bool MadeByCreateThread() { return madeByCreateThread; }

bool IsProgramMainThread() {
#if defined(__EMSCRIPTEN__)
  return gettid() == getpid() + 1;  // main is proxied to the runtime's first thread
#else
  return gettid() == getpid();
#endif
}

}  // namespace winlayer::kernel

extern "C" {

DWORD WINAPI GetCurrentThreadId(void) { return static_cast<DWORD>(gettid()); }

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T dwStackSize, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
  // Only suspension changes how a thread starts; it is not offered, so refuse it rather than run the thread.
  if (!lpStartAddress || (dwCreationFlags & CREATE_SUSPENDED)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto thread = std::make_shared<ThreadObject>();
  const std::uint32_t handle = Threads().Add(thread);
  if (handle == 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  const SIZE_T smallest = static_cast<SIZE_T>(PTHREAD_STACK_MIN);
  if (dwStackSize > 0) pthread_attr_setstacksize(&attributes, dwStackSize < smallest ? smallest : dwStackSize);
  pthread_t id;
  auto* start = new Start{thread, lpStartAddress, lpParameter};
  const int error = pthread_create(&id, &attributes, Run, start);
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    delete start;
    Threads().Remove(handle);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::unique_lock lock(thread->lock);
  thread->changed.wait(lock, [&] { return thread->started; });
  if (lpThreadId) *lpThreadId = thread->id;
  return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle));
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  if (Threads().Remove(reinterpret_cast<std::uintptr_t>(hObject))) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  auto thread = Threads().Find(reinterpret_cast<std::uintptr_t>(hHandle));
  if (!thread) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  std::unique_lock lock(thread->lock);
  auto finished = [&] { return thread->finished; };
  if (dwMilliseconds == INFINITE) {
    thread->changed.wait(lock, finished);
    return WAIT_OBJECT_0;
  }
  return thread->changed.wait_for(lock, std::chrono::milliseconds(dwMilliseconds), finished) ? WAIT_OBJECT_0
                                                                                             : WAIT_TIMEOUT;
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  auto thread = Threads().Find(reinterpret_cast<std::uintptr_t>(hThread));
  if (!thread || !lpExitCode) return FALSE;
  std::lock_guard guard(thread->lock);
  *lpExitCode = thread->exitCode;
  return TRUE;
}

}  // extern "C"
