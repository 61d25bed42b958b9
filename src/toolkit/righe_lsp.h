#pragma once
// The lines of an open source as the language server reads them: the section
// each lies in, and the entry a line holds, split into its fields as the
// readers split them. A number field ends at a blank or a comma, so numbers
// separated by blanks alone are fields of their own; a text field runs to the
// next comma. Every feature that points at a field (hover, signature help,
// inlay hints, definition) finds it here, from the format table.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/formato.h"

namespace scenario {

std::string_view senza_blank(std::string_view s);

// One line of a text, without its line end.
struct RigaTesto {
  int64_t numero = 0;  // zero-based
  std::string_view testo;
  std::string sezione;  // the last section header above or on it, lower case; "" before any
};

// Every line of `testo` in order (CR LF, LF and CR each end a line).
std::vector<RigaTesto> righe_lsp(std::string_view testo);

// Line `numero` (zero-based); nothing past the last line.
std::optional<RigaTesto> riga_lsp(std::string_view testo, int64_t numero);

// A line's section header, lower case ("[segnali]"), or "" when it is none.
std::string intestazione_di(std::string_view riga);

struct CampoInRiga {
  size_t zona = 0;  // where the reader starts on it: a cursor from here on is on it
  size_t da = 0;    // its value's columns [da, a); empty for an empty field
  size_t a = 0;
};

// The entry a line holds: its keyword field and the fields found on the line
// (no more than the entry has; fewer when the line ends first).
struct VoceInRiga {
  const VoceFormato* voce = nullptr;
  size_t parola_da = 0, parola_a = 0;
  std::vector<CampoInRiga> campi;
  // Where text left over after the entry's last field starts; npos when none.
  size_t avanzo = std::string_view::npos;
};

// The entry on `riga` of a source, in its section; nothing for a header, a
// blank line or a keyword the reader does not recognise.
std::optional<VoceInRiga> voce_in_riga(std::string_view riga, SorgenteFormato sorgente,
                                       const std::string& sezione);

// The field a cursor at `colonna` is on: 0 the keyword, k the entry's field k
// (1-based), campi.size() + 1 the text left over after them.
size_t campo_alla_colonna(const VoceInRiga& v, size_t colonna);

// The whole number written in field `k` (0-based) of the entry on `riga`; an
// empty field reads as 0, as the reader reads it. Nothing when the field is
// missing or holds no number.
std::optional<int64_t> numero_del_campo(std::string_view riga, const VoceInRiga& v, size_t k);

// The entry's position along the route: its first field when that is a
// place in metres (posizione, x, inizio), with its value.
std::optional<int64_t> posizione_della_voce(std::string_view riga, const VoceInRiga& v);

}  // namespace scenario
