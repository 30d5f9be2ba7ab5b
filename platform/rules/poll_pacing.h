// Waiting loops give the processor away. The programs wait for the mouse or
// for a window by polling in a loop without pause; a thread that keeps
// polling (the mouse buttons, the cursor, whether a window exists, an empty
// message queue) without drawing or presenting for a while naps before each
// further poll, until it draws again. The naps grow while nothing happens,
// and any input or a window that goes ends a nap at once: a waiting screen
// costs next to nothing, and a click is answered as soon as it comes. A
// frame loop draws every pass and never naps.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "system_answers.h"

namespace winlayer::pacing {

class PollPacer {
 public:
  using Clock = pacing::Clock;
  static constexpr Clock::duration kBusyGrace = std::chrono::milliseconds(2);
  static constexpr Clock::duration kFirstNap = std::chrono::microseconds(500);
  static constexpr Clock::duration kLongestNap = std::chrono::milliseconds(10);

  // The thread drew or presented: cheap, so every drawing call can say so.
  void Worked() { worked_ = true; }
  // A poll at `now`: how long to nap before answering it (zero while the thread is busy).
  Clock::duration Poll(Clock::time_point now);
  // How long the thread has gone without drawing, as of its last poll.
  Clock::duration IdleFor(Clock::time_point now) const { return worked_ ? Clock::duration::zero() : now - lastWork_; }

 private:
  bool worked_ = true;  // a thread's first poll starts its grace
  Clock::time_point lastWork_{};
  Clock::duration nextNap_ = kFirstNap;
};

// What ends a nap early: input, a message, a window that goes. The system's
// side (a display's thread; on Windows the wrapped message calls) notifies;
// a napping thread waits for a notice newer than the last it saw.
class InputSignal {
 public:
  void Notify();
  std::uint64_t Notices() const { return notices_.load(); }
  // Waits until `moment` or a notice after `seen`, whichever comes first.
  void WaitUntil(Clock::time_point moment, std::uint64_t seen);

 private:
  std::atomic<std::uint64_t> notices_{0};
  std::atomic<int> waiters_{0};
  std::mutex lock_;
  std::condition_variable changed_;
};

InputSignal& Input();

// The calling thread's pacer.
void NoteWork();    // after a drawing call changed pixels
void BeforePoll();  // before a poll is answered; naps when due
Clock::duration ThreadIdleFor(Clock::time_point now);
// A frame held back from the screen (the next was due before the screen's
// next refresh) is shown late when the next does not come in time: at the
// thread's first poll from `due` on, or before it naps or waits. `show` runs
// on this thread with no lock held.
void HoldFrameBack(Clock::time_point due, void (*show)());
void ShowHeldFrame();  // at once, if one is held (before the thread waits)

// Naps taken so far by all threads (for the tests' drivers: a program that naps waits for input).
std::uint64_t NapCount();

}  // namespace winlayer::pacing
