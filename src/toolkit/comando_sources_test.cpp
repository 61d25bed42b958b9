// scenario sources: the example's five text files, never over an author's own.

#include <gtest/gtest.h>

#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "toolkit/prova_strumento_test.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

TEST(ComandoSourcesTest, AnExistingFileIsNeverReplacedWithoutForce) {
  const struct {
    const char* nome;
    FileScenario gia;  // the file the author already has
  } casi[] = {
      {"an edited route source", FileScenario::kSorgenteLinea},
      {"an edited service source", FileScenario::kSorgenteTreno},
      {"edited notes", FileScenario::kNote},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaTemporanea cartella;
    const fs::path mio = file_scenario(cartella.percorso(), c.gia);
    scrivi_file_atomico(mio, "mine\r\n");

    const EsitoStrumento e = esegui_prova({"sources", cartella.percorso().string()});
    EXPECT_EQ(e.stato, 1);
    EXPECT_EQ(e.out, "");
    EXPECT_NE(e.err.find(mio.filename().string()), std::string::npos) << e.err;
    EXPECT_NE(e.err.find("--force"), std::string::npos) << e.err;
    EXPECT_EQ(leggi_file(mio), "mine\r\n");
    EXPECT_EQ(cartella.nomi().size(), 1u);  // nothing else written either

    const EsitoStrumento f = esegui_prova({"sources", "--force", cartella.percorso().string()});
    EXPECT_EQ(f.stato, 0) << f.err;
    EXPECT_NE(leggi_file(mio), "mine\r\n");
    EXPECT_EQ(cartella.nomi().size(), 5u);
  }
}

TEST(ComandoSourcesTest, AnotherFileInTheFolderIsNoObstacle) {
  CartellaTemporanea cartella;
  scrivi_file_atomico(cartella.percorso() / "Altro_linea.txt", "mine\r\n");
  const EsitoStrumento e = esegui_prova({"sources", cartella.percorso().string()});
  EXPECT_EQ(e.stato, 0) << e.err;
  EXPECT_EQ(cartella.nomi().size(), 6u);
  EXPECT_EQ(leggi_file(cartella.percorso() / "Altro_linea.txt"), "mine\r\n");
}

}  // namespace
}  // namespace scenario
