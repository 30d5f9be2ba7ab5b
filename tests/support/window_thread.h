// A window served by a thread of its own, as the programs make them: the
// thread registers a class, makes the window, runs the message loop and
// records every message its procedure receives.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD thread;
};

struct WindowSpec {
  DWORD style = WS_OVERLAPPED | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX;
  DWORD exStyle = WS_EX_CLIENTEDGE;
  UINT classStyle = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  int x = 100, y = 100, width = 400, height = 300;
  const char* title = "Titel";
  bool show = true;
};

class WindowThread {
 public:
  explicit WindowThread(const WindowSpec& spec = {});
  ~WindowThread();  // closes the window (if it still exists) and waits for the thread

  HWND hwnd() const { return hwnd_; }
  DWORD threadId() const { return threadId_; }
  HANDLE thread() const { return thread_; }
  // Answers messages of this kind on the window thread instead of recording them only.
  void Answer(UINT message, std::function<LRESULT(WPARAM, LPARAM)> answer);

  std::vector<Received> Messages();
  void ClearMessages();
  // Waits until the window thread has received a message of this kind (at most two seconds).
  bool WaitFor(UINT message, WPARAM wParam = ~WPARAM{0});
  bool Finished(DWORD waitMilliseconds = 2000) const;

 private:
  static DWORD WINAPI Run(LPVOID self);
  static LRESULT CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM);
  LRESULT Handle(HWND, UINT, WPARAM, LPARAM);

  WindowSpec spec_;
  std::string className_;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
  HWND hwnd_ = nullptr;
  std::mutex lock_;
  std::condition_variable changed_;
  bool ready_ = false;
  std::vector<Received> messages_;
  std::vector<std::pair<UINT, std::function<LRESULT(WPARAM, LPARAM)>>> answers_;
};

}  // namespace testing_support
