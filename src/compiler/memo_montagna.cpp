#include <string>

#include "compiler/posizioni.h"
#include "compiler/registratori.h"
#include "model/numeri.h"

namespace scenario {

void memo_montagna(ModelloPercorso& m, int32_t inizio, int32_t fine, int32_t& tipo) {
  const int32_t prima = cella_tratto(inizio);
  const int32_t ultima = arrotonda(static_cast<double>(fine) / 50.0 - 1.0);
  // The lists hold 80 montagne and the cells end at N: refuse before writing.
  if (m.num_montagne >= kMassimoMontagne) {
    throw GuastoEsecuzione("montagna " + std::to_string(m.num_montagne + 1) + " of at most " +
                           std::to_string(kMassimoMontagne));
  }
  if (prima <= ultima) richiedi_celle(m, prima, ultima, "a montagna");

  bool accesa = false;
  if (tipo > 10) {
    tipo -= 10;
    accesa = true;
  }
  const int32_t n = m.num_montagne + 1;
  m.num_montagne = n;
  m.inizio_montagna[static_cast<size_t>(n)] = inizio;
  m.fine_montagna[static_cast<size_t>(n)] = fine;
  // One that starts close behind the previous one (or overlaps it) joins it.
  if (n > 1 && differenza32(inizio, m.fine_montagna[static_cast<size_t>(n - 1)]) <= 150) tipo = 3;

  int32_t conta = 0;
  for (int32_t i = prima; i <= ultima; ++i) {
    Cella& c = m.cella(i);
    c.montagna = basso8(tipo);
    ++conta;
    if (accesa && conta % 4 == 0 && c.tipo == kNessuno) c.tipo = kSegnoMontagna;
  }
}

}  // namespace scenario
