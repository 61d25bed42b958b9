#pragma once
// scenario lsp: a language server over a message stream (JSON-RPC 2.0 in
// Content-Length framed messages). A scenario is a pair of sources,
// NAME_linea.txt and NAME_TRAIN-.txt, in one folder: when either is open the
// server compiles the pair as compile does, in memory (the open buffer's text
// for an open file, the file on disk for the other; nothing is written, no
// source is touched) and publishes the diagnostics of both files.
//
// Positions: the sources are Windows-1252, one byte per character, and every
// character of the code page is one UTF-16 code unit, so a byte column is the
// protocol's column. A buffer arrives as UTF-8: each character the code page
// holds becomes its byte, any other becomes "?", and one outside the Basic
// Multilingual Plane (two UTF-16 units) becomes "??", so that columns still
// agree with the editor's.

#include <iosfwd>
#include <string>
#include <string_view>

namespace scenario {

// Serves the messages read from `in`, answering on `out`, until the exit
// notification or the end of `in`. Returns the exit status: 0 when exit
// followed shutdown, 1 otherwise.
int esegui_server_lsp(std::istream& in, std::ostream& out);

// An editor's UTF-8 text as the Windows-1252 bytes the reader reads, one byte
// per UTF-16 code unit (see above).
std::string testo_da_editore(std::string_view utf8);

// A file URI ("file:///a/b%20c.txt") as a path in UTF-8 ("/a/b c.txt"; on
// Windows "file:///C:/x" gives "C:/x"); empty when it is no file URI. And back.
std::string percorso_da_uri(std::string_view uri);
std::string uri_da_percorso(std::string_view utf8);

}  // namespace scenario
