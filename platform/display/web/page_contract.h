// The contract between the web display's two sides, which share the
// program's memory: the program (web_display.cpp) and its page
// (web_display.js). This header is its one source: the build writes every
// "constexpr int k... = n;" line below into page_contract.js, which the page
// reads as winlayerPage.k... (platform/CMakeLists.txt), and web_display.cpp
// checks the layout of its structures against the same numbers.
#pragma once

namespace winlayer::display::page {

// The ring of input events, written by the page and taken by the program: a
// head word (events written), a tail word (events taken), then kInputSlots
// events of kEventFields 32-bit words each.
constexpr int kInputSlots = 1024;  // a power of two
constexpr int kHeadWord = 0;
constexpr int kTailWord = 1;
constexpr int kRingHeaderWords = 2;
constexpr int kEventFields = 12;

// An event's words: its kind, the page's id of the window, the client pixel,
// the mouse button, 1 for down, and for a key the browser's name of it
// (KeyboardEvent.code, looked up in key_table.h) in kKeyCodeBytes bytes from
// word kKeyCodeField, padded with zeros.
constexpr int kKindField = 0;
constexpr int kWindowField = 1;
constexpr int kXField = 2;
constexpr int kYField = 3;
constexpr int kButtonField = 4;
constexpr int kDownField = 5;
constexpr int kKeyCodeField = 6;
constexpr int kKeyCodeBytes = 24;

// The kinds of event.
constexpr int kMove = 1;
constexpr int kButton = 2;
constexpr int kKey = 3;
constexpr int kClose = 4;

// A window's frames: its state word holds the index of the ready frame,
// plus kFresh while that one is newer than the frame the page shows.
constexpr int kFresh = 4;

}  // namespace winlayer::display::page
