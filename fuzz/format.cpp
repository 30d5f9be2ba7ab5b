// wsprintfA with well-formed format strings and arbitrary arguments, against
// the C library's snprintf for the conversions both define alike. The output
// stops at 1024 characters, the terminating zero included, however wide the
// fields.
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_input.h"

#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"

namespace {

constexpr int kLimit = 1024;

// One conversion: our spelling of it, and C's.
struct Conversion {
  std::string ours, c;
  enum { Int, Int64, Char, String } kind;
};

std::string Digits(fuzzing::Input& in) {
  const std::uint8_t how = in.Take<std::uint8_t>();
  if (how < 150) return std::to_string(in.Between(0, 40));
  if (how < 250) return std::to_string(in.Between(0, 1500));
  return "2147483647";  // a field wider than any output
}

// C's spelling of a field: as wide as ours where the output can show it,
// narrower where ours would run far past the end (C would write it all):
// the layer holds any wider field at 2048, which fills the output.
std::string ForC(const std::string& digits) { return digits.size() > 4 ? "2048" : digits; }

Conversion Make(fuzzing::Input& in) {
  const char types[] = {'d', 'i', 'u', 'x', 'X', 'c', 's'};
  const char type = types[in.Take<std::uint8_t>() % sizeof types];
  const bool text = type == 'c' || type == 's';
  const std::uint8_t f = in.Take<std::uint8_t>();
  // C leaves '0' undefined for text and a precision undefined for a character.
  const std::string flags = std::string(f & 1 ? "-" : "") + (f & 2 && !text ? "0" : "");
  const std::string width = (f & 4) ? Digits(in) : "";
  const std::string precision = (f & 8) && type != 'c' ? Digits(in) : "";
  const std::string mark = precision.empty() && !(f & 8 && type != 'c') ? "" : ".";
  const std::string spec = "%" + flags + width + mark + precision;
  const std::string cSpec = "%" + flags + ForC(width) + mark + ForC(precision);
  const std::uint8_t size = in.Take<std::uint8_t>() % 3;
  if (type == 'c') return {spec + "c", cSpec + "c", Conversion::Char};
  if (type == 's') return {spec + "s", cSpec + "s", Conversion::String};
  if (size == 2) return {spec + "I64" + type, cSpec + "ll" + type, Conversion::Int64};
  if (size == 1) return {spec + "h" + type, cSpec + "h" + type, Conversion::Int};
  return {spec + "l" + type, cSpec + type, Conversion::Int};
}

// Calls both with the arguments the conversions name, each of its own type,
// as a C caller passes them.
struct Call {
  const std::string& ours;
  const std::string& c;
  int kinds[4];
  const std::vector<long long>& numbers;
  const std::vector<std::string>& strings;
  char buffer[kLimit + 64];
  int written, wanted;
  std::vector<char> expected = std::vector<char>(1 << 16);

  template <std::size_t Depth, typename... Done>
  void Pass(Done... done) {
    if constexpr (Depth == 4) {
      Both(done...);
    } else {
      const long long n = numbers[Depth];
      switch (kinds[Depth]) {
        case Conversion::Int: Pass<Depth + 1>(done..., static_cast<int>(n)); break;
        case Conversion::Int64: Pass<Depth + 1>(done..., n); break;
        case Conversion::Char: Pass<Depth + 1>(done..., static_cast<int>(n & 0xFF ? n & 0xFF : 'a')); break;
        case Conversion::String: Pass<Depth + 1>(done..., strings[Depth].c_str()); break;
        default: Both(done...);
      }
    }
  }
  template <typename... Args>
  void Both(Args... args) {
    std::memset(buffer, 0x55, sizeof buffer);
    written = wsprintfA(buffer, ours.c_str(), args...);
    wanted = std::snprintf(expected.data(), expected.size(), c.c_str(), args...);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::Input in(data, size);
  // Literal text, up to four conversions, and literal text between them.
  std::string ours, c;
  auto literal = [&] {
    for (int n = in.Between(0, 6); n > 0; --n) {
      char ch = static_cast<char>(in.Between(32, 126));
      if (ch == '%') ch = '+';
      ours += ch;
      c += ch;
    }
  };
  const int count = in.Between(0, 4);
  std::vector<Conversion> conversions;
  literal();
  for (int i = 0; i < count; ++i) {
    conversions.push_back(Make(in));
    ours += conversions.back().ours;
    c += conversions.back().c;
    literal();
  }
  std::vector<long long> numbers;
  std::vector<std::string> strings;
  for (const Conversion& k : conversions) {
    numbers.push_back(k.kind == Conversion::Int64 ? in.Take<std::int64_t>() : in.Take<std::int32_t>());
    std::string s;
    for (int n = in.Between(0, 30); n > 0; --n) s += static_cast<char>(in.Between(1, 255));
    strings.push_back(s);
  }
  numbers.resize(4);
  strings.resize(4);

  Call call{ours, c, {}, numbers, strings, {}, 0, 0};
  for (std::size_t i = 0; i < conversions.size(); ++i) call.kinds[i] = static_cast<int>(conversions[i].kind);
  for (std::size_t i = conversions.size(); i < 4; ++i) call.kinds[i] = -1;
  call.Pass<0>();
  const char* buffer = call.buffer;
  const int written = call.written, wanted = call.wanted;
  const std::vector<char>& expected = call.expected;

  FUZZ_CHECK(written >= 0 && written < kLimit, "wrote %d characters", written);
  FUZZ_CHECK(std::strlen(buffer) == static_cast<std::size_t>(written), "length %zu, returned %d", std::strlen(buffer), written);
  FUZZ_CHECK(static_cast<unsigned char>(buffer[kLimit]) == 0x55, "wrote past the 1024 characters");
  if (wanted >= 0 && static_cast<std::size_t>(wanted) < expected.size()) {
    const int shown = wanted < kLimit - 1 ? wanted : kLimit - 1;
    FUZZ_CHECK(written == shown && std::memcmp(buffer, expected.data(), static_cast<std::size_t>(shown)) == 0,
               "\"%s\" gave \"%.80s\", C gives \"%.80s\"", ours.c_str(), buffer, expected.data());
  }
  return 0;
}
