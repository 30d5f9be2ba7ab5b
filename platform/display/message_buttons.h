// The buttons of a message box, as every display offers them.
#pragma once

#include <windows.h>

#include <vector>

namespace winlayer::display {

struct MessageButton {
  int id;  // IDOK, IDCANCEL, ...
  const char* label;
};

// The buttons a box of this style (MB_OK, MB_YESNO, ...) shows, the default first.
std::vector<MessageButton> MessageButtons(UINT type);
// The answer of a box closed without a button (Escape, the close box): Cancel,
// or whatever stands for it, as Windows answers.
int DismissedAnswer(UINT type);

}  // namespace winlayer::display
