// scenario compile ROUTE SERVICE: the user's sources into the three compiled
// files, by the generator's own builder.

#include <ostream>
#include <sstream>

#include "text/cp1252.h"
#include "toolkit/comandi.h"
#include "toolkit/compila_sorgenti.h"
#include "toolkit/json.h"
#include "toolkit/uscita_diagnostiche.h"

namespace scenario {
namespace {

constexpr const char* kAiuto =
    "Usage: scenario compile ROUTE SERVICE [-o DIR] [--name NAME] [--train NUMBER]\n"
    "                        [--no-plan] [--json [--text-diagnostics]] [--max-errors N]\n"
    "                        [-Wno-NAME] [-Werror]\n"
    "\n"
    "Compiles a route source and a service source into the plan, items and cells\n"
    "files, named by the naming rule, in DIR (default: the current folder). The\n"
    "sources are read in place; they are never deleted or changed.\n"
    "\n"
    "  -o DIR           folder for the compiled files (created when missing)\n"
    "  --name NAME      scenario name; default: ROUTE's name before \"_linea.txt\"\n"
    "  --train NUMBER   train number; default: SERVICE's name between \"NAME_\" and \"-.txt\"\n"
    "  --no-plan        build without the plan table and write no plan file\n"
    "  --json           print the outcome as one JSON object on standard output, and\n"
    "                   nothing on standard error\n"
    "  --text-diagnostics  with --json, also print the diagnostics as text on\n"
    "                   standard error\n"
    "  --max-errors N   report at most N problems besides the recorded error (default 20)\n"
    "  -Wno-NAME        turn the warning NAME off (-WNAME turns it back on)\n"
    "  -Werror          report warnings as errors (exit status 3)\n"
    "\n"
    "Errors are reported as FILE:LINE:COL: error CODE: what is wrong (position P m),\n"
    "with the source line and a caret under the field. Besides the error the reader\n"
    "records, a check of both sources reports every further problem it finds.\n"
    "\n"
    "Exit status: 0 compiled; 3 compiled files written but the sources hold an error;\n"
    "1 nothing written (a failure); 2 usage error, or a model check (1250, 1251).\n"
    "\n"
    "Warnings (each on by default):\n";

void aiuto(std::ostream& out) {
  out << kAiuto;
  for (const Avviso& a : kAvvisi) {
    out << "  " << a.nome << std::string(a.nome.size() < 17 ? 17 - a.nome.size() : 1, ' ')
        << a.significato << "\n";
  }
}

bool avviso_noto(std::string_view nome) {
  for (const Avviso& a : kAvvisi) {
    if (a.nome == nome) return true;
  }
  return false;
}

// -Wno-NAME, -WNAME, -Werror, -Wno-error; false for anything else.
bool opzione_avviso(const std::string& a, OpzioniAvvisi& o) {
  if (a.size() < 3 || a.compare(0, 2, "-W") != 0) return false;
  if (a == "-Werror" || a == "-Wno-error") {
    o.come_errori = a == "-Werror";
    return true;
  }
  const bool spento = a.compare(0, 5, "-Wno-") == 0;
  const std::string nome = a.substr(spento ? 5 : 2);
  if (!avviso_noto(nome)) throw ErroreUso("unknown warning '" + a + "'");
  if (spento) {
    o.spenti.insert(nome);
  } else {
    o.spenti.erase(nome);
  }
  return true;
}

void scrivi_json(std::ostream& out, const EsitoCompilazione& e) {
  ScrittoreJson json(out);
  json.apri_oggetto();
  json.campo("status", e.stato);
  json.campo("codice_errore", e.codice_errore);
  json.campo("posizione_errore", e.posizione_errore);
  json.chiave("diagnostics");
  diagnostiche_json(json, e.diagnostiche);
  json.chiave("files");
  json.apri_lista();
  for (const std::string& f : e.file) json.stringa(f);
  json.chiudi_lista();
  json.chiudi_oggetto();
}

}  // namespace

int comando_compile(Argomenti& a, Uscite& u) {
  RichiestaCompilazione r;
  std::vector<std::string> posizionali;
  std::string cartella;
  std::string nome;
  std::string treno;
  bool json = false;
  bool testo = false;
  std::string massimo;
  while (a.prossimo()) {
    if (a.bandiera("--help") || a.bandiera("-h")) {
      aiuto(u.out);
      return kUscitaRiuscita;
    }
    if (a.valore("-o", cartella) || a.valore("--name", nome) || a.valore("--train", treno)) {
      continue;
    }
    if (a.valore("--max-errors", massimo)) {
      if (massimo.empty() || massimo.size() > 6 ||
          massimo.find_first_not_of("0123456789") != std::string::npos) {
        throw ErroreUso("--max-errors takes a whole number, not '" + massimo + "'");
      }
      r.massimo_problemi = std::stoul(massimo);
      continue;
    }
    if (a.bandiera("--no-plan")) {
      r.con_tracciato = false;
    } else if (a.bandiera("--json")) {
      json = true;
    } else if (a.bandiera("--text-diagnostics")) {
      testo = true;
    } else if (a.e_opzione()) {
      std::string o = a.prendi();
      if (!opzione_avviso(o, r.avvisi)) throw ErroreUso("unknown option '" + o + "'");
    } else {
      posizionali.push_back(a.prendi());
    }
  }
  if (testo && !json) throw ErroreUso("--text-diagnostics goes with --json");
  if (posizionali.size() != 2) {
    throw ErroreUso("compile takes two sources, ROUTE and SERVICE; " +
                    std::to_string(posizionali.size()) + " given");
  }
  r.linea = percorso_utf8(posizionali[0]);
  r.treno = percorso_utf8(posizionali[1]);
  if (!cartella.empty()) r.cartella = percorso_utf8(cartella);
  const NomiDaSorgenti dai_nomi = nomi_da_sorgenti(posizionali[0], posizionali[1], nome);
  if (nome.empty()) nome = dai_nomi.nome_scenario;
  if (treno.empty()) treno = dai_nomi.numero_treno;
  if (nome.empty()) {
    throw ErroreUso(
        "the source names do not follow the naming rule (NAME_linea.txt); give "
        "--name NAME");
  }
  if (treno.empty()) {
    throw ErroreUso(
        "the service source's name does not give the train number (NAME_TRAIN-.txt); "
        "give --train NUMBER");
  }
  r.nome_scenario = utf8_a_cp1252(nome);
  r.numero_treno = utf8_a_cp1252(treno);

  const EsitoCompilazione e = compila_sorgenti(r);
  if (!json || testo) stampa_diagnostiche(u.err, e.diagnostiche);
  if (json) {
    scrivi_json(u.out, e);
  } else {
    for (const std::string& f : e.file) {
      u.out << (cartella.empty() ? f : utf8_di(r.cartella / percorso_utf8(f))) << "\n";
    }
  }
  return e.stato;
}

}  // namespace scenario
