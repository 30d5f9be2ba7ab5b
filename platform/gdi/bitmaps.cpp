#include "bitmaps.h"

#include <cstring>
#include <new>

using namespace winlayer::gdi;

namespace winlayer::gdi {

bool AcceptableBitmapSize(long long width, long long height) {
  return width > 0 && height > 0 && width <= 65536 && height <= 65536 && width * height * 4 <= (1LL << 30);
}

HBITMAP NewBitmap(std::unique_ptr<Surface> surface, WORD bitsPerPixel) {
  return static_cast<HBITMAP>(ToHandle(AddObject(std::make_shared<Bitmap>(std::move(surface), bitsPerPixel))));
}

}  // namespace winlayer::gdi

namespace {

HBITMAP Refuse(DWORD error) {
  SetLastError(error);
  return nullptr;
}

// Monochrome rows as Windows hands them over: one bit a pixel, the most
// significant first, 1 for white, each row padded to 16 bits.
void UnpackMono(const Surface& s, const BYTE* bits) {
  const int stride = ((s.Width() + 15) / 16) * 2;
  for (int y = 0; y < s.Height(); ++y) {
    const BYTE* row = bits + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < s.Width(); ++x) s.Row8(y)[x] = (row[x / 8] >> (7 - x % 8)) & 1;
  }
}

}  // namespace

extern "C" {

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
  if (nPlanes != 1 || (nBitCount != 1 && nBitCount != 32)) return Refuse(ERROR_INVALID_PARAMETER);
  if (!AcceptableBitmapSize(nWidth, nHeight)) return Refuse(ERROR_INVALID_PARAMETER);
  const PixelFormat format = nBitCount == 1 ? PixelFormat::Mono : PixelFormat::Color32;
  auto surface = Surface::Allocate(format, nWidth, nHeight);
  if (!surface) return Refuse(ERROR_NOT_ENOUGH_MEMORY);
  if (lpBits) {
    if (format == PixelFormat::Mono)
      UnpackMono(*surface, static_cast<const BYTE*>(lpBits));
    else
      for (int y = 0; y < nHeight; ++y)
        std::memcpy(surface->Row32(y), static_cast<const BYTE*>(lpBits) + static_cast<std::size_t>(y) * nWidth * 4,
                    static_cast<std::size_t>(nWidth) * 4);
  }
  return NewBitmap(std::move(surface), static_cast<WORD>(nBitCount));
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  std::shared_ptr<Bitmap> current;
  {
    LockedDC dc(hdc);
    if (!dc) return Refuse(ERROR_INVALID_HANDLE);
    current = dc->bitmap;
  }
  if (cx == 0 || cy == 0) return CreateBitmap(1, 1, 1, 1, nullptr);
  if (!AcceptableBitmapSize(cx, cy)) return Refuse(ERROR_NOT_ENOUGH_MEMORY);
  // A memory context that still holds a monochrome bitmap makes monochrome ones.
  const bool mono = current->surface->Format() == PixelFormat::Mono;
  auto surface = Surface::Allocate(mono ? PixelFormat::Mono : PixelFormat::Color32, cx, cy);
  if (!surface) return Refuse(ERROR_NOT_ENOUGH_MEMORY);
  return NewBitmap(std::move(surface), mono ? 1 : 32);
}

HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection,
                                DWORD) {
  if (ppvBits) *ppvBits = nullptr;
  if (!pbmi || usage != DIB_RGB_COLORS || hSection) return Refuse(ERROR_INVALID_PARAMETER);
  const BITMAPINFOHEADER& h = pbmi->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biBitCount != 32 || h.biCompression != BI_RGB || h.biPlanes != 1)
    return Refuse(ERROR_INVALID_PARAMETER);
  const long long width = h.biWidth;
  const long long height = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
  if (!AcceptableBitmapSize(width, height)) return Refuse(ERROR_NOT_ENOUGH_MEMORY);

  const std::size_t bytes = static_cast<std::size_t>(width * height * 4);
  std::unique_ptr<std::uint8_t[]> memory(new (std::nothrow) std::uint8_t[bytes]());
  if (!memory) return Refuse(ERROR_NOT_ENOUGH_MEMORY);
  const std::ptrdiff_t pitch = static_cast<std::ptrdiff_t>(width) * 4;
  const bool topDown = h.biHeight < 0;
  std::uint8_t* firstRow = topDown ? memory.get() : memory.get() + (height - 1) * pitch;
  auto bitmap = std::make_shared<Bitmap>(
      std::make_unique<Surface>(static_cast<int>(width), static_cast<int>(height), firstRow, topDown ? pitch : -pitch),
      32);
  bitmap->section = true;
  void* bits = memory.get();
  bitmap->sectionMemory = std::move(memory);
  const std::uint32_t handle = AddObject(bitmap);
  if (handle == 0) return Refuse(ERROR_NOT_ENOUGH_MEMORY);
  if (ppvBits) *ppvBits = bits;
  return static_cast<HBITMAP>(ToHandle(handle));
}

}  // extern "C"
