#include "runtime/checks.h"

#include <cstdio>
#include <cstdlib>

namespace runtime {

namespace {

const char* KindName(ErrorKind kind) {
  return kind == ErrorKind::Overflow ? "arithmetic overflow" : "range check error";
}

}  // namespace

void Fail(ErrorKind kind, const char* what, ReportedValue value, const SourceLocation& where) {
  char number[32] = "";
  if (value.known)
    std::snprintf(number, sizeof number, " %s%llu", value.negative ? "-" : "", value.magnitude);
  std::fprintf(stderr, "Runtime error %d (%s): %s%s at %s:%u (%s)\n", static_cast<int>(kind),
               KindName(kind), what, number, where.file_name(), static_cast<unsigned>(where.line()),
               where.function_name());
  std::fflush(stderr);
  // The other thread may still be running: end at once, without static destructors.
  std::_Exit(static_cast<int>(kind));
}

}  // namespace runtime
