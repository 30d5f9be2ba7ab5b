// Bitmaps loaded from files, drawn plain or through a mask.
#include <string>

#include "state.h"

namespace BrannowayLib {

namespace {

HBITMAP HandleOf(std::uint32_t bmp) { return reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(bmp)); }

// Selects a bitmap into the memory context and combines all of it into the
// back buffer at (x, y) with a raster operation.
void Combine(HDC memory, std::uint32_t bmp, std::int32_t x, std::int32_t y, DWORD rop) {
  SelectObject(memory, HandleOf(bmp));
  BITMAP size{};
  GetObjectA(HandleOf(bmp), sizeof size, &size);
  BitBlt(State().hBuffer, x, y, size.bmWidth, size.bmHeight, memory, 0, 0, rop);
}

}  // namespace

std::uint32_t LaadBitmap(runtime::View<const char> file) {
  std::string path;
  for (char c : file) {
    if (c == '\0') break;
    path += c;
  }
  HANDLE h = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  return runtime::Narrow<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h));
}

void VerwijderBitmap(std::uint32_t bmp) { DeleteObject(HandleOf(bmp)); }

// A picture that failed to load (handle 0) draws nothing.
void TekenBitmap(std::uint32_t bmp, std::int32_t x, std::int32_t y) {
  if (!State().hBuffer || bmp == 0) return;
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ kept = GetCurrentObject(memory, OBJ_BITMAP);
  Combine(memory, bmp, x, y, SRCCOPY);
  SelectObject(memory, kept);
  DeleteDC(memory);
}

void TekenAlphaBitmap(std::uint32_t bmp, std::uint32_t alpha, std::int32_t x, std::int32_t y) {
  if (!State().hBuffer || bmp == 0 || alpha == 0) return;
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ kept = GetCurrentObject(memory, OBJ_BITMAP);
  Combine(memory, alpha, x, y, SRCAND);
  Combine(memory, bmp, x, y, SRCPAINT);
  SelectObject(memory, kept);
  DeleteDC(memory);
}

}  // namespace BrannowayLib
