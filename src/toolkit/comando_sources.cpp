// scenario sources [DIR]: the carried scenario's five text files, so that an
// author starts from a working example.

#include <filesystem>
#include <ostream>

#include "text/cp1252.h"
#include "text/nomi_file.h"
#include "text/scenario_testi.h"
#include "toolkit/comandi.h"

namespace scenario {
namespace {

constexpr const char* kAiuto =
    "Usage: scenario sources [DIR]\n"
    "\n"
    "Writes the carried scenario's five text files into DIR (default: the current\n"
    "folder, created when missing): the route source, the service source and the\n"
    "three driver documents. Nothing is compiled or deleted. The names written are\n"
    "printed, one a line.\n";

}  // namespace

int comando_sources(Argomenti& a, Uscite& u) {
  std::filesystem::path cartella = ".";
  int posizionali = 0;
  while (a.prossimo()) {
    if (a.bandiera("--help") || a.bandiera("-h")) {
      u.out << kAiuto;
      return kUscitaRiuscita;
    }
    if (a.e_opzione()) a.sconosciuta();
    if (++posizionali > 1) throw ErroreUso("too many arguments: sources takes one folder");
    cartella = percorso_utf8(a.prendi());
  }
  std::filesystem::create_directories(cartella);
  scrivi_testi_scenario(cartella, kNomeScenario, kNumeroTreno);
  for (FileScenario f :
       {FileScenario::kSorgenteLinea, FileScenario::kSorgenteTreno, FileScenario::kNote,
        FileScenario::kRallentamenti, FileScenario::kSchedaTreno}) {
    u.out << cp1252_a_utf8(nome_file(f, kNomeScenario, kNumeroTreno)) << "\n";
  }
  return kUscitaRiuscita;
}

}  // namespace scenario
