#include "compiler/celle_voce.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

TEST(CelleVoceTest, EachRuleRoundsItsQuotientTiesToEven) {
  struct Caso {
    const char* parola;
    const char* campo;
    int64_t p;
    std::optional<int32_t> cella;
  };
  const Caso casi[] = {
      {"pendenza", "posizione", 25, 0},  // round(0.5) is 0
      {"pendenza", "posizione", 75, 2},  // round(1.5) is 2
      {"abbattimento", "posizione", 9000, 180},
      {"segnale", "posizione", 25, 2},  // round(1.5)
      {"segnale", "posizione", 4400, 89},
      {"rallentamento", "x", 0, 1},
      {"rallentamento", "l", 0, std::nullopt},
      {"montagna", "inizio", 125, 2},
      {"montagna", "fine", 125, 2},  // round(1.5)
      {"curva", "posizione", 500, std::nullopt},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::string(c.parola) + " " + c.campo + " at " + std::to_string(c.p));
    EXPECT_EQ(cella_per_regola(regola_cella(c.parola, c.campo), c.p), c.cella);
  }
}

TEST(CelleVoceTest, AStationMarksTheCellBeforeItsAreasEnd) {
  struct Caso {
    int64_t tipo, lunghezza, opz6;
    std::optional<int32_t> cella;
  };
  const Caso casi[] = {
      {5, 300, 0, 134},   // 6600 + 150 m
      {7, 300, 0, 137},   // 6600 + its length
      {21, 300, 0, 134},  // centred: 6750
      {21, 300, 1, 135},  // and 50 m further
      {25, 300, 0, std::nullopt},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE("kind " + std::to_string(c.tipo) + ", opz6 " + std::to_string(c.opz6));
    EXPECT_EQ(cella_stazione(6600, c.tipo, c.lunghezza, c.opz6), c.cella);
  }
  // An area whose ends leave 32 bits is refused by the reader: no cell, and
  // no failure for whoever asks.
  const int64_t massimo = INT32_MAX, minimo = INT32_MIN;
  EXPECT_EQ(cella_stazione(massimo, 21, 300, 0), std::nullopt);
  EXPECT_EQ(cella_stazione(massimo - 150, 21, 300, 1), std::nullopt);
  EXPECT_EQ(cella_stazione(massimo, 5, 300, 0), std::nullopt);
  EXPECT_EQ(cella_stazione(minimo, 7, 300, 0), std::nullopt);
  EXPECT_EQ(cella_stazione(massimo - 150, 5, 300, 0), 42949672);  // its end at the very limit
  // A centred station 1 m long ends half a metre past the limit, which rounds
  // to the even 2^31.
  EXPECT_EQ(cella_stazione(massimo, 21, 1, 0), std::nullopt);
  EXPECT_EQ(regola_cella("stazione", "posizione"), RegolaCella::kStazione);
}

}  // namespace
}  // namespace scenario
