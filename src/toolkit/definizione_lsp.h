#pragma once
// Go to definition between the two sources of a pair. From an entry of the
// service source that stands at a place (a station, a signal, a slowdown
// ...) to the route source's entries that cover that place: the gradient
// entry in force there and, when the place lies on a curve, that curve. From
// a gradient or a curve of the route source back to the service source's
// entries that stand on its stretch (a gradient holds to the next one).

#include <string>

#include "toolkit/documenti_lsp.h"
#include "toolkit/json.h"
#include "toolkit/protocollo_lsp.h"

namespace scenario {

// The result of textDocument/definition: a list of locations, null when the
// cursor is on no such entry or the partner cannot be read.
void scrivi_definizione(ScrittoreJson& j, const Documenti& documenti, const PuntoRichiesta& p);

}  // namespace scenario
