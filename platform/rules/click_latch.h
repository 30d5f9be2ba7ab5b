// A click lasts as long as a person's. The programs read a mouse button or a
// key as a level (held now), and a frame of theirs may read it more than once
// (the field first, then the sidebar). A person's click holds the button for
// 60 ms or more, so every read of that frame and of the next ones sees it; a
// tap, a synthetic click, a remote desktop sends press and release together.
// So a press that is released before the program has seen it held long enough
// reads as held, by every poll, until both
//   - kShortestClick has passed since the first poll that saw it, and
//   - a whole frame has been presented after that poll (two presents), or
//     the polling thread is in a loop that draws nothing (it has not drawn
//     for kShortestClick: no frame is coming, and the wait must end);
// then polls read the real state. A press held longer reads as it is. A
// second press that comes while the first is still read as held waits until
// a poll has seen the first released: two quick clicks are two clicks.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>

#include "system_answers.h"

namespace winlayer::pacing {

constexpr std::uint16_t kKeyDown = 0x8000;               // held now
constexpr std::uint16_t kPressedSinceLastAsked = 0x0001;  // pressed since the previous call

// What a poll knows of the program besides the key.
struct PollMoment {
  Clock::time_point now;
  std::uint64_t presents = 0;       // presents so far, all windows together
  Clock::duration pollerIdle{};     // how long the polling thread has not drawn
};

// One key's latch. Not locked: KeyLatches guards them.
class KeyLatch {
 public:
  static constexpr Clock::duration kShortestClick = std::chrono::milliseconds(50);
  static constexpr std::uint64_t kPresentsOfAWholeFrame = 2;
  static constexpr int kMostWaitingPresses = 8;  // a burst of synthetic clicks beyond this is one click more, not a queue

  // The system reports a new press of the key (not a repeat), and its release.
  void Pressed();
  void Released();
  // A poll: `down` is the system's state now; the answer is whether the program reads the key held.
  bool Poll(bool down, const PollMoment& at);
  // Nothing to read: a poll of the key up is answered up without asking the time.
  bool Idle() const { return waiting_ == 0 && !reading_; }
  // No press waits to be read and none released is still read as held.
  bool Settled() const { return waiting_ == 0 && !(reading_ && released_); }

 private:
  bool LongEnough(const PollMoment& at) const;

  int waiting_ = 0;           // presses that no poll has read yet
  bool reading_ = false;      // a press is being read as held
  bool released_ = false;     // ... and has been released since
  Clock::time_point firstSeen_{};
  std::uint64_t presentsAtFirstSight_ = 0;
};

// Every key's latch, for any thread: the system's thread reports, the programs' threads poll.
class KeyLatches {
 public:
  void Pressed(int virtualKey);
  void Released(int virtualKey);
  // A poll; `moment` is asked only when the key has something to read.
  bool Poll(int virtualKey, bool down, PollMoment (*moment)());
  // Every key settled (for the tests' drivers: the program has read all it was given).
  bool Settled();

 private:
  std::mutex lock_;
  std::array<KeyLatch, 256> keys_{};
};

// The process's latches, and a poll of one at this moment of the calling thread.
KeyLatches& Latches();
bool PollLatch(int virtualKey, bool down);

// Where the system tells of a press in two ways that can each miss one (the
// Windows build: the button-down messages of the program's windows, which
// miss presses elsewhere; GetAsyncKeyState's "pressed since" bit and its
// level, which another process's poll or a quick click can hide), each press
// is counted once: a press one witness told of, the other's next report of a
// press within kSamePress is the same press. Wine can tell of the poll's bit
// more than a second after the message (seen: 1.6 s, while the game loaded a
// screen), and a press counted twice is a phantom click, while one counted
// once too few only waits for its second witness: the window is long.
class PressWitnesses {
 public:
  static constexpr Clock::duration kSamePress = std::chrono::seconds(5);
  enum class Witness { Message, Poll };
  // True when this report is a new press.
  bool Report(Witness who, Clock::time_point at);

 private:
  struct Unmatched {
    Witness who = Witness::Message;
    int count = 0;
    Clock::time_point last{};
  };
  Unmatched unmatched_;
};

}  // namespace winlayer::pacing
