#include "toolkit/grammatica_textmate.h"

#include <ostream>
#include <string>
#include <string_view>

#include "compiler/formato.h"
#include "toolkit/json.h"

namespace scenario {
namespace {

// A word of a reader's test, as a literal inside an Oniguruma expression.
std::string letterale(std::string_view parola) {
  std::string r;
  for (char c : parola) {
    if (std::string_view("\\^$.|?*+()[]{}-").find(c) != std::string_view::npos) r += '\\';
    r += c;
  }
  return r;
}

// The keyword field as its reader recognises the entry: at a line's start,
// up to the comma or the line end, holding every word of the entry's test (in
// any letter case unless the test is exact) and no "-" (a field with one is
// passed over as a comment). Blanks around it are not part of it. An editor
// may hand a line over with its line end: no class reaches past it.
std::string espressione_voce(const VoceFormato& v) {
  std::string e = v.esatte ? "" : "(?i)";
  e += "^[ \\t]*(";
  for (std::string_view p : v.prove) e += "(?=[^,\\-\\n]*" + letterale(p) + ")";
  e += "[^,\\-\\n]*?)(?=[ \\t]*(?:,|$))";
  return e;
}

void regola(ScrittoreJson& j, std::string_view nome, std::string_view espressione) {
  j.apri_oggetto();
  j.campo("name", nome);
  j.campo("match", espressione);
  j.chiudi_oggetto();
}

}  // namespace

void scrivi_grammatica_textmate(std::ostream& out) {
  ScrittoreJson j(out);
  j.apri_oggetto();
  j.campo("comment",
          "Generated from the format table (src/compiler/formato.cpp) by the grammatica_vscode "
          "target; edit the table, not this file.");
  j.campo("name", "Scenario source");
  j.campo("scopeName", "source.scenario");
  j.chiave("patterns");
  j.apri_lista();
  for (std::string_view r :
       {"#preambolo", "#commento", "#sezione", "#voce", "#testo", "#numero", "#virgola"}) {
    j.apri_oggetto(true);
    j.campo("include", r);
    j.chiudi_oggetto();
  }
  j.chiudi_lista();

  j.chiave("repository");
  j.apri_oggetto();
  // The readers skip everything before the general section's header.
  j.chiave("preambolo");
  j.apri_oggetto();
  j.campo("name", "comment.block.preamble.scenario");
  j.campo("begin", "\\A(?![ \\t]*\\[(?i:generale)\\])");
  j.campo("end", "(?=^[ \\t]*\\[(?i:generale)\\])");
  j.chiudi_oggetto();
  j.chiave("commento");
  regola(j, "comment.line.dash.scenario", "^[ \\t]*-.*$");
  j.chiave("sezione");
  regola(j, "entity.name.section.group-title.scenario", "^[ \\t]*\\[[^\\]]*\\]");
  j.chiave("voce");
  j.apri_oggetto();
  j.chiave("patterns");
  j.apri_lista();
  for (const VoceFormato& v : voci_formato()) {
    j.apri_oggetto();
    j.campo("comment", std::string(v.parola) + " (" + std::string(nome_sorgente(v.sorgente)) +
                           ", " + std::string(v.sezione) + "): " + std::string(v.significato));
    j.campo("match", espressione_voce(v));
    j.chiave("captures");
    j.apri_oggetto(true);
    j.chiave("1");
    j.apri_oggetto(true);
    j.campo("name", "keyword.other.entry.scenario");
    j.chiudi_oggetto();
    j.chiudi_oggetto();
    j.chiudi_oggetto();
  }
  j.chiudi_lista();
  j.chiudi_oggetto();
  // A field after the keyword that is not a number: a board's text, a
  // station's name.
  j.chiave("testo");
  j.apri_oggetto();
  j.campo("match", "(?<=,)[ \\t]*([^,\\n]*[^0-9 \\t,+\\-\\n][^,\\n]*?)[ \\t]*(?=,|$)");
  j.chiave("captures");
  j.apri_oggetto(true);
  j.chiave("1");
  j.apri_oggetto(true);
  j.campo("name", "string.unquoted.scenario");
  j.chiudi_oggetto();
  j.chiudi_oggetto();
  j.chiudi_oggetto();
  // A number field ends at a blank, a comma or the line end.
  j.chiave("numero");
  regola(j, "constant.numeric.integer.scenario", "(?<![^ \\t,])[+\\-]?[0-9]+(?=[ \\t,]|$)");
  j.chiave("virgola");
  regola(j, "punctuation.separator.scenario", ",");
  j.chiudi_oggetto();
  j.chiudi_oggetto();
}

}  // namespace scenario
