#include "window_thread.h"

#include <atomic>
#include <map>

namespace testing_support {

namespace {

std::mutex ownersLock;
std::map<HWND, WindowThread*>& Owners() {
  static std::map<HWND, WindowThread*> owners;
  return owners;
}
thread_local WindowThread* creating = nullptr;
std::atomic<int> classNumber{0};

}  // namespace

WindowThread::WindowThread(const WindowSpec& spec)
    : spec_(spec), className_("TestWindowClass" + std::to_string(classNumber++)) {
  thread_ = CreateThread(nullptr, 0, Run, this, 1, &threadId_);
  std::unique_lock lock(lock_);
  changed_.wait(lock, [this] { return ready_; });
}

WindowThread::~WindowThread() {
  if (IsWindow(hwnd_)) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
  PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  std::lock_guard guard(ownersLock);
  Owners().erase(hwnd_);
}

DWORD WINAPI WindowThread::Run(LPVOID self) {
  auto* t = static_cast<WindowThread*>(self);
  WNDCLASSA wc{};
  wc.style = t->spec_.classStyle;
  wc.lpfnWndProc = Procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = t->spec_.background;
  wc.lpszClassName = t->className_.c_str();
  RegisterClassA(&wc);
  creating = t;
  HWND hwnd = CreateWindowExA(t->spec_.exStyle, t->className_.c_str(), t->spec_.title, t->spec_.style, t->spec_.x,
                              t->spec_.y, t->spec_.width, t->spec_.height, nullptr, nullptr, wc.hInstance, nullptr);
  creating = nullptr;
  if (hwnd && t->spec_.show) ShowWindow(hwnd, SW_SHOWNORMAL);
  {
    std::lock_guard guard(t->lock_);
    t->hwnd_ = hwnd;
    t->ready_ = true;
  }
  t->changed_.notify_all();
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<DWORD>(msg.wParam);
}

LRESULT CALLBACK WindowThread::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowThread* owner = nullptr;
  {
    std::lock_guard guard(ownersLock);
    if (creating) Owners()[hwnd] = creating;
    auto it = Owners().find(hwnd);
    if (it != Owners().end()) owner = it->second;
  }
  return owner ? owner->Handle(hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT WindowThread::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  std::function<LRESULT(WPARAM, LPARAM)> answer;
  {
    std::lock_guard guard(lock_);
    messages_.push_back({message, wParam, lParam, GetCurrentThreadId()});
    for (auto& [m, a] : answers_)
      if (m == message) answer = a;
  }
  changed_.notify_all();
  return answer ? answer(wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
}

void WindowThread::Answer(UINT message, std::function<LRESULT(WPARAM, LPARAM)> answer) {
  std::lock_guard guard(lock_);
  answers_.emplace_back(message, std::move(answer));
}

std::vector<Received> WindowThread::Messages() {
  std::lock_guard guard(lock_);
  return messages_;
}

void WindowThread::ClearMessages() {
  std::lock_guard guard(lock_);
  messages_.clear();
}

bool WindowThread::WaitFor(UINT message, WPARAM wParam) {
  std::unique_lock lock(lock_);
  return changed_.wait_for(lock, std::chrono::seconds(2), [&] {
    for (const Received& r : messages_)
      if (r.message == message && (wParam == ~WPARAM{0} || r.wParam == wParam)) return true;
    return false;
  });
}

bool WindowThread::Finished(DWORD waitMilliseconds) const {
  return WaitForSingleObject(thread_, waitMilliseconds) == WAIT_OBJECT_0;
}

}  // namespace testing_support
