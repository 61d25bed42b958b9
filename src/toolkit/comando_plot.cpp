// scenario plot DIR -o FILE.svg, or plot ROUTE SERVICE -o FILE.svg: one
// picture of a scenario, compiled or compiled in memory from its sources.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>

#include "compiler/diagnostiche_lettura.h"
#include "output/decodifica_compilati.h"
#include "output/memorizza_percorso.h"
#include "output/posa_codici.h"
#include "platform/file_atomico.h"
#include "text/cp1252.h"
#include "toolkit/comandi.h"
#include "toolkit/compila_sorgenti.h"
#include "toolkit/grafico_svg.h"
#include "toolkit/scenario_in_cartella.h"
#include "toolkit/uscita_diagnostiche.h"

namespace scenario {
namespace {

constexpr const char* kAiuto =
    "Usage: scenario plot DIR -o FILE.svg [--name NAME --train NUMBER] [OPTIONS]\n"
    "       scenario plot ROUTE SERVICE -o FILE.svg [--name NAME --train NUMBER] [OPTIONS]\n"
    "\n"
    "Draws a scenario as one SVG picture: a legend; the track seen from above (from\n"
    "the plan table, equal scales) with every station, signal, text board and speed\n"
    "indicator board marked and labelled, the start and end of the route and the\n"
    "direction of travel; then, on one distance axis with kilometre labels from the\n"
    "chainage, the features along the route, the gradient with the montagna\n"
    "stretches shaded, the line-speed limit with the slowdowns and the speed\n"
    "indicator boards, and the adhesion. Every mark tells its entry on hover.\n"
    "\n"
    "With one folder, the compiled scenario in DIR is drawn; NAME and NUMBER default\n"
    "to the one items file (NAME_NUMBER.sim) there, and without a plan file the\n"
    "track view is left out. With two sources, they are compiled in memory first\n"
    "(nothing is written but the picture) and every mark also tells the file and\n"
    "line of its entry.\n"
    "\n"
    "  -o FILE.svg      the picture (its folder is created when missing); - for\n"
    "                   standard output\n"
    "  --from KM        draw the route from chainage KM on (kilometres, as on the axis)\n"
    "  --to KM          draw the route up to chainage KM\n"
    "  --no-plan        leave the track view out\n"
    "  --name NAME      scenario name\n"
    "  --train NUMBER   train number\n"
    "\n"
    "Exit status: 0 drawn; 3 drawn from sources that hold an error; 1 a file that\n"
    "cannot be read or written; 2 usage error.\n";

double chilometri(const std::string& opzione, const std::string& testo) {
  char* fine = nullptr;
  const double v = std::strtod(testo.c_str(), &fine);
  if (testo.empty() || fine != testo.c_str() + testo.size() || !std::isfinite(v)) {
    throw ErroreUso(opzione + " takes a chainage in kilometres, such as 140 or 140.5; '" + testo +
                    "' is not one");
  }
  return v;
}

// Collects the diagnostics and, for the tooltips, where each feature entry is.
class LuoghiLettura : public DiagnosticheLettura {
 public:
  using DiagnosticheLettura::DiagnosticheLettura;
  void voce_registrata(const LuogoSorgente& luogo, const std::string& voce,
                       int32_t posizione) override {
    luoghi.push_back({voce, posizione, luogo});
  }
  std::vector<LuogoVoce> luoghi;
};

}  // namespace

int comando_plot(Argomenti& a, Uscite& u) {
  std::string nome;
  std::string treno;
  std::string uscita;
  std::string da_km;
  std::string a_km;
  bool con_pianta = true;
  std::vector<std::string> posizionali;
  while (a.prossimo()) {
    if (a.bandiera("--help") || a.bandiera("-h")) {
      u.out << kAiuto;
      return kUscitaRiuscita;
    }
    if (a.valore("--name", nome) || a.valore("--train", treno) || a.valore("-o", uscita) ||
        a.valore("--from", da_km) || a.valore("--to", a_km)) {
      continue;
    }
    if (a.bandiera("--no-plan")) {
      con_pianta = false;
      continue;
    }
    if (a.e_opzione()) a.sconosciuta();
    posizionali.push_back(a.prendi());
  }
  if (posizionali.empty() || posizionali.size() > 2) {
    throw ErroreUso("plot takes one folder, or two sources (ROUTE SERVICE); " +
                    std::to_string(posizionali.size()) + " given");
  }
  if (uscita.empty())
    throw ErroreUso("no output file: give -o FILE.svg (or -o - for standard output)");
  const bool su_uscita = uscita == "-";
  if (!su_uscita) {
    std::string estensione = utf8_di(percorso_utf8(uscita).extension());
    std::transform(estensione.begin(), estensione.end(), estensione.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!estensione.empty() && estensione != ".svg") {
      throw ErroreUso("plot draws SVG only, and '" + uscita +
                      "' asks for another format: give -o FILE.svg (a converter such as an SVG "
                      "renderer makes other formats from it)");
    }
  }
  // Chainage bounds in kilometres; unbounded where not given.
  const double da = da_km.empty() ? -1e12 : chilometri("--from", da_km);
  const double fino = a_km.empty() ? 1e12 : chilometri("--to", a_km);
  if (da >= fino) throw ErroreUso("--from must come before --to");

  DatiGrafico d;
  d.con_pianta = con_pianta;
  std::optional<Tracciato> tracciato;
  ModelloPercorso m;
  int stato = kUscitaRiuscita;
  std::string nome_scenario, numero_treno;
  if (posizionali.size() == 2) {
    // Compiled in memory with the generator's own steps; nothing is written.
    const NomiDaSorgenti dai_nomi = nomi_da_sorgenti(posizionali[0], posizionali[1], nome);
    nome_scenario = nome.empty() ? dai_nomi.nome_scenario : nome;
    numero_treno = treno.empty() ? dai_nomi.numero_treno : treno;
    LuoghiLettura lettura{OpzioniAvvisi{}};
    SorgentiScenario sorgenti;
    sorgenti.linea = percorso_utf8(posizionali[0]);
    sorgenti.treno = percorso_utf8(posizionali[1]);
    sorgenti.elimina = false;
    sorgenti.osservatore = &lettura;
    m.nome_scenario = utf8_a_cp1252(nome_scenario);
    m.numero_treno = utf8_a_cp1252(numero_treno);
    m.con_tracciato = 1;
    memorizza_dati(m, sorgenti);
    std::vector<Diagnostica> diagnostiche = lettura.diagnostiche(m);
    if (!m.celle_create) {
      stampa_diagnostiche(u.err, diagnostiche);
      stampa_errore_file(u.err, posizionali[0], "no route was read: nothing to draw");
      return kUscitaGuasto;
    }
    try {
      completa_modello(m);
    } catch (const ErroreFatale& f) {
      // The check codes have no place: the picture is drawn all the same.
      Diagnostica x;
      x.codice = f.numero;
      x.messaggio = "the model checks found the place of the check codes already in use";
      diagnostiche.push_back(x);
    }
    stampa_diagnostiche(u.err, diagnostiche);
    for (const Diagnostica& x : diagnostiche) {
      if (x.livello == Livello::kErrore) stato = kUscitaErroreScenario;
    }
    d.voci = m.voci;
    d.celle = m.celle;
    d.tracciato = &m.tracciato;
    d.luoghi = std::move(lettura.luoghi);
  } else {
    const ScenarioInCartella s = trova_scenario(percorso_utf8(posizionali[0]), nome, treno);
    nome_scenario = cp1252_a_utf8(s.nome_scenario);
    numero_treno = cp1252_a_utf8(s.numero_treno);
    std::filesystem::path corrente;
    try {
      corrente = s.voci;
      d.voci = decodifica_voci(leggi_file(s.voci));
      corrente = s.celle;
      d.celle = decodifica_celle(leggi_file(s.celle));
      if (con_pianta && std::filesystem::exists(s.tracciato)) {
        corrente = s.tracciato;
        tracciato = decodifica_tracciato(leggi_file(s.tracciato));
        d.tracciato = &*tracciato;
      }
    } catch (const ErroreDecodifica& e) {
      stampa_errore_file(u.err, utf8_di(corrente), e.what());
      return kUscitaGuasto;
    }
  }

  std::string tratto;
  if (!da_km.empty() || !a_km.empty()) {
    const auto t = tratto_di_progressive(d.voci, da, fino);
    if (!t || t->first == t->second) {
      throw ErroreUso("no stretch of the route has a chainage between " +
                      (da_km.empty() ? std::string("the start") : da_km) + " and " +
                      (a_km.empty() ? std::string("the end") : a_km) + " km");
    }
    d.da = t->first;
    d.a = t->second;
    tratto = " \u2014 " + std::to_string(d.da) + " to " + std::to_string(d.a) + " m";
  }
  d.titolo = nome_scenario + " \u2014 train " + numero_treno + " \u2014 route " +
             std::to_string(d.voci[kVoceTreno].fine) + " m" + tratto;
  const std::string svg = grafico_svg(d);
  if (su_uscita) {
    u.out << svg;
    return stato;
  }
  const std::filesystem::path file = percorso_utf8(uscita);
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
  scrivi_file_atomico(file, svg);
  u.out << uscita << "\n";
  return stato;
}

}  // namespace scenario
