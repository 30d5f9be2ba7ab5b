#include "frame_rate.h"

#include <winlayer/frame_rate.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "display.h"

namespace winlayer::display {

std::optional<int> ParseFrameRate(const char* text) {
  if (!text || !*text) return std::nullopt;
  int value = 0;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9') return std::nullopt;
    value = value * 10 + (*c - '0');
    if (value > kHighestFrameRate) return std::nullopt;
  }
  return value;
}

int ChooseFrameRate(const FrameRateInputs& in, std::string* complaint) {
  // An empty value is taken as unset, as a shell's "WINLAYER_FRAME_RATE= program" means.
  if (in.variable && *in.variable) {
    if (auto chosen = ParseFrameRate(in.variable)) return *chosen;
    if (complaint)
      *complaint = std::string(kFrameRateVariable) + ": \"" + in.variable +
                   "\" is not a frame rate; it takes a whole number of frames per second from 0 (no limit) to " +
                   std::to_string(kHighestFrameRate) + ". Running at the program's default.";
  }
  if (!in.pacesByDefault) return 0;
  return in.programDefault == kScreenRefreshRate ? in.refreshRate : in.programDefault;
}

namespace {

std::atomic<int> programDefault{0};
std::atomic<bool> chosen{false};

}  // namespace

}  // namespace winlayer::display

namespace winlayer {

bool SetDefaultFrameRate(int framesPerSecond) {
  if (framesPerSecond < kScreenRefreshRate || framesPerSecond > display::kHighestFrameRate) return false;
  display::programDefault.store(framesPerSecond);
  return !display::chosen.load();
}

int FrameRate() {
  static std::once_flag once;
  static int rate = 0;
  std::call_once(once, [] {
    display::Display& d = display::TheDisplay();
    display::FrameRateInputs in;
    in.variable = std::getenv(display::kFrameRateVariable);
    in.programDefault = display::programDefault.load();
    in.pacesByDefault = d.PacesByDefault();
    in.refreshRate = in.pacesByDefault && in.programDefault == kScreenRefreshRate ? d.RefreshRate() : 60;
    std::string complaint;
    rate = display::ChooseFrameRate(in, &complaint);
    if (!complaint.empty()) std::fprintf(stderr, "%s\n", complaint.c_str());
    display::chosen.store(true);
  });
  return rate;
}

}  // namespace winlayer
