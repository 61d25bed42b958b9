#include "text/nomi_file.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {
namespace {

TEST(NomiFileTest, EveryFileIsNamedFromScenarioAndTrain) {
  struct Caso {
    FileScenario file;
    const char* atteso;
    const char* con_spazi;  // scenario "Val di Noto", train "12 A"
  } casi[] = {
      {FileScenario::kSorgenteLinea, "MorvessaC_Tolvarre_linea.txt", "Val di Noto_linea.txt"},
      {FileScenario::kSorgenteTreno, "MorvessaC_Tolvarre_823-.txt", "Val di Noto_12 A-.txt"},
      {FileScenario::kNote, "MorvessaC_Tolvarre_823_note.txt", "Val di Noto_12 A_note.txt"},
      {FileScenario::kRallentamenti, "MorvessaC_Tolvarre_823_rallentamenti.txt",
       "Val di Noto_12 A_rallentamenti.txt"},
      {FileScenario::kSchedaTreno, "MorvessaC_Tolvarre_823_scheda_treno.txt",
       "Val di Noto_12 A_scheda_treno.txt"},
      {FileScenario::kTracciato, "MorvessaC_Tolvarre_linea.dat", "Val di Noto_linea.dat"},
      {FileScenario::kVoci, "MorvessaC_Tolvarre_823.sim", "Val di Noto_12 A.sim"},
      {FileScenario::kCelle, "MorvessaC_Tolvarre_823.dat", "Val di Noto_12 A.dat"},
  };
  for (const auto& c : casi) {
    EXPECT_EQ(nome_file(c.file, "MorvessaC_Tolvarre", "823"), c.atteso);
    EXPECT_EQ(nome_file(c.file, "Val di Noto", "12 A"), c.con_spazi);
    EXPECT_EQ(percorso_file("/cartella", c.file, "MorvessaC_Tolvarre", "823"),
              std::filesystem::path("/cartella") / c.atteso);
  }
}

TEST(NomiFileTest, NamesAreTakenAsTheyStand) {
  // Nothing is trimmed or case-changed, and an empty train number still
  // leaves its underscore.
  EXPECT_EQ(nome_file(FileScenario::kNote, " Linea ", ""), " Linea __note.txt");
  EXPECT_EQ(nome_file(FileScenario::kCelle, "LINEA", "007"), "LINEA_007.dat");
  // Names are Windows-1252: the path carries the same letters.
  EXPECT_EQ(percorso_file("/c", FileScenario::kSorgenteLinea, "Citt\xE0", "1").filename(),
            std::filesystem::path(u8"Città_linea.txt"));
}

}  // namespace
}  // namespace scenario
