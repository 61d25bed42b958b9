#pragma once
// Inlay hints: the field's name, "name:", before each positional value of
// every entry in the range asked for. Clients turn them off themselves.

#include <cstdint>
#include <string>

#include "compiler/formato.h"
#include "toolkit/json.h"

namespace scenario {

// The hints of lines `prima` to `ultima` (zero-based, both included).
void scrivi_suggerimenti(ScrittoreJson& j, const std::string& testo, SorgenteFormato sorgente,
                         int64_t prima, int64_t ultima);

}  // namespace scenario
