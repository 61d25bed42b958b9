#include "app/sequenza.h"

#include "model/guasto.h"
#include "text/scenario_testi.h"

namespace scenario {

int esegui_generatore(Finestra& finestra, const std::function<std::filesystem::path()>& cartella) {
  try {
    const std::string nome_scenario = kNomeScenario;
    const std::string numero_treno = kNumeroTreno;
    finestra.mostra_attesa("Attendere");
    const std::filesystem::path dir = cartella();
    scrivi_testi_scenario(dir, nome_scenario, numero_treno);
    return kStatoRiuscito;
  } catch (const FineProgramma& fine) {
    return fine.stato;
  } catch (const GuastoEsecuzione& guasto) {
    finestra.messaggio(std::string("Errore di esecuzione: ") + guasto.what());
    return kStatoGuasto;
  }
}

}  // namespace scenario
