// scenario verify DIR: checks a compiled scenario for consistency.

#include <filesystem>
#include <ostream>
#include <string_view>

#include "output/verifica_compilati.h"
#include "platform/file_atomico.h"
#include "platform/guasto.h"
#include "text/cp1252.h"
#include "text/nomi_file.h"
#include "toolkit/comandi.h"
#include "toolkit/json.h"
#include "toolkit/scenario_in_cartella.h"
#include "toolkit/uscita_diagnostiche.h"

namespace scenario {
namespace {

constexpr const char* kAiuto =
    "Usage: scenario verify DIR [--name NAME --train NUMBER] [--json [--text-diagnostics]]\n"
    "\n"
    "Checks the compiled scenario in DIR: the plan, items and cells files decode\n"
    "exactly to their end, their sizes agree with the route length in item 84, the\n"
    "markers 610 (item 85) and 5121 (cell 1) are in place, the check codes and the\n"
    "names in items 85 and 86 agree with the scenario's names, and the plan file's\n"
    "type tags follow its rows. A missing plan file is accepted (--no-plan).\n"
    "\n"
    "NAME and NUMBER default to the one items file (NAME_NUMBER.sim) in DIR.\n"
    "\n"
    "Each problem is reported on standard error as FILE: error: what (with \"offset N:\"\n"
    "where one place of the file is at fault), as compile and dump report theirs;\n"
    "standard output gets the verdict, one line.\n"
    "\n"
    "  --json         the verdict and the problems as one JSON object on standard\n"
    "                 output, and nothing on standard error\n"
    "  --text-diagnostics  with --json, also report the problems as text on\n"
    "                 standard error\n"
    "\n"
    "Exit status: 0 consistent; 1 with the list of what fails.\n";

void scrivi_json(std::ostream& out, const ScenarioInCartella* s, bool con_tracciato,
                 const std::vector<ProblemaCompilato>& problemi) {
  ScrittoreJson json(out);
  json.apri_oggetto();
  json.campo("status", problemi.empty() ? kUscitaRiuscita : kUscitaGuasto);
  json.chiave("scenario");
  s ? json.stringa(cp1252_a_utf8(s->nome_scenario)) : json.nullo();
  json.chiave("train");
  s ? json.stringa(cp1252_a_utf8(s->numero_treno)) : json.nullo();
  json.chiave("consistent");
  json.booleano(problemi.empty());
  json.chiave("plan");
  json.booleano(con_tracciato);
  json.chiave("problems");
  json.apri_lista();
  for (const ProblemaCompilato& p : problemi) {
    json.apri_oggetto(true);
    json.chiave("file");
    p.file.empty() ? json.nullo() : json.stringa(p.file);
    json.chiave("offset");
    p.offset ? json.intero(static_cast<int64_t>(*p.offset)) : json.nullo();
    json.campo("message", p.testo);
    json.campo("text", prima_riga_diagnostica(
                           Diagnostica{Livello::kErrore, {p.file, 0, 0}, 0, "", p.testo, {}, 0, ""},
                           kNomeStrumento));
    json.chiudi_oggetto();
  }
  json.chiudi_lista();
  json.chiudi_oggetto();
}

}  // namespace

int comando_verify(Argomenti& a, Uscite& u) {
  std::string nome;
  std::string treno;
  bool json = false;
  bool testo = false;
  std::vector<std::string> posizionali;
  while (a.prossimo()) {
    if (a.bandiera("--help") || a.bandiera("-h")) {
      u.out << kAiuto;
      return kUscitaRiuscita;
    }
    if (a.valore("--name", nome) || a.valore("--train", treno)) continue;
    if (a.bandiera("--json")) {
      json = true;
    } else if (a.bandiera("--text-diagnostics")) {
      testo = true;
    } else if (a.e_opzione()) {
      a.sconosciuta();
    } else {
      posizionali.push_back(a.prendi());
    }
  }
  if (testo && !json) throw ErroreUso("--text-diagnostics goes with --json");
  if (posizionali.size() != 1) throw ErroreUso("verify takes one folder");
  ScenarioInCartella s;
  try {
    s = trova_scenario(percorso_utf8(posizionali[0]), nome, treno);
  } catch (const GuastoEsecuzione& e) {
    // No scenario to verify is a finding too: with --json, still one object.
    if (!json) throw;
    if (testo) u.err << kNomeStrumento << " verify: error: " << utf8_mostrabile(e.what()) << "\n";
    scrivi_json(u.out, nullptr, false, {{"", e.what()}});
    return kUscitaGuasto;
  }

  CompilatiDaVerificare c;
  c.nome_scenario = s.nome_scenario;
  c.numero_treno = s.numero_treno;
  const auto nome_di = [&](FileScenario f) {
    return cp1252_a_utf8(nome_file(f, s.nome_scenario, s.numero_treno));
  };
  c.nome_tracciato = nome_di(FileScenario::kTracciato);
  c.nome_voci = nome_di(FileScenario::kVoci);
  c.nome_celle = nome_di(FileScenario::kCelle);
  std::vector<ProblemaCompilato> problemi;
  const auto leggi = [&](const std::filesystem::path& p, const std::string& n) {
    try {
      return std::optional<std::string>(leggi_file(p));
    } catch (const GuastoEsecuzione& e) {
      problemi.push_back({n, "cannot be read: " + std::string(e.what())});
      return std::optional<std::string>();
    }
  };
  if (std::filesystem::exists(s.tracciato)) c.tracciato = leggi(s.tracciato, c.nome_tracciato);
  const auto voci = leggi(s.voci, c.nome_voci);
  const auto celle = leggi(s.celle, c.nome_celle);
  if (voci && celle) {
    c.voci = *voci;
    c.celle = *celle;
    problemi = verifica_compilati(c);
  }
  if (!json || testo) {
    for (const ProblemaCompilato& p : problemi) stampa_errore_file(u.err, p.file, p.testo);
  }
  if (json) {
    scrivi_json(u.out, &s, c.tracciato.has_value(), problemi);
    return problemi.empty() ? kUscitaRiuscita : kUscitaGuasto;
  }
  const std::string chi =
      cp1252_a_utf8(s.nome_scenario) + ", train " + cp1252_a_utf8(s.numero_treno);
  if (problemi.empty()) {
    u.out << chi << ": consistent (" << (c.tracciato ? "plan, " : "no plan file, ")
          << "items, cells)\n";
    return kUscitaRiuscita;
  }
  u.out << chi << ": " << problemi.size() << (problemi.size() == 1 ? " problem" : " problems")
        << " found\n";
  return kUscitaGuasto;
}

}  // namespace scenario
