#include "frame_rate.h"

#include <winlayer/frame_rate.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "system_answers.h"

namespace winlayer::pacing {

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

}  // namespace winlayer::pacing

namespace winlayer {

bool SetDefaultFrameRate(int framesPerSecond) {
  if (framesPerSecond < kScreenRefreshRate || framesPerSecond > pacing::kHighestFrameRate) return false;
  pacing::programDefault.store(framesPerSecond);
  return !pacing::chosen.load();
}

int FrameRate() {
  static std::once_flag once;
  static int rate = 0;
  std::call_once(once, [] {
    pacing::FrameRateInputs in;
    in.variable = std::getenv(pacing::kFrameRateVariable);
    in.programDefault = pacing::programDefault.load();
    in.pacesByDefault = pacing::PacesByDefault();
    // Asked only when it matters: finding out may open the screen.
    in.refreshRate = in.pacesByDefault && in.programDefault == kScreenRefreshRate ? pacing::ScreenRefreshRate() : 60;
    std::string complaint;
    rate = pacing::ChooseFrameRate(in, &complaint);
    if (!complaint.empty()) std::fprintf(stderr, "%s\n", complaint.c_str());
    pacing::chosen.store(true);
  });
  return rate;
}

}  // namespace winlayer
