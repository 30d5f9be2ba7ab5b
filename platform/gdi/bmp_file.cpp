// Loading Windows bitmap files. The header is checked here, so that a
// truncated or corrupt file, a colour table past the end or an absurd size
// is refused before the decoder sees it; the pixels are decoded by stb_image.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 16384
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include "bitmaps.h"

using namespace winlayer::gdi;

namespace {

constexpr long long kLargestSide = 16384;
constexpr long long kLargestPixelBytes = 256LL << 20;
constexpr std::size_t kFileHeaderSize = 14;

struct BmpInfo {
  int width = 0;
  int height = 0;  // always positive
  int bitsPerPixel = 0;
  bool topDown = false;         // rows stored from the top
  bool plain = false;           // no compression and no masks
  std::size_t tableEnd = 0;     // where the headers, masks and colour table end
  std::size_t pixelOffset = 0;  // where the pixels start
};

std::uint32_t U16(const std::vector<unsigned char>& d, std::size_t at) { return d[at] | d[at + 1] << 8; }
std::uint32_t U32(const std::vector<unsigned char>& d, std::size_t at) {
  return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}

std::optional<BmpInfo> CheckHeader(const std::vector<unsigned char>& d) {
  if (d.size() < kFileHeaderSize + 12 || d[0] != 'B' || d[1] != 'M') return std::nullopt;
  const std::uint64_t pixelOffset = U32(d, 10);
  const std::uint32_t headerSize = U32(d, 14);
  const bool core = headerSize == 12;
  if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124)
    return std::nullopt;
  if (d.size() < kFileHeaderSize + headerSize) return std::nullopt;

  long long width, height;
  std::uint32_t planes, bits, compression = 0, colorsUsed = 0;
  if (core) {
    width = U16(d, 18);
    height = U16(d, 20);
    planes = U16(d, 22);
    bits = U16(d, 24);
  } else {
    width = static_cast<std::int32_t>(U32(d, 18));
    height = static_cast<std::int32_t>(U32(d, 22));
    planes = U16(d, 26);
    bits = U16(d, 28);
    compression = U32(d, 30);
    colorsUsed = U32(d, 46);
  }
  const bool topDown = height < 0;
  if (height < 0) height = -height;
  if (planes != 1 || width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide ||
      width * height * 4 > kLargestPixelBytes)
    return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
  const bool bitfields = compression == BI_BITFIELDS && (bits == 16 || bits == 32);
  if (compression != BI_RGB && !bitfields) return std::nullopt;

  // The colour table (and the masks of a short header) must lie within the file.
  std::uint64_t tableEnd = kFileHeaderSize + headerSize + (bitfields && headerSize == 40 ? 12 : 0);
  if (bits <= 8) {
    const std::uint64_t most = 1ull << bits;
    if (colorsUsed > most) return std::nullopt;
    tableEnd += (colorsUsed ? colorsUsed : most) * (core ? 3 : 4);
  }
  if (tableEnd > d.size() || pixelOffset < kFileHeaderSize + headerSize) return std::nullopt;

  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
  if (pixelOffset + stride * static_cast<std::uint64_t>(height) > d.size()) return std::nullopt;
  return BmpInfo{static_cast<int>(width), static_cast<int>(height), static_cast<int>(bits), topDown,
                 compression == BI_RGB, static_cast<std::size_t>(tableEnd), static_cast<std::size_t>(pixelOffset)};
}

// The decoder accepts only a short gap between the colour table and the
// pixels, and none at all after a table it does not read; the file format
// allows any. Such a file is handed over with the pixels moved up to the table.
void CloseGap(std::vector<unsigned char>& d, const BmpInfo& info) {
  if (info.pixelOffset <= info.tableEnd) return;
  d.erase(d.begin() + static_cast<std::ptrdiff_t>(info.tableEnd), d.begin() + static_cast<std::ptrdiff_t>(info.pixelOffset));
  for (int i = 0; i < 4; ++i) d[10 + i] = static_cast<unsigned char>(info.tableEnd >> (8 * i));
}

// The whole of a regular file. Anything else (a pipe, a device, a folder)
// is refused before it could block, and so is a file too large to be a picture.
std::optional<std::vector<unsigned char>> ReadFile(const char* path) {
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<std::vector<unsigned char>> result;
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kLargestPixelBytes + (1 << 20)) {
    std::vector<unsigned char> data;
    try {
      data.resize(static_cast<std::size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
      close(fd);
      return std::nullopt;
    }
    std::size_t done = 0;
    while (done < data.size()) {
      const ssize_t n = read(fd, data.data() + done, data.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    if (done == data.size()) result = std::move(data);
  }
  close(fd);
  return result;
}

// An uncompressed 24-bit picture (as every picture of the game is) at its
// own size: its rows straight into the surface, blue, green and red as they
// lie. CheckHeader has made sure that every row is within the file.
std::unique_ptr<Surface> ReadPlain24(const std::vector<unsigned char>& d, const BmpInfo& info) {
  auto surface = Surface::Allocate(PixelFormat::Color32, info.width, info.height);
  if (!surface) return nullptr;
  const std::size_t stride = ((static_cast<std::size_t>(info.width) * 24 + 31) / 32) * 4;
  for (int y = 0; y < info.height; ++y) {
    const int fileRow = info.topDown ? y : info.height - 1 - y;
    const unsigned char* p = d.data() + info.pixelOffset + static_cast<std::size_t>(fileRow) * stride;
    std::uint32_t* out = surface->Row32(y);
    for (int x = 0; x < info.width; ++x, p += 3)
      out[x] = static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
  }
  return surface;
}

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

}  // namespace

extern "C" HANDLE WINAPI LoadImageA(HINSTANCE, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
  if (!name || type != IMAGE_BITMAP || !(fuLoad & LR_LOADFROMFILE)) return Fail(ERROR_INVALID_PARAMETER);
  auto data = ReadFile(name);
  if (!data) return Fail(ERROR_FILE_NOT_FOUND);
  const auto info = CheckHeader(*data);
  if (!info) return Fail(ERROR_INVALID_DATA);
  if (info->bitsPerPixel == 24 && info->plain && cx <= 0 && cy <= 0) {
    if (!AcceptableBitmapSize(info->width, info->height)) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    auto surface = ReadPlain24(*data, *info);
    if (!surface) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    HBITMAP bitmap = NewBitmap(std::move(surface), 24);
    return bitmap ? bitmap : Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  CloseGap(*data, *info);

  int w = 0, h = 0, channels = 0;
  stbi_uc* rgb = stbi_load_from_memory(data->data(), static_cast<int>(data->size()), &w, &h, &channels, 3);
  if (!rgb) return Fail(ERROR_INVALID_DATA);
  if (w != info->width || h != info->height) {
    stbi_image_free(rgb);
    return Fail(ERROR_INVALID_DATA);
  }

  // A requested size other than the file's stretches to it, nearest pixel first.
  const int outW = cx > 0 ? cx : w, outH = cy > 0 ? cy : h;
  if (!AcceptableBitmapSize(outW, outH)) {
    stbi_image_free(rgb);
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  auto surface = Surface::Allocate(PixelFormat::Color32, outW, outH);
  if (!surface) {
    stbi_image_free(rgb);
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  std::vector<std::size_t> column(static_cast<std::size_t>(outW));  // each target column's source byte
  for (int x = 0; x < outW; ++x) column[static_cast<std::size_t>(x)] = static_cast<std::size_t>(static_cast<long long>(x) * w / outW) * 3;
  for (int y = 0; y < outH; ++y) {
    const stbi_uc* src = rgb + static_cast<std::size_t>(static_cast<long long>(y) * h / outH) * static_cast<std::size_t>(w) * 3;
    std::uint32_t* dst = surface->Row32(y);
    for (int x = 0; x < outW; ++x) {
      const stbi_uc* p = src + column[static_cast<std::size_t>(x)];
      dst[x] = static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
    }
  }
  stbi_image_free(rgb);
  HBITMAP bitmap = NewBitmap(std::move(surface), static_cast<WORD>(info->bitsPerPixel));
  return bitmap ? bitmap : Fail(ERROR_NOT_ENOUGH_MEMORY);
}
