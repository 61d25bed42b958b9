// scenario plot DIR -o FILE.svg: one picture of a compiled scenario.

#include <filesystem>
#include <optional>
#include <ostream>

#include "output/decodifica_compilati.h"
#include "platform/file_atomico.h"
#include "text/cp1252.h"
#include "toolkit/comandi.h"
#include "toolkit/grafico_svg.h"
#include "toolkit/scenario_in_cartella.h"
#include "toolkit/uscita_diagnostiche.h"

namespace scenario {
namespace {

constexpr const char* kAiuto =
    "Usage: scenario plot DIR -o FILE.svg [--name NAME --train NUMBER]\n"
    "\n"
    "Draws the compiled scenario in DIR as one SVG picture: the track seen from\n"
    "above (from the plan file, equal scales; stations and signals marked and named,\n"
    "text boards as small ticks), and below it, on one distance axis with kilometre\n"
    "labels from the chainage, the gradient profile with the montagna stretches\n"
    "shaded, the line-speed limit and the adhesion. Without a plan file the track\n"
    "view is left out.\n"
    "\n"
    "NAME and NUMBER default to the one items file (NAME_NUMBER.sim) in DIR.\n";

}  // namespace

int comando_plot(Argomenti& a, Uscite& u) {
  std::string nome;
  std::string treno;
  std::string uscita;
  std::vector<std::string> posizionali;
  while (a.prossimo()) {
    if (a.bandiera("--help") || a.bandiera("-h")) {
      u.out << kAiuto;
      return kUscitaRiuscita;
    }
    if (a.valore("--name", nome) || a.valore("--train", treno) || a.valore("-o", uscita)) continue;
    if (a.e_opzione()) a.sconosciuta();
    posizionali.push_back(a.prendi());
  }
  if (posizionali.size() != 1) throw ErroreUso("plot takes one folder");
  if (uscita.empty()) throw ErroreUso("no output file: give -o FILE.svg");
  const ScenarioInCartella s = trova_scenario(percorso_utf8(posizionali[0]), nome, treno);

  DatiGrafico d;
  std::optional<Tracciato> tracciato;
  std::filesystem::path corrente;
  try {
    corrente = s.voci;
    d.voci = decodifica_voci(leggi_file(s.voci));
    corrente = s.celle;
    d.celle = decodifica_celle(leggi_file(s.celle));
    if (std::filesystem::exists(s.tracciato)) {
      corrente = s.tracciato;
      tracciato = decodifica_tracciato(leggi_file(s.tracciato));
      d.tracciato = &*tracciato;
    }
  } catch (const ErroreDecodifica& e) {
    stampa_errore_file(u.err, utf8_di(corrente), e.what());
    return kUscitaGuasto;
  }
  d.titolo = cp1252_a_utf8(s.nome_scenario) + " \u2014 train " + cp1252_a_utf8(s.numero_treno) +
             " \u2014 route " + std::to_string(d.voci[kVoceTreno].fine) + " m";
  scrivi_file_atomico(percorso_utf8(uscita), grafico_svg(d));
  u.out << uscita << "\n";
  return kUscitaRiuscita;
}

}  // namespace scenario
