#include "compiler/posizioni.h"
#include "compiler/registratori.h"
#include "model/numeri.h"

namespace scenario {

void memo_segnale(ModelloPercorso& m, int32_t posizione, int32_t sx, int32_t s1, int32_t s2,
                  int32_t s3, int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3,
                  int32_t& tempo) {
  const int32_t c = cella_punto(posizione);
  if (!cella_libera(m.cella(c))) {
    m.codice_errore = 16;
    return;
  }
  // The approach marks lie 2, 4, 6 and 8 cells back; every value must fit its
  // member before anything is written.
  richiedi_celle(m, int64_t{c} - 8, c, "a signal with its approach marks");
  const int32_t tipo_combinato = somma32(prodotto32(sx, 3), dx);
  const int16_t dato4 =
      restringi<int16_t>(somma32(prodotto32(rapp, 10), tipo_combinato), "a signal's dato4");
  const int16_t dato1 = restringi<int16_t>(somma32(prodotto32(s1, 10), d1), "a signal's dato1");
  const int16_t dato2 = restringi<int16_t>(somma32(prodotto32(s2, 10), d2), "a signal's dato2");
  const int16_t dato3 = restringi<int16_t>(somma32(prodotto32(s3, 10), d3), "a signal's dato3");
  uint8_t marca[5] = {};
  for (int k = 1; k <= 4; ++k) {
    marca[k] =
        restringi<uint8_t>(somma32(prodotto32(tipo_combinato, 10), k), "a signal's approach mark");
  }

  Cella& cella = m.cella(c);
  cella.tipo = kSegnale;
  cella.dato4 = dato4;
  cella.dato1 = dato1;
  cella.dato2 = dato2;
  cella.dato3 = dato3;
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  cella.tempo = sx == 2 ? basso8(tempo) : 0;
  for (int k = 1; k <= 4; ++k) m.cella(int64_t{c} - 2 * k).marcatore = marca[k];
}

}  // namespace scenario
