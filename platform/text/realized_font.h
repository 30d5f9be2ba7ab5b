// A logical font made real: a face at a pixel size, its Windows-style cell
// metrics, and its rendered glyphs, kept for as long as the font is used.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace winlayer::text {

struct Glyph {
  int left = 0;     // from the pen position to the first column
  int top = 0;      // from the baseline up to the first row
  int width = 0;
  int rows = 0;
  std::vector<std::uint8_t> coverage;  // rows x width, 0..255
  // The runs of pixels at least half covered, row by row: drawn whole where
  // pixels are hard (a run is one fill rather than a test per pixel).
  struct Run {
    int row, begin, end;
  };
  std::vector<Run> halfCovered;
};

struct CellMetrics {
  int ascent = 0;
  int descent = 0;
  int height = 0;  // ascent + descent: the character cell
  int internalLeading = 0;
  int externalLeading = 0;
  int averageWidth = 0;
  int maximumWidth = 0;
  int underlineOffset = 0;  // below the baseline
  int underlineThickness = 1;
  int strikeoutOffset = 0;  // above the baseline
  int strikeoutThickness = 1;
};

class RealizedFont {
 public:
  ~RealizedFont();
  const LOGFONTA& Description() const { return description_; }
  const CellMetrics& Metrics() const { return metrics_; }
  const std::string& Family() const { return family_; }
  // Whether glyphs are drawn as whole pixels rather than grey levels.
  bool HardPixels() const { return hard_; }
  // The rendered glyph of a character of the Windows-1252 code page.
  const Glyph& GlyphFor(unsigned char c);
  // How far a character moves the pen, in whole pixels; known without rendering.
  int Advance(unsigned char c) const { return advances_[c]; }
  // The memory the rendered glyphs take.
  std::size_t GlyphBytes() const { return glyphBytes_.load(std::memory_order_relaxed); }

 private:
  friend std::shared_ptr<RealizedFont> Realize(const LOGFONTA&);
  RealizedFont() = default;
  const Glyph& Render(unsigned char c);

  LOGFONTA description_{};
  CellMetrics metrics_;
  std::string family_;
  bool hard_ = false;
  bool synthesizeBold_ = false;
  bool synthesizeItalic_ = false;
  void* face_ = nullptr;  // FT_Face
  std::array<int, 256> advances_{};
  std::array<std::atomic<const Glyph*>, 256> glyphs_{};
  std::atomic<std::size_t> glyphBytes_{0};
  std::vector<std::unique_ptr<Glyph>> store_;
};

// The realized font of a logical font; fonts with the same description share
// one, so rebuilding a font object does not render its glyphs again. Null
// when no font file at all can be opened.
std::shared_ptr<RealizedFont> Realize(const LOGFONTA& description);

}  // namespace winlayer::text
