// The toolkit's module state, shared by its parts (one instance per program).
#pragma once

#include <mutex>

#include "Wimdows.h"

namespace Wimdows {

extern WinStruct window;
extern HBITMAP hBitBuf;
extern std::atomic<HDC> hDCBuf;  // let go by the window thread when the window closes, read while drawing
extern std::atomic<bool> buffering;
extern FontStruct font;
extern MouseStruct mouse;
extern std::atomic<bool> key[256];
extern KeyBuffer keybuf;
extern std::vector<MenuStruct> menu;
extern std::uint32_t menulen;
extern std::vector<ControlStruct> ctrl;
extern std::uint32_t controllen;
extern std::vector<BitStruct> bit;
extern std::uint32_t bitlen;
extern std::atomic<bool> block;

// Guards the key queue: the window thread adds, the main thread takes and flushes.
extern std::mutex keyLock;
// Guards the menu, control and bitmap tables, which both threads touch.
extern std::recursive_mutex tablesLock;

DWORD WINAPI WinMain(LPVOID);
bool Init();
void FreeWindow();
LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void Paint();
void AddKey(std::uint32_t k);
void DelKey();
DWORD LPARAM2DWORD(LPARAM lParam);
void DelBitmap(std::uint32_t del);

}  // namespace Wimdows
