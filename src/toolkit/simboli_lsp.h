#pragma once
// Document symbols: the outline of a source, each section with its entries
// by keyword (a station also by its name) and position.

#include <string>

#include "compiler/formato.h"
#include "toolkit/json.h"

namespace scenario {

void scrivi_simboli(ScrittoreJson& j, const std::string& testo, SorgenteFormato sorgente);

}  // namespace scenario
