// Waiting loops give the processor away. The programs wait for the mouse or
// for a window by polling in a loop without pause; a thread that keeps
// polling (the mouse buttons, the cursor, whether a window exists, an empty
// message queue) without drawing or presenting for a while naps briefly
// before each further poll, until it draws again. A frame loop draws every
// pass and never naps; a click is still seen within a couple of milliseconds.
#pragma once

#include "platform_seams.h"

namespace winlayer::pacing {

class PollPacer {
 public:
  using Clock = pacing::Clock;
  static constexpr Clock::duration kBusyGrace = std::chrono::milliseconds(2);
  static constexpr Clock::duration kNap = std::chrono::microseconds(500);

  // The thread drew or presented: cheap, so every drawing call can say so.
  void Worked() { worked_ = true; }
  // A poll at `now`: how long to nap before answering it (zero while the thread is busy).
  Clock::duration Poll(Clock::time_point now);

 private:
  bool worked_ = true;  // a thread's first poll starts its grace
  Clock::time_point lastWork_{};
};

// The calling thread's pacer.
void NoteWork();   // after a drawing call changed pixels
void BeforePoll(); // before a poll is answered; naps when due

}  // namespace winlayer::pacing
