// The generator as a user starts it: an executable in a folder of its own,
// started from somewhere else.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/cartella_temporanea_test.h"
#include "app/file_atomico.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

const std::vector<std::string> kFileDiUnaCorsa = {"MorvessaC_Tolvarre_823.dat",
                                                  "MorvessaC_Tolvarre_823.sim",
                                                  "MorvessaC_Tolvarre_823_note.txt",
                                                  "MorvessaC_Tolvarre_823_rallentamenti.txt",
                                                  "MorvessaC_Tolvarre_823_scheda_treno.txt",
                                                  "MorvessaC_Tolvarre_linea.dat",
                                                  "generatore"};

// Copies the built generator into `cartella` and starts it from `da`.
int avvia(const fs::path& cartella, const fs::path& da, std::string* errori = nullptr) {
  fs::copy_file(GENERATORE_ESEGUIBILE, cartella / "generatore",
                fs::copy_options::overwrite_existing);
  fs::path log = da / "stderr.txt";
  std::string comando = "cd '" + da.string() + "' && '" + (cartella / "generatore").string() +
                        "' 2>'" + log.string() + "'";
  int stato = std::system(comando.c_str());
  if (errori != nullptr) *errori = leggi_file(log);
  fs::remove(log);
  return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
}

TEST(GeneratoreTest, WritesEveryFileBesideItselfAndNothingWhereItWasStarted) {
  CartellaTemporanea programma, altrove;
  std::string errori;
  EXPECT_EQ(avvia(programma.percorso(), altrove.percorso(), &errori), 0);
  EXPECT_EQ(errori, "Attendere\n");
  EXPECT_EQ(programma.nomi(), kFileDiUnaCorsa);  // the two sources were read back and deleted
  EXPECT_TRUE(altrove.nomi().empty());
  EXPECT_EQ(fs::file_size(programma.percorso() / "MorvessaC_Tolvarre_823.dat"), 11415u);
  EXPECT_EQ(fs::file_size(programma.percorso() / "MorvessaC_Tolvarre_linea.dat"), 759964u);
}

TEST(GeneratoreTest, ASecondRunLeavesTheSameBytes) {
  CartellaTemporanea programma;
  ASSERT_EQ(avvia(programma.percorso(), programma.percorso()), 0);
  std::vector<std::string> prima;
  for (const auto& n : kFileDiUnaCorsa) prima.push_back(leggi_file(programma.percorso() / n));
  // Longer earlier files must not leave a tail behind.
  for (const auto& n : kFileDiUnaCorsa) {
    if (n == "generatore") continue;
    std::string lungo = leggi_file(programma.percorso() / n) + std::string(5000, 'x');
    scrivi_file_atomico(programma.percorso() / n, lungo);
  }
  ASSERT_EQ(avvia(programma.percorso(), programma.percorso()), 0);
  for (size_t i = 0; i < kFileDiUnaCorsa.size(); ++i) {
    EXPECT_EQ(leggi_file(programma.percorso() / kFileDiUnaCorsa[i]), prima[i])
        << kFileDiUnaCorsa[i];
  }
}

TEST(GeneratoreTest, AFileThatCannotBeWrittenEndsTheRunWithItsNameAndKeepsEarlierFiles) {
  CartellaTemporanea programma;
  // The card of an earlier run is there; the notes' name is taken by a folder.
  scrivi_file_atomico(programma.percorso() / "MorvessaC_Tolvarre_823_scheda_treno.txt", "old");
  fs::create_directory(programma.percorso() / "MorvessaC_Tolvarre_823_note.txt");
  std::string errori;
  EXPECT_EQ(avvia(programma.percorso(), programma.percorso(), &errori), 1);
  EXPECT_NE(errori.find("MorvessaC_Tolvarre_823_note.txt"), std::string::npos) << errori;
  EXPECT_NE(errori.find("directory"), std::string::npos) << errori;
  EXPECT_EQ(leggi_file(programma.percorso() / "MorvessaC_Tolvarre_823_scheda_treno.txt"), "old");
  // The writers before the failing one ran; nothing after it did.
  EXPECT_TRUE(fs::exists(programma.percorso() / "MorvessaC_Tolvarre_823-.txt"));
  EXPECT_FALSE(fs::exists(programma.percorso() / "MorvessaC_Tolvarre_823.dat"));
}

}  // namespace
}  // namespace scenario
