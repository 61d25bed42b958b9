#include <string>

#include "compiler/posizioni.h"
#include "compiler/registratori.h"
#include "model/numeri.h"

namespace scenario {

namespace {

// One left speed times 20 with the matching right speed divided by 5.
int16_t coppia(int32_t sinistra, int32_t destra) {
  return restringi<int16_t>(
      arrotonda(static_cast<double>(destra) / 5.0 + static_cast<double>(prodotto32(sinistra, 20))),
      "a speed indicator value");
}

}  // namespace

void memo_indicatori_v_max(ModelloPercorso& m, int32_t posizione, int32_t vas, int32_t vbs,
                           int32_t vcs, int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                           int32_t strisced) {
  const int32_t q = cella_punto(posizione);
  if (!cella_libera(m.cella(q))) {
    m.codice_errore = 21;
    return;
  }
  if (posizione < 0) {
    throw GuastoEsecuzione("speed indicator boards at position " + std::to_string(posizione));
  }
  const int16_t dato1 = coppia(vas, vad);
  const int16_t dato2 = coppia(vbs, vbd);
  const int16_t dato3 = coppia(vcs, vcd);
  const int16_t dato4 = basso16(int64_t{basso16(strisces)} * 10 + basso16(strisced));

  Cella& c = m.cella(q);
  c.tipo = kIndicatoriVMax;
  c.dato1 = dato1;
  c.dato2 = dato2;
  c.dato3 = dato3;
  c.dato4 = dato4;
}

}  // namespace scenario
