// Message queues: one for each thread that uses windows or messages.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace winlayer::user {

struct ThreadQueue;

// A message sent from another thread, waiting for the owner's loop to handle it.
struct SentMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result = 0;
  bool done = false;                    // guarded by the sender's queue lock
  std::shared_ptr<ThreadQueue> sender;  // woken when done
};

struct ThreadQueue {
  explicit ThreadQueue(DWORD id) : threadId(id) {}
  const DWORD threadId;
  std::mutex lock;
  std::condition_variable wake;
  std::deque<MSG> posted;
  std::deque<std::shared_ptr<SentMessage>> incoming;
  bool quit = false;
  int quitCode = 0;
  bool paintRequested = false;  // a window of this thread became invalid
  bool ended = false;           // the thread is gone: nothing more is taken
};

// The calling thread's queue, made on first use.
std::shared_ptr<ThreadQueue> CurrentQueue();
// Another thread's queue, or null when it has none.
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId);

// Adds a message to a queue and wakes its thread; false when the thread is gone.
bool Post(ThreadQueue& queue, const MSG& message);
// Asks the queue's thread to quit with this code (WM_QUIT); false when its queue has ended.
bool Quit(ThreadQueue& queue, int code);
// Puts a message first in the calling thread's queue (a translated character comes next).
void PostNext(const MSG& message);
// The key states as of the key messages this thread has taken so far.
bool KeyHeldForThread(int virtualKey);
void RequestPaint(ThreadQueue& queue);

// Calls the window's procedure on its own thread, waiting for the result when
// that is another thread.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Ends the calling thread's queue: later posts fail and waiting senders get 0.
void EndQueue();

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace winlayer::user
