// What the layers above learn of the threads made by CreateThread.
#pragma once

namespace winlayer::kernel {

// Runs on a thread made by CreateThread once its routine has returned, before
// anyone waiting for the thread hears that it ended. The window manager
// registers one, so a thread's windows go with it.
using ThreadEndHook = void (*)();
void SetThreadEndHook(ThreadEndHook hook);

// True on a thread made by CreateThread: its end runs the hook.
bool MadeByCreateThread();

// True on the thread that runs main. On Linux that is the process's first
// thread; in the browser main runs on a thread of its own, the first one the
// runtime starts, whose id follows the process's.
bool IsProgramMainThread();

}  // namespace winlayer::kernel
