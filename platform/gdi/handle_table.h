// The handle table: every graphics object a program can name, by handle.
//
// A handle is a 32-bit number: the slot's index plus one in the low 20 bits
// and the slot's generation (1..4095) above them. A deleted object's slot is
// reused only after every other free slot, and with the next generation, so
// a stale handle is rejected instead of reaching the object that reused the
// slot. Handle values are never below 0x100000, so they never collide with
// the small "system colour + 1" values that some calls accept as brushes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <type_traits>

#include "fast_lock.h"
#include "objects.h"

namespace winlayer::gdi {

// Enters an object and returns its handle; 0 when the table is full.
std::uint32_t AddObject(std::shared_ptr<Object> object);
HANDLE ToHandle(std::uint32_t value);

std::shared_ptr<Object> FindObject(HANDLE h);

// Whether an object of this kind is a T; the kind says it without a
// dynamic_cast, which every drawing call would pay for.
template <typename T>
constexpr bool IsA(Kind k) {
  if constexpr (std::is_same_v<T, Pen>) return k == Kind::Pen;
  else if constexpr (std::is_same_v<T, Brush>) return k == Kind::Brush;
  else if constexpr (std::is_same_v<T, Font>) return k == Kind::Font;
  else if constexpr (std::is_same_v<T, Bitmap>) return k == Kind::Bitmap;
  else if constexpr (std::is_same_v<T, DC>) return k == Kind::DC || k == Kind::MemDC;
  else return std::is_same_v<T, Object>;
}

// The drawing context of a handle, as Find<DC> finds it. The calling thread
// remembers the last one it found: a frame's drawing calls nearly all name
// the same back buffer, and this spares each of them the table's lock and
// the counting of references. The remembered one is lent (`owner` left
// empty) until ReturnDC; otherwise `owner` holds the context.
DC* BorrowDC(HANDLE h, std::shared_ptr<DC>& owner);
void ReturnDC();

template <typename T>
std::shared_ptr<T> Find(HANDLE h) {
  std::shared_ptr<Object> o = FindObject(h);
  if (!o || !IsA<T>(o->kind)) return nullptr;
  return std::static_pointer_cast<T>(std::move(o));
}

enum class RemoveResult { Removed, Stock, Selected, Invalid };
// Takes a non-stock object out of the table unless it is selected somewhere;
// a context only when `contexts` says so (DeleteObject refuses them).
RemoveResult RemoveObject(HANDLE h, std::shared_ptr<Object>* removed = nullptr, bool contexts = true);

// Selection counts change under the table lock; while it is held,
// FindInLockedTable finds an object without taking the lock again.
std::unique_lock<FastLock> LockTable();
const std::shared_ptr<Object>* FindInLockedTable(HANDLE h);

std::size_t LiveObjects(Kind kind);

}  // namespace winlayer::gdi
