// The handle table: every GDI object by its 32-bit handle, an index and a
// generation, so that a stale handle is refused; slots are reused oldest
// freed first. It also counts the live objects of each kind.
#include <array>
#include <deque>
#include <vector>

#include "objects.h"

namespace winlayer::gdi {

namespace {

constexpr std::uint32_t kIndexBits = 20;
constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr std::uint32_t kMaxSlots = kIndexMask - 1;
constexpr std::uint32_t kGenerations = 4096;

struct Slot {
  std::shared_ptr<Object> object;
  std::uint32_t generation = 1;
};

struct Table {
  FastLock lock;
  std::vector<Slot> slots;
  std::deque<std::uint32_t> free;  // oldest freed first
  std::array<std::size_t, 16> live{};
};

Table& TheTable() {
  static Table* table = new Table;  // lives until the process ends, for every thread
  return *table;
}

std::uint32_t HandleOf(std::uint32_t index, std::uint32_t generation) {
  return (generation << kIndexBits) | (index + 1);
}

// The slot a handle names, or null if the handle is stale or malformed.
Slot* SlotOf(Table& t, HANDLE h) {
  const auto value = reinterpret_cast<std::uintptr_t>(h);
  if (value == 0 || value > 0xFFFFFFFFu) return nullptr;
  const std::uint32_t index = (static_cast<std::uint32_t>(value) & kIndexMask) - 1;
  const std::uint32_t generation = static_cast<std::uint32_t>(value) >> kIndexBits;
  if (index >= t.slots.size()) return nullptr;
  Slot& slot = t.slots[index];
  if (!slot.object || slot.generation != generation) return nullptr;
  return &slot;
}

std::size_t KindIndex(Kind k) { return static_cast<std::size_t>(k) & 15u; }

}  // namespace

std::uint32_t AddObject(std::shared_ptr<Object> object) {
  Table& t = TheTable();
  std::lock_guard guard(t.lock);
  std::uint32_t index;
  if (!t.free.empty()) {
    index = t.free.front();
    t.free.pop_front();
  } else {
    if (t.slots.size() >= kMaxSlots) return 0;
    index = static_cast<std::uint32_t>(t.slots.size());
    t.slots.emplace_back();
  }
  Slot& slot = t.slots[index];
  object->handle = HandleOf(index, slot.generation);
  if (!object->stock) ++t.live[KindIndex(object->kind)];
  object->inTable.store(true, std::memory_order_release);
  slot.object = std::move(object);
  return slot.object->handle;
}

HANDLE ToHandle(std::uint32_t value) { return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value)); }

std::shared_ptr<Object> FindObject(HANDLE h) {
  Table& t = TheTable();
  std::lock_guard guard(t.lock);
  Slot* slot = SlotOf(t, h);
  return slot ? slot->object : nullptr;
}

namespace {

// The context this thread found last, and how many calls of the thread hold
// it lent (a call within a call may look up another one meanwhile).
thread_local std::shared_ptr<DC> lastDC;
thread_local int lastDCLent = 0;

}  // namespace

DC* BorrowDC(HANDLE h, std::shared_ptr<DC>& owner) {
  // A handle names one object for ever (its generation changes when the slot
  // is reused), so the remembered context is the handle's as long as it is
  // still in the table; the thread's own reference keeps it alive while lent.
  const auto value = reinterpret_cast<std::uintptr_t>(h);
  if (lastDC && value <= 0xFFFFFFFFu && lastDC->handle == static_cast<std::uint32_t>(value) &&
      lastDC->inTable.load(std::memory_order_acquire)) {
    ++lastDCLent;
    return lastDC.get();
  }
  owner = Find<DC>(h);
  if (owner && lastDCLent == 0) lastDC = owner;
  return owner.get();
}

void ReturnDC() { --lastDCLent; }

namespace {

// The one way a slot is freed: its object leaves the table (to `removed`, if
// given), and the slot's next object gets the next generation.
void FreeSlot(Table& t, Slot& slot, std::shared_ptr<Object>* removed) {
  if (!slot.object->stock) --t.live[KindIndex(slot.object->kind)];
  slot.object->inTable.store(false, std::memory_order_release);
  if (removed) *removed = std::move(slot.object);
  slot.object.reset();
  slot.generation = slot.generation + 1 == kGenerations ? 1 : slot.generation + 1;
  t.free.push_back(static_cast<std::uint32_t>(&slot - t.slots.data()));
}

}  // namespace

RemoveResult RemoveObject(HANDLE h, std::shared_ptr<Object>* removed, bool contexts) {
  Table& t = TheTable();
  std::lock_guard guard(t.lock);
  Slot* slot = SlotOf(t, h);
  if (!slot) return RemoveResult::Invalid;
  if (!contexts && IsA<DC>(slot->object->kind)) return RemoveResult::Invalid;
  if (slot->object->stock) return RemoveResult::Stock;
  if (slot->object->selections > 0) return RemoveResult::Selected;
  FreeSlot(t, *slot, removed);
  return RemoveResult::Removed;
}

std::unique_lock<FastLock> LockTable() { return std::unique_lock(TheTable().lock); }

const std::shared_ptr<Object>* FindInLockedTable(HANDLE h) {
  Slot* slot = SlotOf(TheTable(), h);
  return slot ? &slot->object : nullptr;
}

std::size_t LiveObjects(Kind kind) {
  Table& t = TheTable();
  std::lock_guard guard(t.lock);
  return t.live[KindIndex(kind)];
}

void RetireObject(const Object& object) {
  Table& t = TheTable();
  std::lock_guard guard(t.lock);
  Slot* slot = SlotOf(t, ToHandle(object.handle));
  if (!slot || slot->object.get() != &object) return;
  FreeSlot(t, *slot, nullptr);
}

}  // namespace winlayer::gdi
