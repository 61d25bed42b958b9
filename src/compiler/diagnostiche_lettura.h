#pragma once
// What reading a scenario's sources tells its author, as diagnostics: every
// error the reader records, at the entry that caused it, and warnings about
// things the format accepts but that an author almost surely did not mean.
// Warnings never stop a compilation and never change what it writes. Each has
// a name, shown as "[-Wname]":
//
//   unknown-keyword  a field in keyword position that no keyword recognises
//                    and that is not a section header (with the nearest keyword)
//   wrapped-value    a value its cell member keeps only in part (a gradient
//                    outside -100..155, an adhesion outside 0..255)
//   route-order      a gradient, speed or adhesion entry whose cell the fill
//                    has already passed, or a station before the previous one

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/memorizza_dati.h"
#include "model/diagnostica.h"

namespace scenario {

struct Avviso {
  std::string_view nome;
  std::string_view significato;  // one line, for --help and the reference page
};
inline constexpr Avviso kAvvisi[] = {
    {"unknown-keyword",
     "a keyword field that no keyword recognises, or one a hyphen turns into a comment"},
    {"wrapped-value", "a value its cell keeps only in part (a gradient outside -100..155)"},
    {"route-order", "a gradient, profile, curve or station entry not after the previous one"},
    {"missing-field", "an entry with fewer fields on its line than it takes"},
    {"extra-field", "a field left over after an entry's last field (a decimal comma)"},
    {"out-of-range", "a value outside the range the format gives for its field"},
    {"profile-start", "a speed or adhesion profile that does not start at 0"},
    {"beyond-route", "a station, signal, board or slowdown beyond the route's length"},
    {"overwritten", "a station on a cell that an earlier entry holds"},
    {"reversed-extent", "an extent that ends before it starts"},
    {"time-order", "a station's scheduled time earlier than the previous one's"},
    {"encoding", "text that is not Windows-1252 (a UTF-8 file, an undefined byte)"},
};

struct OpzioniAvvisi {
  std::set<std::string, std::less<>> spenti;  // names turned off with -Wno-NAME
  bool come_errori = false;                   // -Werror

  bool attivo(std::string_view nome) const { return spenti.find(nome) == spenti.end(); }
};

// The keyword of either source nearest to `campo` (letter case ignored), or
// an empty text when none is close enough to be a likely typing mistake.
std::string parola_chiave_vicina(std::string_view campo);

// Collects the reader's observations as diagnostics, in reading order.
class DiagnosticheLettura : public OsservatoreLettura {
 public:
  explicit DiagnosticheLettura(OpzioniAvvisi opzioni) : opzioni_(std::move(opzioni)) {}

  void campo_ignorato(const LuogoSorgente& luogo, const std::string& campo) override;
  void valore_avvolto(const LuogoSorgente& luogo, const std::string& voce, int64_t letto,
                      int64_t memorizzato) override;
  void fuori_ordine(const LuogoSorgente& luogo, const std::string& voce, int32_t posizione,
                    int32_t raggiunta) override;

  void errore_registrato(const VoceLetta& voce, int32_t codice, int32_t posizione,
                         const std::string& perche) override;

  // Everything observed, in reading order; then the model's own error when
  // no recording of the reader accounts for it (the placement pass's codes,
  // the chainage check, a code that replaced the one recorded last).
  std::vector<Diagnostica> diagnostiche(const ModelloPercorso& m) const;
  // The observations alone.
  const std::vector<Diagnostica>& osservate() const { return diagnostiche_; }

 private:
  void aggiungi(const LuogoSorgente& luogo, std::string_view nome, std::string messaggio);

  OpzioniAvvisi opzioni_;
  std::vector<Diagnostica> diagnostiche_;
  LuogoSorgente ultima_riga_ignorata_;
  struct Registrato {
    LuogoSorgente luogo;
    int32_t codice;
    int32_t posizione;
  };
  std::vector<Registrato> registrati_;
};

}  // namespace scenario
