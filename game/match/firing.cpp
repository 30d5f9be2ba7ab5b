// Firing: the shot's departure from the shooter's ship, its arrival on the
// targets, and what each projectile records where it lands; the radar
// sweeps its four squares instead and records nothing.
#include "BrannowayLib.h"
#include "firing_motion.h"
#include "match.h"

namespace OperationBrannoway {

using namespace BrannowayLib;
using namespace BrannowayProcs;

namespace {

bool Covers(const tSchip& s, std::int32_t x, std::int32_t y) {
  if (s.Orientatie == Horizontaal) return y == s.Voorkant.y && s.Voorkant.x - s.Lengte < x && x <= s.Voorkant.x;
  return x == s.Voorkant.x && s.Voorkant.y - s.Lengte < y && y <= s.Voorkant.y;
}

}  // namespace

void Match::SchietVeldInfo(std::uint32_t Speler, std::int32_t x, std::int32_t y) {
  eVeld& square = (*Veld[Speler].Info)[x][y];
  for (std::uint32_t k = 1; k <= 4; ++k) {
    tSchip& s = Schepen[Speler][k];
    if (!Covers(s, x, y)) continue;
    if (square == Vrij) {
      square = Geraakt;
      s.Leven = static_cast<std::uint8_t>(runtime::Sub<int>(s.Leven, 1));
    }
    return;
  }
  square = Gemist;
}

void Match::SchietOpDoelwit(std::uint32_t vanSpeler, std::uint32_t naarSpeler, std::uint32_t Wapen,
                            runtime::View<const POINT> Doel, bool ZieVertrek) {
  runtime::Array<tProjectiel, 1, 5> Wapens{};
  tRadar Radar{};
  std::uint32_t AantalWapens = 0;
  const auto& shooters = Schepen[vanSpeler];
  const tVeld& home = Veld[vanSpeler];
  const tVeld& target = Veld[naarSpeler];
  const float radarHeight = 2 * VELD_VIERKANT + 1;

  if (Wapen < 1 || Wapen > kWeaponCount) return;
  const WeaponRule& weapon = Weapon(Wapen);
  const bool radar = weapon.projectiles == 0;
  // Set-up: the highest-numbered qualifying ship decides where the shot leaves.
  if (radar) {
    MaakRadar(Radar);
    Radar.Angle = 0;
    for (std::uint32_t k = 1; k <= 4; ++k)
      if (shooters[k].Leven > 0 && shooters[k].Lengte == weapon.shipLength) {
        Radar.Pos = VindVeld3DPositie(home, shooters[k].Voorkant.x, shooters[k].Voorkant.y);
        Radar.Pos.y = radarHeight;
      }
  } else if (weapon.shipLength == 0) {  // from the front of any ship afloat
    AantalWapens = weapon.projectiles;
    for (std::uint32_t j = 1; j <= AantalWapens; ++j) {
      MaakProjectiel(Wapens[j]);
      Wapens[j].ySpeed = 0;
      for (std::uint32_t k = 1; k <= 4; ++k)
        if (shooters[k].Leven > 0) Wapens[j].Pos = VindVeld3DPositie(home, shooters[k].Voorkant.x, shooters[k].Voorkant.y);
    }
  } else {  // from the squares of its own ship, one behind the other
    AantalWapens = weapon.projectiles;
    for (std::uint32_t j = 1; j <= AantalWapens; ++j) {
      MaakProjectiel(Wapens[j]);
      Wapens[j].ySpeed = 0;
    }
    for (std::uint32_t k = 1; k <= 4; ++k) {
      const tSchip& s = shooters[k];
      if (s.Leven == 0 || s.Lengte != weapon.shipLength) continue;
      for (std::uint32_t j = 1; j <= AantalWapens; ++j) {
        const std::int32_t back = static_cast<std::int32_t>(j);
        const POINT q = s.Orientatie == Verticaal ? POINT{s.Voorkant.x, s.Voorkant.y - back} : POINT{s.Voorkant.x - back, s.Voorkant.y};
        Wapens[j].Pos = VindVeld3DPositie(home, q.x, q.y);
        Wapens[j].Pos.y = -static_cast<float>(j - 1) * kLaunchStagger;
      }
    }
  }

  if (ZieVertrek) {
    bool Eind = false;
    while (!Eind && VensterBestaat()) {
      TekenAchtergrond();
      TekenVeld(Veld[1]);
      TekenVeld(Veld[2]);
      TekenSchepen(Schepen[vanSpeler]);
      if (!radar) {
        Eind = true;
        for (std::uint32_t j = 1; j <= AantalWapens; ++j) {
          tProjectiel& p = Wapens[j];
          p.ySpeed = p.ySpeed + kDepartureAcceleration;
          p.Pos.y = p.Pos.y + p.ySpeed;
          if (0 <= p.Pos.y && p.Pos.y < kBandTop) {
            TekenProjectiel(p);
            Eind = false;
          }
        }
      } else {
        DraaiRadar(Radar, kRadarStep);
        Eind = Radar.Angle >= kSweepEnd;
        TekenRadar(Radar);
      }
      TekenGUI();
      Update();
    }
  }

  bool SchipOnderRadar = false;
  auto shipUnder = [&](POINT q) {
    for (std::uint32_t k = 1; k <= 4; ++k)
      if (Covers(Schepen[naarSpeler][k], q.x, q.y)) return true;
    return false;
  };
  if (!radar) {
    for (std::size_t e = 0; e < Doel.size() && e < 5; ++e) {
      tProjectiel& p = Wapens[e + 1];
      p.Pos = VindVeld3DPositie(target, Doel[e].x, Doel[e].y);
      p.Pos.y = kBandTop + static_cast<float>(e) * kArrivalStagger;
      p.ySpeed = kArrivalSpeed;
      PitchProjectiel(p);
    }
  } else {
    if (Doel.size() < 4) {
      MessageBoxA(nullptr, "Niet genoeg array elementen voor doelen!", "Programmeerfout in SchietOpDoelwit()",
                  MB_OK | MB_ICONERROR);
      return;
    }
    Radar.Pos = VindVeld3DPositie(target, Doel[0].x, Doel[0].y);
    Radar.Pos.y = radarHeight;
    Radar.Angle = 0;
    SchipOnderRadar = shipUnder(Doel[0]);
  }

  DraaiCameraNaar(naarSpeler, ZieVertrek ? vanSpeler : naarSpeler);

  bool Eind = false;
  std::uint32_t cRadar = 0;
  while (!Eind && VensterBestaat()) {
    TekenAchtergrond();
    TekenVeld(Veld[1]);
    TekenVeld(Veld[2]);
    TekenSchepen(Schepen[ZieVertrek ? vanSpeler : naarSpeler]);
    if (!radar) {
      Eind = true;
      for (std::uint32_t j = 1; j <= AantalWapens; ++j) {
        tProjectiel& p = Wapens[j];
        p.Pos.y = p.Pos.y + p.ySpeed;
        if (0 <= p.Pos.y && p.Pos.y <= kBandTop) {
          TekenProjectiel(p);
          Eind = false;
        } else if (p.Pos.y < 0 && Doel.size() >= j) {
          SchietVeldInfo(naarSpeler, Doel[j - 1].x, Doel[j - 1].y);
        }
      }
    } else {
      DraaiRadar(Radar, kRadarStep);
      InktRand(Kleur(255, 255, 255));
      InktOpvul(SchipOnderRadar ? Kleur(255, 0, 0) : Kleur(0, 255, 255));
      TekenVierkant(target, Doel[cRadar].x, Doel[cRadar].y);
      TekenRadar(Radar);
      if (Radar.Angle < kSweepEnd) {
        Eind = false;
      } else if (++cRadar < 4) {
        Radar.Pos = VindVeld3DPositie(target, Doel[cRadar].x, Doel[cRadar].y);
        Radar.Pos.y = radarHeight;
        Radar.Angle = 0;
        SchipOnderRadar = shipUnder(Doel[cRadar]);
        Eind = false;
      } else {
        Eind = true;
      }
    }
    TekenGUI();
    Update();
  }
}

}  // namespace OperationBrannoway
