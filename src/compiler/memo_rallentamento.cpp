#include "compiler/posizioni.h"
#include "compiler/registratori.h"
#include "model/numeri.h"

namespace scenario {

void memo_rallentamento(ModelloPercorso& m, int32_t x, int32_t v, int32_t l, int32_t f_tt,
                        int32_t f_ta, int32_t d_v) {
  const int32_t a = differenza32(x, 1200);
  // Only a slowdown far enough from the start gets a warning point, and only a
  // warning point gets the four cells before it.
  const bool con_avviso = x > 1500;
  int32_t avviso = 0;
  if (con_avviso) {
    avviso = cella_punto(a);
    if (!cella_libera(m.cella(avviso))) {
      m.codice_errore = 17;
      return;
    }
  } else {
    f_ta = 0;
  }
  const int32_t inizio = cella_punto(x);
  if (!cella_libera(m.cella(inizio))) {
    m.codice_errore = 18;
    return;
  }
  const int32_t fine = cella_punto(somma32(x, l));
  if (!cella_libera(m.cella(fine))) {
    m.codice_errore = 19;
    return;
  }
  const int16_t velocita = restringi<int16_t>(v, "a slowdown's speed");
  const int16_t codice = restringi<int16_t>(f_tt, "a slowdown's f_tt");
  const int16_t secondo = restringi<int16_t>(d_v, "a slowdown's d_v");
  const int32_t b = con_avviso ? cella_tratto(a) : 0;  // pre-warning cells b down to b - 3
  if (f_ta != 0) richiedi_celle(m, int64_t{b} - 3, b, "a slowdown's pre-warning cells");

  Cella& c_fine = m.cella(fine);
  c_fine.tipo = kFineRallentamento;
  if (d_v != 0) c_fine.dato2 = secondo;
  Cella& c_inizio = m.cella(inizio);
  c_inizio.tipo = kInizioRallentamento;  // start and end on one cell: a start cell
  if (d_v != 0) c_inizio.dato2 = secondo;
  if (con_avviso) {
    Cella& c_avviso = m.cella(avviso);
    c_avviso.tipo = kAvvisoRallentamento;
    if (d_v != 0) c_avviso.dato2 = secondo;
    c_avviso.dato1 = velocita;
  }
  for (Cella* c : {&c_inizio, &c_fine}) {
    c->dato1 = velocita;
    c->dato3 = codice;
  }

  if (f_ta != 0) {
    for (int k = 0; k <= 3; ++k) {
      if (!cella_libera(m.cella(int64_t{b} - k))) {
        m.codice_errore = 20;
        return;
      }
    }
    for (int k = 0; k <= 3; ++k) {
      Cella& c = m.cella(int64_t{b} - k);
      c.tipo = kPreavvisoRallentamento;
      c.dato1 = static_cast<int16_t>(k + 1);
      if (d_v != 0) c.dato2 = static_cast<int16_t>(k + 1);
    }
  }
}

}  // namespace scenario
