#pragma once
// The checking pass: reads both sources line by line, driven by the format
// table, and reports every problem it finds, in source order, each at its
// field. It never changes what the reader records or what is written: the
// recorded error stays the one the reader finds; this pass tells the author
// everything else at once, where the reader stops at the first error or
// passes silently over what it cannot tell.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "compiler/diagnostiche_lettura.h"
#include "model/diagnostica.h"

namespace scenario {

struct TestoSorgente {
  std::string nome;   // as diagnostics name the file (UTF-8)
  std::string testo;  // its bytes (Windows-1252)
};

struct EsitoControllo {
  // Problems in source order (the route source first): errors the reader
  // would meet if it got there, and named warnings. A note that follows a
  // problem names the other entry that causes it.
  std::vector<Diagnostica> problemi;
  // The route source's header that looks like "[generale]", when it has none.
  std::optional<LuogoSorgente> come_generale;
  // The entry whose cell is cell 1, where the check codes go.
  std::optional<Diagnostica> in_cella_uno;
};

EsitoControllo controlla_sorgenti(const TestoSorgente& linea, const TestoSorgente& treno,
                                  const OpzioniAvvisi& avvisi, bool con_tracciato = true);

}  // namespace scenario
