#include "objects.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <vector>

#include "winlayer/objects.h"
#include "../kernel/poll_pacing.h"

namespace winlayer::gdi {

namespace {

constexpr std::uint32_t kIndexBits = 20;
constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr std::uint32_t kMaxSlots = kIndexMask - 1;
constexpr std::uint32_t kGenerations = 4096;

struct Slot {
  std::shared_ptr<Object> object;
  std::uint32_t generation = 1;
};

struct Table {
  std::mutex lock;
  std::vector<Slot> slots;
  std::deque<std::uint32_t> free;  // oldest freed first
  std::array<std::size_t, 16> live{};
};

Table& TheTable() {
  static Table* table = new Table;  // lives until the process ends, for every thread
  return *table;
}

std::uint32_t HandleOf(std::uint32_t index, std::uint32_t generation) {
  return (generation << kIndexBits) | (index + 1);
}

// The slot a handle names, or null if the handle is stale or malformed.
Slot* SlotOf(Table& t, HANDLE h) {
  const auto value = reinterpret_cast<std::uintptr_t>(h);
  if (value == 0 || value > 0xFFFFFFFFu) return nullptr;
  const std::uint32_t index = (static_cast<std::uint32_t>(value) & kIndexMask) - 1;
  const std::uint32_t generation = static_cast<std::uint32_t>(value) >> kIndexBits;
  if (index >= t.slots.size()) return nullptr;
  Slot& slot = t.slots[index];
  if (!slot.object || slot.generation != generation) return nullptr;
  return &slot;
}

std::size_t KindIndex(Kind k) { return static_cast<std::size_t>(k) & 15u; }

}  // namespace

std::uint32_t AddObject(std::shared_ptr<Object> object) {
  Table& t = TheTable();
  std::lock_guard guard(t.lock);
  std::uint32_t index;
  if (!t.free.empty()) {
    index = t.free.front();
    t.free.pop_front();
  } else {
    if (t.slots.size() >= kMaxSlots) return 0;
    index = static_cast<std::uint32_t>(t.slots.size());
    t.slots.emplace_back();
  }
  Slot& slot = t.slots[index];
  object->handle = HandleOf(index, slot.generation);
  if (!object->stock) ++t.live[KindIndex(object->kind)];
  slot.object = std::move(object);
  return slot.object->handle;
}

HANDLE ToHandle(std::uint32_t value) { return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value)); }

std::shared_ptr<Object> FindObject(HANDLE h) {
  Table& t = TheTable();
  std::lock_guard guard(t.lock);
  Slot* slot = SlotOf(t, h);
  return slot ? slot->object : nullptr;
}

RemoveResult RemoveObject(HANDLE h, std::shared_ptr<Object>* removed) {
  Table& t = TheTable();
  std::lock_guard guard(t.lock);
  Slot* slot = SlotOf(t, h);
  if (!slot) return RemoveResult::Invalid;
  if (slot->object->stock) return RemoveResult::Stock;
  if (slot->object->selections > 0) return RemoveResult::Selected;
  --t.live[KindIndex(slot->object->kind)];
  if (removed) *removed = std::move(slot->object);
  slot->object.reset();
  slot->generation = slot->generation + 1 == kGenerations ? 1 : slot->generation + 1;
  t.free.push_back(static_cast<std::uint32_t>(slot - t.slots.data()));
  return RemoveResult::Removed;
}

std::unique_lock<std::mutex> LockTable() { return std::unique_lock(TheTable().lock); }

bool IsLive(const Object& object) {
  Slot* slot = SlotOf(TheTable(), ToHandle(object.handle));
  return slot && slot->object.get() == &object;
}

std::size_t LiveObjects(Kind kind) {
  Table& t = TheTable();
  std::lock_guard guard(t.lock);
  return t.live[KindIndex(kind)];
}

// ---- stock objects -------------------------------------------------------------

LOGFONTA SystemFontDescription() {
  LOGFONTA lf{};
  lf.lfHeight = 16;
  lf.lfWeight = FW_BOLD;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  std::strcpy(lf.lfFaceName, "System");
  return lf;
}

namespace {

LOGFONTA GuiFontDescription() {
  LOGFONTA lf{};
  lf.lfHeight = -11;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(lf.lfFaceName, "MS Shell Dlg");
  return lf;
}

LOGFONTA FixedFontDescription() {
  LOGFONTA lf{};
  lf.lfHeight = 16;
  lf.lfWeight = FW_NORMAL;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::strcpy(lf.lfFaceName, "Courier New");
  return lf;
}

std::shared_ptr<Object> MakeStock(int index) {
  std::shared_ptr<Object> o;
  switch (index) {
    case WHITE_BRUSH: o = std::make_shared<Brush>(BS_SOLID, RGB(255, 255, 255)); break;
    case LTGRAY_BRUSH: o = std::make_shared<Brush>(BS_SOLID, RGB(192, 192, 192)); break;
    case GRAY_BRUSH: o = std::make_shared<Brush>(BS_SOLID, RGB(128, 128, 128)); break;
    case DKGRAY_BRUSH: o = std::make_shared<Brush>(BS_SOLID, RGB(64, 64, 64)); break;
    case BLACK_BRUSH: o = std::make_shared<Brush>(BS_SOLID, RGB(0, 0, 0)); break;
    case NULL_BRUSH: o = std::make_shared<Brush>(BS_NULL, RGB(0, 0, 0)); break;
    case WHITE_PEN: o = std::make_shared<Pen>(PS_SOLID, 0, RGB(255, 255, 255)); break;
    case BLACK_PEN: o = std::make_shared<Pen>(PS_SOLID, 0, RGB(0, 0, 0)); break;
    case NULL_PEN: o = std::make_shared<Pen>(PS_NULL, 0, RGB(0, 0, 0)); break;
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case ANSI_VAR_FONT: o = std::make_shared<Font>(SystemFontDescription()); break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT: o = std::make_shared<Font>(FixedFontDescription()); break;
    case DEFAULT_GUI_FONT: o = std::make_shared<Font>(GuiFontDescription()); break;
    default: return nullptr;
  }
  o->stock = true;
  AddObject(o);
  return o;
}

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

struct StockSet {
  std::array<std::shared_ptr<Object>, kStockCount> objects;
  std::shared_ptr<Bitmap> defaultBitmap;
  StockSet() {
    for (int i = 0; i < kStockCount; ++i) objects[static_cast<std::size_t>(i)] = MakeStock(i);
    defaultBitmap = std::make_shared<Bitmap>(Surface::Allocate(PixelFormat::Mono, 1, 1), 1);
    defaultBitmap->stock = true;
    AddObject(defaultBitmap);
  }
};

StockSet& Stock() {
  static StockSet* set = new StockSet;  // never destroyed: handles stay valid to the end
  return *set;
}

}  // namespace

std::shared_ptr<Object> StockObject(int index) {
  if (index < 0 || index >= kStockCount) return nullptr;
  return Stock().objects[static_cast<std::size_t>(index)];
}

std::shared_ptr<Bitmap> DefaultBitmap() { return Stock().defaultBitmap; }

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

void RetireObject(const Object& object) {
  Table& t = TheTable();
  std::lock_guard guard(t.lock);
  Slot* slot = SlotOf(t, ToHandle(object.handle));
  if (!slot || slot->object.get() != &object) return;
  if (!object.stock) --t.live[KindIndex(object.kind)];
  slot->object.reset();
  slot->generation = slot->generation + 1 == kGenerations ? 1 : slot->generation + 1;
  t.free.push_back(static_cast<std::uint32_t>(slot - t.slots.data()));
}

LockedDC::LockedDC(HDC h) : dc_(Find<DC>(h)) { LockAll(); }

LockedDC::LockedDC(HDC first, HDC second) : dc_(Find<DC>(first)), second_(Find<DC>(second)) {
  if (!dc_ || !second_) {
    dc_.reset();
    second_.reset();
  }
  LockAll();
}

void LockedDC::LockAll() {
  if (!dc_) return;
  // At most two contexts and two surfaces; each pair in address order.
  auto lockPair = [this](std::mutex* a, std::mutex* b) {
    if (a && b && b < a) std::swap(a, b);
    for (std::mutex* m : {a, b})
      if (m && (held_ == 0 || held_lock_[held_ - 1] != m)) {
        m->lock();
        held_lock_[held_++] = m;
      }
  };
  auto surfaceOf = [](const DC* dc) { return dc && dc->windowSurface ? &dc->windowSurface->lock : nullptr; };
  lockPair(&dc_->lock, second_ && second_ != dc_ ? &second_->lock : nullptr);
  std::mutex* s1 = surfaceOf(dc_.get());
  std::mutex* s2 = surfaceOf(second_.get());
  lockPair(s1, s2 != s1 ? s2 : nullptr);
}

LockedDC::~LockedDC() {
  while (held_ > 0) held_lock_[--held_]->unlock();
  if (!drawn_) return;
  kernel::NoteWork();
  if (dc_->windowSurface && dc_->windowSurface->presented) dc_->windowSurface->presented();
}

}  // namespace winlayer::gdi

// ---- the operations -------------------------------------------------------------

using namespace winlayer::gdi;

namespace winlayer {

std::size_t LiveGdiObjects(DWORD objectType) { return gdi::LiveObjects(static_cast<Kind>(objectType)); }

std::size_t LiveGdiObjects() {
  std::size_t n = 0;
  for (DWORD k : {OBJ_PEN, OBJ_BRUSH, OBJ_DC, OBJ_FONT, OBJ_BITMAP, OBJ_MEMDC}) n += LiveGdiObjects(k);
  return n;
}

}  // namespace winlayer

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
  auto o = FindObject(ho);
  if (!o || o->kind == Kind::DC || o->kind == Kind::MemDC) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  switch (RemoveObject(ho)) {
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
