#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "text/cp1252.h"
#include "text/righe_file_test.h"
#include "text/scenario_testi.h"

namespace scenario {
namespace {

struct RigaAttesa {
  const char* testo;  // UTF-8, as the list holds it
  size_t lunghezza;   // in characters, which tells trailing spaces apart
};

// Compares a written document with its expected lines, and every line's length
// with the figure given for it.
void confronta(const std::string& byte, const std::vector<RigaAttesa>& attese) {
  auto file = righe_del_file(byte);
  ASSERT_EQ(file.size(), attese.size());
  for (size_t i = 0; i < attese.size(); ++i) {
    std::string atteso = utf8_a_cp1252(attese[i].testo);
    EXPECT_EQ(atteso.size(), attese[i].lunghezza) << "expected line " << i;
    EXPECT_EQ(file[i], atteso) << "line " << i;
  }
}

// clang-format off
TEST(RigheSchedaTest, CardIsWrittenAsDrawn) {
  confronta(testo_righe(righe_scheda()), {
      {"", 0},
      {"", 0},
      {"  ___________________      ___________________                           _______________________", 96},
      {" |  Fascicolo Linee  |    |      Treno        |                         | Sigla di Composizione |", 97},
      {" |     SICILIA       |    |       823         |     Scheda n° 2/3       |        V140 B         |", 97},
      {" |___________________|    |___________________|                         |         105%          |", 97},
      {" | Validità          |    | Termine Scheda    |    Da: MORVESSA         |_______________________|", 97},
      {" | Dal: 30.09.2001   |    |AGRIGENTO CENTRALE |     A: TOLVARRE       ", 70},
      {" |___________________|    |___________________|                          _______________________", 96},
      {"  ______________________ _____________________                          | Int. alla Sigla |     |", 97},
      {" | Classificazione      |   Massa Bloccata    |                         |     E 636       |     | ", 98},
      {" |         E            |       360T          |                         |     21/65       |     | ", 98},
      {" |______________________|_____________________|                         |_________________|_____|", 97},
      {"   ____________________________________________________________________________________________", 95},
      {"  | Vel.| Vel.|  Prog                           |               |Rec|Bin.Dx|SRS| Simbologia|SRS| ", 97},
      {"  | Max.|Marc.|   Km.           Localita'       |     Orario    |   |V. Max| SX|           | DX|", 96},
      {"  |_____|_____|_________________________________|_______________|___|______|___|___________|___|", 96},
      {"  | 60  | 60  |132.107  |   MORVESSA............| 10.30   10.32 |   |  /   |                   | ", 97},
      {"  | 75  |     |138.722  |   S.CATALDO           |     10.40     |1.0|  /   |                   | ", 97},
      {"  | 65  |     |         |  Sott.Km.142,236      |               |   |  /   |                   |", 96},
      {"  | 75  |     |         |  C.C.Km.143,845       |               |   |  /   |                   |", 96},
      {"  |     |     |151.082  |   SERRADIFALCO        |     10.51     |   |  /   |                   |", 96},
      {"  | 80  | 80  |160.858_||   TOLVARRE............| 11.03   11.15 |3.5|  /   |         1         | ", 97},
      {"  |     |     |154.207 \\|                       |               |   |  /   |                   | ", 97},
      {"  |_____|_____|_________________________________|_______________|___|______|___________________|", 96},
  });
}
// clang-format on

TEST(RigheSchedaTest, CardKeepsItsColumnsAndSingleByteSigns) {
  std::string byte = testo_righe(righe_scheda());
  EXPECT_EQ(byte.substr(0, 4), "\r\n\r\n");
  EXPECT_NE(byte.find(" | Validit\xE0          |"), std::string::npos);
  EXPECT_NE(byte.find("Scheda n\xB0 2/3"), std::string::npos);

  auto file = righe_del_file(byte);
  ASSERT_EQ(file.size(), 25u);
  for (size_t i = 2; i < file.size(); ++i) {
    char ultimo = file[i].back();
    bool spazio =
        i == 7 || i == 10 || i == 11 || i == 14 || i == 17 || i == 18 || i == 22 || i == 23;
    EXPECT_EQ(ultimo == ' ', spazio) << "line " << i;
    if (!spazio) {
      EXPECT_TRUE(ultimo == '|' || ultimo == '_') << "line " << i;
    }
  }
  // The two progressives meet on lines 22 and 23: one backslash, right
  // before the fourth bar.
  const std::string& riga = file[23];
  size_t barra = riga.find('\\');
  ASSERT_NE(barra, std::string::npos);
  EXPECT_EQ(std::count(riga.begin(), riga.end(), '\\'), 1);
  EXPECT_EQ(std::count(riga.begin(), riga.begin() + static_cast<long>(barra), '|'), 3);
  EXPECT_EQ(riga[barra + 1], '|');
}

TEST(RigheRallentamentiTest, OrderIsWrittenAsDrawn) {
  confronta(
      testo_righe(righe_rallentamenti()),
      {
          {"", 0},
          {"                               Modulo M. 3", 42},
          {"                           ORDINE DI RALLENTAMENTO", 50},
          {" ________________________________________________________________________________", 81},
          {"  Linea  MORVESSA-TOLVARRE", 26},
          {"", 0},
          {"  Si ordina al macchinista del treno 823 di effettuare i seguenti rallentamenti", 79},
          {"  _______________________________________________________________________________", 81},
          {" |   |                            |Inizio dopo |          |         |            |",
           82},
          {" | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
           82},
          {" |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
           82},
          {" |___|____________________________|____________|__________|_________|____________|",
           82},
          {" |   |  NESSUNA PRESCRIZIONE      |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |   |                            |            |          |         |            |",
           82},
          {" |___|____________________________|____________|__________|_________|____________|",
           82},
          {"", 0},
          {"              Prescrizioni specifiche", 37},
          {" A - Da rispettare con tutto il treno (per i treni viaggiatori)", 63},
          {" B - Interessa anche la stazione di.......", 42},
          {" D - Rallentamneto N. ... e N. ...  sono contigui", 49},
          {" C - Da rispettare dalle ore ....  alle ore ..... di tutti", 58},
          {"     i giorni esclusi i seguenti:.........", 42},
      });
}

TEST(RigheRallentamentiTest, OrderTableHasTwentySixBodyRowsAndItsLegendInOrder) {
  auto file = righe_del_file(testo_righe(righe_rallentamenti()));
  ASSERT_EQ(file.size(), 46u);
  const std::string regola =
      " |___|____________________________|____________|__________|_________|____________|";
  EXPECT_EQ(file[11], regola);
  EXPECT_EQ(file[38], regola);
  for (size_t i = 12; i < 38; ++i) {
    EXPECT_EQ(file[i].size(), 82u) << "line " << i;
    EXPECT_EQ(file[i].substr(0, 5), " |   ") << "line " << i;
  }
  EXPECT_EQ(file[41].substr(0, 4), " A -");
  EXPECT_EQ(file[42].substr(0, 4), " B -");
  EXPECT_EQ(file[43].substr(0, 4), " D -");
  EXPECT_EQ(file[44].substr(0, 4), " C -");
}

TEST(RigheNoteTest, QuotedLinesAndTheShapeOfTheProse) {
  auto file = righe_del_file(testo_righe(righe_note()));
  ASSERT_EQ(file.size(), 25u);
  struct Riga {
    size_t indice;
    const char* testo;
  } citate[] = {
      {0, "        Regione Sicilia"},
      {1, "Linea Morvessa C.-Tolvarre."},
      {7, "La linea Morvessa-Tolvarre e a Blocco elettrico conta assi."},
      {8, "Esercizio con C.T.C. da Morvessa a Tolvarre.(sede D.C.O. a Morvessa). "},
      {12, "Treno Simulato:"},
      {13, "E 823 'Freccia del sud' Milano C.le-Agrigento C.le."},
      {15, "Il nostro treno come detto sopra \xE8 l'823 Milano C.le(13.55)-Agrigento C.le(12.05)."},
      {17,
       "E' composto da 7 carrozze cos\xEC disposte 4 seconda classe 1 prima classe 2 cuccette,"},
      {18, "quello simulato ha 8 carrozze tipico nel periodo estivo o di eccessiva affluenza. "},
      {20, "Sono graditi consigli e suggerimenti. Buon lavoro. "},
      {21, " "},
  };
  for (const auto& r : citate) EXPECT_EQ(file[r.indice], r.testo) << "line " << r.indice;

  for (size_t i = 0; i < file.size(); ++i) {
    bool vuota = i == 2 || i == 11 || i == 14;
    EXPECT_EQ(file[i].empty(), vuota) << "line " << i;
  }
  EXPECT_EQ(file[3].size(), 601u);
  EXPECT_EQ(file[4].back(), ' ');
  EXPECT_NE(file[5].back(), ' ');
  EXPECT_EQ(file[16].substr(file[16].size() - 4), ".   ");
  EXPECT_NE(file[10].find("Km 153,284"), std::string::npos);
  EXPECT_EQ(file[10].substr(0, 5), "N.B. ");
  EXPECT_NE(file[16].find("E 636"), std::string::npos);
}

}  // namespace
}  // namespace scenario
