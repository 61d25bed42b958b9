#include "app/sequenza.h"

#include <exception>
#include <memory>
#include <string>

#include "app/errore.h"
#include "compiler/memorizza_dati.h"
#include "model/codici_errore.h"
#include "model/modello.h"
#include "output/memorizza_percorso.h"
#include "output/posa_codici.h"
#include "platform/guasto.h"
#include "text/scenario_testi.h"

namespace scenario {

int esegui_generatore(Finestra& finestra, const std::function<std::filesystem::path()>& cartella) {
  try {
    auto m = std::make_unique<ModelloPercorso>();
    m->nome_scenario = kNomeScenario;
    m->numero_treno = kNumeroTreno;
    finestra.mostra_attesa("Attendere");
    const std::filesystem::path dir = cartella();
    scrivi_testi_scenario(dir, m->nome_scenario, m->numero_treno);
    try {
      memorizza_percorso(*m, 1, sorgenti_generatore(dir, m->nome_scenario, m->numero_treno), dir);
    } catch (const ErroreFatale& fatale) {
      errore(finestra, std::to_string(fatale.numero));
    }
    // A recorded scenario error is never passed off as success: the files
    // are written from what was read, and the error is shown after them.
    if (m->codice_errore != 0) {
      finestra.messaggio(messaggio_errore(*m));
      return kUscitaErroreScenario;
    }
    return kUscitaRiuscita;
  } catch (const FineProgramma& fine) {
    return fine.stato;
  } catch (const GuastoEsecuzione& guasto) {
    finestra.messaggio(std::string("error: ") + guasto.what());
    return kUscitaGuasto;
  } catch (const std::exception& e) {
    finestra.messaggio(std::string("error: ") + e.what());
    return kUscitaGuasto;
  }
}

}  // namespace scenario
