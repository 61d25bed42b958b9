#pragma once
// The tool's subcommands. Each reads its own arguments (after the command
// word), writes results to out and diagnostics to err, and returns the exit
// status; a mistake in its command line is an ErroreUso.

#include "toolkit/riga_comando.h"

namespace scenario {

int comando_sources(Argomenti& a, Uscite& u);
int comando_compile(Argomenti& a, Uscite& u);
int comando_dump(Argomenti& a, Uscite& u);
int comando_verify(Argomenti& a, Uscite& u);
int comando_plot(Argomenti& a, Uscite& u);
int comando_explain(Argomenti& a, Uscite& u);
int comando_new(Argomenti& a, Uscite& u);
int comando_lsp(Argomenti& a, Uscite& u);

}  // namespace scenario
