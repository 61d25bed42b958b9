#include "text/righe.h"

#include <gtest/gtest.h>
#include <unistd.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_atomico.h"
#include "platform/guasto.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class CartellaProva : public ::testing::Test {
 protected:
  void SetUp() override {
    cartella_ = fs::temp_directory_path() /
                ("righe_test_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(cartella_);
    fs::create_directories(cartella_);
  }
  void TearDown() override { fs::remove_all(cartella_); }

  std::vector<std::string> contenuto() const {
    std::vector<std::string> nomi;
    for (const auto& voce : fs::directory_iterator(cartella_)) {
      nomi.push_back(voce.path().filename().string());
    }
    std::sort(nomi.begin(), nomi.end());
    return nomi;
  }

  fs::path cartella_;
};

Righe lista_senza_fine() {
  Righe r;  // every one of the 1001 entries overwritten: no end marker left
  for (int i = 0; i < kVociRighe; ++i) r[i] = "riga";
  return r;
}

TEST(ScriviRigheTest, WritesEveryEntryUpToTheExactEndMarker) {
  Righe solo_fine;
  solo_fine[0] = std::string(kFineRighe);
  Righe dopo_la_fine;
  dopo_la_fine[0] = "a";
  dopo_la_fine[1] = std::string(kFineRighe);
  dopo_la_fine[2] = "mai scritta";

  struct Caso {
    const char* nome;
    Righe righe;
    std::string atteso;
  } casi[] = {
      {"end marker first", solo_fine, ""},
      {"empty list", Righe(), ""},
      {"entries after the marker", dopo_la_fine, "a\r\n"},
      {"marker in other case", Righe{"Riferimento fine del file", "RIFERIMENTO FINE DEL FILE"},
       "Riferimento fine del file\r\nRIFERIMENTO FINE DEL FILE\r\n"},
      {"marker with spaces", Righe{"riferimento fine del file ", " riferimento fine del file"},
       "riferimento fine del file \r\n riferimento fine del file\r\n"},
      {"one space", Righe{" "}, " \r\n"},
      {"empty entries", Righe{"", "", "x"}, "\r\n\r\nx\r\n"},
      {"spaces kept", Righe{"  a  ,  b  "}, "  a  ,  b  \r\n"},
      {"Windows-1252", Righe{"è così, n° 1"}, "\xE8 cos\xEC, n\xB0 1\r\n"},
  };
  for (const auto& c : casi) EXPECT_EQ(testo_righe(c.righe), c.atteso) << c.nome;
}

TEST(ScriviRigheTest, LongLinesAreNeitherWrappedNorCut) {
  std::string lunga(601, 'x');
  EXPECT_EQ(testo_righe(Righe{lunga}), lunga + "\r\n");
}

TEST(ScriviRigheTest, ListWithoutEndMarkerIsRefused) {
  EXPECT_THROW(testo_righe(lista_senza_fine()), GuastoEsecuzione);
  // The last entry, index 1000, may still hold the marker: 1000 lines.
  Righe piena = lista_senza_fine();
  piena[kVociRighe - 1] = std::string(kFineRighe);
  EXPECT_EQ(testo_righe(piena).size(), 1000u * 6u);
  // More lines than a list holds are refused when the list is made.
  EXPECT_THROW(Righe::da(std::vector<std::string>(1001, "x")), GuastoEsecuzione);
  EXPECT_NO_THROW(Righe::da(std::vector<std::string>(1000, "x")));
}

using ScriviRigheFileTest = CartellaProva;

TEST_F(ScriviRigheFileTest, ReplacesTheFileWholeAndGivesTheSameBytesTwice) {
  fs::path p = cartella_ / "prova_linea.txt";
  scrivi_file_atomico(p, std::string(5000, 'v'));  // longer than the new content

  Righe r{"[generale]", "", " ", "cos\xC3\xAC", "[fine]"};
  scrivi_righe(r, p);
  std::string prima = leggi_file(p);
  EXPECT_EQ(prima, "[generale]\r\n\r\n \r\ncos\xEC\r\n[fine]\r\n");
  scrivi_righe(r, p);
  EXPECT_EQ(leggi_file(p), prima);
  EXPECT_EQ(contenuto(), std::vector<std::string>{"prova_linea.txt"});
}

TEST_F(ScriviRigheFileTest, EndMarkerFirstGivesAnEmptyFile) {
  fs::path p = cartella_ / "vuoto.txt";
  Righe r;
  r[0] = std::string(kFineRighe);
  scrivi_righe(r, p);
  ASSERT_TRUE(fs::exists(p));
  EXPECT_EQ(fs::file_size(p), 0u);
}

TEST_F(ScriviRigheFileTest, ListWithoutEndMarkerWritesNothing) {
  fs::path p = cartella_ / "senza_fine.txt";
  scrivi_file_atomico(p, "vecchio\r\n");
  EXPECT_THROW(scrivi_righe(lista_senza_fine(), p), GuastoEsecuzione);
  EXPECT_EQ(leggi_file(p), "vecchio\r\n");
  EXPECT_EQ(contenuto(), std::vector<std::string>{"senza_fine.txt"});
}

TEST_F(ScriviRigheFileTest, TargetHeldByAFolderFailsNamingTheFileAndLeavesNoTemporary) {
  fs::path prima = cartella_ / "scritto_prima.txt";
  scrivi_righe(Righe{"prima"}, prima);
  fs::path occupato = cartella_ / "occupato.txt";
  fs::create_directory(occupato);
  scrivi_file_atomico(occupato / "dentro", "resta");

  try {
    scrivi_righe(Righe{"nuova"}, occupato);
    FAIL() << "writing over a folder must fail";
  } catch (const GuastoEsecuzione& e) {
    EXPECT_NE(std::string(e.what()).find("occupato.txt"), std::string::npos) << e.what();
  }
  EXPECT_EQ(contenuto(), (std::vector<std::string>{"occupato.txt", "scritto_prima.txt"}));
  EXPECT_EQ(leggi_file(occupato / "dentro"), "resta");
  EXPECT_EQ(leggi_file(prima), "prima\r\n");
}

TEST_F(ScriviRigheFileTest, FailedWriteKeepsTheEarlierFileOfThatName) {
  fs::path p = cartella_ / "pieno.txt";
  scrivi_righe(Righe{"vecchio"}, p);

#ifdef _WIN32
  GTEST_SKIP() << "Windows has no per-process file size limit to stand in for a full disk";
#else
  // A file size limit stands in for a full disk: the write of the new content
  // fails part way.
  rlimit vecchio_limite{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &vecchio_limite), 0);
  auto vecchio_segnale = signal(SIGXFSZ, SIG_IGN);
  rlimit limite = vecchio_limite;
  limite.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limite), 0);
  bool fallito = false;
  std::string messaggio;
  try {
    scrivi_righe(Righe::da(std::vector<std::string>(500, std::string(80, 'n'))), p);
  } catch (const GuastoEsecuzione& e) {
    fallito = true;
    messaggio = e.what();
  }
  setrlimit(RLIMIT_FSIZE, &vecchio_limite);
  signal(SIGXFSZ, vecchio_segnale);

  EXPECT_TRUE(fallito);
  EXPECT_NE(messaggio.find("pieno.txt"), std::string::npos) << messaggio;
  EXPECT_EQ(leggi_file(p), "vecchio\r\n");
  EXPECT_EQ(contenuto(), std::vector<std::string>{"pieno.txt"});
#endif
}

}  // namespace
}  // namespace scenario
