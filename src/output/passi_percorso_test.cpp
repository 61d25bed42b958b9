// The builder's steps after reading, on models built by hand.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/file_compilati.h"
#include "output/memorizza_percorso.h"
#include "output/posa_codici.h"
#include "output/prova_uscita_test.h"
#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "text/nomi_file.h"

namespace scenario {
namespace {

const std::string kScenario = "MorvessaC_Tolvarre";
const std::string kTreno = "823";

// A read model: names copied into items 85 and 86, cells 0..40 created, and
// the plan table when con_tracciato asks for it.
ModelloPercorso modello_letto(int32_t con_tracciato) {
  ModelloPercorso m;
  m.nome_scenario = kScenario;
  m.numero_treno = kTreno;
  m.con_tracciato = con_tracciato;
  m.voce(kVoceScenario).nome = kScenario;
  m.voce(kVoceRipetizione).nome = kTreno;
  m.crea_celle(40);
  if (con_tracciato != 0) {
    m.lunghezza_modello = 100;
    m.tracciato = Tracciato(100);
    m.tracciato.metti_intero(1, 1, 1);
  }
  return m;
}

std::filesystem::path file_di(const CartellaTemporanea& c, FileScenario f) {
  return percorso_file(c.percorso(), f, kScenario, kTreno);
}

// Earlier compiled files, longer than any this model gives.
void scrivi_file_precedenti(const CartellaTemporanea& c) {
  for (FileScenario f : {FileScenario::kTracciato, FileScenario::kVoci, FileScenario::kCelle}) {
    scrivi_file_atomico(file_di(c, f), std::string(100000, 'p'));
  }
}

void attendi_file_precedenti(const CartellaTemporanea& c) {
  for (FileScenario f : {FileScenario::kTracciato, FileScenario::kVoci, FileScenario::kCelle}) {
    EXPECT_TRUE(stessi_byte(leggi_file(file_di(c, f)), std::string(100000, 'p'))) << file_di(c, f);
  }
  EXPECT_EQ(c.nomi().size(), 3u);
}

TEST(PassiPercorsoTest, CompletedModelCarriesMarkersAndCheckCodes) {
  ModelloPercorso m = modello_letto(1);
  m.cella(30).tipo = kInizioRallentamento;
  m.cella(30).dato1 = 120;
  completa_modello(m);
  EXPECT_EQ(m.voce(kVoceScenario).opz7, 610);
  EXPECT_EQ(m.voce(kVoceScenario).orario, 33796);
  EXPECT_EQ(m.cella(1).dato1, 5121);
  EXPECT_EQ(m.cella(1).dato2, 2500);
  EXPECT_EQ(m.cella(25).tipo, kCodice) << "the placement pass ran";
}

TEST(PassiPercorsoTest, WritesTheThreeFilesReplacingLongerEarlierOnes) {
  CartellaTemporanea cartella;
  scrivi_file_precedenti(cartella);
  ModelloPercorso m = modello_letto(1);
  completa_modello(m);
  scrivi_compilati(m, cartella.percorso());
  EXPECT_TRUE(stessi_byte(leggi_file(file_di(cartella, FileScenario::kTracciato)),
                          byte_tracciato(m.tracciato), TipoCompilato::kTracciato));
  EXPECT_TRUE(stessi_byte(leggi_file(file_di(cartella, FileScenario::kVoci)), byte_voci(m),
                          TipoCompilato::kVoci));
  EXPECT_TRUE(stessi_byte(leggi_file(file_di(cartella, FileScenario::kCelle)), byte_celle(m),
                          TipoCompilato::kCelle));
  EXPECT_EQ(cartella.nomi(),
            (std::vector<std::string>{"MorvessaC_Tolvarre_823.dat", "MorvessaC_Tolvarre_823.sim",
                                      "MorvessaC_Tolvarre_linea.dat"}));
}

TEST(PassiPercorsoTest, WithoutThePlanTableTheEarlierPlanFileIsLeftAlone) {
  CartellaTemporanea cartella;
  scrivi_file_precedenti(cartella);
  ModelloPercorso m = modello_letto(0);
  completa_modello(m);
  scrivi_compilati(m, cartella.percorso());
  EXPECT_TRUE(stessi_byte(leggi_file(file_di(cartella, FileScenario::kTracciato)),
                          std::string(100000, 'p')));
  EXPECT_TRUE(stessi_byte(leggi_file(file_di(cartella, FileScenario::kVoci)), byte_voci(m),
                          TipoCompilato::kVoci));
  EXPECT_TRUE(stessi_byte(leggi_file(file_di(cartella, FileScenario::kCelle)), byte_celle(m),
                          TipoCompilato::kCelle));
}

TEST(PassiPercorsoTest, FailedModelCheckOpensNoCompiledFile) {
  CartellaTemporanea cartella;
  scrivi_file_precedenti(cartella);
  ModelloPercorso m = modello_letto(1);
  m.cella(1).tipo = kCodice;  // an abbattimento on cell 1
  m.cella(1).dato1 = 90;
  try {
    completa_modello(m);
    scrivi_compilati(m, cartella.percorso());
    ADD_FAILURE() << "the model checks did not fail";
  } catch (const ErroreFatale& fatale) {
    EXPECT_EQ(fatale.numero, 1250);
  }
  attendi_file_precedenti(cartella);
}

TEST(PassiPercorsoTest, MissingCellArrayIsARunTimeFailureBeforeAnyFile) {
  CartellaTemporanea cartella;
  scrivi_file_precedenti(cartella);
  ModelloPercorso m;
  m.nome_scenario = kScenario;
  m.numero_treno = kTreno;
  m.codice_errore = 101;
  try {
    completa_modello(m);
    ADD_FAILURE() << "no failure";
  } catch (const GuastoEsecuzione& guasto) {
    EXPECT_NE(std::string(guasto.what()).find("101"), std::string::npos) << guasto.what();
  }
  EXPECT_THROW(scrivi_compilati(m, cartella.percorso()), GuastoEsecuzione);
  attendi_file_precedenti(cartella);
}

TEST(PassiPercorsoTest, FileThatCannotBeWrittenStopsTheRestAndKeepsCompletedOnes) {
  CartellaTemporanea cartella;
  scrivi_file_precedenti(cartella);
  std::filesystem::remove(file_di(cartella, FileScenario::kVoci));
  std::filesystem::create_directory(file_di(cartella, FileScenario::kVoci));
  ModelloPercorso m = modello_letto(1);
  completa_modello(m);
  EXPECT_THROW(scrivi_compilati(m, cartella.percorso()), GuastoEsecuzione);
  EXPECT_TRUE(stessi_byte(leggi_file(file_di(cartella, FileScenario::kTracciato)),
                          byte_tracciato(m.tracciato), TipoCompilato::kTracciato));
  EXPECT_TRUE(std::filesystem::is_directory(file_di(cartella, FileScenario::kVoci)));
  EXPECT_TRUE(
      stessi_byte(leggi_file(file_di(cartella, FileScenario::kCelle)), std::string(100000, 'p')));
  EXPECT_EQ(cartella.nomi().size(), 3u) << "no temporary file is left behind";
}

}  // namespace
}  // namespace scenario
