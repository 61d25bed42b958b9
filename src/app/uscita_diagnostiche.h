#pragma once
// How the tool shows diagnostics: as text on the error stream (the one
// formatter of model/diagnostica.h) and as records in its JSON output.

#include <iosfwd>
#include <vector>

#include "app/json.h"
#include "model/diagnostica.h"

namespace scenario {

void stampa_diagnostiche(std::ostream& err, const std::vector<Diagnostica>& diagnostiche);

// A list of records {"level" (error, warning, note), "file", "line", "column", "code", "warning",
// "message", "position", "source_line"}; absent values are null.
void diagnostiche_json(ScrittoreJson& json, const std::vector<Diagnostica>& diagnostiche);

}  // namespace scenario
