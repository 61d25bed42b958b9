// scenario sources [DIR]: the carried scenario's five text files, so that an
// author starts from a working example.

#include <filesystem>
#include <ostream>
#include <vector>

#include "text/cp1252.h"
#include "text/nomi_file.h"
#include "text/scenario_testi.h"
#include "toolkit/comandi.h"
#include "toolkit/uscita_diagnostiche.h"

namespace scenario {
namespace {

constexpr const char* kAiuto =
    "Usage: scenario sources [DIR] [--force]\n"
    "\n"
    "Writes the carried scenario's five text files into DIR (default: the current\n"
    "folder, created when missing): the route source, the service source and the\n"
    "three driver documents. Nothing is compiled or deleted. The names written are\n"
    "printed, one a line.\n"
    "\n"
    "A file of those names already in DIR is never replaced: each is named and\n"
    "nothing is written (exit status 1).\n"
    "\n"
    "  --force        replace them\n";

constexpr FileScenario kTesti[] = {FileScenario::kSorgenteLinea, FileScenario::kSorgenteTreno,
                                   FileScenario::kNote, FileScenario::kRallentamenti,
                                   FileScenario::kSchedaTreno};

}  // namespace

int comando_sources(Argomenti& a, Uscite& u) {
  std::filesystem::path cartella = ".";
  int posizionali = 0;
  bool forza = false;
  while (a.prossimo()) {
    if (a.bandiera("--help") || a.bandiera("-h")) {
      u.out << kAiuto;
      return kUscitaRiuscita;
    }
    if (a.bandiera("--force")) {
      forza = true;
      continue;
    }
    if (a.e_opzione()) a.sconosciuta();
    if (++posizionali > 1) throw ErroreUso("too many arguments: sources takes one folder");
    cartella = percorso_utf8(a.prendi());
  }
  // An author's edited sources look just like the example's: never lose them.
  std::vector<std::filesystem::path> percorsi;
  for (FileScenario f : kTesti) {
    percorsi.push_back(percorso_file(cartella, f, kNomeScenario, kNumeroTreno));
  }
  // Named as the author gave the folder: by their names alone when none was given.
  const auto mostrato = posizionali > 0
                            ? +[](const std::filesystem::path& p) { return utf8_di(p); }
                            : +[](const std::filesystem::path& p) { return utf8_di(p.filename()); };
  if (!forza && nomina_file_esistenti(u.err, "sources", percorsi, mostrato)) return kUscitaGuasto;
  std::filesystem::create_directories(cartella);
  scrivi_testi_scenario(cartella, kNomeScenario, kNumeroTreno);
  for (FileScenario f : kTesti) {
    u.out << cp1252_a_utf8(nome_file(f, kNomeScenario, kNumeroTreno)) << "\n";
  }
  return kUscitaRiuscita;
}

}  // namespace scenario
