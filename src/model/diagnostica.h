#pragma once
// Diagnostics: what a compilation found wrong, as data. A record has a level,
// a place in a source file, the scenario error code (for errors the format
// defines) or the name of a warning, one sentence, and the route position.
// One formatter prints them for people, in the form compilers use:
//
//   FILE:LINE:COL: error CODE: what is wrong (position P m)
//   the source line
//   ^ under the entry
//
// Warnings end with their name, "[-Wname]", or "[-Werror=name]" when
// -Werror turned them into errors.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"

namespace scenario {

// A note adds to the diagnostic before it: where something it caused shows.
enum class Livello { kErrore, kAvviso, kNota };

struct Diagnostica {
  Livello livello = Livello::kErrore;
  LuogoSorgente luogo;               // file empty: not tied to a source
  int32_t codice = 0;                // the recorded code; 0 when none
  std::string avviso;                // a warning's name ("unknown-keyword"); empty for errors
  std::string messaggio;             // what is wrong, one sentence (UTF-8)
  std::optional<int32_t> posizione;  // route position in metres, where known
  int larghezza = 0;                 // characters of the field at luogo, underlined with ~
  std::string riga_sorgente;         // the line at luogo.riga (UTF-8); empty when unknown

  bool operator==(const Diagnostica&) const = default;
};

// The record of the model's recorded error (codice_errore not 0).
Diagnostica diagnostica_errore(const ModelloPercorso& m);

// Whether a refusal with this code records the failing entry's position; the
// other codes leave posizione_errore as it was, telling nothing about them.
bool errore_con_posizione(int32_t codice);

// The first line: "FILE:LINE:COL: error CODE: sentence (position P m)". A
// record tied to no source starts with `senza_luogo` + ": " when that is not empty.
std::string prima_riga_diagnostica(const Diagnostica& d, std::string_view senza_luogo = "");

// The whole report: the first line, then the source line and a caret under
// the column with "~" under the rest of the field, each line ended by "\n". A
// long source line is shown cut around the caret, "..." marking the cuts.
std::string formatta_diagnostica(const Diagnostica& d, std::string_view senza_luogo = "");

// Line `riga` (1-based) of a source file's bytes, as UTF-8 and without its
// line end; CR LF, LF and CR all end a line. Empty when there is no such line.
std::string riga_del_testo(std::string_view cp1252, int riga);

}  // namespace scenario
