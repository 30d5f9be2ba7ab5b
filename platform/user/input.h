// Mouse and keyboard: what the displays report, turned into messages for the
// window under the cursor (or the capturing window, or the focus window), and
// the state that any thread may poll.
#pragma once

#include <windows.h>

#include <cstdint>

namespace winlayer::user {

// ---- reported by the displays, in screen pixels -----------------------------

void OnMouseMove(POINT screen);
void OnMouseButton(POINT screen, int button, bool down);  // button: VK_LBUTTON, VK_RBUTTON or VK_MBUTTON
void OnKey(UINT virtualKey, bool down);
void OnCloseRequest(HWND window);
// A typed character without a key: only the headless display's driver (a test types it).
void OnCharacter(unsigned char character);

// ---- polled state ----------------------------------------------------------------

POINT CursorPosition();
bool KeyHeld(int virtualKey);
// How often GetAsyncKeyState has been called (for the tests' headless driver): a program's busy loops poll it.
std::uint64_t ButtonPolls();

// Forgets a window that goes: capture and focus.
void ForgetWindow(HWND window);

}  // namespace winlayer::user
