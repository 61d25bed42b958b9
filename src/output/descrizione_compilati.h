#pragma once
// What the values of a compiled scenario mean to a person: the names of the
// cell kinds and item roles, a cell's gradient and speed, and the chainage
// (kilometre reading) of a route position. Used to show compiled files.

#include <array>
#include <cstdint>
#include <string>

#include "model/modello.h"

namespace scenario {

// "signal", "station", "text board"...; "-" for 0, "kind N" for an unknown kind.
std::string nome_tipo_cella(uint8_t tipo);

// The gradient (pendenza - 100) and the speed limit in km/h (vel_limite x 5).
inline int pendenza_cella(const Cella& c) {
  return static_cast<int>(c.pendenza) - 100;
}
inline int velocita_cella(const Cella& c) {
  return static_cast<int>(c.vel_limite) * 5;
}

// The role of item i: "unused", "station", "text board", "empty", "chainage",
// "make-up", "scenario", "train". Items 1 to 80 are told apart by content:
// a text board carries only its text.
std::string ruolo_voce(int i, const Voce& v);

// The chainage in metres at a route position, from the chainage records
// (items 81 to 83, the largest starting position first): the reading of the
// last record that starts at or before the position, plus the distance from
// its start. Without any chainage, the position itself.
int64_t progressiva(const std::array<Voce, kNumeroVoci>& voci, int64_t posizione);

// "132+100": a chainage in kilometres and metres.
std::string testo_progressiva(int64_t metri);

}  // namespace scenario
