// Formatted printing into a caller's buffer: %c %d %i %u %x %X %s with the
// flags '-', '0' and '#', a width, a precision and the size prefixes 'l',
// 'h' and 'I64'. As on Windows, 'l' means 32 bits and at most 1024
// characters, the terminating zero included, are written.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kLimit = 1024;

class Output {
 public:
  explicit Output(char* buffer) : buffer_(buffer) {}
  void Put(char c) {
    if (length_ < kLimit - 1) buffer_[length_++] = c;
  }
  void Repeat(char c, int n) {
    for (int i = 0; i < n && length_ < kLimit - 1; ++i) Put(c);
  }
  int Finish() {
    buffer_[length_] = '\0';
    return length_;
  }

 private:
  char* buffer_;
  int length_ = 0;
};

struct Spec {
  bool left = false, zero = false, alternate = false;
  int width = 0;
  int precision = -1;
  enum { Normal, Short, Long64 } size = Normal;
};

// A field wider than the whole output (plus the longest number) shows the
// same as any wider one, so larger numbers are held there.
constexpr int kWidestField = 2 * kLimit;
int AppendDigit(int value, char digit) { return std::min(value * 10 + (digit - '0'), kWidestField); }

// Writes a text padded to the field width.
void Field(Output& out, const Spec& spec, const char* prefix, const char* body, int bodyLength, int zeros) {
  const int prefixLength = static_cast<int>(std::strlen(prefix));
  const int padding = spec.width - prefixLength - zeros - bodyLength;
  const bool zeroPad = spec.zero && spec.precision < 0;
  if (!spec.left && !zeroPad) out.Repeat(' ', padding);
  for (const char* p = prefix; *p; ++p) out.Put(*p);
  if (!spec.left && zeroPad) out.Repeat('0', padding);
  out.Repeat('0', zeros);
  for (int i = 0; i < bodyLength; ++i) out.Put(body[i]);
  if (spec.left) out.Repeat(' ', padding);
}

void Number(Output& out, const Spec& spec, unsigned long long magnitude, bool negative, unsigned base, bool upper) {
  char digits[24];
  int n = 0;
  const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  // A precision of 0 shows the value 0 as no digits at all, as in C.
  while (magnitude != 0 || (n == 0 && spec.precision != 0)) {
    digits[sizeof digits - 1 - n++] = set[magnitude % base];
    magnitude /= base;
  }
  const char* prefix = negative ? "-" : "";
  if (base == 16 && spec.alternate) prefix = upper ? "0X" : "0x";
  const int zeros = spec.precision > n ? spec.precision - n : 0;
  Field(out, spec, prefix, digits + sizeof digits - n, n, zeros);
}

}  // namespace

extern "C" {

int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list args) {
  if (!buffer) return 0;
  Output out(buffer);
  if (!format) return out.Finish();
  for (const char* f = format; *f; ++f) {
    if (*f != '%') {
      out.Put(*f);
      continue;
    }
    ++f;
    Spec spec;
    for (;; ++f) {
      if (*f == '-') spec.left = true;
      else if (*f == '0') spec.zero = true;
      else if (*f == '#') spec.alternate = true;
      else break;
    }
    while (*f >= '0' && *f <= '9') spec.width = AppendDigit(spec.width, *f++);
    if (*f == '.') {
      spec.precision = 0;
      while (*++f >= '0' && *f <= '9') spec.precision = AppendDigit(spec.precision, *f);
    }
    if (*f == 'l') ++f;
    else if (*f == 'h') { spec.size = Spec::Short; ++f; }
    else if (f[0] == 'I' && f[1] == '6' && f[2] == '4') { spec.size = Spec::Long64; f += 3; }

    switch (*f) {
      case 'd':
      case 'i': {
        const long long v = spec.size == Spec::Long64 ? va_arg(args, long long)
                            : spec.size == Spec::Short ? static_cast<short>(va_arg(args, int))
                                                       : va_arg(args, int);
        Number(out, spec, v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v), v < 0, 10, false);
        break;
      }
      case 'u':
      case 'x':
      case 'X': {
        const unsigned long long v = spec.size == Spec::Long64 ? va_arg(args, unsigned long long)
                                     : spec.size == Spec::Short ? static_cast<unsigned short>(va_arg(args, unsigned))
                                                                : va_arg(args, unsigned);
        Number(out, spec, v, false, *f == 'u' ? 10 : 16, *f == 'X');
        break;
      }
      case 'c':
      case 'C': {
        const char c = static_cast<char>(va_arg(args, int));
        Field(out, spec, "", &c, 1, 0);
        break;
      }
      case 's':
      case 'S': {
        const char* s = va_arg(args, const char*);
        if (!s) s = "(null)";
        int n = 0;
        while (s[n] && (spec.precision < 0 || n < spec.precision)) ++n;
        Field(out, spec, "", s, n, 0);
        break;
      }
      case '\0': return out.Finish();
      default: out.Put(*f);  // "%%" and anything unknown print the character
    }
  }
  return out.Finish();
}

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...) {
  va_list args;
  va_start(args, format);
  const int n = wvsprintfA(buffer, format, args);
  va_end(args);
  return n;
}

}  // extern "C"
