#pragma once
// The language server's documents: the open buffers by URI, the pair of
// sources each belongs to, and where a protocol position falls in a text.
//
// Positions: the sources are Windows-1252, one byte per character, and every
// character of the code page is one UTF-16 code unit, so a byte column is the
// protocol's column. A buffer arrives as UTF-8: each character the code page
// holds becomes its byte, any other becomes "?", and one outside the Basic
// Multilingual Plane (two UTF-16 units) becomes "??", so that columns still
// agree with the editor's.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/formato.h"
#include "text/lettore_json.h"

namespace scenario {

struct Documento {
  std::string testo;  // Windows-1252, as the reader reads it
  int64_t versione = 0;
};

// The open documents, by URI.
using Documenti = std::map<std::string, Documento>;

// The two sources of one scenario, by path (UTF-8) and URI.
struct Coppia {
  std::string linea, treno;
  std::string uri_linea, uri_treno;
};

// An editor's UTF-8 text as the Windows-1252 bytes the reader reads, one byte
// per UTF-16 code unit (see above).
std::string testo_da_editore(std::string_view utf8);

// A file URI ("file:///a/b%20c.txt") as a path in UTF-8 ("/a/b c.txt"; on
// Windows "file:///C:/x" gives "C:/x"); empty when it is no file URI. And back.
std::string percorso_da_uri(std::string_view uri);
std::string uri_da_percorso(std::string_view utf8);

// Which source a file is by its name: NAME_linea.txt or NAME_TRAIN-.txt.
std::optional<SorgenteFormato> sorgente_di(const std::string& uri);

// The pair an open document belongs to: the partner is the open document or
// file in its folder that the naming rule gives; with several service
// sources for one route, the first by name. Nothing for a file the naming
// rule does not name. A partner found nowhere keeps the name it would have.
std::optional<Coppia> coppia_di(const Documenti& documenti, const std::string& uri);

// A source's text: the open document's, else its file's on disk; nothing
// when it is neither open nor readable.
std::optional<std::string> testo_sorgente_lsp(const Documenti& documenti, const std::string& uri,
                                              const std::string& percorso);

// The byte offset of a protocol position in a Windows-1252 text; a position
// past a line's end is its end, past the last line the text's end.
size_t scostamento(const std::string& testo, int64_t riga, int64_t carattere);

// Applies one entry of didChange's contentChanges: the whole text, or a range
// replaced. ParametriErrati when it has no text.
void applica_modifica(std::string& testo, const ValoreJson& modifica);

}  // namespace scenario
