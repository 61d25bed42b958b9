#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
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

std::vector<std::string> file_linea() {
  return righe_del_file(testo_righe(righe_linea()));
}

TEST(RigheLineaTest, QuotedLinesStandAtTheirLineNumbers) {
  struct Riga {
    int numero;  // from 1
    const char* testo;
  } righe[] = {
      {1, "[generale]"},
      {2, "lunghezza percorso,    31000"},
      {3, "progressiva chilometrica uno,    0,    132100,    0"},
      {4, "progressiva chilometrica due,    0,    0,    0"},
      {5, "progressiva chilometrica tre,    0,    0,    0"},
      {6, "sfondo uno,    0"},
      {7, "sfondo due,    1"},
      {8, "sfondo tre,    0"},
      {9, "ripetizione segnali 4 codici,    0    ,0"},
      {10, "[curve]"},
      {11, "curvad4,  300,  100"},
      {12, "curvad5,  400,  150"},
      {34, "curvad1,  8400,  50"},
      {42, "curvad6,  10500,  100"},
      {66, "curvad2,  19600,  150"},
      {67, "curvas2,  20300,  50"},
      {79, "curvas1,  23600,  200"},
      {94, "curvas5,  28200,  200"},
      {95, "[pendenze]"},
      {96, "pendenza,  0,   -3"},
      {97, "pendenza,  150,   3"},
      {171, "pendenza,  24450,   24"},
      {178, "pendenza,  26300,   -24"},
      {183, "pendenza,  28500,   1"},
      {184, "[montagne]"},
      {185, "montagna,   8000,  8300,  11"},
      {186, "montagna,   11350,  11400,  2"},
      {187, "montagna,   11450,  11700,  11"},
      {188, "montagna,   25700,  25750,  2"},
      {189, "[cartelli]"},
      {190, "indicatori_vmax,  6850,  75,  80,  80,  0,  ,  ,  ,  0"},
      {191, "indicatori_vmax,  9950,  65,  65,  65,  0,  ,  ,  ,  0"},
      {192, "indicatori_vmax,  11850,  75,  80,  80,  0,  ,  ,  ,  0"},
      {193, "[indicazioni]"},
      {194, "cartello_indicatore,  650,   (Cavalcavia)(Km 132+749)(ex P.L.   )"},
      {195, "cartello_indicatore,  3250,   (Sottovia)"},
      {196, "cartello_indicatore,  5000,   (Sottovia)"},
      {197, "cartello_indicatore,  5650,   (P.L.      )(Km 137+747)"},
      {198, "cartello_indicatore,  7050,   (Sottovia)"},
      {199, "cartello_indicatore,  7150,   (F)"},
      {200, "cartello_indicatore,  10150,   (Sott.     )(Km 142+263)"},
      {201, "cartello_indicatore,  10600,   (F)"},
      {202, "cartello_indicatore,  11150,   (F)"},
      {203, "cartello_indicatore,  11300,   (Sottovia)"},
      {204, "cartello_indicatore,  11750,   (C.C.      )(Km 143+845)"},
      {205, "cartello_indicatore,  16650,   (Sottovia)"},
      {206, "cartello_indicatore,  18700,   (P.L.      )(Km 150+797)"},
      {207, "cartello_indicatore,  19950,   (F)"},
      {208, "cartello_indicatore,  20250,   (Sottovia  )(Km 152+351)(ex P.L.A. )"},
      {209, "cartello_indicatore,  20950,   (Sottovia)"},
      {210, "cartello_indicatore,  21100,   (F)"},
      {211, "cartello_indicatore,  21800,   (P.L.A.    )(Km 153+881)"},
      {212, "cartello_indicatore,  23750,   (Sottovia)"},
      {213, "cartello_indicatore,  24250,   (F)"},
      {214, "cartello_indicatore,  25300,   (Cippo     )(Km 157+388)"},
      {215, "cartello_indicatore,  25550,   (Cippo     )(Km 157+622)"},
      {216, "cartello_indicatore,  25650,   (Sottovia)"},
      {217,
       "cartello_indicatore,  26400,   (Confluenza      )(Sx Morvessa     )(Dx Agrigento    )"},
      {218, "cartello_indicatore,  26450,   (Sottovia)"},
      {219, "cartello_indicatore,  26550,   (Cippo     )(Km 151+997)"},
      {220, "cartello_indicatore,  27700,   (F)"},
      {221, "cartello_indicatore,  27850,   (P.L.      )(Km 153+284)"},
      {222, "[fine]"},
  };
  CartellaTemporanea cartella;
  const std::filesystem::path percorso = cartella.percorso() / "linea.txt";
  scrivi_righe(righe_linea(), percorso);
  const std::string byte = leggi_file(percorso);
  const std::vector<std::string> file = righe_del_file(byte);
  ASSERT_EQ(file.size(), 222u);
  for (const auto& r : righe) EXPECT_EQ(file[r.numero - 1], r.testo) << "line " << r.numero;
  // The lines not quoted here, as written once and checked by the section tests below.
  EXPECT_EQ(sha256(byte), "268469373fb5a00c22df3c374ef6eec1a5c3f71e34bcd86708242e6b50bfd0da");
}

struct Curva {
  char verso;
  int classe;
  int inizio, lunghezza;
  int fine() const { return inizio + lunghezza; }
};

struct Pendenza {
  int posizione, valore;
};

// The curve and gradient lines as the file holds them; a line of another form
// is a failure.
void leggi_sezioni(std::vector<Curva>& curve, std::vector<Pendenza>& pendenze) {
  static const std::regex forma_curva("curva([ds])([1-6]),  ([0-9]+),  ([0-9]+)");
  static const std::regex forma_pendenza("pendenza,  ([0-9]+),   (-?[0-9]+)");
  auto file = file_linea();
  ASSERT_EQ(file.size(), 222u);
  for (int n = 11; n <= 94; ++n) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(file[n - 1], m, forma_curva)) << n << ": " << file[n - 1];
    curve.push_back({m.str(1)[0], std::stoi(m.str(2)), std::stoi(m.str(3)), std::stoi(m.str(4))});
  }
  for (int n = 96; n <= 183; ++n) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(file[n - 1], m, forma_pendenza)) << n << ": " << file[n - 1];
    pendenze.push_back({std::stoi(m.str(1)), std::stoi(m.str(2))});
  }
}

TEST(RigheLineaTest, CurvesKeepTheirCountsClassesAndOrder) {
  std::vector<Curva> curve;
  std::vector<Pendenza> pendenze;
  leggi_sezioni(curve, pendenze);
  ASSERT_EQ(curve.size(), 84u);

  std::map<char, int> versi;
  std::map<int, int> classi;
  int contigue = 0;
  for (size_t i = 0; i < curve.size(); ++i) {
    const Curva& c = curve[i];
    ++versi[c.verso];
    ++classi[c.classe];
    EXPECT_EQ(c.inizio % 50, 0) << "curve " << i + 1;
    EXPECT_EQ(c.lunghezza % 50, 0) << "curve " << i + 1;
    EXPECT_GE(c.lunghezza, 50) << "curve " << i + 1;
    EXPECT_LE(c.lunghezza, 600) << "curve " << i + 1;
    if (i > 0) {
      EXPECT_GT(c.inizio, curve[i - 1].inizio) << "curve " << i + 1;
      EXPECT_GE(c.inizio, curve[i - 1].fine()) << "curve " << i + 1 << " overlaps the one before";
      if (c.inizio == curve[i - 1].fine()) ++contigue;
    }
  }
  EXPECT_EQ(versi, (std::map<char, int>{{'d', 41}, {'s', 43}}));
  EXPECT_EQ(classi, (std::map<int, int>{{1, 2}, {2, 2}, {3, 12}, {4, 37}, {5, 29}, {6, 2}}));
  EXPECT_EQ(contigue, 51);
  EXPECT_EQ(curve.front().inizio, 300);
  EXPECT_EQ(curve.back().inizio, 28200);
  EXPECT_EQ(curve.back().fine(), 28400);
}

TEST(RigheLineaTest, GradientsRiseInPositionWithinTheirRange) {
  std::vector<Curva> curve;
  std::vector<Pendenza> pendenze;
  leggi_sezioni(curve, pendenze);
  ASSERT_EQ(pendenze.size(), 88u);

  int minimo = 0, massimo = 0;
  for (size_t i = 0; i < pendenze.size(); ++i) {
    EXPECT_EQ(pendenze[i].posizione % 50, 0) << "gradient " << i + 1;
    if (i > 0) {
      EXPECT_GT(pendenze[i].posizione, pendenze[i - 1].posizione) << "gradient " << i + 1;
    }
    minimo = std::min(minimo, pendenze[i].valore);
    massimo = std::max(massimo, pendenze[i].valore);
  }
  EXPECT_EQ(pendenze.front().posizione, 0);
  EXPECT_EQ(pendenze.back().posizione, 28500);
  EXPECT_EQ(minimo, -24);
  EXPECT_EQ(massimo, 24);
}

}  // namespace
}  // namespace scenario
