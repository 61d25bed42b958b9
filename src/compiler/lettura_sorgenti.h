#pragma once
// The working state shared by the two halves of memorizza_dati: the source
// being read, the entry in progress (for error locations) and the board item
// counter that the route half hands to the service half.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "compiler/lettore_campi.h"
#include "compiler/memorizza_dati.h"
#include "model/modello.h"

namespace scenario {

class LetturaSorgenti {
 public:
  LetturaSorgenti(ModelloPercorso& m, const SorgentiScenario& sorgenti)
      : m(m), sorgenti(sorgenti) {}

  ModelloPercorso& m;
  const SorgentiScenario& sorgenti;
  // Next free board item: boards take items from 80 downward, stations stop
  // below it.
  int32_t prossimo_cartello = kPrimaVoceCartelli;

  // Starts on a source: error locations now name it.
  void inizia(const std::filesystem::path& file);
  // Reads the whole source; a source that cannot be read is a run-time failure.
  LettoreCampi& apri(const std::filesystem::path& file);
  // The text of the source being read when it is held in memory.
  const std::optional<std::string>& in_memoria() const;
  // Closes the source and, for the generator's own intermediates, deletes it.
  void chiudi_ed_elimina(const std::filesystem::path& file);
  void chiudi() {
    aggiorna_campi();
    lettore_.reset();
  }
  // Whether the route reader stands in its general section.
  bool fase_generale = false;

  // Reads the next keyword-position field into m.campo and makes it the entry
  // in progress.
  void leggi_voce();

  // Records `codice` (and a position) at the entry in progress.
  void registra(int32_t codice);
  void registra(int32_t codice, int32_t posizione);
  // Records 25 for a run-time failure while reading, telling the observer what failed.
  void registra_guasto(const GuastoEsecuzione& guasto);
  // Points luogo_errore at the entry in progress, leaving the code as it is.
  void segna_luogo() { m.luogo_errore = luogo_voce_; }
  // Points luogo_errore at the current source with no line.
  void segna_file(const std::filesystem::path& file);

  // Tells the observer, if any, that the keyword field m.campo matched nothing.
  void campo_ignorato();
  // Tells the observer, if any, that the entry in progress was recorded.
  void voce_registrata(const char* voce, int32_t posizione) {
    if (sorgenti.osservatore != nullptr) {
      sorgenti.osservatore->voce_registrata(luogo_voce_, voce, posizione);
    }
  }

  const LuogoSorgente& luogo_voce() const { return luogo_voce_; }
  // Where field k (1: the first after the keyword) of the entry in progress
  // begins, once read: a warning about that field points at it. Before it is
  // read, the entry's own place.
  LuogoSorgente luogo_campo(size_t k) const {
    LuogoSorgente l = luogo_voce_;
    if (lettore_ && k >= 1 && k <= lettore_->campi().size()) {
      const CampoLetto& c = lettore_->campi()[k - 1];
      l.riga = c.riga;
      l.colonna = c.colonna;
    }
    return l;
  }

 private:
  void aggiorna_campi() {
    if (lettore_) voce_.campi = lettore_->campi();
  }
  VoceLetta voce_;
  std::optional<LettoreCampi> lettore_;
  LuogoSorgente luogo_voce_;
};

enum class DopoLinea { kLeggiTreno, kEsci };

// The route half: reads and deletes the route source. kEsci when it ended
// memorizza_dati with a recorded error before the service half.
DopoLinea leggi_linea(LetturaSorgenti& l);

// The service half: reads and deletes the service source.
void leggi_treno(LetturaSorgenti& l);

// A text read into an item's name. The items file keeps a name behind a
// 2-byte count, so a longer text does not fit its member: a run-time failure
// (25) at its entry, before the entry writes anything.
std::string nome_voce(std::string testo, const char* cosa);

// The file's name as the user knows it, in UTF-8.
std::string nome_per_utente(const std::filesystem::path& file);

}  // namespace scenario
