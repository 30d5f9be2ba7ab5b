// How the frame rate of a program is chosen (see winlayer/frame_rate.h).
#pragma once

#include <optional>
#include <string>

namespace winlayer::pacing {

constexpr const char* kFrameRateVariable = "WINLAYER_FRAME_RATE";
constexpr int kHighestFrameRate = 100000;

// A whole number from 0 to kHighestFrameRate, in decimal digits only; nothing otherwise.
std::optional<int> ParseFrameRate(const char* text);

struct FrameRateInputs {
  const char* variable = nullptr;  // the environment's value, null when unset
  int programDefault = 0;          // frames per second, 0, or kScreenRefreshRate
  bool pacesByDefault = false;     // the platform's answer
  int refreshRate = 60;            // the screen's
};

// The frame rate the inputs choose, 0 for no limit; the line to write on
// standard error when the variable's value can't be used.
int ChooseFrameRate(const FrameRateInputs& inputs, std::string* complaint);

}  // namespace winlayer::pacing
