#pragma once
// memorizza_dati: reads the route source and then the service source back into
// the route model, with the recorders that turn one entry into cell marks.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "compiler/lettore_campi.h"
#include "model/modello.h"

namespace scenario {

// The entry being read when the reader records an error: its keyword field,
// the source and phase it stands in (for the format table), and every field
// it has read after the keyword.
struct VoceLetta {
  LuogoSorgente luogo;    // the keyword field
  std::string parola;     // the keyword field as read
  bool linea = true;      // the route source; false: the service source
  bool generale = false;  // read in the route source's general section
  std::vector<CampoLetto> campi;
  // A run-time failure (25) at a field that could not be read or does not
  // fit: that field and why.
  std::optional<CampoLetto> fallito;
  std::string perche_fallito;
};

// Told each keyword field that no keyword recognises, and the entries an
// author almost surely did not mean, so that tools can warn about them. The
// reader itself never reports them, and they change nothing it does.
class OsservatoreLettura {
 public:
  virtual ~OsservatoreLettura() = default;
  virtual void campo_ignorato(const LuogoSorgente& luogo, const std::string& campo) = 0;

  // The entry at `luogo` (keyword `voce`) gave a value that its cell member
  // keeps only in part: `letto` as read, `memorizzato` as the member holds it.
  virtual void valore_avvolto(const LuogoSorgente& /*luogo*/, const std::string& /*voce*/,
                              int64_t /*letto*/, int64_t /*memorizzato*/) {}

  // The entry at `luogo` (keyword `voce`, at `posizione` m) does not lie
  // further along the route than the entries of its kind before it, which
  // reached `raggiunta` m.
  virtual void fuori_ordine(const LuogoSorgente& /*luogo*/, const std::string& /*voce*/,
                            int32_t /*posizione*/, int32_t /*raggiunta*/) {}

  // The reader recorded `codice` at the entry `voce`, with posizione_errore
  // now `posizione`. A later entry may record again a code still standing, and
  // a later code replaces an earlier one: tools see every recording. For a
  // run-time failure (25), `perche` says what failed and where; else it is empty.
  virtual void errore_registrato(const VoceLetta& /*voce*/, int32_t /*codice*/,
                                 int32_t /*posizione*/, const std::string& /*perche*/) {}

  // The feature entry at `luogo` (keyword `voce`: "stazione", "segnale",
  // "rallentamento", "abbattimento", "cartello_indicatore", "indicatori_vmax",
  // "montagna") was recorded at `posizione` m, so that a tool can point from
  // what it shows back to the line it came from.
  virtual void voce_registrata(const LuogoSorgente& /*luogo*/, const std::string& /*voce*/,
                               int32_t /*posizione*/) {}
};

struct SorgentiScenario {
  std::filesystem::path linea;  // route source
  std::filesystem::path treno;  // service source
  // The generator deletes its own intermediates after reading them; a tool
  // compiling a user's sources never deletes them.
  bool elimina = true;
  // A source held in memory (an editor's buffer, a fuzz input) is read in
  // place of its file, which is then never opened, tested or deleted; the
  // path still names it in every diagnostic.
  std::optional<std::string> testo_linea;
  std::optional<std::string> testo_treno;
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
