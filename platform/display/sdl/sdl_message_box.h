// Message boxes as SDL shows them.
#pragma once

#include <windows.h>

#include <string>

namespace winlayer::display {

// Modal; the button chosen (IDOK, IDCANCEL, ...). Where SDL can show none,
// the text goes to standard error and the first button is the answer.
int ShowSdlMessageBox(const std::string& text, const std::string& caption, UINT type);

}  // namespace winlayer::display
