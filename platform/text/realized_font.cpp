#include "realized_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstring>
#include <map>

#include "font_match.h"
#include "../gdi/objects.h"

namespace winlayer::text {

namespace {

constexpr int kDefaultCellHeight = 16;
constexpr int kLargestPixelsPerEm = 1024;
// Fonts that nobody holds any more are kept for reuse while their glyphs
// take less than this, and while there are fewer than kCachedFonts of them.
constexpr std::size_t kCachedGlyphBytes = 16u << 20;
constexpr std::size_t kCachedFonts = 64;

// FreeType objects are used by one thread at a time.
std::mutex& FreeTypeLock() {
  static std::mutex lock;
  return lock;
}

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return library;
}

// Windows-1252 characters 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

FT_ULong Unicode(unsigned char c) { return c >= 0x80 && c < 0xA0 ? kHighControls[c - 0x80] : c; }

int Scale(long units, int ppem, int unitsPerEm) {
  return static_cast<int>(std::lround(static_cast<double>(units) * ppem / unitsPerEm));
}

// Whether the font's grid-fitting table asks for grey levels at this size.
bool GaspAllowsGrey(FT_Face face, int ppem) {
  FT_ULong length = 0;
  if (FT_Load_Sfnt_Table(face, TTAG_gasp, 0, nullptr, &length) != 0 || length < 4) return true;
  std::vector<FT_Byte> table(length);
  if (FT_Load_Sfnt_Table(face, TTAG_gasp, 0, table.data(), &length) != 0) return true;
  auto u16 = [&](std::size_t at) { return static_cast<unsigned>(table[at] << 8 | table[at + 1]); };
  const unsigned ranges = u16(2);
  for (unsigned i = 0; i < ranges && 4 + i * 4 + 4 <= length; ++i) {
    if (static_cast<unsigned>(ppem) <= u16(4 + i * 4)) return (u16(6 + i * 4) & 0x0002) != 0;  // GASP_DOGRAY
  }
  return true;
}

// Cell metrics as Windows measures them: a positive height is the cell
// (the font's Windows ascent plus descent), a negative one the em.
CellMetrics Measure(FT_Face face, const LOGFONTA& lf, int* ppemOut) {
  const int upem = face->units_per_EM ? face->units_per_EM : 2048;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  const long winAscent = os2 ? os2->usWinAscent : face->ascender;
  const long winDescent = os2 ? os2->usWinDescent : -face->descender;
  const long cellUnits = std::max(1L, winAscent + winDescent);

  const long long requested = lf.lfHeight == 0 ? kDefaultCellHeight : lf.lfHeight;
  long long ppem = requested > 0 ? std::llround(static_cast<double>(requested) * upem / cellUnits) : -requested;
  ppem = std::clamp<long long>(ppem, 1, kLargestPixelsPerEm);
  const int p = static_cast<int>(ppem);

  CellMetrics m;
  m.ascent = Scale(winAscent, p, upem);
  m.descent = Scale(winDescent, p, upem);
  m.height = m.ascent + m.descent;
  m.internalLeading = m.height - p;
  if (hhea) {
    const long gap = hhea->Line_Gap - (cellUnits - (hhea->Ascender - hhea->Descender));
    m.externalLeading = std::max(0, Scale(gap, p, upem));
  }
  m.averageWidth = os2 ? Scale(os2->xAvgCharWidth, p, upem) : p / 2;
  m.maximumWidth = Scale(face->max_advance_width, p, upem);
  m.underlineOffset = std::max(1, Scale(-face->underline_position, p, upem));
  m.underlineThickness = std::max(1, Scale(face->underline_thickness, p, upem));
  m.strikeoutOffset = os2 ? Scale(os2->yStrikeoutPosition, p, upem) : m.ascent / 3;
  m.strikeoutThickness = std::max(1, os2 ? Scale(os2->yStrikeoutSize, p, upem) : m.underlineThickness);
  *ppemOut = p;
  return m;
}

// Advances as Windows reports them: the font's advance widths at the whole
// pixels-per-em the font is hinted at, rounded to whole pixels. This is what
// TrueType hinting does to the advances of metric-compatible fonts (their
// instructions keep each advance at its rounded width), so it is read from
// the metrics table alone, without loading or rendering an outline. Bold made
// from a regular face is one pixel wider per character, as Windows makes it.
std::array<int, 256> Advances(FT_Face face, bool synthesizeBold) {
  std::array<int, 256> advances{};
  for (int c = 0; c < 256; ++c) {
    FT_Fixed advance = 0;
    const FT_UInt index = FT_Get_Char_Index(face, Unicode(static_cast<unsigned char>(c)));
    if (FT_Get_Advance(face, index, FT_LOAD_NO_HINTING, &advance) != 0) advance = 0;
    advances[static_cast<std::size_t>(c)] = static_cast<int>((advance + 0x8000) >> 16) + (synthesizeBold ? 1 : 0);
  }
  return advances;
}

// Drops the fonts that only the cache holds, largest first, until what is
// left fits the budget.
void TrimCache(std::map<std::string, std::shared_ptr<RealizedFont>>& cache) {
  std::size_t bytes = 0, unheld = 0;
  for (const auto& [key, font] : cache)
    if (font.use_count() == 1) {
      bytes += font->GlyphBytes();
      ++unheld;
    }
  while (unheld > 0 && (bytes > kCachedGlyphBytes || unheld >= kCachedFonts)) {
    auto largest = cache.end();
    for (auto it = cache.begin(); it != cache.end(); ++it)
      if (it->second.use_count() == 1 && (largest == cache.end() || it->second->GlyphBytes() > largest->second->GlyphBytes()))
        largest = it;
    bytes -= largest->second->GlyphBytes();
    --unheld;
    cache.erase(largest);
  }
}

// The description as a cache key: the face name without what follows its end.
std::string KeyOf(const LOGFONTA& lf) {
  LOGFONTA k = lf;
  const std::size_t n = strnlen(k.lfFaceName, LF_FACESIZE);
  std::memset(k.lfFaceName + n, 0, LF_FACESIZE - n);
  for (std::size_t i = 0; i < n; ++i) k.lfFaceName[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(k.lfFaceName[i])));
  return std::string(reinterpret_cast<const char*>(&k), sizeof k);
}

}  // namespace

RealizedFont::~RealizedFont() {
  if (face_) {
    std::lock_guard guard(FreeTypeLock());
    FT_Done_Face(static_cast<FT_Face>(face_));
  }
}

namespace {

void FindHalfCoveredRuns(Glyph& glyph) {
  for (int y = 0; y < glyph.rows; ++y) {
    const std::uint8_t* row = glyph.coverage.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(glyph.width);
    for (int x = 0; x < glyph.width;) {
      if (row[x] < 128) {
        ++x;
        continue;
      }
      const int begin = x;
      while (x < glyph.width && row[x] >= 128) ++x;
      glyph.halfCovered.push_back({y, begin, x});
    }
  }
}

}  // namespace

const Glyph& RealizedFont::GlyphFor(unsigned char c) {
  if (const Glyph* g = glyphs_[c].load(std::memory_order_acquire)) return *g;
  return Render(c);
}

const Glyph& RealizedFont::Render(unsigned char c) {
  std::lock_guard guard(FreeTypeLock());
  if (const Glyph* g = glyphs_[c].load(std::memory_order_acquire)) return *g;

  auto glyph = std::make_unique<Glyph>();
  auto face = static_cast<FT_Face>(face_);
  const FT_UInt index = FT_Get_Char_Index(face, Unicode(c));
  const FT_Int32 flags = hard_ ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
  if (FT_Load_Glyph(face, index, flags) == 0) {
    FT_GlyphSlot slot = face->glyph;
    if (synthesizeItalic_) FT_GlyphSlot_Oblique(slot);
    if (synthesizeBold_) FT_GlyphSlot_Embolden(slot);
    if (FT_Render_Glyph(slot, hard_ ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0) {
      const FT_Bitmap& b = slot->bitmap;
      glyph->left = slot->bitmap_left;
      glyph->top = slot->bitmap_top;
      glyph->width = static_cast<int>(b.width);
      glyph->rows = static_cast<int>(b.rows);
      glyph->coverage.resize(static_cast<std::size_t>(glyph->width) * static_cast<std::size_t>(glyph->rows));
      for (int y = 0; y < glyph->rows; ++y) {
        const unsigned char* row = b.buffer + static_cast<std::ptrdiff_t>(y) * b.pitch;
        std::uint8_t* out = glyph->coverage.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(glyph->width);
        for (int x = 0; x < glyph->width; ++x)
          out[x] = b.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255 : row[x];
      }
      FindHalfCoveredRuns(*glyph);
    }
  }
  glyphBytes_.fetch_add(sizeof(Glyph) + glyph->coverage.size() + glyph->halfCovered.size() * sizeof(Glyph::Run),
                        std::memory_order_relaxed);
  const Glyph* result = glyph.get();
  store_.push_back(std::move(glyph));
  glyphs_[c].store(result, std::memory_order_release);
  return *result;
}

std::shared_ptr<RealizedFont> Realize(const LOGFONTA& description) {
  static std::mutex cacheLock;
  static auto* cache = new std::map<std::string, std::shared_ptr<RealizedFont>>;
  const std::string key = KeyOf(description);
  std::lock_guard cacheGuard(cacheLock);
  if (auto it = cache->find(key); it != cache->end()) return it->second;

  const FaceChoice choice = MatchFace(description);
  if (choice.file.empty() || !Library()) return nullptr;

  std::shared_ptr<RealizedFont> font(new RealizedFont);
  {
    std::lock_guard guard(FreeTypeLock());
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), choice.file.c_str(), choice.index, &face) != 0) return nullptr;
    int ppem = 0;
    font->metrics_ = Measure(face, description, &ppem);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem));
    font->face_ = face;
    font->hard_ = description.lfQuality == NONANTIALIASED_QUALITY || !GaspAllowsGrey(face, ppem);
    font->advances_ = Advances(face, choice.synthesizeBold);
  }
  font->description_ = description;
  font->family_ = choice.family;
  font->synthesizeBold_ = choice.synthesizeBold;
  font->synthesizeItalic_ = choice.synthesizeItalic;

  TrimCache(*cache);
  (*cache)[key] = font;
  return font;
}

}  // namespace winlayer::text

namespace winlayer::gdi {

std::shared_ptr<text::RealizedFont> Font::Realized() {
  std::call_once(realizeOnce_, [this] { realized_ = text::Realize(description); });
  return realized_;
}

}  // namespace winlayer::gdi
