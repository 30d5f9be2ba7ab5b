#include "message_queue.h"

#include <unistd.h>

#include <array>
#include <unordered_map>

#include "../rules/poll_pacing.h"
#include "../kernel/threads.h"
#include "input.h"
#include "window.h"

namespace winlayer::user {

namespace {

struct Queues {
  std::mutex lock;
  std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> byThread;
};

Queues& AllQueues() {
  static auto* queues = new Queues;  // lives to the end of the process, whichever thread ends last
  return *queues;
}

// Ends a thread's windows and queue when the thread ends. The main thread's end
// is the end of the process, which takes everything with it; threads made by
// CreateThread end theirs when their routine returns, so a call to exit on
// one of them (which runs these destructors) does not wait on other threads.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder() {
    if (queue && !kernel::IsProgramMainThread() && !kernel::MadeByCreateThread()) EndThread();
  }
};
thread_local QueueHolder holder;
thread_local std::array<bool, 256> keysTaken{};

void NoteTaken(const MSG& m) {
  if (m.message == WM_KEYDOWN || m.message == WM_KEYUP) keysTaken[m.wParam & 0xFF] = m.message == WM_KEYDOWN;
}

// A range of 0 to 0 takes every message.
bool InRange(UINT message, UINT first, UINT last) {
  return (first == 0 && last == 0) || (message >= first && message <= last);
}

bool Matches(const MSG& m, HWND filter, UINT first, UINT last) {
  return (!filter || m.hwnd == filter) && InRange(m.message, first, last);
}

void Complete(SentMessage& sent, LRESULT result) {
  {
    std::lock_guard guard(sent.sender->lock);
    sent.result = result;
    sent.done = true;
  }
  sent.sender->wake.notify_all();
}

LRESULT CallProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  auto window = WindowByHandle(handle);
  if (!window) return 0;
  WNDPROC proc;
  {
    std::lock_guard guard(WindowsLock());
    proc = window->proc;
  }
  return proc ? proc(handle, message, wParam, lParam) : DefWindowProcA(handle, message, wParam, lParam);
}

// Handles the messages other threads sent to this thread's windows.
void HandleIncoming(ThreadQueue& queue) {
  for (;;) {
    std::shared_ptr<SentMessage> sent;
    {
      std::lock_guard guard(queue.lock);
      if (queue.incoming.empty()) return;
      sent = std::move(queue.incoming.front());
      queue.incoming.pop_front();
    }
    Complete(*sent, CallProcedure(sent->window, sent->message, sent->wParam, sent->lParam));
  }
}

enum class Took { Message, Quit, Nothing };

// One look at the queue: sent messages are handled, then the first matching
// posted message is taken, then a quit, then a paint.
Took Look(ThreadQueue& queue, MSG* out, HWND filter, UINT first, UINT last, bool remove) {
  HandleIncoming(queue);
  {
    std::lock_guard guard(queue.lock);
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
      if (!Matches(*it, filter, first, last)) continue;
      *out = *it;
      if (remove) {
        queue.posted.erase(it);
        NoteTaken(*out);
      }
      return Took::Message;
    }
    if (queue.quit) {
      *out = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0);
      if (remove) queue.quit = false;
      return Took::Quit;
    }
    queue.paintRequested = false;
  }
  if (InRange(WM_PAINT, first, last)) {
    for (const auto& w : WindowsOfThread(queue.threadId)) {
      std::lock_guard guard(WindowsLock());
      if (w->needsPaint && (!filter || w->handle == filter)) {
        *out = MakeMessage(w->handle, WM_PAINT, 0, 0);
        return Took::Message;
      }
    }
  }
  return Took::Nothing;
}

}  // namespace

std::shared_ptr<ThreadQueue> CurrentQueue() {
  if (!holder.queue) {
    static std::once_flag hookOnce;
    std::call_once(hookOnce, [] { kernel::SetThreadEndHook(EndThread); });
    holder.queue = std::make_shared<ThreadQueue>(GetCurrentThreadId());
    Queues& q = AllQueues();
    std::lock_guard guard(q.lock);
    q.byThread[holder.queue->threadId] = holder.queue;
  }
  return holder.queue;
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId) {
  Queues& q = AllQueues();
  std::lock_guard guard(q.lock);
  auto it = q.byThread.find(threadId);
  return it == q.byThread.end() ? nullptr : it->second;
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m{};
  m.hwnd = window;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = GetTickCount();
  m.pt = CursorPosition();
  return m;
}

bool Post(ThreadQueue& queue, const MSG& message) {
  {
    std::lock_guard guard(queue.lock);
    if (queue.ended) return false;
    queue.posted.push_back(message);
  }
  queue.wake.notify_all();
  pacing::Input().Notify();  // a thread that naps over an empty queue looks again
  return true;
}

bool Quit(ThreadQueue& queue, int code) {
  {
    std::lock_guard guard(queue.lock);
    if (queue.ended) return false;
    queue.quit = true;
    queue.quitCode = code;
  }
  queue.wake.notify_all();
  pacing::Input().Notify();  // a thread that naps over an empty queue looks again
  return true;
}

void PostNext(const MSG& message) {
  auto queue = CurrentQueue();
  {
    std::lock_guard guard(queue->lock);
    queue->posted.push_front(message);
  }
  queue->wake.notify_all();
}

bool KeyHeldForThread(int virtualKey) { return keysTaken[static_cast<std::size_t>(virtualKey & 0xFF)]; }

void RequestPaint(ThreadQueue& queue) {
  {
    std::lock_guard guard(queue.lock);
    queue.paintRequested = true;
  }
  queue.wake.notify_all();
}

LRESULT Send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  auto window = WindowByHandle(handle);
  if (!window) return 0;
  if (window->threadId == GetCurrentThreadId()) return CallProcedure(handle, message, wParam, lParam);

  auto self = CurrentQueue();
  auto sent = std::make_shared<SentMessage>(SentMessage{handle, message, wParam, lParam, 0, false, self});
  {
    std::lock_guard guard(window->queue->lock);
    if (window->queue->ended) return 0;
    window->queue->incoming.push_back(sent);
  }
  window->queue->wake.notify_all();
  // While waiting, answer what others send to this thread, so two threads sending to each other go on.
  for (;;) {
    HandleIncoming(*self);
    std::unique_lock lock(self->lock);
    self->wake.wait(lock, [&] { return sent->done || !self->incoming.empty(); });
    if (sent->done) return sent->result;
  }
}

void EndQueue() {
  if (!holder.queue) return;
  std::shared_ptr<ThreadQueue> queue = holder.queue;
  std::deque<std::shared_ptr<SentMessage>> unanswered;
  {
    std::lock_guard guard(queue->lock);
    queue->ended = true;
    unanswered.swap(queue->incoming);
    queue->posted.clear();
  }
  for (auto& sent : unanswered) Complete(*sent, 0);
  Queues& q = AllQueues();
  std::lock_guard guard(q.lock);
  auto it = q.byThread.find(queue->threadId);
  if (it != q.byThread.end() && it->second == queue) q.byThread.erase(it);
}

}  // namespace winlayer::user

using namespace winlayer::user;

extern "C" {

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!lpMsg) return -1;
  auto queue = CurrentQueue();
  for (;;) {
    switch (Look(*queue, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true)) {
      case Took::Message: return TRUE;
      case Took::Quit: return FALSE;
      case Took::Nothing: break;
    }
    winlayer::pacing::ShowHeldFrame();  // the thread waits: its last frame goes to the screen now
    std::unique_lock lock(queue->lock);
    queue->wake.wait(lock, [&] {
      return !queue->posted.empty() || !queue->incoming.empty() || queue->quit || queue->paintRequested;
    });
  }
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) return FALSE;
  if (Look(*CurrentQueue(), lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0) != Took::Nothing)
    return TRUE;
  winlayer::pacing::BeforePoll();  // an empty queue, looked at again and again, is a waiting loop
  return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg || !lpMsg->hwnd) return 0;
  auto window = WindowByHandle(lpMsg->hwnd);
  if (!window || window->threadId != GetCurrentThreadId()) return 0;
  return Send(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!hWnd) return Post(*CurrentQueue(), MakeMessage(nullptr, Msg, wParam, lParam));
  auto window = WindowByHandle(hWnd);
  if (!window) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return Post(*window->queue, MakeMessage(hWnd, Msg, wParam, lParam));
}

BOOL WINAPI PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto queue = QueueOfThread(idThread);
  if (!queue) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (Msg == WM_QUIT) return Quit(*queue, static_cast<int>(wParam)) ? TRUE : FALSE;
  return Post(*queue, MakeMessage(nullptr, Msg, wParam, lParam));
}

// The calling thread's own queue has not ended: it ends with the thread.
void WINAPI PostQuitMessage(int nExitCode) { Quit(*CurrentQueue(), nExitCode); }

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return Send(hWnd, Msg, wParam, lParam);
}

}  // extern "C"
