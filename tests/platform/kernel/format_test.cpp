// Kernel helpers and formatted printing.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include <windows.h>

extern "C" int CHeaderSizes(void);

namespace {

std::string Format(const char* format, auto... args) {
  char buffer[1100];
  std::memset(buffer, '#', sizeof buffer);
  const int n = wsprintfA(buffer, format, args...);
  EXPECT_EQ(n, static_cast<int>(std::strlen(buffer)));
  return buffer;
}

TEST(FormatTest, GameTextsAndCommonConversions) {
  EXPECT_EQ(Format("Speler %i", 1), "Speler 1");
  EXPECT_EQ(Format("Wachten op speler %i", 2), "Wachten op speler 2");
  EXPECT_EQ(Format("Speler %i wint!", 2), "Speler 2 wint!");
  EXPECT_EQ(Format("%d|%u|%x|%X|%c|%s|%%", -42, 4000000000u, 0xbeefu, 0xbeefu, 'Q', "tekst"),
            "-42|4000000000|beef|BEEF|Q|tekst|%");
  EXPECT_EQ(Format("[%5d][%-5d][%05d][%05d]", 42, 42, 42, -42), "[   42][42   ][00042][-0042]");
  EXPECT_EQ(Format("[%.3d][%#x][%.2s][%6s][%-6s]", 7, 255u, "abc", "ab", "ab"), "[007][0xff][ab][    ab][ab    ]");
  EXPECT_EQ(Format("%ld %lu %lx", -1, 7u, 255u), "-1 7 ff");
  EXPECT_EQ(Format("%I64d", -1234567890123LL), "-1234567890123");
  EXPECT_EQ(Format("%s", static_cast<const char*>(nullptr)), "(null)");
  EXPECT_EQ(Format("%i", INT_MIN), "-2147483648");
}

TEST(FormatTest, NeverWritesMoreThan1024Characters) {
  std::string big(2000, 'x');
  char buffer[1100];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(wsprintfA(buffer, "%s", big.c_str()), 1023);
  EXPECT_EQ(buffer[1023], '\0');
  EXPECT_EQ(buffer[1024], '#');
  // A field wider than the output stops at the limit at once, and so do their digits' values.
  EXPECT_EQ(wsprintfA(buffer, "%2147483647d", 1), 1023);
  EXPECT_EQ(wsprintfA(buffer, "%-99999999999999999999d|", 1), 1023);
  EXPECT_EQ(buffer[0], '1');
  EXPECT_EQ(wsprintfA(buffer, "%.2147483648d", 7), 1023);
  EXPECT_EQ(buffer[1022], '0');
  EXPECT_EQ(wsprintfA(buffer, "%.0d|%.0x|%.1u", 0, 0, 0), 3);  // a precision of 0 shows 0 as nothing
  EXPECT_STREQ(buffer, "||0");
}

TEST(KernelTest, HelpersBehaveAsOnWindows) {
  EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(GetModuleHandleA(nullptr), GetModuleHandleA(nullptr));
  EXPECT_EQ(lstrlenA("BrannowayClass"), 14);
  EXPECT_EQ(lstrlenA(nullptr), 0);
  SetLastError(1234);
  EXPECT_EQ(GetLastError(), 1234u);
  const DWORD before = GetTickCount();
  Sleep(20);
  const DWORD elapsed = GetTickCount() - before;
  EXPECT_GE(elapsed, 19u);
  EXPECT_LT(elapsed, 5000u);
}

TEST(HeaderTest, WindowsTypesHaveWindowsSizesInCAndCpp) {
  EXPECT_EQ(CHeaderSizes(), 1);
  static_assert(sizeof(DWORD) == 4 && sizeof(LONG) == 4 && sizeof(BOOL) == 4 && sizeof(WORD) == 2);
  static_assert(sizeof(COLORREF) == 4 && sizeof(LOGFONTA) == 60 && sizeof(BITMAPINFOHEADER) == 40);
  static_assert(sizeof(BITMAPFILEHEADER) == 14 && sizeof(RGBQUAD) == 4 && sizeof(POINT) == 8);
  static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*));
}

}  // namespace
