// The builder's fuzz mutator edits one entry of one source and keeps most of
// what it makes readable past the field reader.

#include "fuzz/mutatore_sorgenti.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "compiler/memorizza_dati.h"
#include "fuzz/controlli_fuzz.h"
#include "model/modello.h"
#include "platform/file_atomico.h"

namespace scenario {
namespace {

// The carried scenario's two sources, as the builder's corpus holds them.
std::string portato() {
  return leggi_file(std::filesystem::path(CARTELLA_FUZZ) / "corpus" / "compilazione" / "portato");
}

size_t righe(std::string_view t) {
  return static_cast<size_t>(std::count(t.begin(), t.end(), '\n')) + 1;
}

TEST(MutatoreSorgentiTest, EditsOneEntryOfOneSourceAndKeepsTheOther) {
  const std::string originale = portato();
  const std::vector<std::string_view> prima = dividi(originale, kSeparatoreSorgenti, 2);
  ASSERT_EQ(prima.size(), 2u);
  size_t cambiati = 0;
  for (unsigned seme = 1; seme <= 400; ++seme) {
    SCOPED_TRACE(seme);
    const std::string mutato = muta_voci(originale, seme);
    const std::vector<std::string_view> dopo = dividi(mutato, kSeparatoreSorgenti, 3);
    ASSERT_EQ(dopo.size(), 2u) << "the separator between the sources was lost or doubled";
    const bool linea_uguale = dopo[0] == prima[0], treno_uguale = dopo[1] == prima[1];
    EXPECT_TRUE(linea_uguale || treno_uguale) << "both sources were edited";
    for (size_t i = 0; i < 2; ++i) {
      const size_t a = righe(prima[i]), b = righe(dopo[i]);
      EXPECT_LE(std::max(a, b) - std::min(a, b), 1u) << "more than one line added or removed";
    }
    cambiati += mutato != originale;
  }
  EXPECT_GE(cambiati, 360u) << "most seeds must change the input";
}

TEST(MutatoreSorgentiTest, MostMutantsReadPastTheFieldReaderIntoTheCells) {
  const std::string originale = portato();
  size_t letti = 0;
  constexpr unsigned kSemi = 200;
  for (unsigned seme = 1; seme <= kSemi; ++seme) {
    const std::string mutato = muta_voci(originale, seme);
    const std::vector<std::string_view> parti = dividi(mutato, kSeparatoreSorgenti, 2);
    ModelloPercorso m;
    SorgentiScenario s;
    s.linea = "linea.txt";
    s.treno = "treno.txt";
    s.elimina = false;
    s.testo_linea = std::string(parti[0]);
    s.testo_treno = std::string(parti.size() > 1 ? parti[1] : "");
    memorizza_dati(m, s);
    // 25: a field the reader could not read.
    letti += m.celle_create && m.codice_errore != 25;
  }
  EXPECT_GE(letti, kSemi * 3 / 4);
}

// The positions it aims at lie around the route's end: a length past 64 bits
// is read as the largest one, and the end plus one metre must not overflow.
TEST(MutatoreSorgentiTest, ARouteLengthPastSixtyFourBitsGivesPositionsWithinThirtyTwo) {
  const std::string enorme = "777777777777777777777777777777";
  std::string originale = portato();
  const size_t dove = originale.find("31000");
  ASSERT_NE(dove, std::string::npos);
  originale.replace(dove, 5, enorme);
  size_t cambiati = 0;
  for (unsigned seme = 1; seme <= 400; ++seme) {
    SCOPED_TRACE(seme);
    std::string mutato = muta_voci(originale, seme);
    cambiati += mutato != originale;
    for (size_t i; (i = mutato.find(enorme)) != std::string::npos;) mutato.erase(i, enorme.size());
    size_t cifre = 0;
    for (char c : mutato) {
      cifre = c >= '0' && c <= '9' ? cifre + 1 : 0;
      ASSERT_LE(cifre, 10u) << "a number past 32 bits was written";
    }
  }
  EXPECT_GE(cambiati, 360u);
}

TEST(MutatoreSorgentiTest, NeverGrowsPastTheLimitAndFallsBackToTheByteMutation) {
  const std::string originale = portato();
  static size_t chiamate;
  chiamate = 0;
  const MutazioneByte conta = [](uint8_t*, size_t n, size_t) -> size_t {
    ++chiamate;
    return n;
  };
  for (unsigned seme = 1; seme <= 200; ++seme) {
    std::vector<uint8_t> dati(originale.begin(), originale.end());
    // No room to grow: an edit that lengthens the input is left to the bytes.
    const size_t n = muta_sorgenti(dati.data(), dati.size(), dati.size(), seme, conta);
    EXPECT_LE(n, dati.size());
  }
  EXPECT_GT(chiamate, 0u);
  EXPECT_LT(chiamate, 200u);
}

}  // namespace
}  // namespace scenario
