// The key queue: the window thread adds every key press, the main thread
// takes the oldest or empties it. The queue is changed only under its lock;
// `block` still holds back additions and mouse moves while a flush runs.
#include "state.h"

namespace Wimdows {

void AddKey(std::uint32_t k) {
  auto* element = new QueueElmt{k, nullptr};
  while (block) {
  }
  std::lock_guard guard(keyLock);
  if (keybuf.head)
    keybuf.head->prev = element;
  else
    keybuf.tail = element;
  keybuf.head = element;
}

// Drops the oldest key; the caller holds the queue's lock.
void DelKey() {
  if (!keybuf.tail) return;
  QueueElmt* oldest = keybuf.tail;
  keybuf.tail = oldest->prev;
  if (!keybuf.tail) keybuf.head = nullptr;
  delete oldest;
}

void FlushKeys() {
  block = true;
  {
    std::lock_guard guard(keyLock);
    while (keybuf.tail) DelKey();
  }
  block = false;
}

std::uint32_t ReadKey() {
  std::lock_guard guard(keyLock);
  if (!keybuf.tail) return 0;
  const std::uint32_t k = keybuf.tail->key;
  DelKey();
  return k;
}

bool KeyDown(std::uint32_t k) { return key[k & 255]; }

}  // namespace Wimdows
