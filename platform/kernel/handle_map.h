// Handles of windows and kernel objects: numbers from a range of their own,
// so they never equal each other or a graphics object's handle, and not
// reused until the range has gone round once.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace winlayer {

template <typename T>
class HandleMap {
 public:
  HandleMap(std::uint32_t first, std::uint32_t end, std::uint32_t step)
      : first_(first), end_(end), step_(step), next_(first) {}

  // The new handle's value, or 0 when every value of the range is in use.
  std::uint32_t Add(std::shared_ptr<T> object) {
    std::lock_guard guard(lock_);
    for (std::uint32_t tries = (end_ - first_) / step_; tries > 0; --tries) {
      const std::uint32_t value = next_;
      next_ = next_ + step_ >= end_ ? first_ : next_ + step_;
      if (objects_.emplace(value, object).second) return value;
    }
    return 0;
  }
  std::shared_ptr<T> Find(std::uintptr_t value) const {
    std::lock_guard guard(lock_);
    auto it = objects_.find(value);
    return it == objects_.end() ? nullptr : it->second;
  }
  std::shared_ptr<T> Remove(std::uintptr_t value) {
    std::lock_guard guard(lock_);
    auto it = objects_.find(value);
    if (it == objects_.end()) return nullptr;
    auto object = std::move(it->second);
    objects_.erase(it);
    return object;
  }
  template <typename F>
  void ForEach(F&& f) const {
    std::lock_guard guard(lock_);
    for (const auto& [value, object] : objects_) f(value, object);
  }

 private:
  mutable std::mutex lock_;
  std::unordered_map<std::uintptr_t, std::shared_ptr<T>> objects_;
  const std::uint32_t first_, end_, step_;
  std::uint32_t next_;
};

}  // namespace winlayer
