#include "text/scenario_testi.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_atomico.h"
#include "text/cp1252.h"
#include "text/nomi_file.h"
#include "text/righe_file_test.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

struct Lista {
  const char* nome;
  Righe (*righe)();
  FileScenario file;
  size_t righe_scritte, piu_lunga, vuote;
};

// The five lists and their line-count figures: lines written, longest line,
// empty lines. The service source's longest line is a station line (84).
const Lista kListe[] = {
    {"linea", righe_linea, FileScenario::kSorgenteLinea, 222, 85, 0},
    {"treno", righe_treno, FileScenario::kSorgenteTreno, 42, 84, 0},
    {"note", righe_note, FileScenario::kNote, 25, 601, 3},
    {"rallentamenti", righe_rallentamenti, FileScenario::kRallentamenti, 46, 82, 3},
    {"scheda", righe_scheda, FileScenario::kSchedaTreno, 25, 98, 2},
};

TEST(TestiScenarioTest, EachListMatchesItsLineCounts) {
  for (const auto& l : kListe) {
    Righe righe = l.righe();
    // The end marker closes the list right after its last line, and no line
    // before it is the marker.
    EXPECT_EQ(righe[static_cast<int>(l.righe_scritte)], kFineRighe) << l.nome;
    for (int i = 0; i < static_cast<int>(l.righe_scritte); ++i) {
      EXPECT_NE(righe[i], kFineRighe) << l.nome << " line " << i;
    }
    ConteggioRighe c = conta_righe(righe_del_file(testo_righe(righe)));
    EXPECT_EQ(c.righe, l.righe_scritte) << l.nome;
    EXPECT_EQ(c.piu_lunga, l.piu_lunga) << l.nome;
    EXPECT_EQ(c.vuote, l.vuote) << l.nome;
  }
}

TEST(TestiScenarioTest, SourcesBeginWithGeneraleAndEndWithFine) {
  for (auto righe : {righe_linea, righe_treno}) {
    auto file = righe_del_file(testo_righe(righe()));
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(file.front(), "[generale]");
    EXPECT_EQ(file.back(), "[fine]");
  }
}

TEST(TestiScenarioTest, EveryCharacterHasItsOwnWindows1252Byte) {
  // A character outside the code page would be written as "?": decoding the
  // written bytes must give back exactly the lines of the list.
  for (const auto& l : kListe) {
    Righe righe = l.righe();
    std::string utf8;
    for (int i = 0; righe[i] != kFineRighe; ++i) utf8 += righe[i] + "\r\n";
    EXPECT_EQ(cp1252_a_utf8(testo_righe(righe)), utf8) << l.nome;
  }
}

TEST(TestiScenarioTest, WritersPutTheFiveFilesUnderTheirNames) {
  fs::path cartella = fs::temp_directory_path() / ("testi_scenario_" + std::to_string(getpid()));
  fs::remove_all(cartella);
  fs::create_directories(cartella);
  // An earlier run's file is replaced whole.
  scrivi_file_atomico(cartella / "MorvessaC_Tolvarre_823_note.txt", std::string(9000, 'x'));

  scrivi_testi_scenario(cartella, "MorvessaC_Tolvarre", "823");

  std::vector<std::string> nomi;
  for (const auto& voce : fs::directory_iterator(cartella)) {
    nomi.push_back(voce.path().filename().string());
  }
  std::sort(nomi.begin(), nomi.end());
  EXPECT_EQ(nomi, (std::vector<std::string>{
                      "MorvessaC_Tolvarre_823-.txt",
                      "MorvessaC_Tolvarre_823_note.txt",
                      "MorvessaC_Tolvarre_823_rallentamenti.txt",
                      "MorvessaC_Tolvarre_823_scheda_treno.txt",
                      "MorvessaC_Tolvarre_linea.txt",
                  }));
  for (const auto& l : kListe) {
    fs::path p = percorso_file(cartella, l.file, "MorvessaC_Tolvarre", "823");
    EXPECT_EQ(leggi_file(p), testo_righe(l.righe())) << l.nome;
  }
  fs::remove_all(cartella);
}

}  // namespace
}  // namespace scenario
