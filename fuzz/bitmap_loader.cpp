// The bitmap loader on a file of arbitrary bytes. What it returns must hold
// together: its size as GetObjectA tells it, the pixels GetDIBits reads, and
// the pixels a BitBlt of it copies, and deleting it leaves no object behind.
#include <unistd.h>
#include <winlayer/objects.h>

#include <string>
#include <vector>

#include "fuzz_input.h"

namespace {

// One file for the whole run, rewritten for each input and removed at exit.
const std::string& PicturePath() {
  static const std::string* path = [] {
    std::string pattern = "/tmp/brannoway-fuzz-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd >= 0) close(fd);
    auto* p = new std::string(pattern);
    std::atexit([] { unlink(PicturePath().c_str()); });
    return p;
  }();
  return *path;
}

void Write(const std::uint8_t* data, std::size_t size) {
  FILE* f = std::fopen(PicturePath().c_str(), "wb");
  if (!f) std::abort();
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

void CheckLoaded(HBITMAP bitmap) {
  BITMAP bm{};
  FUZZ_CHECK(GetObjectA(bitmap, sizeof bm, &bm) == sizeof bm, "GetObjectA of a loaded picture");
  FUZZ_CHECK(bm.bmWidth > 0 && bm.bmHeight > 0 && bm.bmWidth <= 16384 && bm.bmHeight <= 16384, "%ld x %ld",
             static_cast<long>(bm.bmWidth), static_cast<long>(bm.bmHeight));
  if (static_cast<long long>(bm.bmWidth) * bm.bmHeight > 1 << 20) return;  // large pictures only load

  fuzzing::Surface screen(bm.bmWidth, bm.bmHeight);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  FUZZ_CHECK(GetDIBits(screen.dc(), bitmap, 0, 0, nullptr, &info, DIB_RGB_COLORS) == bm.bmHeight, "query");
  FUZZ_CHECK(info.bmiHeader.biWidth == bm.bmWidth && info.bmiHeader.biHeight == bm.bmHeight, "query size");
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biHeight = -bm.bmHeight;  // top-down
  std::vector<std::uint32_t> read(static_cast<std::size_t>(bm.bmWidth) * static_cast<std::size_t>(bm.bmHeight));
  FUZZ_CHECK(GetDIBits(screen.dc(), bitmap, 0, static_cast<UINT>(bm.bmHeight), read.data(), &info, DIB_RGB_COLORS) ==
                 bm.bmHeight, "read");

  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, bitmap);
  FUZZ_CHECK(old != nullptr, "select");
  FUZZ_CHECK(BitBlt(screen.dc(), 0, 0, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY), "BitBlt");
  SelectObject(memory, old);
  DeleteDC(memory);
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int x = 0; x < bm.bmWidth; ++x) {
      const std::uint32_t copied = screen.At(x, y) & 0xFFFFFF;
      const std::uint32_t got = read[static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.bmWidth) + static_cast<std::size_t>(x)] & 0xFFFFFF;
      FUZZ_CHECK(copied == got, "pixel %d,%d copied %06x read %06x", x, y, copied, got);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t before = winlayer::LiveGdiObjects();
  Write(data, size);
  const int cx = size > 0 && data[size - 1] == 'X' ? 3 : 0;  // now and then a stretched load
  HANDLE loaded = LoadImageA(nullptr, PicturePath().c_str(), IMAGE_BITMAP, cx, cx, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (loaded) {
    CheckLoaded(static_cast<HBITMAP>(loaded));
    FUZZ_CHECK(DeleteObject(loaded), "delete");
  }
  FUZZ_CHECK(winlayer::LiveGdiObjects() == before, "objects left: %zu, before %zu", winlayer::LiveGdiObjects(), before);
  return 0;
}
