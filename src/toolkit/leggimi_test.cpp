// The README's first five minutes, run as written: its commands in a fresh
// folder, its edit on the line it names, what it shows against what the tool
// prints, and the starting scenario it writes.

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "model/diagnostica.h"
#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "toolkit/prova_strumento_test.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

std::string dopo(const std::string& testo, const std::string& segno) {
  const size_t i = testo.find(segno);
  EXPECT_NE(i, std::string::npos) << "the README no longer says: " << segno;
  return i == std::string::npos ? "" : testo.substr(i + segno.size());
}

// The text between the next two backticks.
std::string citato(const std::string& testo) {
  const size_t a = testo.find('`');
  const size_t b = testo.find('`', a + 1);
  return a == std::string::npos || b == std::string::npos ? "" : testo.substr(a + 1, b - a - 1);
}

// The block indented by seven blanks that follows, without its indent.
std::string blocco(const std::string& testo) {
  std::istringstream in(testo);
  std::string riga, r;
  bool dentro = false;
  while (std::getline(in, riga)) {
    const bool rientrata = riga.rfind("       ", 0) == 0;
    if (dentro && !rientrata) break;
    if (rientrata) {
      dentro = true;
      r += riga.substr(7) + "\n";
    }
  }
  return r;
}

std::vector<std::string> parole(const std::string& comando) {
  std::istringstream in(comando);
  std::vector<std::string> r;
  for (std::string p; in >> p;) r.push_back(p);
  return r;
}

// Line `n` (1-based) of a CR LF text replaced by `testo`.
std::string con_riga(std::string s, int n, const std::string& testo) {
  size_t inizio = 0;
  for (int r = 1; r < n; ++r) inizio = s.find("\r\n", inizio) + 2;
  return s.replace(inizio, s.find("\r\n", inizio) - inizio, testo);
}

TEST(LeggimiTest, TheFirstFiveMinutesRunAsWritten) {
  const std::string leggimi = leggi_file(LEGGIMI);
  const std::string passi = dopo(leggimi, "## An author's first five minutes");
  CartellaTemporanea cartella;
  const fs::path dir = cartella.percorso();

  // 1. The example sources.
  ASSERT_EQ(blocco(dopo(passi, "1. ")), "mkdir prova && cd prova && scenario sources\n");
  const EsitoStrumento fonti = avvia_strumento({"sources"}, dir);
  ASSERT_EQ(fonti.stato, 0) << fonti.err;

  // 2. The line it names holds what it quotes; the edit it describes.
  const std::string passo2 = dopo(passi, "2. ");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(passo2, m, std::regex("line (\\d+)\\s+of the service source")));
  const int riga = std::stoi(m[1]);
  const std::string prima = citato(passo2);
  const std::string modificata = citato(dopo(passo2, prima + "`"));
  ASSERT_TRUE(prima.ends_with(" ...") && modificata.ends_with(" ...")) << prima << modificata;
  const fs::path treno = file_scenario(dir, FileScenario::kSorgenteTreno);
  const std::string originale = leggi_file(treno);
  const std::string riga_nominata = riga_del_testo(originale, riga);
  ASSERT_EQ(riga_nominata.rfind(prima.substr(0, prima.size() - 4), 0), 0u)
      << "line " << riga << " of the service source is " << riga_nominata;
  const std::string cambiata =
      modificata.substr(0, modificata.size() - 4) + riga_nominata.substr(prima.size() - 4);
  scrivi_file_atomico(treno, con_riga(originale, riga, cambiata));

  // 3. and 4. Compile: what standard error shows, and the status.
  const std::string compila = blocco(dopo(passi, "3. "));
  ASSERT_EQ(compila.rfind("scenario compile ", 0), 0u) << compila;
  std::vector<std::string> a = parole(compila);
  a.erase(a.begin());
  const EsitoStrumento e = avvia_strumento(a, dir);
  const std::string passo4 = dopo(passi, "4. ");
  EXPECT_NE(passo4.find("the exit status is 3"), std::string::npos);
  EXPECT_EQ(e.stato, 3);
  EXPECT_EQ(e.err, blocco(passo4));

  // Put back, it compiles clean.
  scrivi_file_atomico(treno, originale);
  const EsitoStrumento pulito = avvia_strumento(a, dir);
  EXPECT_EQ(pulito.stato, 0);
  EXPECT_EQ(pulito.err, "");

  // 5. verify's verdict as shown.
  const std::string passo5 = dopo(passi, "5. ");
  const EsitoStrumento v = avvia_strumento({"verify", "compilato"}, dir);
  EXPECT_EQ(v.stato, 0) << v.err;
  EXPECT_EQ(v.out, blocco(dopo(passo5, "checks the compiled files for consistency:")));

  // 6. A scenario of one's own, written as the README shows, compiles clean;
  // a second run replaces nothing.
  const std::string nuovo = blocco(dopo(passi, "6. "));
  ASSERT_EQ(nuovo.rfind("scenario new ", 0), 0u) << nuovo;
  std::vector<std::string> n = parole(nuovo);
  n.erase(n.begin());
  ASSERT_EQ(n.size(), 4u) << nuovo;
  const EsitoStrumento scritto = avvia_strumento(n, dir);
  ASSERT_EQ(scritto.stato, 0) << scritto.err;
  const fs::path mia = dir / n[3];
  const EsitoStrumento suo = avvia_strumento(
      {"compile", (mia / (n[1] + "_linea.txt")).string(),
       (mia / (n[1] + "_" + n[2] + "-.txt")).string(), "-o", (mia / "compilato").string()},
      dir);
  EXPECT_EQ(suo.stato, 0) << suo.err;
  EXPECT_EQ(suo.err, "");
  EXPECT_EQ(avvia_strumento(n, dir).stato, 1);
  EXPECT_NE(passi.find("docs/formato.md"), std::string::npos);
}

}  // namespace
}  // namespace scenario
