// The builder end to end: sources on disk, read, completed and written.

#include "output/memorizza_percorso.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "output/posa_codici.h"
#include "output/prova_uscita_test.h"
#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "text/nomi_file.h"
#include "text/scenario_testi.h"

namespace scenario {
namespace {

const std::string kScenario = "MorvessaC_Tolvarre";
const std::string kTreno = "823";

struct Compilati {
  std::string tracciato;
  std::string voci;
  std::string celle;
};

class MemorizzaPercorsoTest : public testing::Test {
 protected:
  std::filesystem::path file(FileScenario f) const {
    return percorso_file(cartella_.percorso(), f, kScenario, kTreno);
  }

  void scrivi_sorgenti(const std::string& linea, const std::string& treno) {
    scrivi_file_atomico(file(FileScenario::kSorgenteLinea), linea);
    scrivi_file_atomico(file(FileScenario::kSorgenteTreno), treno);
  }

  // Runs the builder as the generator does, over the sources in the folder.
  void costruisci(int32_t j = 1) {
    m_ = ModelloPercorso{};
    m_.nome_scenario = kScenario;
    m_.numero_treno = kTreno;
    memorizza_percorso(m_, j, sorgenti_generatore(cartella_.percorso(), kScenario, kTreno),
                       cartella_.percorso());
  }

  Compilati leggi_compilati() const {
    return {leggi_file(file(FileScenario::kTracciato)), leggi_file(file(FileScenario::kVoci)),
            leggi_file(file(FileScenario::kCelle))};
  }

  void scrivi_compilati_precedenti() {
    for (FileScenario f : {FileScenario::kTracciato, FileScenario::kVoci, FileScenario::kCelle}) {
      scrivi_file_atomico(file(f), std::string(1000000, 'p'));
    }
  }

  void attendi_compilati_precedenti() const {
    for (FileScenario f : {FileScenario::kTracciato, FileScenario::kVoci, FileScenario::kCelle}) {
      EXPECT_TRUE(stessi_byte(leggi_file(file(f)), std::string(1000000, 'p'))) << file(f);
    }
  }

  CartellaTemporanea cartella_;
  ModelloPercorso m_;
};

// Offset of item i in the items file: records before it are 34 + name bytes
// each.
size_t offset_voce(const ModelloPercorso& m, int i) {
  size_t offset = 0;
  for (int k = 0; k < i; ++k) offset += 34 + m.voce(k).nome.size();
  return offset;
}

std::string b(std::initializer_list<int> byte) {
  std::string s;
  for (int x : byte) s += static_cast<char>(x);
  return s;
}

TEST_F(MemorizzaPercorsoTest, CarriedScenarioGivesTheCompiledFiles) {
  scrivi_testi_scenario(cartella_.percorso(), kScenario, kTreno);
  costruisci();
  EXPECT_EQ(m_.codice_errore, 0);
  const Compilati c = leggi_compilati();

  EXPECT_EQ(c.celle.size(), 11415u);
  EXPECT_EQ(c.celle.substr(16, 4), b({1, 20, 196, 9})) << "cell 1: 5121 and the code 2500";

  size_t nomi = 0;
  for (const Voce& v : m_.voci) nomi += v.nome.size();
  EXPECT_EQ(c.voci.size(), 2958 + nomi);
  const size_t voce85 = offset_voce(m_, 85);
  EXPECT_EQ(c.voci.substr(voce85 + 14, 20), b({18, 0}) + kScenario);
  EXPECT_EQ(c.voci.substr(voce85 + 34, 2), b({98, 2})) << "610";
  EXPECT_EQ(c.voci.substr(voce85 + 48, 4), b({4, 132, 0, 0})) << "33796";
  EXPECT_EQ(c.voci.substr(offset_voce(m_, 86) + 14, 5), b({3, 0}) + kTreno);

  const size_t m = 38000;
  ASSERT_EQ(c.tracciato.size(), 759964u);
  EXPECT_EQ(c.tracciato.substr(0, 10), b({2, 0, 0, 0, 2, 0, 0, 0, 5, 0}));
  EXPECT_EQ(c.tracciato.substr(10 * m - 18, 10), b({2, 0, 0, 0, 2, 0, 1, 0, 5, 0}));
  EXPECT_EQ(c.tracciato.substr(10 * m - 22, 4), b({0, 0, 0, 0})) << "rows 37999 and 38000";
  EXPECT_EQ(c.tracciato.substr(20 * m - 40, 4), b({0, 0, 0, 0})) << "rows 37999 and 38000";

  // The sources are read and deleted; the documents and the compiled files
  // stay.
  EXPECT_FALSE(std::filesystem::exists(file(FileScenario::kSorgenteLinea)));
  EXPECT_FALSE(std::filesystem::exists(file(FileScenario::kSorgenteTreno)));
  EXPECT_EQ(cartella_.nomi().size(), 6u);
}

TEST_F(MemorizzaPercorsoTest, SecondRunGivesTheSameBytesOverAnyEarlierFiles) {
  scrivi_testi_scenario(cartella_.percorso(), kScenario, kTreno);
  costruisci();
  const Compilati prima = leggi_compilati();

  scrivi_testi_scenario(cartella_.percorso(), kScenario, kTreno);
  costruisci();
  const Compilati seconda = leggi_compilati();
  EXPECT_TRUE(stessi_byte(seconda.tracciato, prima.tracciato, TipoCompilato::kTracciato));
  EXPECT_TRUE(stessi_byte(seconda.voci, prima.voci, TipoCompilato::kVoci));
  EXPECT_TRUE(stessi_byte(seconda.celle, prima.celle, TipoCompilato::kCelle));

  scrivi_compilati_precedenti();  // longer than the compiled files
  scrivi_testi_scenario(cartella_.percorso(), kScenario, kTreno);
  costruisci();
  const Compilati terza = leggi_compilati();
  EXPECT_TRUE(stessi_byte(terza.tracciato, prima.tracciato, TipoCompilato::kTracciato));
  EXPECT_TRUE(stessi_byte(terza.voci, prima.voci, TipoCompilato::kVoci));
  EXPECT_TRUE(stessi_byte(terza.celle, prima.celle, TipoCompilato::kCelle));
}

TEST_F(MemorizzaPercorsoTest, WithoutThePlanTableNoPlanFileIsWritten) {
  scrivi_testi_scenario(cartella_.percorso(), kScenario, kTreno);
  costruisci(1);
  const Compilati con_tracciato = leggi_compilati();

  scrivi_compilati_precedenti();
  scrivi_testi_scenario(cartella_.percorso(), kScenario, kTreno);
  costruisci(0);
  EXPECT_FALSE(m_.tracciato.creato());
  const Compilati senza = leggi_compilati();
  EXPECT_TRUE(stessi_byte(senza.tracciato, std::string(1000000, 'p')));
  EXPECT_TRUE(stessi_byte(senza.voci, con_tracciato.voci, TipoCompilato::kVoci));
  EXPECT_TRUE(stessi_byte(senza.celle, con_tracciato.celle, TipoCompilato::kCelle));
}

TEST_F(MemorizzaPercorsoTest, SlowdownGetsItsCodeCells) {
  scrivi_sorgenti(
      "[generale]\r\nlunghezza percorso,    "
      "10000\r\n[curve]\r\ncurvad4,  300,  100\r\n[fine]\r\n",
      "[generale]\r\n"
      "rallentamento,   5000,  30,  400,  1,  1,  0\r\n"
      "segnale,    5600,   2, 4, 1,  0, 0,    0,  0,0,0, 0\r\n"
      "[fine]\r\n");
  costruisci();
  EXPECT_EQ(m_.codice_errore, 0);
  const std::string celle = leggi_compilati().celle;
  ASSERT_EQ(celle.size(), 15u * 341);
  for (int c : {83, 90, 96, 108, 112}) {
    EXPECT_EQ(celle.substr(15 * static_cast<size_t>(c), 3), b({12, 180, 0})) << "cell " << c;
  }
  EXPECT_EQ(celle[15 * 77], 4) << "warning";
  EXPECT_EQ(celle[15 * 101], 3) << "start";
  EXPECT_EQ(celle[15 * 109], 2) << "end";
  EXPECT_EQ(celle[15 * 113], 1) << "signal";
}

TEST_F(MemorizzaPercorsoTest, FailedModelCheckLeavesEarlierCompiledFiles) {
  scrivi_compilati_precedenti();
  // An abbattimento on cell 1 takes the place of the marker 5121.
  scrivi_sorgenti("[generale]\r\nlunghezza percorso,    1000\r\n[curve]\r\n[fine]\r\n",
                  "[generale]\r\nabbattimento,   50,   5\r\n[fine]\r\n");
  try {
    costruisci();
    ADD_FAILURE() << "the model checks did not fail";
  } catch (const ErroreFatale& fatale) {
    EXPECT_EQ(fatale.numero, 1250);
  }
  attendi_compilati_precedenti();
  EXPECT_EQ(cartella_.nomi().size(), 3u);
}

TEST_F(MemorizzaPercorsoTest, MissingRouteSourceIsARunTimeFailureBeforeAnyFile) {
  scrivi_compilati_precedenti();
  scrivi_file_atomico(file(FileScenario::kSorgenteTreno), "[generale]\r\n[fine]\r\n");
  EXPECT_THROW(costruisci(), GuastoEsecuzione);
  EXPECT_EQ(m_.codice_errore, 101);
  attendi_compilati_precedenti();
}

TEST_F(MemorizzaPercorsoTest, NothingOfAnEarlierBuildIsCompiledAgain) {
  scrivi_testi_scenario(cartella_.percorso(), kScenario, kTreno);
  costruisci();
  const Compilati prima = leggi_compilati();
  // The same model again, with no sources left: its earlier cells are not
  // written again.
  EXPECT_THROW(
      memorizza_percorso(m_, 1, sorgenti_generatore(cartella_.percorso(), kScenario, kTreno),
                         cartella_.percorso()),
      GuastoEsecuzione);
  EXPECT_EQ(m_.codice_errore, 101);
  EXPECT_TRUE(stessi_byte(leggi_compilati().celle, prima.celle, TipoCompilato::kCelle));
}

}  // namespace
}  // namespace scenario
