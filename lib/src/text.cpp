// The text colour, the one current font, and text in the back buffer.
#include "state.h"

namespace BrannowayLib {

namespace {

// Every setter makes one new font and releases the old one, now or when the
// next text swaps it out of the back buffer.
void RebuildFont() {
  ModuleState& s = State();
  DeleteObject(s.cFont);
  s.cFont = CreateFontIndirectA(&s.structFont);
}

}  // namespace

void UpdateFont() {
  ModuleState& s = State();
  if (GetCurrentObject(s.hBuffer, OBJ_FONT) != s.cFont) DeleteObject(SelectObject(s.hBuffer, s.cFont));
}

void InktTekst(std::uint32_t Kleur) {
  ModuleState& s = State();
  if (s.hBuffer) SetTextColor(s.hBuffer, Kleur);
}

void ZetTekstGrootte(std::uint32_t grootte) {
  State().structFont.lfHeight = runtime::Narrow<LONG>(grootte);
  RebuildFont();
}

// Copies up to 32 positions as they are, zero characters included; positions
// beyond the copied ones keep what they held.
void ZetTekstNaam(runtime::View<const char> naam) {
  ModuleState& s = State();
  const std::size_t count = naam.size() < LF_FACESIZE ? naam.size() : LF_FACESIZE;
  for (std::size_t i = 0; i < count; ++i) s.structFont.lfFaceName[i] = naam[i];
  RebuildFont();
}

void ZetTekstAttributen(bool Vet, bool Cursief, bool Onderlijnd, bool Doorstreept) {
  LOGFONTA& f = State().structFont;
  f.lfWeight = Vet ? 700 : 400;
  f.lfItalic = Cursief;
  f.lfUnderline = Onderlijnd;
  f.lfStrikeOut = Doorstreept;
  RebuildFont();
}

void Tekst(std::int32_t x, std::int32_t y, runtime::View<const char> Tekst) {
  ModuleState& s = State();
  if (!s.hBuffer || Tekst.empty()) return;
  // The text ends at its first zero character; the array's last position is never drawn.
  std::size_t length = 0;
  while (length < Tekst.size() - 1 && Tekst[length] != '\0') ++length;
  UpdateFont();
  SetBkMode(s.hBuffer, TRANSPARENT);
  RECT layout{x, y, x, y};
  DrawTextA(s.hBuffer, Tekst.data(), runtime::Narrow<int>(length), &layout, DT_NOCLIP);
}

}  // namespace BrannowayLib
