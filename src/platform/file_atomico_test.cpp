#include "platform/file_atomico.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/guasto.h"
#include "prove/cartella_temporanea_test.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

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

// The name of the one temporary standing in `dir` beside the target "a.dat".
std::string temporaneo_in(const CartellaTemporanea& dir) {
  std::string t;
  for (const std::string& n : dir.nomi()) {
    if (n != "a.dat") t = n;
  }
  return t;
}

TEST(FileAtomicoTest, ATemporaryAlreadyThereIsLeftAloneAndTheNextNameTaken) {
  CartellaTemporanea dir;
  fs::path f = dir.percorso() / "a.dat";
  std::string visto;
  {
    FileAtomico prima(f);
    visto = temporaneo_in(dir);
  }
  // The names that follow the one just seen, held by someone else: another
  // run's temporary, or one a crashed run left behind.
  const size_t fine_prefisso = visto.find_last_not_of("0123456789") + 1;
  ASSERT_LT(fine_prefisso, visto.size()) << visto;
  const unsigned n = static_cast<unsigned>(std::stoul(visto.substr(fine_prefisso)));
  std::vector<std::string> altrui;
  for (unsigned k = 1; k <= 3; ++k) {
    altrui.push_back(visto.substr(0, fine_prefisso) + std::to_string(n + k));
    std::ofstream(dir.percorso() / altrui.back(), std::ios::binary) << "someone else's";
  }
  scrivi_file_atomico(f, "mine");
  EXPECT_EQ(leggi_file(f), "mine");
  for (const std::string& a : altrui) EXPECT_EQ(leggi_file(dir.percorso() / a), "someone else's");
  EXPECT_EQ(dir.nomi().size(), 1 + altrui.size());
}

#ifndef _WIN32
// Two processes replacing the same file at once, their steps interleaved: each
// writes its own temporary, so both replaces succeed and the file holds the
// whole of the last one.
TEST(FileAtomicoTest, TwoProcessesWritingTheSameFileDoNotShareATemporary) {
  CartellaTemporanea dir;
  const fs::path f = dir.percorso() / "a.dat";
  const std::string del_padre(100000, 'p'), del_figlio(70000, 'c');
  int a_figlio[2], a_padre[2];
  ASSERT_EQ(pipe(a_figlio), 0);
  ASSERT_EQ(pipe(a_padre), 0);
  auto attendi = [](int fd) {
    char c = 0;
    return read(fd, &c, 1) == 1;
  };
  auto segnala = [](int fd) { return write(fd, "x", 1) == 1; };
  const pid_t figlio = fork();
  ASSERT_GE(figlio, 0);
  if (figlio == 0) {
    int esito = 1;
    try {
      if (attendi(a_figlio[0])) {
        FileAtomico mio(f);
        mio.scrivi(del_figlio);
        if (segnala(a_padre[1]) && attendi(a_figlio[0])) {
          mio.conferma();
          esito = 0;
        }
      }
    } catch (...) {
    }
    _exit(esito);
  }
  {
    FileAtomico mio(f);
    mio.scrivi(del_padre);
    ASSERT_TRUE(segnala(a_figlio[1]));
    ASSERT_TRUE(attendi(a_padre[0]));
    EXPECT_NO_THROW(mio.conferma());
    ASSERT_TRUE(segnala(a_figlio[1]));
  }
  int stato = 0;
  ASSERT_EQ(waitpid(figlio, &stato, 0), figlio);
  EXPECT_TRUE(WIFEXITED(stato) && WEXITSTATUS(stato) == 0) << "the second replace failed";
  for (int fd : {a_figlio[0], a_figlio[1], a_padre[0], a_padre[1]}) close(fd);
  const std::string finale = leggi_file(f);
  EXPECT_TRUE(finale == del_figlio)
      << finale.size() << " bytes, not the second writer's " << del_figlio.size();
  EXPECT_EQ(dir.nomi(), std::vector<std::string>{"a.dat"});
}
#endif

}  // namespace
}  // namespace scenario
