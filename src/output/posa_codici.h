#pragma once
// The placement pass and the model checks that follow it, run by the builder
// right after both sources have been read.
//
// The pass walks cells 1 to N - 2 once and adds code cells (tipo 12, code 180)
// in front of the signals behind a slowdown warning (rule A), in three approach
// windows before a slowdown start (B1 to B3), every 8 cells along a slowdown
// below 110 km/h (B4) and in front of the first signal after its end (B5). A
// rule that finds no free cell records 11, 12 or 13 with a position and the
// pass goes on. Cells outside 0..N count as occupied: nothing is placed there
// and no type is read from them.

#include <cstdint>
#include <stdexcept>

#include "model/modello.h"

namespace scenario {

inline constexpr int16_t kCodicePosato = 180;
inline constexpr int16_t kMarcatoreVoce85 = 610;   // item 85 opz7
inline constexpr int16_t kMarcatoreCella1 = 5121;  // cell 1 dato1

inline constexpr int32_t kErroreSegnale = 11;        // no room in front of a signal (rule A)
inline constexpr int32_t kErroreAvvicinamento = 12;  // an approach window is full (B1 to B3)
inline constexpr int32_t kErroreRipetizione = 13;    // no room along or after a slowdown (B4, B5)

// The smaller of x and y; x itself when they are equal (the reference tells
// which one was chosen).
inline const int16_t& minimo(const int16_t& x, const int16_t& y) {
  return y < x ? y : x;
}

// The placement pass. Fails (GuastoEsecuzione) when the cell array was never created.
void posa_codici(ModelloPercorso& m);

// A model check that failed: `numero` is the number the fatal report shows
// (1250 or 1251). Raised before any compiled file is opened; the generator
// turns it into errore, the toolkit into a diagnostic.
class ErroreFatale : public std::runtime_error {
 public:
  explicit ErroreFatale(int16_t n);
  int16_t numero;
};

// The model checks: item 85 opz7 and cell 1 dato1 must be 0 (else 1250), then
// they get the markers 610 and 5121; item 85 orario and cell 1 dato2 must be 0
// (else 1251). A failed check is an ErroreFatale.
void controlli_modello(ModelloPercorso& m);

}  // namespace scenario
