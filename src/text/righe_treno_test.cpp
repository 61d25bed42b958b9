#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/righe_file_test.h"
#include "text/scenario_testi.h"

namespace scenario {
namespace {

TEST(RigheTrenoTest, EveryLineIsWrittenAsQuoted) {
  // Runs of spaces mean nothing to the reader but are part of the file: line 5
  // ends with one space, and its three numbers have no comma between them.
  const std::vector<std::string> attese = {
      "[generale]",
      "numero vetture,    8",
      "percentuale massa frenata,    105",
      "sabbia,    120",
      "orologio,    10              31            0 ",
      "[aderenze]",
      "aderenza,   0,    100",
      "aderenza,     650,    85",
      "aderenza,    1900,   100",
      "aderenza,    5700,    70",
      "aderenza,    6400,   100",
      "aderenza,    9950,    70",
      "aderenza,   11850,    90",
      "aderenza,   12650,    80",
      "aderenza,   13850,   100",
      "aderenza,   17150,    85",
      "aderenza,   18950,   100",
      "aderenza,   24050,    85",
      "aderenza,   24200,    80",
      "aderenza,   24350,    70",
      "aderenza,   25350,    80",
      "aderenza,   28450,   100",
      "[vel_limite]",
      "velocita,       0,    60",
      "velocita,    6800,    75",
      "velocita,   10500,    65",
      "velocita,   11850,    75",
      "[stazioni]",
      "stazione,       0,  2,  600,  0, 0, 0,  1,1,0,  4,1,1,    1,  10,32, 0, MORVESSA C.",
      "stazione,    6600, 21,  300,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, SAN CATALDO",
      "stazione,   19050, 21,  300,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, SERRADIFALCO",
      "stazione,   28750, 11,  600,  1, 0, 0,  1,1,0,  2,1,1,    0,  11, 3, 0, TOLVARRE",
      "[rallentamenti]",
      "[segnali]",
      "segnale,    4400,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,    5600,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   17300,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   18400,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   26500,   1, 3, 4,  0, 0,    1,  3,1,0, 0",
      "segnale,   27650,   2, 2, 3,  0, 0,    2,  2,1,0, 0",
      "[codici]",
      "[fine]",
  };
  auto file = righe_del_file(testo_righe(righe_treno()));
  ASSERT_EQ(file.size(), attese.size());
  for (size_t i = 0; i < attese.size(); ++i) EXPECT_EQ(file[i], attese[i]) << "line " << i + 1;
}

}  // namespace
}  // namespace scenario
