#pragma once
// Positions (whole metres) to cells (50 m each), shared by the readers and the
// recorders. Every quotient is taken in binary64 and rounded ties-to-even.

#include <cstdint>

#include "model/modello.h"
#include "model/numeri.h"

namespace scenario {

// The cell where a section value changes at position p: round(p / 50).
inline int32_t cella_tratto(int64_t p) {
  return arrotonda(static_cast<double>(p) / 50.0);
}

// The cell of a point feature at position p, the one after the cell holding p:
// round(p / 50 + 1).
inline int32_t cella_punto(int64_t p) {
  return arrotonda(static_cast<double>(p) / 50.0 + 1.0);
}

// An entry at position p is taken only when (p + margine) / 50, unrounded, is
// not above N (margine 100 for every entry, 800 for a station).
inline bool entro_celle(const ModelloPercorso& m, int32_t p, int32_t margine) {
  return static_cast<double>(somma32(p, margine)) / 50.0 <= static_cast<double>(m.ultima_cella());
}

// Refuses, as a run-time failure, a write to cells outside 0..N: the check each
// entry makes before its first write, so that a refused entry writes nothing.
void richiedi_celle(const ModelloPercorso& m, int64_t prima, int64_t ultima, const char* cosa);

}  // namespace scenario
