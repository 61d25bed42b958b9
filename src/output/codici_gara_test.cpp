#include "output/codici_gara.h"

#include <gtest/gtest.h>

#include <string>

#include "text/cp1252.h"

namespace scenario {
namespace {

TEST(CodiciGaraTest, CodesOfTrainNumberAndScenarioName) {
  struct Caso {
    std::string treno;  // UTF-8 here, Windows-1252 in the model
    std::string scenario;
    int16_t og;
    int32_t st;
  } casi[] = {
      {"823", "MorvessaC_Tolvarre", 2500, 33796},
      {"823", "MORVESSAC_TOLVARRE", 2500, 33796},
      {"", "", 2583, 34355},  // the fill text alone
      // Swapped order: same plain sum, different weighted sum.
      {"MorvessaC_Tolvarre", "823", 2500, 30763},
      // Accented capitals lower-case in Windows-1252 too; "ì" counts as 236.
      {"823", "ÈRICE_Pontì", 2680, 35161},
      {"823", "èrice_pontì", 2680, 35161},
      // 25 characters of its own: neither the fill text nor anything after counts.
      {"4711", "Abcdefghijklmnopqrstu", 2452, 34980},
      {"4711", "abcdefghijklmnopqrstuVWXYZ", 2452, 34980},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.treno + " / " + c.scenario);
    ModelloPercorso m;
    m.voce(kVoceRipetizione).nome = utf8_a_cp1252(c.treno);
    m.voce(kVoceScenario).nome = utf8_a_cp1252(c.scenario);
    const ModelloPercorso prima = m;
    EXPECT_EQ(codice_gara_st(m), c.st);
    EXPECT_EQ(codice_gara_og(m), c.og);
    EXPECT_EQ(codice_gara_st(m), c.st) << "a second call gives the same code";
    EXPECT_EQ(m.voci, prima.voci);
  }
}

}  // namespace
}  // namespace scenario
