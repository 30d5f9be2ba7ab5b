// The object calls of <windows.h>: making pens, brushes and fonts, stock
// objects, deleting, and reading an object's description.
#include <cstring>

#include "objects.h"

using namespace winlayer::gdi;

extern "C" {

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
  if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME) return nullptr;
  return static_cast<HPEN>(ToHandle(AddObject(std::make_shared<Pen>(iStyle, cWidth, color & 0xFFFFFF))));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  return static_cast<HBRUSH>(ToHandle(AddObject(std::make_shared<Brush>(BS_SOLID, color & 0xFFFFFF))));
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
  if (!lplf) return nullptr;
  LOGFONTA d = *lplf;
  d.lfFaceName[LF_FACESIZE - 1] = '\0';  // a face name always ends within its array
  return static_cast<HFONT>(ToHandle(AddObject(std::make_shared<Font>(d))));
}

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                         DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision,
                         DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName) {
  LOGFONTA lf{};
  lf.lfHeight = cHeight;
  lf.lfWidth = cWidth;
  lf.lfEscapement = cEscapement;
  lf.lfOrientation = cOrientation;
  lf.lfWeight = cWeight;
  lf.lfItalic = static_cast<BYTE>(bItalic);
  lf.lfUnderline = static_cast<BYTE>(bUnderline);
  lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
  lf.lfCharSet = static_cast<BYTE>(iCharSet);
  lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
  lf.lfQuality = static_cast<BYTE>(iQuality);
  lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
  if (pszFaceName) std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

HGDIOBJ WINAPI GetStockObject(int i) {
  auto o = StockObject(i);
  return o ? ToHandle(o->handle) : nullptr;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  std::shared_ptr<Object> removed;  // let go after the table's lock
  switch (RemoveObject(ho, &removed, false)) {
    case RemoveResult::Removed:
    case RemoveResult::Stock: return TRUE;
    case RemoveResult::Selected: SetLastError(ERROR_BUSY); return FALSE;
    case RemoveResult::Invalid: break;
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
  auto o = FindObject(h);
  return o ? static_cast<DWORD>(o->kind) : 0;
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
  auto o = FindObject(h);
  if (!o) return 0;
  auto give = [&](const auto& record) -> int {
    const int size = static_cast<int>(sizeof record);
    if (!pv) return size;
    const int n = c < size ? c : size;
    if (n <= 0) return 0;
    std::memcpy(pv, &record, static_cast<std::size_t>(n));
    return n;
  };
  switch (o->kind) {
    case Kind::Bitmap: {
      const auto& b = static_cast<const Bitmap&>(*o);
      BITMAP bm{};
      bm.bmType = 0;
      bm.bmWidth = b.surface->Width();
      bm.bmHeight = b.surface->Height();
      bm.bmPlanes = 1;
      bm.bmBitsPixel = b.bitsPerPixel;
      bm.bmWidthBytes = ((bm.bmWidth * b.bitsPerPixel + 15) / 16) * 2;
      bm.bmBits = b.section ? b.surface->Memory() : nullptr;
      return give(bm);
    }
    case Kind::Pen: {
      const auto& p = static_cast<const Pen&>(*o);
      LOGPEN lp{static_cast<UINT>(p.style), {p.width, 0}, p.color};
      return give(lp);
    }
    case Kind::Brush: {
      const auto& b = static_cast<const Brush&>(*o);
      LOGBRUSH lb{b.style, b.color, 0};
      return give(lb);
    }
    case Kind::Font: return give(static_cast<const Font&>(*o).description);
    default: return 0;
  }
}

}  // extern "C"
