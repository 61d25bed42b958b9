// scenario new NAME TRAIN [DIR]: a small starting scenario that compiles as it
// stands, with comments an author can read and then replace.
//
// The format has no comment syntax of its own, so the comments sit where the
// readers pass text over: before the "[generale]" header everything is
// skipped, and a line whose first field holds "-" (and no comma) is discarded
// in keyword position. The readers discard at most two such fields in a row
// after the general section, so no more than two comment lines stand together.

#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "text/cp1252.h"
#include "text/nomi_file.h"
#include "text/righe.h"
#include "toolkit/comandi.h"
#include "toolkit/uscita_diagnostiche.h"

namespace scenario {
namespace {

constexpr const char* kAiuto =
    "Usage: scenario new NAME TRAIN [DIR] [--force]\n"
    "\n"
    "Writes a small starting scenario named NAME, for train TRAIN, into DIR\n"
    "(default: the current folder, created when missing): the route source\n"
    "NAME_linea.txt, the service source NAME_TRAIN-.txt and the three driver\n"
    "documents (timetable card, slowdown order, notes). The sources compile as\n"
    "written, with no warning; their comments say what each entry is. An existing\n"
    "file is never replaced: the command names it and writes nothing, unless\n"
    "--force is given. Run 'scenario explain' for the whole format.\n";

Righe linea(const std::string& nome, const std::string& treno) {
  return Righe::da({
      "Route source of the scenario " + nome + ", for train " + treno + ".",
      "Text before the general header is not read. After it a line whose first field",
      "holds a hyphen (and no comma) is passed over: the comments below are such lines.",
      "The driver documents are " + nome + "_" + treno + "_scheda_treno.txt (timetable card)",
      nome + "_" + treno + "_rallentamenti.txt (slowdown order) and " + nome + "_" + treno +
          "_note.txt (notes).",
      "Run: scenario compile " + nome + "_linea.txt " + nome + "_" + treno + "-.txt",
      "[generale]",
      "- the route is 5000 m long",
      "lunghezza percorso,    5000",
      "- chainage: route position; chainage value; flag",
      "progressiva chilometrica uno,    0,    100000,    0",
      "progressiva chilometrica due,    0,    0,    0",
      "progressiva chilometrica tre,    0,    0,    0",
      "sfondo uno,    0",
      "sfondo due,    1",
      "sfondo tre,    0",
      "- signal repetition with 4 codes: start and end (0 0: none)",
      "ripetizione segnali 4 codici,    0,    0",
      "[curve]",
      "- curva; d (right) or s (left); radius class 1 to 6: start and length in metres",
      "curvad4,    1000,    300",
      "curvas5,    2500,    200",
      "[pendenze]",
      "- position; gradient per mille; in route order from 0",
      "pendenza,    0,    0",
      "pendenza,    1500,    5",
      "pendenza,    3000,    -4",
      "[montagne]",
      "- start; end; kind",
      "montagna,    2000,    2300,    11",
      "[cartelli]",
      "- position; left speeds; left stripes; right speeds; right stripes",
      "indicatori_vmax,    900,    60,    60,    60,    0,    ,    ,    ,    0",
      "[indicazioni]",
      "- position; the board's text",
      "cartello_indicatore,    1200,    (Sottovia)",
      "[fine]",
  });
}

Righe servizio(const std::string& nome, const std::string& treno) {
  return Righe::da({
      "Service source of the scenario " + nome + ": train " + treno + ".",
      "Text before the general header is not read; after it a line whose first field",
      "holds a hyphen (and no comma) is passed over.",
      "[generale]",
      "- the train: coaches; braked-mass percentage; sand; clock at the start",
      "numero vetture,    6",
      "percentuale massa frenata,    100",
      "sabbia,    100",
      "orologio,    8    0    0",
      "[aderenze]",
      "- position; adhesion percentage; in route order from 0",
      "aderenza,    0,    100",
      "[vel_limite]",
      "- position; speed limit in km/h; in route order from 0",
      "velocita,    0,    60",
      "velocita,    1000,    80",
      "[stazioni]",
      "- position; type; length; fields 4 to 13; scheduled time; name",
      "stazione,    0,  2,  600,  0, 0, 0,  1,1,0,  4,1,1,    1,    8, 1, 0, ORIGINE",
      "stazione,    4500, 11,  600,  1, 0, 0,  1,1,0,  2,1,1,    0,    8, 6, 0, ARRIVO",
      "[rallentamenti]",
      "[segnali]",
      "- position; left kind and codes; code; right kind and codes; time",
      "segnale,    3800,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
      "[codici]",
      "[fine]",
  });
}

Righe documento(const std::string& riga) {
  return Righe::da({riga});
}

}  // namespace

int comando_new(Argomenti& a, Uscite& u) {
  std::vector<std::string> posizionali;
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
    posizionali.push_back(a.prendi());
  }
  if (posizionali.size() < 2 || posizionali.size() > 3) {
    throw ErroreUso("new takes NAME, TRAIN and an optional folder; " +
                    std::to_string(posizionali.size()) + " given");
  }
  const std::string& nome = posizionali[0];
  const std::string& treno = posizionali[1];
  if (nome.empty() || treno.empty()) throw ErroreUso("NAME and TRAIN must not be empty");
  const std::filesystem::path cartella =
      posizionali.size() == 3 ? percorso_utf8(posizionali[2]) : std::filesystem::path(".");
  const std::string n = utf8_a_cp1252(nome);
  const std::string t = utf8_a_cp1252(treno);

  const struct {
    FileScenario file;
    Righe righe;
  } scritti[] = {
      {FileScenario::kSorgenteLinea, linea(nome, treno)},
      {FileScenario::kSorgenteTreno, servizio(nome, treno)},
      {FileScenario::kSchedaTreno, documento("Timetable card of train " + treno + ".")},
      {FileScenario::kRallentamenti, documento("Slowdown order of train " + treno + ": none.")},
      {FileScenario::kNote, documento("Notes for the driver of train " + treno + ".")},
  };
  std::vector<std::filesystem::path> percorsi;
  for (const auto& s : scritti) percorsi.push_back(percorso_file(cartella, s.file, n, t));
  const auto mostrato = +[](const std::filesystem::path& p) { return utf8_di(p); };
  if (!forza && nomina_file_esistenti(u.err, "new", percorsi, mostrato)) return kUscitaGuasto;
  std::filesystem::create_directories(cartella);
  for (const auto& s : scritti) {
    scrivi_righe(s.righe, percorso_file(cartella, s.file, n, t));
    u.out << cp1252_a_utf8(nome_file(s.file, n, t)) << "\n";
  }
  return kUscitaRiuscita;
}

}  // namespace scenario
