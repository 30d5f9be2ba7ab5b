// Window classes: registered by name, found by name or atom; "Button" and
// "Edit" are built in.
#include <strings.h>

#include <cstdint>
#include <map>
#include <string>

#include "controls.h"
#include "window.h"

namespace winlayer::user {

namespace {

struct CaseInsensitive {
  bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

struct Classes {
  std::mutex lock;
  std::map<std::string, std::pair<ATOM, std::shared_ptr<const WindowClass>>, CaseInsensitive> byName;
  ATOM nextAtom = 0xC000;
};

Classes& AllClasses() {
  static auto* classes = [] {
    auto* c = new Classes;
    for (auto [name, proc] : {std::pair<const char*, WNDPROC>{"Button", ButtonProc}, std::pair<const char*, WNDPROC>{"Edit", EditProc}}) {
      auto wc = std::make_shared<WindowClass>();
      wc->name = name;
      wc->proc = proc;
      wc->builtIn = true;
      wc->background = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
      c->byName[name] = {c->nextAtom++, wc};
    }
    return c;
  }();
  return *classes;
}

bool IsAtom(LPCSTR name) { return reinterpret_cast<std::uintptr_t>(name) < 0x10000; }

ATOM Register(const WindowClass& wc) {
  if (wc.name.empty() || !wc.proc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Classes& c = AllClasses();
  std::lock_guard guard(c.lock);
  if (c.byName.count(wc.name)) {
    SetLastError(1410);  // ERROR_CLASS_ALREADY_EXISTS
    return 0;
  }
  const ATOM atom = c.nextAtom++;
  c.byName[wc.name] = {atom, std::make_shared<WindowClass>(wc)};
  return atom;
}

}  // namespace

std::shared_ptr<const WindowClass> FindClass(const char* name) {
  Classes& c = AllClasses();
  std::lock_guard guard(c.lock);
  if (!name) return nullptr;
  if (IsAtom(name)) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name));
    for (const auto& [key, entry] : c.byName)
      if (entry.first == atom) return entry.second;
    return nullptr;
  }
  auto it = c.byName.find(name);
  return it == c.byName.end() ? nullptr : it->second.second;
}

}  // namespace winlayer::user

using namespace winlayer::user;

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (!lpWndClass || !lpWndClass->lpszClassName || reinterpret_cast<std::uintptr_t>(lpWndClass->lpszClassName) < 0x10000) return 0;
  WindowClass wc;
  wc.name = lpWndClass->lpszClassName;
  wc.style = lpWndClass->style;
  wc.proc = lpWndClass->lpfnWndProc;
  wc.instance = lpWndClass->hInstance;
  wc.background = lpWndClass->hbrBackground;
  wc.cursor = lpWndClass->hCursor;
  wc.icon = lpWndClass->hIcon;
  return Register(wc);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpWndClass) {
  if (!lpWndClass || lpWndClass->cbSize != sizeof(WNDCLASSEXA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const WNDCLASSA plain{lpWndClass->style,     lpWndClass->lpfnWndProc, lpWndClass->cbClsExtra,
                        lpWndClass->cbWndExtra, lpWndClass->hInstance,   lpWndClass->hIcon,
                        lpWndClass->hCursor,   lpWndClass->hbrBackground, lpWndClass->lpszMenuName,
                        lpWndClass->lpszClassName};
  return RegisterClassA(&plain);
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
  auto wc = FindClass(lpClassName);
  if (!wc || wc->builtIn) return FALSE;
  // A class is kept while windows of it live.
  for (const auto& w : TopLevelWindows())
    if (w->windowClass == wc) {
      SetLastError(1412);  // ERROR_CLASS_HAS_WINDOWS
      return FALSE;
    }
  auto& c = AllClasses();
  std::lock_guard guard(c.lock);
  c.byName.erase(wc->name);
  return TRUE;
}

// Icons and cursors are the display's own; a handle only names the standard one
// asked for. Their values are odd, so they never equal a window's (always even).
HICON WINAPI LoadIconA(HINSTANCE, LPCSTR lpIconName) {
  return reinterpret_cast<HICON>(0x80001 + 2 * (reinterpret_cast<std::uintptr_t>(lpIconName) & 0xFFFF));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR lpCursorName) {
  return reinterpret_cast<HCURSOR>(0xA0001 + 2 * (reinterpret_cast<std::uintptr_t>(lpCursorName) & 0xFFFF));
}

}  // extern "C"
