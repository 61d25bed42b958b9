#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "prove/sha256_test.h"
#include "text/righe.h"
#include "text/righe_file_test.h"
#include "text/scenario_testi.h"

namespace scenario {
namespace {

TEST(RigheTrenoTest, QuotedLinesStandAtTheirLineNumbersAndTheFileIsPinned) {
  // Runs of spaces mean nothing to the reader but are part of the file: line 5
  // ends with one space, and its three numbers have no comma between them.
  struct Riga {
    int numero;  // from 1
    const char* testo;
  } righe[] = {
      {1, "[generale]"},
      {2, "numero vetture,    8"},
      {3, "percentuale massa frenata,    105"},
      {4, "sabbia,    120"},
      {5, "orologio,    10              31            0 "},
      {6, "[aderenze]"},
      {7, "aderenza,   0,    100"},
      {22, "aderenza,   28450,   100"},
      {23, "[vel_limite]"},
      {24, "velocita,       0,    60"},
      {27, "velocita,   11850,    75"},
      {28, "[stazioni]"},
      {29, "stazione,       0,  2,  600,  0, 0, 0,  1,1,0,  4,1,1,    1,  10,32, 0, MORVESSA C."},
      {30, "stazione,    6600, 21,  300,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, SAN CATALDO"},
      {32, "stazione,   28750, 11,  600,  1, 0, 0,  1,1,0,  2,1,1,    0,  11, 3, 0, TOLVARRE"},
      {33, "[rallentamenti]"},
      {34, "[segnali]"},
      {35, "segnale,    4400,   1, 4, 1,  0, 0,    0,  0,0,0, 0"},
      {39, "segnale,   26500,   1, 3, 4,  0, 0,    1,  3,1,0, 0"},
      {40, "segnale,   27650,   2, 2, 3,  0, 0,    2,  2,1,0, 0"},
      {41, "[codici]"},
      {42, "[fine]"},
  };
  CartellaTemporanea cartella;
  const std::filesystem::path percorso = cartella.percorso() / "servizio.txt";
  scrivi_righe(righe_treno(), percorso);
  const std::string byte = leggi_file(percorso);
  const std::vector<std::string> file = righe_del_file(byte);
  ASSERT_EQ(file.size(), 42u);
  for (const auto& r : righe) EXPECT_EQ(file[r.numero - 1], r.testo) << "line " << r.numero;
  // Every other byte of the file, as written once and checked line by line.
  EXPECT_EQ(sha256(byte), "0a5be22996136e789ab07bf6e8eee5c9b9e0b4ad9bd471e50e41b46c88c50806");
}

}  // namespace
}  // namespace scenario
