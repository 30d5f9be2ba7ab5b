// Drawing contexts: the layer's factory of them, making and deleting them,
// selecting objects, and the small state settings (colours, modes).
#include "objects.h"
#include "screen.h"

namespace winlayer::gdi {

std::shared_ptr<DC> NewDC(Kind kind, std::shared_ptr<Bitmap> bitmap) {
  auto dc = std::make_shared<DC>(kind);
  dc->pen = std::static_pointer_cast<Pen>(StockObject(BLACK_PEN));
  dc->brush = std::static_pointer_cast<Brush>(StockObject(WHITE_BRUSH));
  dc->font = std::static_pointer_cast<Font>(StockObject(SYSTEM_FONT));
  {
    auto guard = LockTable();
    ++bitmap->selections;
  }
  dc->bitmap = std::move(bitmap);
  if (AddObject(dc) == 0) return nullptr;
  return dc;
}

std::shared_ptr<DC> NewWindowDC(std::shared_ptr<WindowSurface> surface) {
  auto bitmap = surface->bitmap;
  auto dc = NewDC(Kind::DC, bitmap);
  if (dc) dc->windowSurface = std::move(surface);
  return dc;
}

}  // namespace winlayer::gdi

using namespace winlayer::gdi;

namespace {

template <typename T>
HGDIOBJ Swap(std::shared_ptr<T>& slot, const std::shared_ptr<Object>& incoming) {
  auto previous = std::move(slot);
  slot = std::static_pointer_cast<T>(incoming);
  ++incoming->selections;
  --previous->selections;
  return ToHandle(previous->handle);
}

// Reads or replaces one setting of a context; the old value is returned.
template <typename T, typename Member>
T Exchange(HDC hdc, Member member, T value, T failure) {
  LockedDC dc(hdc);
  if (!dc) return failure;
  T old = (*dc).*member;
  (*dc).*member = value;
  return old;
}

template <typename T, typename Member>
T Read(HDC hdc, Member member, T failure) {
  LockedDC dc(hdc);
  return dc ? (*dc).*member : failure;
}

}  // namespace

extern "C" {

HDC WINAPI CreateCompatibleDC(HDC hdc) {
  if (hdc && !Find<DC>(hdc)) return nullptr;
  auto dc = NewDC(Kind::MemDC, DefaultBitmap());
  return dc ? static_cast<HDC>(ToHandle(dc->handle)) : nullptr;
}

BOOL WINAPI DeleteDC(HDC hdc) {
  auto dc = Find<DC>(hdc);
  if (!dc || RemoveObject(hdc) != RemoveResult::Removed) return FALSE;
  std::lock_guard dcGuard(dc->lock);
  auto guard = LockTable();
  for (Object* o : {static_cast<Object*>(dc->pen.get()), static_cast<Object*>(dc->brush.get()),
                    static_cast<Object*>(dc->font.get()), static_cast<Object*>(dc->bitmap.get())})
    --o->selections;
  // A call that found the context just before it went draws with stock objects into nothing that matters.
  dc->pen = std::static_pointer_cast<Pen>(StockObject(NULL_PEN));
  dc->brush = std::static_pointer_cast<Brush>(StockObject(NULL_BRUSH));
  dc->font = std::static_pointer_cast<Font>(StockObject(SYSTEM_FONT));
  dc->bitmap = DefaultBitmap();
  return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  LockedDC dc(hdc);
  auto guard = LockTable();
  const std::shared_ptr<Object>* found = dc ? FindInLockedTable(h) : nullptr;
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const std::shared_ptr<Object>& o = *found;
  switch (o->kind) {
    case Kind::Pen: return Swap(dc->pen, o);
    case Kind::Brush: return Swap(dc->brush, o);
    case Kind::Font: return Swap(dc->font, o);
    case Kind::Bitmap:
      // Only a memory context takes a bitmap, and a bitmap lives in one context at a time.
      if (dc->kind != Kind::MemDC) return nullptr;
      if (o == dc->bitmap) return h;
      if (!o->stock && o->selections > 0) return nullptr;
      return Swap(dc->bitmap, o);
    default: return nullptr;
  }
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
  LockedDC dc(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN: return ToHandle(dc->pen->handle);
    case OBJ_BRUSH: return ToHandle(dc->brush->handle);
    case OBJ_FONT: return ToHandle(dc->font->handle);
    case OBJ_BITMAP: return ToHandle(dc->bitmap->handle);
    default: return nullptr;
  }
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  return Exchange(hdc, &DC::textColor, color & 0xFFFFFF, static_cast<COLORREF>(CLR_INVALID));
}
COLORREF WINAPI GetTextColor(HDC hdc) { return Read(hdc, &DC::textColor, static_cast<COLORREF>(CLR_INVALID)); }
COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
  return Exchange(hdc, &DC::bkColor, color & 0xFFFFFF, static_cast<COLORREF>(CLR_INVALID));
}
COLORREF WINAPI GetBkColor(HDC hdc) { return Read(hdc, &DC::bkColor, static_cast<COLORREF>(CLR_INVALID)); }

int WINAPI SetBkMode(HDC hdc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return Exchange(hdc, &DC::bkMode, mode, 0);
}
int WINAPI GetBkMode(HDC hdc) { return Read(hdc, &DC::bkMode, 0); }

int WINAPI SetPolyFillMode(HDC hdc, int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return Exchange(hdc, &DC::fillMode, mode, 0);
}
int WINAPI GetPolyFillMode(HDC hdc) { return Read(hdc, &DC::fillMode, 0); }

int WINAPI GetDeviceCaps(HDC hdc, int index) {
  if (!Find<DC>(hdc)) return 0;
  switch (index) {
    // The screen's size as the program sees it, as GetSystemMetrics says it.
    case HORZRES: return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return GetSystemMetrics(SM_CYSCREEN);
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    default: return 0;
  }
}

BOOL WINAPI GdiFlush(void) { return TRUE; }

}  // extern "C"
