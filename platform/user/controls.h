// The built-in child window classes: push buttons and edit fields.
#pragma once

#include <windows.h>

namespace winlayer::user {

// A click (press and release over the button) sends WM_COMMAND with the
// button's identifier and BN_CLICKED to its parent.
LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Typed characters are added to the text, backspace removes the last one;
// each change sends WM_COMMAND with EN_CHANGE to the parent.
LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace winlayer::user
