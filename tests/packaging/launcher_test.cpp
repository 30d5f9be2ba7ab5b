// The installed game (tests/packaging/check_install.cmake puts it under
// INSTALL_ROOT): its launcher, started from another folder, runs the game
// in its data folder, so the menu shows its pictures; the close box ends it.
// The built program, started from another folder, finds the pictures beside it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "eventually.h"
#include "xvfb.h"

namespace {

using testing_support::Eventually;
using testing_support::ScreenShot;
using testing_support::TakeScreenShot;

// The game as a person starts it: from their home folder, say.
pid_t StartLauncher(const std::string& launcher, const std::string& folder) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    setenv("WINLAYER_SCALE", "1", 1);  // the picture compares pixel for pixel
    execl(launcher.c_str(), launcher.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// The exit status, or -1 if the process is still running after the wait (it is then ended).
int WaitForExit(pid_t pid, int milliseconds) {
  int status = 0;
  if (Eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }, milliseconds))
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

// The game started by this command from another folder: its menu shows the
// sky of the picture given, and the close box ends it with status 0.
void ExpectTheMenusPicturesThenClose(const std::string& command, const std::string& picturePath) {
  // The menu's background as the picture holds it.
  HBITMAP picture = static_cast<HBITMAP>(LoadImageA(nullptr, picturePath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(picture, nullptr) << picturePath << " is missing";
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, picture);

  const pid_t game = StartLauncher(command, "/");
  ASSERT_GT(game, 0);
  RECT shown{};
  // A loaded machine running the sanitized build beside other tests of the real display may take a while.
  const bool appeared = Eventually([&] { return testing_support::ShownArea("OperationBrannoway", shown); }, 30000);
  // The sky above the title: no button covers it, and without its pictures the game draws it black.
  ScreenShot shot;
  int matching = 0;
  const bool showsPicture = appeared && Eventually([&] {
    shot = TakeScreenShot();
    matching = 0;
    if (shot.width < shown.left + 640 || shot.height < shown.top + 40) return false;
    for (int y = 0; y < 40; y += 3)
      for (int x = 0; x < 640; ++x) matching += shot.At(shown.left + x, shown.top + y) == GetPixel(dc, x, y);
    return matching == 14 * 640;
  }, 10000);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(picture);
  const bool closed = appeared && testing_support::SendCloseRequest("OperationBrannoway");
  const int status = WaitForExit(game, 10000);
  ASSERT_TRUE(appeared) << "no game window; the game " << (status == -1 ? "was still running" : "had ended with status " + std::to_string(status));
  EXPECT_TRUE(showsPicture) << matching << " of " << 14 * 640 << " sky pixels as in the picture";
  EXPECT_TRUE(closed);
  EXPECT_EQ(status, 0) << "-1: still running after the close box";
}

TEST(InstalledGameTest, TheLauncherStartsTheGameWithItsPicturesFromAnotherFolder) {
  if (!testing_support::TestServer().Running())
    GTEST_SKIP() << "no X server for the real display: " << testing_support::TestServer().Why();
  const std::string root = INSTALL_ROOT;
  ExpectTheMenusPicturesThenClose(root + "/usr/games/operation-brannoway",
                                  root + "/usr/share/games/operation-brannoway/Media/achtergrond+titel.bmp");
}

// Without the launcher, from a terminal in another folder: the program
// starts in its own folder, which holds Media/, as the Windows build does.
TEST(InstalledGameTest, TheProgramStartedFromAnotherFolderFindsThePicturesBesideIt) {
  if (!testing_support::TestServer().Running())
    GTEST_SKIP() << "no X server for the real display: " << testing_support::TestServer().Why();
  const std::string program = GAME_PROGRAM;
  ExpectTheMenusPicturesThenClose(program, program.substr(0, program.rfind('/')) + "/Media/achtergrond+titel.bmp");
}

}  // namespace
