#pragma once
// What every part of the language server shares of the protocol: reading a
// request's parameters, and writing positions and ranges. Lines are
// zero-based and columns count UTF-16 units, which for a Windows-1252 text
// are its bytes (see documenti_lsp.h).

#include <cstdint>
#include <string>
#include <string_view>

#include "model/modello.h"
#include "text/lettore_json.h"
#include "toolkit/json.h"

namespace scenario {

// A request's parameters that do not have the form the method needs: the
// request is answered with InvalidParams, a notification is dropped.
struct ParametriErrati {
  std::string perche;
};

// The member `k` of `v`, of type `tipo`; ParametriErrati when it is not there.
const ValoreJson& membro(const ValoreJson& v, const std::string& k, ValoreJson::Tipo tipo);

// params.textDocument.uri.
const std::string& uri_richiesta(const ValoreJson& p);

// A request on one place of a document: params.textDocument and params.position.
struct PuntoRichiesta {
  std::string uri;
  int64_t riga = 0;
  int64_t carattere = 0;
};
PuntoRichiesta punto_richiesta(const ValoreJson& p);

// {"line": riga, "character": carattere}, negative values as 0.
void scrivi_posizione(ScrittoreJson& j, int64_t riga, int64_t carattere);

// The member `chiave` holding a range from (riga_da, da) to (riga_a, a).
void scrivi_intervallo(ScrittoreJson& j, std::string_view chiave, int64_t riga_da, int64_t da,
                       int64_t riga_a, int64_t a);

// The member "range" on line `riga` from column `da` to column `a`.
void scrivi_intervallo(ScrittoreJson& j, int64_t riga, int64_t da, int64_t a);

// The member "range" of a diagnostic's field: the field at `l` (1-based line
// and column), `larghezza` characters, at least one; the file's first
// character when `l` has no line.
void scrivi_intervallo(ScrittoreJson& j, const LuogoSorgente& l, int larghezza);

// {"uri": uri, "range": ...} on one line.
void scrivi_luogo(ScrittoreJson& j, const std::string& uri, int64_t riga, int64_t da, int64_t a);

}  // namespace scenario
