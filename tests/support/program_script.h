// Drives a program of the system on the headless display: the program runs
// on the calling thread, and a script runs beside it on a thread of its own,
// waiting for frames (presents of the program's main thread) or for quiet
// (the program naps between polls without presenting: it waits for the
// mouse) and then moving the mouse, pressing buttons or
// looking at what the window shows. A program still running a few seconds
// after its script ended has its buttons released and its window closed, so
// a test never hangs. The programs read the mouse's place and its buttons at
// different moments of a frame: a script waits a frame after moving before
// it presses. When a script fails, the program's last frame is saved as a
// PNG (see program_script.cpp for the folders).
#pragma once

#include <winlayer/headless.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

namespace testing_support {

class ProgramScript {
 public:
  explicit ProgramScript(std::string windowTitle);
  ~ProgramScript();

  // Runs `program` here and `script` beside it; returns when both are done.
  // A script that gives up (the program ended) stops at its next wait.
  void Run(const std::function<void()>& program, const std::function<void(ProgramScript&)>& script);

  // ---- for the script -------------------------------------------------------------
  bool WaitFrames(int count);          // false if the program ended first
  bool WaitQuiet();
  int Frames() const { return frames_.load(); }
  bool ProgramEnded() const { return ended_.load(); }
  HWND Window() const;
  winlayer::headless::Frame Shown() const;  // what the window shows now
  COLORREF ShownAt(int x, int y) const;     // one pixel of it
  void MoveTo(int x, int y);                // client pixels, once a click just released has been read
  void Press(int button);
  void Release(int button);
  void Close();

 private:
  void SaveLastFrame() const;
  std::string title_;
  int callback_;
  std::atomic<DWORD> programThread_{0};
  std::atomic<int> frames_{0};
  std::atomic<bool> ended_{false};
  mutable std::mutex lock_;
  std::condition_variable changed_;
};

}  // namespace testing_support
