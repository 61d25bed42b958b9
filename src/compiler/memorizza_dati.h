#pragma once
// memorizza_dati: reads the route source and then the service source back into
// the route model, with the recorders that turn one entry into cell marks.

#include <filesystem>
#include <string>

#include "model/modello.h"

namespace scenario {

// Told each keyword field that no keyword recognises, so that tools can warn
// about a mistyped keyword. The reader itself never reports them.
class OsservatoreLettura {
 public:
  virtual ~OsservatoreLettura() = default;
  virtual void campo_ignorato(const LuogoSorgente& luogo, const std::string& campo) = 0;
};

struct SorgentiScenario {
  std::filesystem::path linea;  // route source
  std::filesystem::path treno;  // service source
  // The generator deletes its own intermediates after reading them; a tool
  // compiling a user's sources never deletes them.
  bool elimina = true;
  OsservatoreLettura* osservatore = nullptr;
};

// The generator's own two sources in `cartella`, by the naming rule.
SorgentiScenario sorgenti_generatore(const std::filesystem::path& cartella,
                                     const std::string& nome_scenario,
                                     const std::string& numero_treno);

// Reads both sources into `m` (whose names, con_tracciato, codice_errore and
// items were set by the builder). Its outcome is in the model: codice_errore,
// posizione_errore and luogo_errore. Never throws for anything a source holds.
void memorizza_dati(ModelloPercorso& m, const SorgentiScenario& sorgenti);

}  // namespace scenario
