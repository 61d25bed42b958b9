#include "output/memorizza_percorso.h"

#include <string>
#include <utility>

namespace scenario {

void costruisci_modello(ModelloPercorso& m, int32_t j, const SorgentiScenario& sorgenti) {
  // Every build starts from the model a fresh run starts from: only the two
  // names carry over, so nothing of an earlier build (cells, plan table, error)
  // can be compiled again when the sources fail to give new ones.
  std::string nome_scenario = std::move(m.nome_scenario);
  std::string numero_treno = std::move(m.numero_treno);
  m = ModelloPercorso{};
  m.nome_scenario = std::move(nome_scenario);
  m.numero_treno = std::move(numero_treno);

  m.con_tracciato = j;
  m.codice_errore = 0;
  for (Voce& v : m.voci) v = Voce{};

  memorizza_dati(m, sorgenti);
  completa_modello(m);
}

void memorizza_percorso(ModelloPercorso& m, int32_t j, const SorgentiScenario& sorgenti,
                        const std::filesystem::path& cartella) {
  costruisci_modello(m, j, sorgenti);
  scrivi_compilati(m, cartella);
}

}  // namespace scenario
