// scenario lsp: the language server on standard input and output; see
// toolkit/server_lsp.h.

#include <iostream>

#include "toolkit/comandi.h"
#include "toolkit/server_lsp.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#endif

namespace scenario {
namespace {

constexpr const char* kAiuto =
    "Usage: scenario lsp\n"
    "\n"
    "A language server for editors (the Language Server Protocol, on standard\n"
    "input and output). Open NAME_linea.txt or NAME_TRAIN-.txt: the pair is\n"
    "compiled as compile does, in memory, on open, on save and when typing pauses,\n"
    "and the diagnostics of both files are shown where they are; hover, signature\n"
    "help, inlay hints, completion, the outline and go to definition come from the\n"
    "format table. Nothing is written, no source is touched.\n"
    "Exit status: 0 after shutdown and exit; 1 when the client went away without.\n";

}  // namespace

int comando_lsp(Argomenti& a, Uscite& u) {
  while (a.prossimo()) {
    if (a.bandiera("--help") || a.bandiera("-h")) {
      u.out << kAiuto;
      return kUscitaRiuscita;
    }
    a.sconosciuta();
  }
#ifdef _WIN32
  // Content-Length counts bytes: no CR may be added or taken away.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  return esegui_server_lsp(std::cin, u.out);
}

}  // namespace scenario
