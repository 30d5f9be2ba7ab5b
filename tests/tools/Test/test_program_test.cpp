// The drawing-speed comparison program, run whole on the headless display.
#include <gtest/gtest.h>
#include <winlayer/headless.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Test.h"

namespace {

namespace headless = winlayer::headless;

struct Outcome {
  std::string output;
  std::vector<HWND> windows;      // in the order they first presented
  std::map<HWND, int> presents;   // the program's own presents, per window
  std::map<HWND, headless::Frame> last;
};

// Runs the program; `closeAt` closes the n-th window (1 or 2) after that many of its presents.
Outcome RunTest(int closeWindow = 0, int closeAt = 0) {
  Outcome o;
  const DWORD program = GetCurrentThreadId();
  const int id = headless::AddPresentCallback([&](HWND w) {
    if (GetCurrentThreadId() != program) return;
    if (!o.presents.count(w)) o.windows.push_back(w);
    const int n = ++o.presents[w];
    if (n % 2500 == 0) o.last[w] = headless::ClientPixels(w);
    if (closeWindow && o.windows.size() == static_cast<std::size_t>(closeWindow) && w == o.windows.back() && n == closeAt)
      headless::ClickCloseBox(w);
  });
  testing::internal::CaptureStdout();
  ::Test::Run();
  o.output = testing::internal::GetCapturedStdout();
  headless::RemovePresentCallback(id);
  return o;
}

// Three lines: an empty one, then two whole numbers.
bool ThreeLines(const std::string& out) {
  std::istringstream in(out);
  std::string empty, first, second, more;
  if (!std::getline(in, empty) || !empty.empty() || !std::getline(in, first) || !std::getline(in, second)) return false;
  if (std::getline(in, more)) return false;
  for (const std::string& n : {first, second})
    if (n.empty() || n.find_first_not_of("0123456789") != std::string::npos) return false;
  return out.back() == '\n';
}

int Count(const headless::Frame& f, COLORREF c) {
  int n = 0;
  for (COLORREF p : f.pixels) n += p == c;
  return n;
}

TEST(TestProgramTest, DrawsTenThousandSilverThenTenThousandWhiteTrianglesAndPrintsBothTimes) {
  const Outcome o = RunTest();
  EXPECT_TRUE(ThreeLines(o.output)) << o.output;
  ASSERT_EQ(o.windows.size(), 2u);
  EXPECT_EQ(o.presents.at(o.windows[0]), 10000);
  EXPECT_EQ(o.presents.at(o.windows[1]), 10000);
  const headless::Frame& first = o.last.at(o.windows[0]);
  const headless::Frame& second = o.last.at(o.windows[1]);
  EXPECT_EQ(first.width, 800);  // the toolkit's client area is exactly 800 x 600
  EXPECT_EQ(first.height, 600);
  EXPECT_LT(second.width, 800);  // the library's window is 800 x 600 with its frame
  EXPECT_GT(Count(first, RGB(192, 192, 192)), 100000);
  EXPECT_EQ(Count(first, RGB(255, 255, 255)), 0);
  EXPECT_GT(Count(second, RGB(255, 255, 255)), 100000);
  EXPECT_EQ(Count(second, RGB(192, 192, 192)), 0);
}

TEST(TestProgramTest, ClosingTheFirstWindowStillLeadsToTheSecondRun) {
  const Outcome o = RunTest(1, 100);
  EXPECT_TRUE(ThreeLines(o.output)) << o.output;
  ASSERT_EQ(o.windows.size(), 2u);
  EXPECT_GE(o.presents.at(o.windows[0]), 100);  // until the window is gone, and not much longer
  EXPECT_LT(o.presents.at(o.windows[0]), 10000);
  EXPECT_EQ(o.presents.at(o.windows[1]), 10000);
}

TEST(TestProgramTest, ClosingTheSecondWindowStillPrintsTheSecondTime) {
  const Outcome o = RunTest(2, 100);
  EXPECT_TRUE(ThreeLines(o.output)) << o.output;
  ASSERT_EQ(o.windows.size(), 2u);
  EXPECT_LT(o.presents.at(o.windows[1]), 10000);
}

TEST(TestProgramTest, RandomNumbersCoverTheirClosedRange) {
  EXPECT_EQ(::Test::Rnd(3, 3), 3);
  int low = 0, high = 0;
  for (int i = 0; i < 10000; ++i) {
    const int v = ::Test::Rnd(0, 800);
    ASSERT_TRUE(v >= 0 && v <= 800);
    low += v == 0;
    high += v == 800;
  }
  EXPECT_LT(low, 40);  // an end is half as likely as an inner value (about 6 in 10000)
  EXPECT_LT(high, 40);
}

}  // namespace
