// The compiled bytes held to recorded outcomes: scenario pairs, each with the
// outcome an independent implementation of the format computed for it (exit
// status, codice_errore, posizione_errore, the size and SHA-256 of every
// compiled file). Each pair is compiled in memory, the way the toolkit's
// compile builds: the same reader, placement pass, check codes and encoders.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "compiler/diagnostiche_lettura.h"
#include "compiler/memorizza_dati.h"
#include "model/modello.h"
#include "output/file_compilati.h"
#include "output/memorizza_percorso.h"
#include "output/posa_codici.h"
#include "output/prova_uscita_test.h"
#include "platform/file_atomico.h"
#include "platform/guasto.h"
#include "text/lettore_json.h"
#include "text/cp1252.h"
#include "text/nomi_file.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

const fs::path kCampioni = CARTELLA_GOLDEN;
const fs::path kProdotti = fs::path(CARTELLA_PRODOTTI) / "campioni";

// Every folder of recorded outcomes, by name; one empty name when there are
// none, so that the table fails instead of running no case.
std::vector<std::string> casi() {
  std::vector<std::string> nomi;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(kCampioni, ec)) {
    if (fs::exists(e.path() / "expected.json")) nomi.push_back(e.path().filename().string());
  }
  std::sort(nomi.begin(), nomi.end());
  if (nomi.empty()) nomi.emplace_back();
  return nomi;
}

// What a compile gives: the toolkit's exit status (0; 1 for a run-time
// failure; 2 for a failed model check; 3 for files with an error recorded),
// the recorded error, the fatal number, and the compiled files' bytes by name.
struct Compilato {
  int stato = 0;
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  std::optional<int> fatale;
  std::string guasto;
  std::map<std::string, std::string> file;
};

Compilato compila(const fs::path& caso, const std::string& nome, const std::string& treno,
                  bool con_tracciato) {
  Compilato c;
  DiagnosticheLettura lettura{OpzioniAvvisi{}};
  SorgentiScenario sorgenti;
  sorgenti.linea = caso / "route.txt";
  sorgenti.treno = caso / "service.txt";
  sorgenti.elimina = false;
  sorgenti.osservatore = &lettura;
  ModelloPercorso m;
  m.nome_scenario = utf8_a_cp1252(nome);
  m.numero_treno = utf8_a_cp1252(treno);
  m.con_tracciato = con_tracciato ? 1 : 0;
  try {
    memorizza_dati(m, sorgenti);
    completa_modello(m);
    std::map<std::string, std::string> file;
    const auto nome_di = [&](FileScenario f) {
      return cp1252_a_utf8(nome_file(f, m.nome_scenario, m.numero_treno));
    };
    if (con_tracciato) file[nome_di(FileScenario::kTracciato)] = byte_tracciato(m.tracciato);
    file[nome_di(FileScenario::kVoci)] = byte_voci(m);
    file[nome_di(FileScenario::kCelle)] = byte_celle(m);
    c.file = std::move(file);
  } catch (const ErroreFatale& f) {
    c.stato = 2;
    c.fatale = f.numero;
  } catch (const GuastoEsecuzione& g) {
    c.stato = 1;
    c.guasto = g.what();
  }
  c.codice_errore = m.codice_errore;
  c.posizione_errore = m.posizione_errore;
  if (c.stato == 0) {
    bool errori = m.codice_errore != 0;
    for (const Diagnostica& d : lettura.diagnostiche(m)) {
      errori = errori || d.livello == Livello::kErrore;
    }
    if (errori) c.stato = 3;
  }
  return c;
}

class CampioniTest : public testing::TestWithParam<std::string> {};

TEST_P(CampioniTest, CompilesToTheRecordedOutcome) {
  const std::string& nome_caso = GetParam();
  ASSERT_FALSE(nome_caso.empty()) << "no recorded outcome found in " << kCampioni.string()
                                  << ": the golden folder lies beside the repository";
  const fs::path caso = kCampioni / nome_caso;
  const ValoreJson atteso = leggi_json(leggi_file(caso / "expected.json"));
  SCOPED_TRACE("case " + nome_caso + " (" + atteso["kind"].stringa + ")");

  const Compilato c =
      compila(caso, atteso["name"].stringa, atteso["train"].stringa, !atteso["no_plan"].booleano);
  EXPECT_EQ(c.stato, atteso["status"].intero) << c.guasto;
  EXPECT_EQ(c.codice_errore, atteso["codice_errore"].intero);
  EXPECT_EQ(c.posizione_errore, atteso["posizione_errore"].intero);
  if (atteso["fatal"].tipo == ValoreJson::kNullo) {
    EXPECT_FALSE(c.fatale) << "model check " << c.fatale.value_or(0);
  } else {
    EXPECT_EQ(c.fatale, atteso["fatal"].intero);
  }
  EXPECT_EQ(!c.guasto.empty(), atteso["runtime_failure"].booleano) << c.guasto;

  std::vector<std::string> nomi_attesi, nomi_ottenuti;
  for (const auto& [nome, _] : atteso["files"].oggetto) nomi_attesi.push_back(nome);
  for (const auto& [nome, _] : c.file) nomi_ottenuti.push_back(nome);
  EXPECT_EQ(nomi_ottenuti, nomi_attesi);
  for (const auto& [nome, file] : atteso["files"].oggetto) {
    const auto trovato = c.file.find(nome);
    if (trovato == c.file.end()) continue;
    EXPECT_TRUE(come_registrato(nome, trovato->second, static_cast<uint64_t>(file["size"].intero),
                                file["sha256"].stringa, kProdotti / nome_caso));
  }
}

INSTANTIATE_TEST_SUITE_P(Cartella, CampioniTest, testing::ValuesIn(casi()),
                         [](const testing::TestParamInfo<std::string>& i) {
                           if (i.param.empty()) return std::string("golden_folder_missing");
                           std::string nome = i.param;
                           for (char& ch : nome) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return nome;
                         });

}  // namespace
}  // namespace scenario
