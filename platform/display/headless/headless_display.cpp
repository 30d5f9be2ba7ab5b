#include "headless_display.h"

#include <cstdio>
#include <functional>

#include "../message_buttons.h"

namespace winlayer::headless {

int HeadlessDisplay::ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  std::fprintf(stderr, "message box \"%s\": %s\n", caption.c_str(), text.c_str());
  MessageBoxRecord record{owner, text, caption, type, display::MessageButtons(type).front().id};
  std::function<int(const MessageBoxRecord&)> answer;
  {
    std::lock_guard guard(lock_);
    answer = answer_;
  }
  if (answer) record.answer = answer(record);
  std::lock_guard guard(lock_);
  boxes_.push_back(record);
  return record.answer;
}

HeadlessDisplay& Headless() {
  static auto* display = new HeadlessDisplay;
  return *display;
}

}  // namespace winlayer::headless

namespace winlayer::display {

Display& TheDisplay() { return headless::Headless(); }

}  // namespace winlayer::display
