// Run-time checks: array bounds, value ranges and integer overflow.
//
// Every array index is tested against its bounds, every conversion to a
// smaller or unsigned type against its range, and integer arithmetic against
// overflow. A violation prints one line to standard error and ends the
// process: status 201 for a range error, 215 for an arithmetic overflow.
// The checks are inline and cost a compare and a branch; the report is cold.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>

#include "source_location.h"

namespace runtime {

enum class ErrorKind : int {
  RangeCheck = 201,
  Overflow = 215,
};

// A value as it is reported; wide enough for every 64-bit integer.
struct ReportedValue {
  bool known = false;
  bool negative = false;
  unsigned long long magnitude = 0;

  template <std::integral T>
  static ReportedValue Of(T v) {
    ReportedValue r;
    r.known = true;
    if constexpr (std::is_signed_v<T>) {
      r.negative = v < 0;
      r.magnitude = r.negative ? 0ULL - static_cast<unsigned long long>(v)
                               : static_cast<unsigned long long>(v);
    } else {
      r.magnitude = v;
    }
    return r;
  }
};

// Prints "Runtime error <code>: <kind>: <what> <value> at <file>:<line> (<function>)"
// and ends the process with the error's code.
[[noreturn]] void Fail(ErrorKind kind, const char* what, ReportedValue value,
                       const SourceLocation& where);

// The status a violation of this kind ends the process with.
constexpr int ExitCode(ErrorKind kind) { return static_cast<int>(kind); }

// ---- ranges ---------------------------------------------------------------

// Is v within lo..hi, compared as mathematical integers whatever the types.
template <std::integral V, std::integral B>
constexpr bool InRange(V v, B lo, B hi) {
  return std::cmp_greater_equal(v, lo) && std::cmp_less_equal(v, hi);
}

template <std::integral T>
constexpr T CheckRange(T v, T lo, T hi,
                       const SourceLocation& where = SourceLocation::current()) {
  if (!InRange(v, lo, hi)) [[unlikely]]
    Fail(ErrorKind::RangeCheck, "value out of range:", ReportedValue::Of(v), where);
  return v;
}

// Conversion to another integer type that must hold the value exactly.
template <std::integral To, std::integral From>
constexpr To Narrow(From v, const SourceLocation& where = SourceLocation::current()) {
  if (!std::in_range<To>(v)) [[unlikely]]
    Fail(ErrorKind::RangeCheck, "value does not fit its type:", ReportedValue::Of(v), where);
  return static_cast<To>(v);
}

// ---- overflow-checked arithmetic -----------------------------------------

template <std::integral T>
constexpr T Add(T a, T b, const SourceLocation& where = SourceLocation::current()) {
  T r;
  if (__builtin_add_overflow(a, b, &r)) [[unlikely]]
    Fail(ErrorKind::Overflow, "arithmetic overflow in addition", ReportedValue{}, where);
  return r;
}

template <std::integral T>
constexpr T Sub(T a, T b, const SourceLocation& where = SourceLocation::current()) {
  T r;
  if (__builtin_sub_overflow(a, b, &r)) [[unlikely]]
    Fail(ErrorKind::Overflow, "arithmetic overflow in subtraction", ReportedValue{}, where);
  return r;
}

template <std::integral T>
constexpr T Mul(T a, T b, const SourceLocation& where = SourceLocation::current()) {
  T r;
  if (__builtin_mul_overflow(a, b, &r)) [[unlikely]]
    Fail(ErrorKind::Overflow, "arithmetic overflow in multiplication", ReportedValue{}, where);
  return r;
}

// ---- checked indexing ----------------------------------------------------

// An index together with the place that used it. It converts implicitly from
// any integer, so `a[i]` records the location of the expression itself.
struct Index {
  ReportedValue value;
  long long v;  // the index when it fits; otherwise a value outside every array
  SourceLocation where;

  template <std::integral I>
  constexpr Index(I i, const SourceLocation& loc = SourceLocation::current())  // NOLINT
      : value(ReportedValue::Of(i)),
        v(std::in_range<long long>(i) ? static_cast<long long>(i)
                                      : std::numeric_limits<long long>::min()),
        where(loc) {}

  // Enumerations index arrays by their underlying value.
  template <typename E>
    requires std::is_enum_v<E>
  constexpr Index(E e, const SourceLocation& loc = SourceLocation::current())  // NOLINT
      : Index(static_cast<std::underlying_type_t<E>>(e), loc) {}
};

[[noreturn]] inline void FailIndex(const Index& i) {
  Fail(ErrorKind::RangeCheck, "index out of bounds:", i.value, i.where);
}

// A fixed array indexed Lo..Hi, like an array with declared bounds.
template <typename T, long long Lo, long long Hi>
struct Array {
  static_assert(Lo <= Hi, "an array holds at least one element");
  static constexpr long long Low = Lo;
  static constexpr long long High = Hi;
  static constexpr std::size_t Count = static_cast<std::size_t>(Hi - Lo + 1);

  T items[Count];

  constexpr T& operator[](Index i) {
    if (i.v < Lo || i.v > Hi) [[unlikely]]
      FailIndex(i);
    return items[i.v - Lo];
  }
  constexpr const T& operator[](Index i) const {
    if (i.v < Lo || i.v > Hi) [[unlikely]]
      FailIndex(i);
    return items[i.v - Lo];
  }

  static constexpr std::size_t size() { return Count; }
  constexpr T* data() { return items; }
  constexpr const T* data() const { return items; }
  constexpr T* begin() { return items; }
  constexpr T* end() { return items + Count; }
  constexpr const T* begin() const { return items; }
  constexpr const T* end() const { return items + Count; }

  friend constexpr bool operator==(const Array& a, const Array& b) {
    for (std::size_t k = 0; k < Count; ++k)
      if (!(a.items[k] == b.items[k])) return false;
    return true;
  }
};

// A checked view over an array the caller sized ("an array of any length"),
// indexed 0..size()-1.
template <typename T>
class View {
 public:
  constexpr View() = default;
  constexpr View(T* data, std::size_t size) : data_(data), size_(size) {}
  template <std::size_t N>
  constexpr View(T (&a)[N]) : data_(a), size_(N) {}  // NOLINT: arrays convert like in a call
  template <typename U, long long Lo, long long Hi>
    requires std::is_same_v<std::remove_const_t<T>, U>
  constexpr View(Array<U, Lo, Hi>& a) : data_(a.items), size_(a.size()) {}  // NOLINT
  template <typename U, long long Lo, long long Hi>
    requires(std::is_same_v<const U, T>)
  constexpr View(const Array<U, Lo, Hi>& a) : data_(a.items), size_(a.size()) {}  // NOLINT
  template <typename U>
    requires(std::is_same_v<const U, T>)
  constexpr View(View<U> v) : data_(v.data()), size_(v.size()) {}  // NOLINT

  constexpr T& operator[](Index i) const {
    if (i.v < 0 || static_cast<unsigned long long>(i.v) >= size_) [[unlikely]]
      FailIndex(i);
    return data_[i.v];
  }

  constexpr std::size_t size() const { return size_; }
  constexpr bool empty() const { return size_ == 0; }
  constexpr T* data() const { return data_; }
  constexpr T* begin() const { return data_; }
  constexpr T* end() const { return data_ + size_; }

 private:
  T* data_ = nullptr;
  std::size_t size_ = 0;
};

template <typename T, std::size_t N>
View(T (&)[N]) -> View<T>;

}  // namespace runtime
