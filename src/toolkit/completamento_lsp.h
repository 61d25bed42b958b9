#pragma once
// Completion: at a line's start, the keywords of the section the cursor is
// in, each a snippet of its fields, and the section headers; inside an entry,
// after its keyword, nothing.

#include <cstdint>
#include <string>

#include "compiler/formato.h"
#include "toolkit/json.h"

namespace scenario {

void scrivi_completamento(ScrittoreJson& j, const std::string& testo, SorgenteFormato sorgente,
                          int64_t riga, int64_t carattere);

}  // namespace scenario
