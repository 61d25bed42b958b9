#include "output/codici_gara.h"

#include <string>

#include "text/cp1252.h"

namespace scenario {
namespace {

// Builds the check text in campo; it always holds at least 25 characters.
void testo_controllo(ModelloPercorso& m) {
  m.campo = minuscolo_cp1252(m.voce(kVoceRipetizione).nome + m.voce(kVoceScenario).nome);
  m.campo += kTestoRiempimento;
}

int32_t carattere(const ModelloPercorso& m, int p) {
  return static_cast<unsigned char>(m.campo[static_cast<size_t>(p - 1)]);
}

}  // namespace

int32_t codice_gara_st(ModelloPercorso& m) {
  testo_controllo(m);
  int32_t somma = 0;
  for (int p = 1; p <= kCaratteriControllo; ++p) somma += p * carattere(m, p);
  return somma;
}

int16_t codice_gara_og(ModelloPercorso& m) {
  testo_controllo(m);
  int16_t somma = 0;
  for (int p = 1; p <= kCaratteriControllo; ++p) {
    somma = static_cast<int16_t>(somma + carattere(m, p));  // at most 25 x 255 = 6375
  }
  return somma;
}

}  // namespace scenario
