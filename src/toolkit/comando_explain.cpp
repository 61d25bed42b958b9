// scenario explain [KEYWORD]: the source format, from the one table of
// compiler/formato.h. With no keyword, every entry by source and section; with
// one, its fields. --markdown and --textmate (not in the help: they are how
// the committed files made from the table are made) write the whole format as
// the page docs/formato.md and as the highlighting grammar of the VS Code
// extension.

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "compiler/diagnostiche_lettura.h"
#include "compiler/formato.h"
#include "toolkit/comandi.h"
#include "toolkit/grammatica_textmate.h"

namespace scenario {
namespace {

constexpr const char* kAiuto =
    "Usage: scenario explain [KEYWORD]\n"
    "\n"
    "Explains the source format. With no keyword, lists every entry of the route\n"
    "source and of the service source by section; with a keyword, shows its\n"
    "fields in order with their units, meanings and the range to keep them in,\n"
    "and an example line. A mistyped keyword is explained as the nearest one.\n";

std::string intervallo(const CampoFormato& c) {
  if (c.genere == GenereCampo::kTesto) {
    return "text, up to " + std::to_string(c.massimo) + " characters";
  }
  // A field with no lower bound in the format (any 32-bit value below it will do).
  std::string s = c.minimo <= INT32_MIN
                      ? "up to " + std::to_string(c.massimo)
                      : std::to_string(c.minimo) + ".." + std::to_string(c.massimo);
  if (c.multiplo > 1) s += ", multiple of " + std::to_string(c.multiplo);
  return s;
}

std::string colonna(std::string s, size_t larghezza) {
  if (s.size() < larghezza) s.append(larghezza - s.size(), ' ');
  return s + "  ";
}

// Every entry of a source, section by section as a source is written.
std::vector<const VoceFormato*> per_sezione(SorgenteFormato s) {
  std::vector<const VoceFormato*> voci;
  for (std::string_view sezione : sezioni_formato(s)) {
    for (const VoceFormato& v : voci_formato()) {
      if (v.sorgente == s && v.sezione == sezione) voci.push_back(&v);
    }
  }
  return voci;
}

constexpr SorgenteFormato kSorgenti[] = {SorgenteFormato::kLinea, SorgenteFormato::kTreno};

std::string_view nome_file_sorgente(SorgenteFormato s) {
  return s == SorgenteFormato::kLinea ? "NAME_linea.txt" : "NAME_TRAIN-.txt";
}

void elenco(std::ostream& out) {
  for (SorgenteFormato s : kSorgenti) {
    std::string titolo(nome_sorgente(s));
    titolo[0] = static_cast<char>(titolo[0] - 'a' + 'A');
    out << titolo << " (" << nome_file_sorgente(s) << ")\n";
    std::string_view sezione;
    for (const VoceFormato* v : per_sezione(s)) {
      if (v->sezione != sezione) {
        sezione = v->sezione;
        out << "  " << sezione << "\n";
      }
      out << "    " << colonna(std::string(v->parola), 28) << v->significato << "\n";
    }
    out << "\n";
  }
  out << "Run 'scenario explain KEYWORD' for an entry's fields.\n";
}

void voce(std::ostream& out, const VoceFormato& v) {
  out << v.parola << " (" << nome_sorgente(v.sorgente) << ", section " << v.sezione << ")\n"
      << "  " << v.significato << "\n\n"
      << "  " << colonna("field", 5) << colonna("name", 11) << colonna("unit", 9)
      << colonna("range", 28) << "meaning\n";
  int n = 0;
  for (const CampoFormato& c : v.campi) {
    out << "  " << colonna(std::to_string(++n), 5) << colonna(std::string(c.nome), 11)
        << colonna(std::string(c.unita), 9) << colonna(intervallo(c), 28) << c.significato << "\n";
  }
  out << "\nExample:\n  " << v.esempio << "\n";
}

std::string cella_md(std::string_view s) {
  std::string r;
  for (char c : s) {
    if (c == '|') r += '\\';
    r += c;
  }
  return r;
}

void pagina(std::ostream& out) {
  out << "# The source format\n\n"
      << "<!-- Generated from the format table (src/compiler/formato.cpp) by the\n"
      << "     formato_doc target; edit the table, not this page. -->\n\n"
      << "A scenario has two sources: the route source and the service source. Each\n"
      << "entry is one line: a keyword, then its fields, separated by commas (numbers may\n"
      << "also be separated by blanks). Every field is numbered after the keyword. A\n"
      << "keyword is recognised when the first field of a line contains its words;\n"
      << "everything before the `[generale]` header is ignored, and a line whose first\n"
      << "field holds `-` is passed over as a comment.\n";
  for (SorgenteFormato s : kSorgenti) {
    std::string titolo(nome_sorgente(s));
    titolo[0] = static_cast<char>(titolo[0] - 'a' + 'A');
    out << "\n## " << titolo << " (`" << nome_file_sorgente(s) << "`)\n";
    for (const VoceFormato* v : per_sezione(s)) {
      out << "\n### `" << v->parola << "` (section `" << v->sezione << "`)\n\n"
          << v->significato << ". Example: `" << v->esempio << "`\n\n"
          << "| field | name | unit | range | meaning |\n"
          << "|---|---|---|---|---|\n";
      int n = 0;
      for (const CampoFormato& c : v->campi) {
        out << "| " << ++n << " | `" << c.nome << "` | " << cella_md(c.unita) << " | "
            << cella_md(intervallo(c)) << " | " << cella_md(c.significato) << " |\n";
      }
    }
  }
  out << "\n## Warnings\n\n"
      << "`scenario compile` warns about what the format accepts but an author almost\n"
      << "surely did not mean. `-Wno-NAME` turns one off, `-Werror` makes them errors.\n\n"
      << "| name | what it reports |\n"
      << "|---|---|\n";
  for (const Avviso& a : kAvvisi)
    out << "| `" << a.nome << "` | " << cella_md(a.significato) << " |\n";
}

// The entry an author means by `parola`: its keyword, a field its reader
// recognises (a curve as "curvad4"), or the nearest keyword.
const VoceFormato* cerca(const std::string& parola, bool& vicina) {
  vicina = false;
  if (const VoceFormato* v = voce_per_parola(parola)) return v;
  for (SorgenteFormato s : kSorgenti) {
    for (bool generale : {true, false}) {
      if (const VoceFormato* v = voce_riconosciuta(parola, s, generale)) return v;
    }
  }
  const std::string p = parola_chiave_vicina(parola);
  vicina = !p.empty();
  return p.empty() ? nullptr : voce_per_parola(p);
}

}  // namespace

int comando_explain(Argomenti& a, Uscite& u) {
  std::vector<std::string> parole;
  bool markdown = false;
  bool textmate = false;
  while (a.prossimo()) {
    if (a.bandiera("--help") || a.bandiera("-h")) {
      u.out << kAiuto;
      return kUscitaRiuscita;
    }
    if (a.bandiera("--markdown")) {
      markdown = true;
      continue;
    }
    if (a.bandiera("--textmate")) {
      textmate = true;
      continue;
    }
    if (a.e_opzione()) a.sconosciuta();
    parole.push_back(a.prendi());
  }
  if (markdown || textmate) {
    if (markdown && textmate) throw ErroreUso("--markdown and --textmate go one at a time");
    if (!parole.empty()) {
      throw ErroreUso(std::string(markdown ? "--markdown" : "--textmate") + " takes no keyword");
    }
    if (markdown) {
      pagina(u.out);
    } else {
      scrivi_grammatica_textmate(u.out);
    }
    return kUscitaRiuscita;
  }
  if (parole.empty()) {
    elenco(u.out);
    return kUscitaRiuscita;
  }
  // A keyword of several words may come as one argument or as several.
  std::string parola;
  for (const std::string& p : parole) parola += (parola.empty() ? "" : " ") + p;
  bool vicina = false;
  const VoceFormato* v = cerca(parola, vicina);
  if (v == nullptr) {
    u.err << kNomeStrumento << " explain: \"" << parola
          << "\" is not a keyword; run 'scenario explain' for the list\n";
    return kUscitaGuasto;
  }
  if (vicina) {
    u.err << kNomeStrumento << " explain: \"" << parola << "\" is not a keyword; did you mean \""
          << v->parola << "\"?\n";
  }
  voce(u.out, *v);
  return kUscitaRiuscita;
}

}  // namespace scenario
