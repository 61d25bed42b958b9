#pragma once
// Signature help while an entry is typed: the entry's fields from the format
// table as the signature's parameters, the field under the cursor active.

#include <cstdint>
#include <string>

#include "compiler/formato.h"
#include "toolkit/json.h"

namespace scenario {

// The result of textDocument/signatureHelp: null off an entry and past its
// last field.
void scrivi_firma(ScrittoreJson& j, const std::string& testo, SorgenteFormato sorgente,
                  int64_t riga, int64_t carattere);

}  // namespace scenario
