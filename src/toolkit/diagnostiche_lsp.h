#pragma once
// The language server's diagnostics: the pair of an open document compiled as
// compile compiles it, in memory, each diagnostic sent to its file; a file
// whose partner is neither open nor on disk gets the checks that need only
// itself and one note naming the partner it waits for.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/diagnostica.h"
#include "model/modello.h"
#include "toolkit/documenti_lsp.h"

namespace scenario {

// What the compiled model holds that the server tells about: its cells and
// items (the plan table is not kept).
struct ModelloCompilato {
  std::vector<Cella> celle;
  std::array<Voce, kNumeroVoci> voci{};
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  // The service source's line (1-based) whose entry the reading stopped at; 0
  // when it stopped elsewhere or not at all.
  int riga_errore_treno = 0;
};

struct DiagnosticheFile {
  std::string uri;
  bool esiste = true;  // open or on disk: a file that is neither gets nothing published
  std::vector<Diagnostica> diagnostiche;
};

struct EsitoCoppiaLsp {
  std::optional<Coppia> coppia;  // nothing for a file the naming rule does not name
  std::vector<DiagnosticheFile> file;
  std::optional<ModelloCompilato> modello;  // when the pair was compiled
};

// Compiles the pair of the open document `uri`.
EsitoCoppiaLsp compila_coppia_lsp(const Documenti& documenti, const std::string& uri);

// The publishDiagnostics notification for one file; a note that follows a
// problem becomes its related information.
std::string notifica_diagnostiche(const std::string& uri, std::optional<int64_t> versione,
                                  const std::vector<Diagnostica>& diagnostiche,
                                  const std::optional<Coppia>& coppia);

}  // namespace scenario
