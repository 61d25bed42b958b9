#pragma once
// scenario lsp: a language server over a message stream (JSON-RPC 2.0 in
// Content-Length framed messages). A scenario is a pair of sources,
// NAME_linea.txt and NAME_TRAIN-.txt, in one folder: when either is open the
// server compiles the pair as compile does, in memory (the open buffer's text
// for an open file, the file on disk for the other; nothing is written, no
// source is touched) and publishes the diagnostics of both files: at once on
// open and on save, and after a quiet interval on change, so that typing does
// not compile at every key.
//
// The server's parts, one file each: documenti_lsp (buffers, pairs,
// positions), righe_lsp (lines and fields), diagnostiche_lsp,
// spiegazione_lsp (hover), completamento_lsp, simboli_lsp, firma_lsp
// (signature help), suggerimenti_lsp (inlay hints), definizione_lsp, and
// ingresso_lsp, the input read ahead so that waiting has a deadline.

#include <chrono>
#include <iosfwd>

namespace scenario {

struct OpzioniServerLsp {
  // The quiet interval after a change before its pair is compiled again.
  std::chrono::milliseconds ritardo{300};
};

// Serves the messages read from `in`, answering on `out`, until the exit
// notification or the end of `in`. Returns the exit status: 0 when exit
// followed shutdown, 1 otherwise. Diagnostics still waiting for their quiet
// interval are published before shutdown is answered, and dropped by exit or
// the end of the stream.
int esegui_server_lsp(std::istream& in, std::ostream& out, const OpzioniServerLsp& opzioni = {});

}  // namespace scenario
