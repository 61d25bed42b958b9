#pragma once
// Hover: what the field under the cursor is (its entry, its name, unit and
// meaning from the format table) and what it becomes: for a place on the
// route, its chainage as km+m and the 50 m cell it lands on; for a station or
// a signal of the service source, the item or cell it is in the model the
// pair last compiled to.

#include <cstdint>
#include <optional>
#include <string>

#include "toolkit/diagnostiche_lsp.h"
#include "toolkit/json.h"

namespace scenario {

struct Spiegazione {
  std::string testo;  // markdown, UTF-8
  int64_t riga = 0;   // zero-based, and the field's columns on it
  size_t da = 0, a = 0;
};

std::optional<Spiegazione> spiega_campo(const std::string& testo, SorgenteFormato sorgente,
                                        int64_t riga, int64_t carattere,
                                        const ModelloCompilato* modello);

// The hover's result: the explanation with its range, or null.
void scrivi_spiegazione(ScrittoreJson& j, const std::optional<Spiegazione>& s);

}  // namespace scenario
