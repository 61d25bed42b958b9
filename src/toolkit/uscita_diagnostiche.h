#pragma once
// How the tool shows diagnostics: as text on the error stream (the one
// formatter of model/diagnostica.h) and as records in its JSON output.

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "model/diagnostica.h"
#include "toolkit/json.h"

namespace scenario {

void stampa_diagnostiche(std::ostream& err, const std::vector<Diagnostica>& diagnostiche);

// One error about a whole file (a compiled file that cannot be decoded, a
// problem verify found): "FILE: error: what", through the same formatter.
void stampa_errore_file(std::ostream& out, const std::string& file, const std::string& messaggio);

// Commands that write an author's files never replace one that is there
// unless told to (--force): each file of `percorsi` that exists is named as
// `mostrato` gives it, then "scenario COMANDO: nothing was written". Whether
// any existed, so that the command writes nothing and ends with status 1.
bool nomina_file_esistenti(std::ostream& err, std::string_view comando,
                           const std::vector<std::filesystem::path>& percorsi,
                           std::string (*mostrato)(const std::filesystem::path&));

// A list of records {"level" (error, warning, note), "file", "line", "column", "width" (the
// field's characters from that column, as many as the ~ underline), "code", "warning",
// "message", "position", "source_line"}; absent values are null. Columns and widths count
// characters of the source, one per Windows-1252 byte.
void diagnostiche_json(ScrittoreJson& json, const std::vector<Diagnostica>& diagnostiche);

}  // namespace scenario
