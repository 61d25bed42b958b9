#include "platform/file_atomico.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/guasto.h"
#include "prove/cartella_temporanea_test.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

TEST(FileAtomicoTest, ReplacesALongerFileWhole) {
  CartellaTemporanea dir;
  fs::path f = dir.percorso() / "a.dat";
  scrivi_file_atomico(f, "0123456789");
  scrivi_file_atomico(f, "xy");
  EXPECT_EQ(leggi_file(f), "xy");
  EXPECT_EQ(dir.nomi(), std::vector<std::string>{"a.dat"});
}

TEST(FileAtomicoTest, AFailedReplaceLeavesNoTemporaryAndNamesTheFile) {
  CartellaTemporanea dir;
  // A folder standing where the file should go: the rename cannot replace it.
  fs::create_directory(dir.percorso() / "occupato.txt");
  try {
    scrivi_file_atomico(dir.percorso() / "occupato.txt", "abc");
    FAIL() << "no failure";
  } catch (const GuastoEsecuzione& g) {
    EXPECT_NE(std::string(g.what()).find("occupato.txt"), std::string::npos) << g.what();
  }
  EXPECT_EQ(dir.nomi(), std::vector<std::string>{"occupato.txt"});
  EXPECT_TRUE(fs::is_directory(dir.percorso() / "occupato.txt"));
}

TEST(FileAtomicoTest, AFileNeverConfirmedLeavesTheEarlierOneAsItWas) {
  CartellaTemporanea dir;
  fs::path f = dir.percorso() / "a.dat";
  scrivi_file_atomico(f, "earlier");
  {
    FileAtomico parziale(f);
    parziale.scrivi("half");
  }
  EXPECT_EQ(leggi_file(f), "earlier");
  EXPECT_EQ(dir.nomi(), std::vector<std::string>{"a.dat"});
}

TEST(FileAtomicoTest, AMissingFolderIsAFailureNamingTheFile) {
  CartellaTemporanea dir;
  EXPECT_THROW(scrivi_file_atomico(dir.percorso() / "no" / "a.dat", "x"), GuastoEsecuzione);
  EXPECT_THROW(leggi_file(dir.percorso() / "missing.txt"), GuastoEsecuzione);
  EXPECT_THROW(leggi_file(dir.percorso()), GuastoEsecuzione);
}

}  // namespace
}  // namespace scenario
