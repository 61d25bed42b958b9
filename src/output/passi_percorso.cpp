// The builder's steps after reading: complete the model, then write it.

#include <string>

#include "output/codici_gara.h"
#include "output/file_compilati.h"
#include "output/memorizza_percorso.h"
#include "output/posa_codici.h"
#include "platform/guasto.h"
#include "text/nomi_file.h"

namespace scenario {

void completa_modello(ModelloPercorso& m) {
  if (!m.celle_create) {
    throw GuastoEsecuzione("nothing to build: reading the route source ended with error " +
                           std::to_string(m.codice_errore) +
                           " before the route's length was taken");
  }
  posa_codici(m);
  controlli_modello(m);
  // codice_gara_st first, then codice_gara_og.
  m.voce(kVoceScenario).orario = codice_gara_st(m);
  m.cella(1).dato2 = codice_gara_og(m);
}

void scrivi_compilati(const ModelloPercorso& m, const std::filesystem::path& cartella) {
  const auto percorso = [&](FileScenario f) {
    return percorso_file(cartella, f, m.nome_scenario, m.numero_treno);
  };
  // A model that cannot give all its files is refused before any file is opened.
  m.ultima_cella();
  if (m.con_tracciato != 0 && !m.tracciato.creato()) {
    throw GuastoEsecuzione("cannot write the plan file: the plan table was never created");
  }
  if (m.con_tracciato != 0) scrivi_file_tracciato(percorso(FileScenario::kTracciato), m.tracciato);
  scrivi_file_voci(percorso(FileScenario::kVoci), m);
  scrivi_file_celle(percorso(FileScenario::kCelle), m);
}

}  // namespace scenario
