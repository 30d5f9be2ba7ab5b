// BrannowayLib: one window served by a window thread of its own, an
// off-screen back buffer presented on request, colours and inks, lines,
// rectangles, polygons and triangles, text in a chosen font, bitmaps drawn
// plain or through a mask, and polling of the mouse.
//
// Every operation is called from the main thread, the thread that called
// Venster. The module initialises itself before its first operation runs.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "runtime/checks.h"

namespace BrannowayLib {

// ---- window, back buffer and input ------------------------------------------

// A window caption: 128 characters, ending at the first zero character.
using VensterTitel = runtime::Array<char, 0, 127>;
// Characters typed into the window.
using KeyBuffer = runtime::Array<char, 1, 16>;

struct tWindow {
  VensterTitel Titel;
  std::int32_t x;
  std::int32_t y;
  std::uint32_t breedte;  // outer width, frame included
  std::uint32_t hoogte;   // outer height, frame and caption included
  runtime::Array<char, 0, 62> g_szClassName;
  HANDLE Thread;
  DWORD ThreadID;
};

// A caption from a text constant, padded with zero characters.
template <std::size_t N>
VensterTitel TitleFrom(const char (&text)[N]) {
  static_assert(N <= 128, "a caption has at most 127 characters and its zero character");
  VensterTitel t{};
  for (std::size_t i = 0; i < N; ++i) t.items[i] = text[i];
  return t;
}

// The module initialisation; runs once, however often it is called.
void Initialise();

void Venster(std::int32_t x, std::int32_t y, std::uint32_t breedte, std::uint32_t hoogte, VensterTitel Titel);
BOOL VensterBestaat();
// What a program's main returns: 1 when the last Venster could not make its
// window (the reason is on standard error), so a launcher sees the failure; 0 otherwise.
int ExitStatus();
void Update();
std::uint32_t Muisklik();
void MuisPos(std::int32_t& x, std::int32_t& y);

// ---- colours, inks and shapes ---------------------------------------------------

std::uint32_t Kleur(std::uint32_t rood, std::uint32_t groen, std::uint32_t blauw);
void InktOpvul(std::uint32_t Kleur);
void InktRand(std::uint32_t Kleur);
void Lijn(std::int32_t vanX, std::int32_t vanY, std::int32_t naarX, std::int32_t naarY);
void Rechthoek(std::int32_t links, std::int32_t boven, std::int32_t rechts, std::int32_t onder, bool Filled);
void Polygoon(runtime::View<const POINT> Punten, bool Filled);
void Driehoek(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3, std::int32_t y3,
              bool Filled);

// ---- text and fonts ----------------------------------------------------------------

void InktTekst(std::uint32_t Kleur);
void ZetTekstGrootte(std::uint32_t grootte);
void ZetTekstNaam(runtime::View<const char> naam);
void ZetTekstAttributen(bool Vet, bool Cursief, bool Onderlijnd, bool Doorstreept);
void Tekst(std::int32_t x, std::int32_t y, runtime::View<const char> Tekst);

// ---- bitmaps -------------------------------------------------------------------------

std::uint32_t LaadBitmap(runtime::View<const char> file);
void VerwijderBitmap(std::uint32_t bmp);
void TekenBitmap(std::uint32_t bmp, std::int32_t x, std::int32_t y);
void TekenAlphaBitmap(std::uint32_t bmp, std::uint32_t alpha, std::int32_t x, std::int32_t y);

}  // namespace BrannowayLib
