// The Windows programs as a Windows player gets them, run under Wine on the
// test's private X server with a Wine prefix of their own (made in the build
// folder, removed afterwards with every Wine process on it). WINE_PROGRAMS
// names a 64-bit Windows build of the programs whose game/ holds Media/.
//
// Test.exe prints its times; the game shows its menu's pictures, presents
// 400 frames a second on it for a fraction of the processor that it takes
// unpaced, opens the instructions on a click whose press and release come
// together (as xdotool and remote desktops send them), naps while it waits
// there, and ends with status 0 when the window manager asks it to close;
// with xdotool's instant clicks only, it is played from the menu through
// both placements and the hand-over to a radar shot.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BrannowayLib.h"
#include "OperationBrannoway.h"
#include "eventually.h"
#include "match.h"
#include "square_pixel.h"
#include "xvfb.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Eventually;

constexpr const char* kWine = "/usr/lib/wine/wine64";
constexpr const char* kWineServer = "/usr/lib/wine/wineserver64";
constexpr const char* kTitle = "OperationBrannoway";

std::string ProgramsFolder() {
  const char* folder = std::getenv("WINE_PROGRAMS");
  return folder ? folder : "";
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A fresh prefix for the whole suite, made by the first test that needs it,
// with Wine's first-start dialogs off; at the end every Wine process on it
// is ended and the prefix removed.
class WinePrefix : public testing::Environment {
 public:
  const fs::path& Folder() {
    if (folder_.empty()) Make();
    return folder_;
  }
  void TearDown() override {
    if (folder_.empty()) return;
    const std::string server = std::string("timeout 20 ") + kWineServer;
    [[maybe_unused]] int waited = std::system((server + " -w").c_str());
    [[maybe_unused]] int killed = std::system((server + " -k").c_str());
    RemoveServerFolder();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

 private:
  // The wine server keeps its socket in a folder of /tmp named after the
  // prefix's device and inode (/tmp/.wine-<uid>/server-<dev>-<ino>, or
  // Debian's /tmp/wine-XXXXXX/server-…), left behind when it ends: this
  // prefix's one goes, and its parent when nothing else is in it.
  void RemoveServerFolder() const {
    struct stat prefix {};
    if (stat(folder_.c_str(), &prefix) != 0) return;
    char name[64];
    std::snprintf(name, sizeof name, "server-%llx-%llx", static_cast<unsigned long long>(prefix.st_dev),
                  static_cast<unsigned long long>(prefix.st_ino));
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator("/tmp", ignored)) {
      const std::string parent = entry.path().filename().string();
      if (parent.rfind("wine-", 0) != 0 && parent.rfind(".wine-", 0) != 0) continue;
      if (!fs::exists(entry.path() / name, ignored)) continue;
      fs::remove_all(entry.path() / name, ignored);
      if (fs::is_empty(entry.path(), ignored)) fs::remove(entry.path(), ignored);
    }
  }

  void Make() {
    std::string pattern = (fs::current_path() / "wine-prefix.XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;
    folder_ = pattern;
    setenv("WINEPREFIX", folder_.c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);  // no offer to install .NET or a browser engine
    unsetenv("WINLAYER_FRAME_RATE");
    unsetenv("WINLAYER_SHOW_PRESENT_RATE");
  }

  fs::path folder_;
};

WinePrefix* const prefix = static_cast<WinePrefix*>(testing::AddGlobalTestEnvironment(new WinePrefix));

// A Windows program started under Wine in its folder, its standard output
// and error kept in files of the prefix.
class WineProgram {
 public:
  WineProgram(const fs::path& program, const std::vector<std::string>& environment, const std::string& name)
      : out_(prefix->Folder() / (name + ".out")), err_(prefix->Folder() / (name + ".err")) {
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(program.parent_path().c_str()) != 0) _exit(126);
      for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
      const int out = open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
      execl(kWine, "wine64", program.filename().c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~WineProgram() {
    if (pid_ > 0 && status_ == kRunning) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  // The exit status, or -1 if the program still runs after the wait (it is then ended).
  int WaitForExit(int milliseconds) {
    int status = 0;
    if (Eventually([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, milliseconds)) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return status_;
    }
    return -1;
  }

  // Processor seconds used so far (user and system).
  double ProcessorSeconds() const {
    std::string stat = ReadFile("/proc/" + std::to_string(pid_) + "/stat");
    const auto end = stat.rfind(')');
    if (end == std::string::npos) return 0;
    std::istringstream fields(stat.substr(end + 2));
    std::string field;
    long long user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
      if (i == 14) user = std::stoll(field);
      if (i == 15) system = std::stoll(field);
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }

  // The share of one core that the program uses over the next few seconds.
  double ProcessorUse(std::chrono::milliseconds over = std::chrono::milliseconds(3000)) const {
    const double before = ProcessorSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(over);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return (ProcessorSeconds() - before) / seconds;
  }

  std::string Output() const { return ReadFile(out_); }
  std::string Errors() const { return ReadFile(err_); }

  // The presents per second that WINLAYER_SHOW_PRESENT_RATE made the layer write, once a second.
  std::vector<double> PresentRates() const {
    std::vector<double> rates;
    std::istringstream lines(Errors());
    std::string line;
    while (std::getline(lines, line)) {
      double rate = 0;
      char unit[16] = {};
      if (std::sscanf(line.c_str(), "winlayer: %lf %15s", &rate, unit) == 2 && std::string(unit) == "presents/s")
        rates.push_back(rate);
    }
    return rates;
  }

 private:
  static constexpr int kRunning = -2;
  pid_t pid_ = -1;
  int status_ = kRunning;
  fs::path out_, err_;
};

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// How many of the sampled pixels of the window's client area show the
// picture, and how many were sampled. Where Wine puts the client area in the
// X window depends on how it draws the frame without a window manager: the
// client's corner is looked for a little way in.
struct Match {
  int same = 0, sampled = 0;
  int dx = 0, dy = 0;  // where the client area's corner lies from the shown area's
};
Match CompareWithPicture(const RECT& shown, const fs::path& picture, int top, int bottom, int right) {
  Match best;
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, picture.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!bitmap) return best;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const testing_support::ScreenShot shot = testing_support::TakeScreenShot();
  constexpr int kFrameReach = 32;
  for (int dy = 0; dy <= kFrameReach; ++dy)
    for (int dx = 0; dx <= kFrameReach; ++dx) {
      const int left = shown.left + dx, up = shown.top + dy;
      if (shot.width < left + right || shot.height < up + bottom) continue;
      const auto compare = [&](int last) {
        Match m;
        for (int y = top; y < last; y += 3)
          for (int x = 0; x < right; ++x, ++m.sampled) m.same += shot.At(left + x, up + y) == GetPixel(dc, x, y);
        return m;
      };
      const Match first = compare(top + 1);  // the first row picks the corner
      const Match m = first.same == first.sampled ? compare(bottom) : first;
      if (m.same > best.same || best.sampled == 0) best = {m.same, m.sampled, dx, dy};
    }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return best;
}

class WineTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!testing_support::TestServer().Running())
      GTEST_SKIP() << "no X server: " << testing_support::TestServer().Why();
    ASSERT_FALSE(ProgramsFolder().empty()) << "WINE_PROGRAMS names no Windows build of the programs";
    ASSERT_FALSE(prefix->Folder().empty()) << "no Wine prefix could be made";
    ASSERT_TRUE(fs::exists(kWine)) << kWine << " is missing: Debian's wine64 package";
  }
  fs::path Program(const std::string& relative) const { return fs::path(ProgramsFolder()) / relative; }
};

// The game started under Wine, its menu shown; its client pixels on the X server's screen.
class WineGameTest : public WineTest {
 protected:
  void SetUp() override {
    WineTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    game_ = std::make_unique<WineProgram>(Program("game/OperationBrannoway.exe"), std::vector<std::string>{}, "game");
    ASSERT_TRUE(Eventually([&] { return testing_support::ShownArea(kTitle, shown_); }, 30000)) << "no game window: " << game_->Errors();
    Match sky;
    ASSERT_TRUE(Eventually([&] {
      sky = CompareWithPicture(shown_, Program("game/Media") / "achtergrond+titel.bmp", 0, 40, 640);
      return sky.sampled > 0 && sky.same == sky.sampled;
    }, 10000)) << "the menu's sky: " << sky.same << " of " << sky.sampled << " pixels";
    corner_ = {shown_.left + sky.dx, shown_.top + sky.dy};
  }
  void TearDown() override {
    if (game_) {
      testing_support::SendCloseRequest(kTitle);
      EXPECT_EQ(game_->WaitForExit(10000), 0);
    }
  }
  POINT OnScreen(POINT client) const { return {corner_.x + client.x, corner_.y + client.y}; }
  // xdotool's click: press and release at once, after the pointer is there.
  void ClickAt(POINT client) const {
    const POINT p = OnScreen(client);
    testing_support::RunCommand("xdotool mousemove " + std::to_string(p.x) + " " + std::to_string(p.y));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    testing_support::RunCommand("xdotool click 1");
  }
  bool Shows(POINT client, COLORREF colour, int milliseconds) const {
    const POINT p = OnScreen(client);
    return Eventually([&] { return testing_support::TakeScreenShot().At(p.x, p.y) == colour; }, milliseconds);
  }

  std::unique_ptr<WineProgram> game_;
  RECT shown_{};
  POINT corner_{};
};

TEST_F(WineTest, TestPrintsAnEmptyLineAndTheTimesOfBothToolkits) {
  WineProgram test(Program("tools/Test.exe"), {}, "Test");
  ASSERT_EQ(test.WaitForExit(120000), 0) << test.Errors();
  // Windows' line ends: an empty line, then one number a line.
  const std::string out = test.Output();
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = out.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(out.substr(start, end - start));
  const auto isNumber = [](const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
  };
  ASSERT_EQ(lines.size(), 3u) << '"' << out << '"';
  EXPECT_EQ(out.size(), lines[0].size() + lines[1].size() + lines[2].size() + 6) << "text after the last line end";
  EXPECT_TRUE(lines[0].empty() && isNumber(lines[1]) && isNumber(lines[2])) << '"' << out << '"';
  std::cout << "Test.exe under Wine: Wimdows " << lines[1] << " ms, BrannowayLib " << lines[2] << " ms\n";
}

TEST_F(WineTest, OnlyACopyOntoAWindowsContextIsAPresent) {
  WineProgram rule(Program("tests/windows/present_rule_test.exe"), {}, "present_rule");
  EXPECT_EQ(rule.WaitForExit(60000), 0) << rule.Output() << rule.Errors();
  EXPECT_NE(rule.Output().find(" passed, 0 failed"), std::string::npos) << rule.Output();
}

TEST_F(WineTest, ButtonSamplePresentsOncePerRefreshAndABadFrameRateIsSaidInOneLine) {
  WineProgram sample(Program("tools/ButtonSample.exe"), {"WINLAYER_FRAME_RATE=fast", "WINLAYER_SHOW_PRESENT_RATE=1"},
                     "ButtonSample");
  RECT shown{};
  ASSERT_TRUE(Eventually([&] { return testing_support::ShownArea("Titel", shown); }, 30000)) << sample.Errors();
  std::this_thread::sleep_for(std::chrono::seconds(4));
  ASSERT_TRUE(testing_support::SendCloseRequest("Titel"));
  EXPECT_EQ(sample.WaitForExit(10000), 0);
  // Wine on a virtual X server reports no refresh rate: 60 then, as the layer does on Linux.
  EXPECT_NEAR(Median(sample.PresentRates()), 60, 60 * 0.15) << sample.Errors();
  const std::string errors = sample.Errors();
  const auto complaint = errors.find("WINLAYER_FRAME_RATE: \"fast\" is not a frame rate");
  EXPECT_NE(complaint, std::string::npos) << errors;
  EXPECT_EQ(errors.find("WINLAYER_FRAME_RATE", complaint + 1), std::string::npos) << "said more than once";
}

struct MenuRun {
  double presentsPerSecond = 0;
  double processorUse = 0;
};

// The game on its menu for a few seconds: its presents per second and processor use.
MenuRun RunTheMenu(const fs::path& game, const std::string& frameRate) {
  std::vector<std::string> environment{"WINLAYER_SHOW_PRESENT_RATE=1"};
  if (!frameRate.empty()) environment.push_back("WINLAYER_FRAME_RATE=" + frameRate);
  WineProgram program(game, environment, "menu" + frameRate);
  RECT shown{};
  MenuRun run;
  if (!Eventually([&] { return testing_support::ShownArea(kTitle, shown); }, 30000)) {
    ADD_FAILURE() << "no game window: " << program.Errors();
    return run;
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));
  run.processorUse = program.ProcessorUse();
  run.presentsPerSecond = Median(program.PresentRates());
  testing_support::SendCloseRequest(kTitle);
  EXPECT_EQ(program.WaitForExit(10000), 0);
  return run;
}

TEST_F(WineTest, TheMenuPresents400FramesASecondForAFractionOfTheUnpacedProcessorUse) {
  const MenuRun paced = RunTheMenu(Program("game/OperationBrannoway.exe"), "");
  const MenuRun unpaced = RunTheMenu(Program("game/OperationBrannoway.exe"), "0");
  std::cout << "menu under Wine: paced " << paced.presentsPerSecond << " presents/s, " << paced.processorUse * 100
            << "% of a core; unpaced " << unpaced.presentsPerSecond << " presents/s, " << unpaced.processorUse * 100
            << "% of a core\n";
  EXPECT_NEAR(paced.presentsPerSecond, 400, 400 * 0.15);
  EXPECT_GT(unpaced.presentsPerSecond, 400 * 1.15);
  EXPECT_LT(paced.processorUse, unpaced.processorUse * 0.5);
}

TEST_F(WineTest, TheMenuShowsItsPicturesAClickOpensTheInstructionsWhichNapAndTheCloseBoxEndsTheGame) {
  WineProgram game(Program("game/OperationBrannoway.exe"), {}, "game");
  RECT shown{};
  ASSERT_TRUE(Eventually([&] { return testing_support::ShownArea(kTitle, shown); }, 30000))
      << "no game window: " << game.Errors();
  const fs::path media = Program("game/Media");
  // The sky above the title: no button covers it, and a window that shows nothing is black.
  Match sky;
  EXPECT_TRUE(Eventually([&] {
    sky = CompareWithPicture(shown, media / "achtergrond+titel.bmp", 0, 40, 640);
    return sky.sampled > 0 && sky.same == sky.sampled;
  }, 10000)) << sky.same << " of " << sky.sampled << " sky pixels as in the picture";

  // "Instructions", clicked as xdotool clicks: press and release at once. The
  // pointer gets there first, as a hand moves it: a loaded machine may let
  // Wine see the press before the move when both come in one command.
  testing_support::RunCommand("xdotool mousemove " + std::to_string(shown.left + 320) + " " + std::to_string(shown.top + 362));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  testing_support::RunCommand("xdotool click 1");
  // The instructions' background below the text, left of the compass.
  Match background;
  EXPECT_TRUE(Eventually([&] {
    background = CompareWithPicture(shown, media / "Achtergrond.bmp", 340, 440, 500);
    return background.sampled > 0 && background.same == background.sampled;
  }, 10000)) << background.same << " of " << background.sampled << " pixels as in the instructions' background";
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const double waiting = game.ProcessorUse();
  std::cout << "instructions screen under Wine: " << waiting * 100 << "% of a core\n";
  EXPECT_LT(waiting, 0.06);

  ASSERT_TRUE(testing_support::SendCloseRequest(kTitle));
  EXPECT_EQ(game.WaitForExit(10000), 0) << "-1: still running after the close request";
}

// Where the fields' squares show: the game's own camera rule, on the tests' headless display.
struct Squares {
  POINT own[2][15][10];  // a player's own field from his side (placement)
  POINT enemy[15][10];   // player 2's field while player 1 aims
};
Squares FieldSquares() {
  OperationBrannoway::Start();
  OperationBrannoway::Match m(OperationBrannoway::PlayerVsPlayer);
  m.Prepare();
  Squares s{};
  for (std::int32_t x = 0; x < 15; ++x)
    for (std::int32_t y = 0; y < 10; ++y) {
      s.own[0][x][y] = testing_support::SquarePixel(m, 1, 1, x, y);
      s.own[1][x][y] = testing_support::SquarePixel(m, 2, 2, x, y);
      s.enemy[x][y] = testing_support::SquarePixel(m, 2, 2, x, y);
    }
  m.Finish();
  return s;
}

// A whole road to the first shot with xdotool's instant clicks only: the
// start button, eight ships, the hand-over, the radar's button and a square
// of the enemy field, where the radar then sweeps its block: red over a ship,
// then cyan over the water beside it (a missile would mark its one square only).
TEST_F(WineGameTest, InstantClicksPlaceTheFleetsChooseTheRadarAndFireIt) {
  const Squares squares = FieldSquares();
  ClickAt({320, 316});  // "Player vs Player"
  for (int player = 0; player < 2; ++player)
    for (POINT front : {POINT{1, 4}, POINT{3, 3}, POINT{5, 2}, POINT{7, 1}}) {
      const POINT at = squares.own[player][front.x][front.y];
      const POINT p = OnScreen(at);
      testing_support::RunCommand("xdotool mousemove " + std::to_string(p.x) + " " + std::to_string(p.y));
      ASSERT_TRUE(Shows(at, RGB(0, 255, 0), 10000)) << "player " << player + 1 << " can't place at " << front.x << "," << front.y;
      ClickAt(at);
    }
  // The hand-over screen waits for a click; then player 1 aims at player 2's field.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ClickAt({320, 240});
  const POINT target = squares.enemy[7][0];  // over player 2's length-2 ship
  const POINT p = OnScreen(target);
  testing_support::RunCommand("xdotool mousemove " + std::to_string(p.x) + " " + std::to_string(p.y));
  ASSERT_TRUE(Shows(target, RGB(255, 0, 255), 10000)) << "no target choice";
  ClickAt({601, 228});  // the radar
  ClickAt(target);
  EXPECT_TRUE(Shows({target.x + 3, target.y + 3}, RGB(255, 0, 0), 15000)) << "the ship's square is not red";
  const POINT water = squares.enemy[8][0];
  EXPECT_TRUE(Shows({water.x + 3, water.y + 3}, RGB(0, 255, 255), 15000)) << "the radar did not sweep the water beside it";
}

}  // namespace
