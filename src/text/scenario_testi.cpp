#include "text/scenario_testi.h"

#include "text/nomi_file.h"

namespace scenario {

void dati_linea(const std::filesystem::path& d, const std::string& s, const std::string& t) {
  scrivi_righe(righe_linea(), percorso_file(d, FileScenario::kSorgenteLinea, s, t));
}
void dati_treno(const std::filesystem::path& d, const std::string& s, const std::string& t) {
  scrivi_righe(righe_treno(), percorso_file(d, FileScenario::kSorgenteTreno, s, t));
}
void dati_note(const std::filesystem::path& d, const std::string& s, const std::string& t) {
  scrivi_righe(righe_note(), percorso_file(d, FileScenario::kNote, s, t));
}
void dati_rallentamenti(const std::filesystem::path& d, const std::string& s,
                        const std::string& t) {
  scrivi_righe(righe_rallentamenti(), percorso_file(d, FileScenario::kRallentamenti, s, t));
}
void dati_scheda(const std::filesystem::path& d, const std::string& s, const std::string& t) {
  scrivi_righe(righe_scheda(), percorso_file(d, FileScenario::kSchedaTreno, s, t));
}

void scrivi_testi_scenario(const std::filesystem::path& d, const std::string& s,
                           const std::string& t) {
  dati_linea(d, s, t);
  dati_treno(d, s, t);
  dati_note(d, s, t);
  dati_rallentamenti(d, s, t);
  dati_scheda(d, s, t);
}

}  // namespace scenario
