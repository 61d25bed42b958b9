#include "compiler/memorizza_dati.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compiler/prova_sorgenti_test.h"
#include "platform/file_atomico.h"
#include "text/righe.h"
#include "text/scenario_testi.h"

namespace scenario {
namespace {

using Verifica = std::function<void(const ModelloPercorso&)>;

int conta_celle(const ModelloPercorso& m, uint8_t tipo) {
  int n = 0;
  for (const Cella& c : m.celle) n += c.tipo == tipo;
  return n;
}

// Every value the Parts give for the carried scenario.
void verifica_scenario(const Lettura& r) {
  const ModelloPercorso& m = r.m;
  ASSERT_EQ(m.codice_errore, 0) << m.luogo_errore.riga << ":" << m.luogo_errore.colonna;
  EXPECT_EQ(m.posizione_errore, 0);
  EXPECT_FALSE(r.resta_linea);
  EXPECT_FALSE(r.resta_treno);
  ASSERT_EQ(m.ultima_cella(), 760);
  EXPECT_EQ(m.lunghezza_modello, 38000);

  // Gradients: each cell holds the gradient in force at its start, + 100.
  for (int i = 0; i <= 2; ++i) EXPECT_EQ(m.cella(i).pendenza, 97) << i;
  EXPECT_EQ(m.cella(3).pendenza, 103);
  EXPECT_EQ(m.cella(489).pendenza, 124);
  EXPECT_EQ(m.cella(526).pendenza, 76);
  for (int i = 570; i <= 757; ++i) ASSERT_EQ(m.cella(i).pendenza, 101) << i;
  for (int i = 758; i <= 760; ++i) EXPECT_EQ(m.cella(i).pendenza, 0) << i;

  // Montagne.
  for (int i = 160; i <= 165; ++i) EXPECT_EQ(m.cella(i).montagna, 1) << i;
  EXPECT_EQ(m.cella(163).tipo, kSegnoMontagna);
  EXPECT_EQ(m.cella(227).montagna, 2);
  for (int i = 229; i <= 233; ++i) EXPECT_EQ(m.cella(i).montagna, 3) << i;
  EXPECT_EQ(m.cella(232).tipo, kSegnoMontagna);
  EXPECT_EQ(m.cella(514).montagna, 2);
  EXPECT_EQ(m.cella(159).montagna + m.cella(166).montagna + m.cella(228).montagna, 0);
  EXPECT_EQ(m.num_montagne, 4);

  // Speed indicator boards, the empty right-side fields read as 0.
  EXPECT_EQ(m.cella(138), (Cella{.tipo = kIndicatoriVMax,
                                 .dato1 = 1500,
                                 .dato2 = 1600,
                                 .dato3 = 1600,
                                 .dato4 = 0,
                                 .montagna = 0,
                                 .vel_limite = 15,
                                 .pendenza = m.cella(138).pendenza,
                                 .aderenza = m.cella(138).aderenza}));
  EXPECT_EQ(m.cella(200).dato1, 1300);
  EXPECT_EQ(m.cella(238).tipo, kIndicatoriVMax);

  // Text boards from item 80 down to 53.
  EXPECT_EQ(m.cella(14).tipo, kCartello);
  EXPECT_EQ(m.cella(14).dato1, 80);
  EXPECT_EQ(m.voce(80).nome, "(Cavalcavia)(Km 132+749)(ex P.L.   )");
  EXPECT_EQ(m.cella(558).dato1, 53);
  EXPECT_EQ(m.voce(53).nome, "(P.L.      )(Km 153+284)");
  EXPECT_EQ(m.voce(52).nome, "");
  EXPECT_EQ(conta_celle(m, kCartello), 28);
  EXPECT_EQ(m.voce(57).nome, "(Confluenza      )(Sx Morvessa     )(Dx Agrigento    )");

  // Stations.
  const Voce& origine = m.voce(1);
  EXPECT_EQ(origine.tipo, 2);
  EXPECT_EQ(origine.inizio, -300);
  EXPECT_EQ(origine.fine, 300);
  EXPECT_EQ(origine.nome, "MORVESSA C.");
  EXPECT_EQ(origine.orario, 37920);
  EXPECT_EQ(origine.opz13, 1);
  EXPECT_EQ(origine.opz10, 4);
  EXPECT_EQ(m.cella(5).tipo, kStazione);
  EXPECT_EQ(m.cella(5).dato1, 1);
  EXPECT_EQ(m.cella(4).marcatore, 81);
  EXPECT_EQ(m.cella(3).marcatore, 82);
  EXPECT_EQ(m.cella(2).marcatore, 83);
  EXPECT_EQ(m.cella(1).marcatore, 0);
  const Voce& san_cataldo = m.voce(2);
  EXPECT_EQ(san_cataldo.nome, "SAN CATALDO");
  EXPECT_EQ(san_cataldo.inizio, 6450);
  EXPECT_EQ(san_cataldo.fine, 6800);
  EXPECT_EQ(san_cataldo.opz6, 1);
  EXPECT_EQ(m.cella(135).tipo, kStazione);
  EXPECT_EQ(m.cella(135).dato1, 2);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(m.cella(135 - k).marcatore, 80 + k) << k;
  EXPECT_EQ(m.voce(3).nome, "SERRADIFALCO");
  EXPECT_EQ(m.voce(4).nome, "TOLVARRE");
  EXPECT_EQ(m.voce(4).fine, 29050);
  EXPECT_EQ(m.voce(4).orario, 39780);
  EXPECT_EQ(m.voce(4).opz4, 1);
  EXPECT_EQ(m.cella(580).dato1, 4);
  EXPECT_EQ(m.voce(5), Voce{});
  EXPECT_EQ(conta_celle(m, kStazione), 4);

  // Speed profile in steps of 5 km/h, and adhesion.
  for (int i = 0; i <= 760; ++i) {
    const int atteso = i <= 135 ? 12 : i <= 209 ? 15 : i <= 236 ? 13 : i <= 757 ? 15 : 0;
    ASSERT_EQ(m.cella(i).vel_limite, atteso) << i;
  }
  EXPECT_EQ(m.cella(0).aderenza, 100);
  EXPECT_EQ(m.cella(12).aderenza, 100);
  EXPECT_EQ(m.cella(13).aderenza, 85);
  EXPECT_EQ(m.cella(114).aderenza, 70);
  EXPECT_EQ(m.cella(568).aderenza, 80);
  EXPECT_EQ(m.cella(569).aderenza, 100);
  EXPECT_EQ(m.cella(757).aderenza, 100);
  EXPECT_EQ(m.cella(758).aderenza, 0);

  // Signals.
  const Cella& s531 = m.cella(531);
  EXPECT_EQ(s531.tipo, kSegnale);
  EXPECT_EQ(s531.dato1, 33);
  EXPECT_EQ(s531.dato2, 41);
  EXPECT_EQ(s531.dato3, 0);
  EXPECT_EQ(s531.dato4, 4);
  EXPECT_EQ(s531.tempo, 0);
  const int celle_41[] = {529, 527, 525, 523};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(m.cella(celle_41[k]).marcatore, 41 + k);
  const Cella& s113 = m.cella(113);
  EXPECT_EQ(s113.tipo, kSegnale);
  EXPECT_EQ(s113.dato4, 6);
  EXPECT_EQ(s113.dato1, 40);
  EXPECT_EQ(s113.dato2, 10);
  const int celle_61[] = {111, 109, 107, 105};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(m.cella(celle_61[k]).marcatore, 61 + k);
  EXPECT_EQ(conta_celle(m, kSegnale), 6);

  // Items 81 to 86.
  EXPECT_EQ(m.voce(81).inizio, 0);
  EXPECT_EQ(m.voce(81).fine, 132100);
  EXPECT_EQ(m.voce(81).posizione, 0);
  EXPECT_EQ(m.voce(82), Voce{});
  EXPECT_EQ(m.voce(83), Voce{});
  EXPECT_EQ(m.voce(84).inizio, 105);
  EXPECT_EQ(m.voce(84).fine, 31000);
  EXPECT_EQ(m.voce(84).posizione, 8);
  EXPECT_EQ(m.voce(85).nome, "MorvessaC_Tolvarre");
  EXPECT_EQ(m.voce(85).posizione, 1);
  EXPECT_EQ(m.voce(86).nome, "823");
  EXPECT_EQ(m.voce(86).posizione, 0);  // the second repetition position is 0
  EXPECT_EQ(m.voce(86).opz7, 120);
  EXPECT_EQ(m.voce(86).opz10, 10);
  EXPECT_EQ(m.voce(86).opz11, 31);
  EXPECT_EQ(m.voce(86).opz12, 0);
  EXPECT_EQ(m.voce(86).opz13, 0);

  // Plan table: rows 0..38000, the last two never computed.
  const Tracciato& t = m.tracciato;
  ASSERT_EQ(t.ultima_riga(), 38000);
  EXPECT_EQ(t.etichetta(1, 1), Etichetta::kIntero);
  EXPECT_EQ(t.valore(300, 0), 0.0);
  EXPECT_EQ(t.valore(300, 1), 300.0);
  EXPECT_NEAR(t.valore(400, 0), 5.0459, 5e-5);
  EXPECT_EQ(t.etichetta(37998, 1), Etichetta::kDoppio);
  EXPECT_EQ(t.etichetta(37999, 0), Etichetta::kVuoto);
  EXPECT_EQ(t.etichetta(38000, 1), Etichetta::kVuoto);
}

TEST(MemorizzaDatiTest, CarriedScenarioReadsWithoutError) {
  verifica_scenario(leggi_sorgenti(testo_righe(righe_linea()), testo_righe(righe_treno())));
}

// The plan table of the scenario's first two curves.
TEST(MemorizzaDatiTest, PlanTableTurnsTheStepMetreByMetre) {
  const Lettura r = leggi_sorgenti(
      linea_minima(crlf({"curvad4,  300,  100", "curvad5,  400,  150"})), treno_minimo());
  ASSERT_EQ(r.m.codice_errore, 0);
  const Tracciato& t = r.m.tracciato;
  for (int k = 2; k <= 300; ++k) {
    ASSERT_EQ(t.valore(k, 0), 0.0) << k;
    ASSERT_EQ(t.valore(k, 1), static_cast<double>(k)) << k;
    ASSERT_EQ(t.etichetta(k, 0), Etichetta::kDoppio) << k;
  }
  EXPECT_NEAR(t.valore(400, 0), 5.0459, 5e-5);
  EXPECT_NEAR(t.valore(400, 1), 399.8334, 5e-5);
  EXPECT_NEAR(t.valore(400, 0) - t.valore(399, 0), 0.0998, 5e-5);
  EXPECT_NEAR(t.valore(400, 1) - t.valore(399, 1), 0.9951, 5e-5);
  EXPECT_NEAR(t.valore(550, 0), 42.1708, 5e-5);
  EXPECT_NEAR(t.valore(550, 1), 544.6177, 5e-5);
  // After the last curve the step is carried unchanged to row 9998.
  const double dx = t.valore(550, 0) - t.valore(549, 0);
  EXPECT_NEAR(t.valore(9998, 0), t.valore(550, 0) + 9448 * dx, 1e-6);
  EXPECT_EQ(t.etichetta(9998, 0), Etichetta::kDoppio);
  EXPECT_EQ(t.etichetta(9999, 0), Etichetta::kVuoto);
  EXPECT_EQ(t.etichetta(10000, 1), Etichetta::kVuoto);
  EXPECT_EQ(t.etichetta(0, 0), Etichetta::kIntero);
}

TEST(MemorizzaDatiTest, CurvesTurnLeftWithAnSAndOverlapsAreNotTurnedTwice) {
  const Lettura destra = leggi_sorgenti(linea_minima(crlf({"curvad4, 300, 100"})), treno_minimo());
  const Lettura sinistra =
      leggi_sorgenti(linea_minima(crlf({"CURVAS4, 300, 100"})), treno_minimo());
  EXPECT_EQ(sinistra.m.tracciato.valore(400, 0), -destra.m.tracciato.valore(400, 0));
  EXPECT_EQ(sinistra.m.tracciato.valore(400, 1), destra.m.tracciato.valore(400, 1));

  // A curve starting inside the previous one goes on from the row reached.
  const Lettura sovrapposte =
      leggi_sorgenti(linea_minima(crlf({"curvad4, 300, 100", "curvad4, 350, 50"})), treno_minimo());
  ASSERT_EQ(sovrapposte.m.codice_errore, 0);
  for (int k = 0; k <= 9998; k += 7) {
    ASSERT_EQ(sovrapposte.m.tracciato.valore(k, 0), destra.m.tracciato.valore(k, 0)) << k;
  }
}

TEST(MemorizzaDatiTest, WithoutThePlanTableCurvesAreSkippedFieldByField) {
  const Lettura r =
      leggi_sorgenti(linea_minima(crlf({"curvad4, 300, 100", "pendenza, 0, 5", "pendenza, 200, 0",
                                        "cartello_indicatore, 650, (F)"})),
                     treno_minimo(), /*con_tracciato=*/0);
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_FALSE(r.m.tracciato.creato());
  EXPECT_EQ(r.m.cella(3).pendenza, 105);
  EXPECT_EQ(r.m.cella(4).pendenza, 100);
  EXPECT_EQ(r.m.cella(14).tipo, kCartello);
}

// One row per code the readers and recorders record.
struct CasoErrore {
  int32_t codice;
  const char* nome;
  std::optional<std::string> linea;
  std::optional<std::string> treno;
  int32_t posizione;
  bool resta_linea, resta_treno;
  Verifica verifica;
};

std::string generale(std::string_view righe) {
  return crlf({"[generale]", "lunghezza percorso, 3000"}) + std::string(righe) +
         crlf({"[curve]", "[fine]"});
}

std::string cartelli(int quanti) {
  std::string s;
  for (int i = 0; i < quanti; ++i) {
    s += "cartello_indicatore, " + std::to_string(100 + 50 * i) + ", (F)\r\n";
  }
  return s;
}

const std::string kRallentamento = "rallentamento, 5000, 30, 400, 1, 1, 0\r\n";
std::string segnale_a(int p) {
  return "segnale, " + std::to_string(p) + ", 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\r\n";
}
std::string stazione(int p, int tipo, int lunghezza, int opz6 = 0, int opz5 = 0) {
  return "stazione, " + std::to_string(p) + ", " + std::to_string(tipo) + ", " +
         std::to_string(lunghezza) + ", 0, " + std::to_string(opz5) + ", " + std::to_string(opz6) +
         ", 1, 1, 0, 4, 1, 1, 0, 10, 32, 0, NOME\r\n";
}

TEST(MemorizzaDatiTest, EveryRecordedErrorWithItsPositionFilesAndModel) {
  const std::string treno = treno_minimo();
  const CasoErrore casi[] = {
      {101, "route source missing", std::nullopt, treno, 0, false, true,
       [](const ModelloPercorso& m) {
         EXPECT_FALSE(m.celle_create);
         EXPECT_EQ(m.voce(85).nome, "MorvessaC_Tolvarre");
       }},
      {102, "no [generale] field", crlf({"lunghezza percorso, 3000", "[fine]"}), treno, 0, false,
       true, [](const ModelloPercorso& m) { EXPECT_FALSE(m.celle_create); }},
      {102, "[generale] as the last field", crlf({"x", "[GENERALE]"}), treno, 0, false, true,
       nullptr},
      {1, "route longer than 1000000 m", generale("lunghezza percorso, 1000001\r\n"), treno, 0,
       false, true,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.voce(84).fine, 1000001);
         EXPECT_EQ(m.lunghezza_modello, 10000);  // from the first length line
       }},
      {3, "first repetition position off 50", generale("ripetizione segnali 4, 25, 0\r\n"), treno,
       0, false, true, [](const ModelloPercorso& m) { EXPECT_EQ(m.voce(86).inizio, 25); }},
      {4, "second repetition position off 50", generale("ripetizione segnali 4, 0, 75\r\n"), treno,
       0, false, true, [](const ModelloPercorso& m) { EXPECT_EQ(m.voce(86).fine, 75); }},
      {5, "repetition keyword without 4 or 9", generale("ripetizione segnali, 50, 100\r\n"), treno,
       0, false, true, [](const ModelloPercorso& m) { EXPECT_EQ(m.voce(86).posizione, 0); }},
      {6, "text board on a taken cell",
       linea_minima("cartello_indicatore, 650, (A)\r\ncartello_indicatore, 650, (B)\r\n"), treno,
       650, false, true,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.cella(14).dato1, 80);
         EXPECT_EQ(m.voce(80).nome, "(A)");
         EXPECT_EQ(m.voce(79).nome, "");
       }},
      {21, "speed indicator boards on a taken cell",
       linea_minima("cartello_indicatore, 650, (A)\r\nindicatori_vmax, 650, 1,1,1,0,1,1,1,0\r\n"),
       treno, 650, false, true,
       [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(14).tipo, kCartello); }},
      {103, "curve keyword without a class digit", linea_minima("curvad, 300, 100\r\n"), treno, 0,
       false, true,
       [](const ModelloPercorso& m) { EXPECT_EQ(m.tracciato.etichetta(2, 0), Etichetta::kVuoto); }},
      {15, "route entry beyond the cells: the service half still runs",
       linea_minima("pendenza, 0, 2\r\npendenza, 9950, 1\r\n"),
       treno_minimo("velocita, 0, 60\r\nvelocita, 500, 80\r\n"), 9950, false, false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.cella(197).pendenza, 102);
         EXPECT_EQ(m.cella(9).vel_limite, 12);
         EXPECT_EQ(m.cella(197).vel_limite, 16);
       }},
      {15, "service entry beyond the cells: the end fills still run", linea_minima(),
       treno_minimo("aderenza, 0, 100\r\naderenza, 1000, 85\r\naderenza, 9950, 70\r\n"), 9950,
       false, false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.cella(19).aderenza, 100);
         EXPECT_EQ(m.cella(197).aderenza, 85);
         EXPECT_EQ(m.cella(198).aderenza, 0);
       }},
      {15, "a route 15 still standing stops the service half at its first signal",
       linea_minima("pendenza, 9950, 1\r\n"),
       treno_minimo("velocita, 0, 60\r\n" + segnale_a(4400) + "sabbia, 120\r\n"), 4400, false,
       false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.cella(89).tipo, kSegnale);  // recorded before the code is looked at
         EXPECT_EQ(m.voce(86).opz7, 0);
         EXPECT_EQ(m.cella(0).vel_limite, 0);  // stopped: no end fills
       }},
      {2, "chainage record off 50, checked after the service source",
       generale("progressiva chilometrica uno, 25, 132100, 0\r\n"),
       treno_minimo("numero vetture, 8\r\n"), 0, false, false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.voce(81).inizio, 25);
         EXPECT_EQ(m.voce(84).posizione, 8);
       }},
      {7, "abbattimento on a taken cell", linea_minima(),
       treno_minimo(segnale_a(4400) + "abbattimento, 4450, 5\r\nvelocita, 0, 60\r\n"), 4450, false,
       false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.cella(89).tipo, kSegnale);
         EXPECT_EQ(m.cella(0).vel_limite, 0);  // stopped: no end fills
       }},
      {8, "station position off 50", linea_minima(),
       treno_minimo(stazione(0, 2, 600) + stazione(6625, 21, 300)), 6625, false, false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.cella(5).dato1, 1);
         EXPECT_EQ(m.voce(2).posizione, 6625);
       }},
      {9, "station length off 100", linea_minima(), treno_minimo(stazione(1000, 21, 350)), 1000,
       false, false, [](const ModelloPercorso& m) { EXPECT_EQ(m.voce(1).tipo, 21); }},
      {10, "stations reach the board items", linea_minima(cartelli(78)),
       treno_minimo(stazione(5000, 21, 300)), 0, false, false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.voce(1).nome, "NOME");
         EXPECT_EQ(m.cella(102).tipo, kStazione);
       }},
      {16, "signal on a taken cell", linea_minima(),
       treno_minimo(segnale_a(4400) + segnale_a(4400)), 4400, false, false,
       [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(89).dato1, 40); }},
      {17, "slowdown warning cell taken", linea_minima(),
       treno_minimo(segnale_a(3800) + kRallentamento), 5000, false, false,
       [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(101).tipo, kNessuno); }},
      {18, "slowdown start cell taken", linea_minima(),
       treno_minimo(segnale_a(5000) + kRallentamento), 5000, false, false,
       [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(77).tipo, kNessuno); }},
      {19, "slowdown end cell taken", linea_minima(),
       treno_minimo(segnale_a(5400) + kRallentamento), 5000, false, false,
       [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(101).tipo, kNessuno); }},
      {20, "slowdown pre-warning cell taken", linea_minima(),
       treno_minimo(segnale_a(3750) + kRallentamento), 5000, false, false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.cella(77).tipo, kAvvisoRallentamento);
         EXPECT_EQ(m.cella(101).tipo, kInizioRallentamento);
         EXPECT_EQ(m.cella(109).tipo, kFineRallentamento);
       }},
      {22, "stations closer than 350 m", linea_minima(),
       treno_minimo(stazione(1000, 21, 300) + stazione(1300, 21, 300)), 1300, false, false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.cella(28).dato1, 2);  // the second station's marks are written
         EXPECT_EQ(m.cella(27).marcatore, 81);
       }},
      {24, "station cell not above 1", linea_minima(), treno_minimo(stazione(0, 21, 100)), 0, false,
       false, [](const ModelloPercorso& m) { EXPECT_EQ(m.voce(1).fine, 50); }},
      {25, "route source ends inside an entry", linea_minima() + "pendenza, 100", treno, 0, false,
       false, nullptr},
  };
  for (const CasoErrore& c : casi) {
    SCOPED_TRACE(std::string(c.nome) + " (" + std::to_string(c.codice) + ")");
    const Lettura r = leggi_sorgenti(c.linea, c.treno);
    EXPECT_EQ(r.m.codice_errore, c.codice);
    EXPECT_EQ(r.m.posizione_errore, c.posizione);
    EXPECT_EQ(r.resta_linea, c.resta_linea);
    EXPECT_EQ(r.resta_treno, c.resta_treno);
    if (c.verifica) c.verifica(r.m);
  }
}

// Input that breaks a limit of the model, or that cannot be read at all,
// ends the reading with a code: never a crash, never a write outside the model.
TEST(MemorizzaDatiTest, HostileInputEndsWithACode) {
  std::string montagne, pendenze, aderenze;
  for (int i = 0; i <= kMassimoMontagne; ++i) {
    montagne +=
        "montagna, " + std::to_string(100 * i) + ", " + std::to_string(100 * i + 50) + ", 1\r\n";
  }
  for (int i = 0; i <= 201; ++i) pendenze += "pendenza, 50, 1\r\n";
  for (int i = 0; i <= 201; ++i) aderenze += "aderenza, 50, 1\r\n";
  const std::string treno = treno_minimo();
  const std::string citato = testo_righe(righe_treno());
  const CasoErrore casi[] = {
      {25, "service source ends inside a station", linea_minima(),
       crlf({"[generale]"}) + "stazione, 0, 2, 600", 0, false, false,
       [](const ModelloPercorso& m) { EXPECT_EQ(m.voce(1).tipo, 2); }},
      {25, "letters in a number field", linea_minima("pendenza, 1OO, 3\r\n"), treno, 0, false,
       false, nullptr},
      {25, "a point in the route length", generale("lunghezza percorso, 3000.5\r\n"), treno, 0,
       false, false, [](const ModelloPercorso& m) { EXPECT_EQ(m.voce(84).fine, 3000); }},
      {25, "a number outside 32 bits", linea_minima("pendenza, 99999999999, 1\r\n"), treno, 0,
       false, false, nullptr},
      {25, "sand above 16 bits", linea_minima(), treno_minimo("sabbia, 40000\r\n"), 0, false, false,
       nullptr},
      {25, "clock seconds above 16 bits", linea_minima(), treno_minimo("orologio, 10 31 70000\r\n"),
       0, false, false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.voce(86).opz10, 10);  // stored as read, up to the failure
         EXPECT_EQ(m.voce(86).opz11, 31);
       }},
      {25, "station type above 8 bits", linea_minima(), treno_minimo(stazione(1000, 300, 300)), 0,
       false, false, nullptr},
      {25, "speed limit above 8 bits once divided by 5", linea_minima(),
       treno_minimo("velocita, 0, 2000\r\nvelocita, 500, 60\r\n"), 0, false, false,
       [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(0).vel_limite, 0); }},
      {0, "a gradient outside a byte wraps, as stored", linea_minima("pendenza, 0, 200\r\n"), treno,
       0, false, false, [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(0).pendenza, 44); }},
      {15, "a signal far beyond the route", linea_minima(), treno_minimo(segnale_a(999999999)),
       999999999, false, false, nullptr},
      {25, "a position at the edge of 32 bits", linea_minima(), treno_minimo(segnale_a(2147483647)),
       0, false, false, nullptr},
      {25, "a text board below zero", linea_minima("cartello_indicatore, -500, (F)\r\n"), treno, 0,
       false, false, nullptr},
      {25, "a text board just below zero", linea_minima("cartello_indicatore, -50, (F)\r\n"), treno,
       0, false, false, [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(0).tipo, kNessuno); }},
      {25, "speed indicator boards below zero",
       linea_minima("indicatori_vmax, -50, 1,1,1,0,1,1,1,0\r\n"), treno, 0, false, false,
       [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(0).tipo, kNessuno); }},
      {25, "abbattimento below zero", linea_minima(), treno_minimo("abbattimento, -20, 5\r\n"), 0,
       false, false, [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(0).tipo, kNessuno); }},
      {25, "signal marks before cell 0", linea_minima(), treno_minimo(segnale_a(100)), 0, false,
       false, [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(3).tipo, kNessuno); }},
      {25, "montagna starting below zero", linea_minima("montagna, -100, 200, 1\r\n"), treno, 0,
       false, false, [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(0).montagna, 0); }},
      {25, "montagna past the last cell", linea_minima("montagna, 9900, 10200, 1\r\n"), treno, 0,
       false, false, [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(198).montagna, 0); }},
      {25, "the 81st montagna", linea_minima(montagne), treno, 0, false, false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.num_montagne, kMassimoMontagne);
         EXPECT_EQ(m.cella(160).montagna, 0);
       }},
      {25, "curve past the plan table", linea_minima("curvad4, 9900, 100\r\n"), treno, 0, false,
       false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.tracciato.etichetta(2, 0), Etichetta::kVuoto);  // nor the straight run
       }},
      {25, "gradient fill past the last cell", linea_minima(pendenze), treno, 0, false, false,
       nullptr},
      {25, "adhesion fill past the last cell", linea_minima(), treno_minimo(aderenze), 0, false,
       false, nullptr},
      {25, "station cell beyond the last cell", linea_minima(),
       treno_minimo(stazione(9200, 7, 2000)), 0, false, false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.voce(1).fine, 11200);
         EXPECT_EQ(conta_celle(m, kStazione), 0);
         EXPECT_EQ(m.cella(199).marcatore, 0);
       }},
      {25, "slowdown end beyond the last cell", linea_minima(),
       treno_minimo("rallentamento, 9000, 30, 1000, 1, 1, 0\r\n"), 0, false, false,
       [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(157).tipo, kNessuno); }},
      {25, "the 81st text board", linea_minima(cartelli(81)), treno, 0, false, false,
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.voce(1).nome, "(F)");
         EXPECT_EQ(m.cella(83).tipo, kNessuno);
       }},
      {25, "no route length: the cells never exist", crlf({"[generale]", "[curve]", "[fine]"}),
       citato, 0, false, false, [](const ModelloPercorso& m) { EXPECT_FALSE(m.celle_create); }},
      {25, "no route length, no plan table either", crlf({"[generale]", "[curve]", "[fine]"}),
       citato, 0, false, false, nullptr},
      {25, "a route length below zero", generale("lunghezza percorso, -7010\r\n"), treno, 0, false,
       false, nullptr},
      {25, "a model of one cell, without the cell every scenario marks",
       crlf({"[generale]", "lunghezza percorso, -7000", "[curve]", "[fine]"}), treno, 0, false,
       false, [](const ModelloPercorso& m) { EXPECT_FALSE(m.celle_create); }},
      {0, "the shortest model that holds cell 1",
       crlf({"[generale]", "lunghezza percorso, -6974", "[curve]", "[fine]"}), treno, 0, false,
       false, [](const ModelloPercorso& m) { EXPECT_EQ(m.celle.size(), 2u); }},
      {25, "a later route length of one cell leaves the earlier model",
       generale("lunghezza percorso, -7000\r\n"), treno, 0, false, false,
       [](const ModelloPercorso& m) { EXPECT_EQ(m.celle.size(), 201u); }},
      {25, "service source missing", linea_minima(), std::nullopt, 0, false, false,
       [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(0).pendenza, 100); }},
      {25, "an empty service source", linea_minima(), "", 0, false, false, nullptr},
      {25, "an empty route source", "", treno, 0, false, false, nullptr},
  };
  for (const CasoErrore& c : casi) {
    SCOPED_TRACE(std::string(c.nome) + " (" + std::to_string(c.codice) + ")");
    const Lettura r = leggi_sorgenti(c.linea, c.treno);
    EXPECT_EQ(r.m.codice_errore, c.codice);
    EXPECT_EQ(r.m.posizione_errore, c.posizione);
    EXPECT_EQ(r.resta_linea, c.resta_linea);
    EXPECT_EQ(r.resta_treno, c.resta_treno);
    if (c.verifica) c.verifica(r.m);
  }
}

TEST(MemorizzaDatiTest, StationExtentsMarksAndCarriedFields) {
  struct Caso {
    const char* nome;
    std::string voci;
    int voce;
    int32_t inizio, fine;
    uint8_t opz5, opz6;
    int cella;                // station cell, -1 for none
    std::vector<int> marche;  // cells holding 81, 82, ... in order
    std::vector<int> vuote;   // cells whose mark stays 0
  } casi[] = {
      {"origin, centred", stazione(0, 2, 600, 0, 1), 1, -300, 300, 0, 0, 5, {4, 3, 2}, {1}},
      {"first station: field 6 still lengthens it, then is cleared",
       stazione(1000, 21, 300, 1),
       1,
       850,
       1200,
       0,
       0,
       23,
       {22, 21, 20, 19},
       {18, 23}},
      {"type 5: back by the length, 150 m forward, no marks",
       stazione(5000, 5, 400, 1),
       1,
       4600,
       5150,
       0,
       0,
       102,
       {},
       {101, 100, 99, 98}},
      {"type 8: the length both ways",
       stazione(5000, 8, 400, 1),
       1,
       4600,
       5400,
       0,
       0,
       107,
       {106, 105, 104, 103},
       {102}},
      {"type 25: no cell, no marks",
       stazione(5000, 25, 400),
       1,
       4800,
       5200,
       0,
       0,
       -1,
       {},
       {103, 102, 101, 100, 99}},
      {"second station keeps field 6, short one loses field 5",
       stazione(0, 2, 600) + stazione(6600, 21, 300, 1, 1),
       2,
       6450,
       6800,
       0,
       1,
       135,
       {134, 133, 132, 131},
       {130}},
      {"a long second station keeps field 5",
       stazione(0, 2, 600) + stazione(6600, 21, 600, 0, 1),
       2,
       6300,
       6900,
       1,
       0,
       137,
       {136, 135, 134, 133},
       {132}},
      {"exactly 350 m after the previous end",
       stazione(1000, 21, 300) + stazione(1650, 21, 300),
       2,
       1500,
       1800,
       0,
       0,
       35,
       {34, 33, 32, 31},
       {30}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const Lettura r = leggi_sorgenti(linea_minima(), treno_minimo(c.voci));
    const ModelloPercorso& m = r.m;
    EXPECT_EQ(m.codice_errore, 0);
    const Voce& v = m.voce(c.voce);
    EXPECT_EQ(v.inizio, c.inizio);
    EXPECT_EQ(v.fine, c.fine);
    EXPECT_EQ(v.opz5, c.opz5);
    EXPECT_EQ(v.opz6, c.opz6);
    EXPECT_EQ(v.orario, 37920);
    EXPECT_EQ(v.nome, "NOME");
    if (c.cella >= 0) {
      EXPECT_EQ(m.cella(c.cella).tipo, kStazione);
      EXPECT_EQ(m.cella(c.cella).dato1, c.voce);
    } else {
      EXPECT_EQ(conta_celle(m, kStazione), 0);
    }
    for (size_t k = 0; k < c.marche.size(); ++k) {
      EXPECT_EQ(m.cella(c.marche[k]).marcatore, 81 + k) << c.marche[k];
    }
    for (int i : c.vuote) EXPECT_EQ(m.cella(i).marcatore, 0) << i;
  }
}

TEST(MemorizzaDatiTest, StationsAndBoardsShareTheItems) {
  // A route of 60000 m leaves room for 79 stations 700 m apart.
  const std::string linea = crlf({"[generale]", "lunghezza percorso, 60000", "[fine]"});
  std::string stazioni;
  for (int i = 0; i < 79; ++i) stazioni += stazione(1000 + 700 * i, 21, 300);
  const Lettura settantotto =
      leggi_sorgenti(linea, treno_minimo(stazioni.substr(0, stazioni.rfind("stazione"))));
  EXPECT_EQ(settantotto.m.codice_errore, 0);
  EXPECT_EQ(settantotto.m.voce(78).posizione, 1000 + 700 * 77);

  const Lettura settantanove = leggi_sorgenti(linea, treno_minimo(stazioni));
  EXPECT_EQ(settantanove.m.codice_errore, 10);
  EXPECT_EQ(settantanove.m.voce(79).posizione, 1000 + 700 * 78);  // stored, then refused
  EXPECT_EQ(settantanove.m.voce(80), Voce{});
}

TEST(MemorizzaDatiTest, KeywordsAreRecognisedAsEachPhaseTestsThem) {
  const std::string dieci = "-a,-b,-c,-d,-e,-f,-g,-h,-i,-j,";
  struct Caso {
    const char* nome;
    std::string linea, treno;
    Verifica verifica;
  } casi[] = {
      {"route length: letter case ignored", generale("LUNGHEZZA PERCORSO, 5000\r\n"), "",
       [](const ModelloPercorso& m) { EXPECT_EQ(m.ultima_cella(), 240); }},
      {"background and chainage: exact",
       generale("SFONDO UNO, 7\r\nProgressiva chilometrica uno, 0, 5, 0\r\n"), "",
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.voce(85).inizio, 0);
         EXPECT_EQ(m.voce(81).fine, 0);
       }},
      {"every test runs on the same field", generale("sfondo uno due, 4, 5\r\n"), "",
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.voce(85).inizio, 4);
         EXPECT_EQ(m.voce(85).posizione, 5);
       }},
      {"code system 9", generale("ripetizione segnali 9 codici, 100, 200\r\n"), "",
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.voce(86).posizione, 9);
         EXPECT_EQ(m.voce(86).inizio, 100);
         EXPECT_EQ(m.voce(86).fine, 200);
       }},
      {"a second route length re-creates the cells", generale("lunghezza percorso, 5000\r\n"), "",
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.ultima_cella(), 240);
         EXPECT_EQ(m.tracciato.ultima_riga(), 12000);
       }},
      {"general entries mean nothing after the general phase",
       linea_minima("lunghezza percorso, 5000\r\nsfondo uno, 7\r\n"), "",
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.ultima_cella(), 200);
         EXPECT_EQ(m.voce(85).inizio, 0);
       }},
      {"ten fields with '-' passed over in the general phase",
       generale(dieci + "lunghezza percorso -, 5000\r\n"), "",
       [](const ModelloPercorso& m) { EXPECT_EQ(m.ultima_cella(), 240); }},
      {"an eleventh is tested, and the next discarded",
       generale(dieci + "-k,lunghezza percorso -, 5000\r\n"), "",
       [](const ModelloPercorso& m) { EXPECT_EQ(m.ultima_cella(), 200); }},
      {"two fields with '-' passed over in the feature phase",
       linea_minima("-a,-b,pendenza -, 100, 5\r\n"), "",
       [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(5).pendenza, 105); }},
      {"a third is tested, and the next discarded", linea_minima("-a,-b,-c,pendenza -, 100, 5\r\n"),
       "", [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(5).pendenza, 100); }},
      {"two fields with '-' passed over in the service source", linea_minima(),
       "-a,-b,velocita -, 0, 60\r\n",
       [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(5).vel_limite, 12); }},
      {"a third is tested there too", linea_minima(), "-a,-b,-c,velocita -, 0, 60\r\n",
       [](const ModelloPercorso& m) { EXPECT_EQ(m.cella(5).vel_limite, 0); }},
      {"service keywords: letter case ignored, plural headers not", linea_minima(),
       "STAZIONE, 1000, 21, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A\r\n" +
           std::string("stazioni, 2000, 21, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B\r\n"),
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.voce(1).nome, "A");
         EXPECT_EQ(m.voce(2).nome, "");
       }},
      {"gradients out of order: each fills one more cell",
       linea_minima("pendenza, 0, 2\r\npendenza, 500, 4\r\npendenza, 100, 6\r\n"
                    "pendenza, 200, 8\r\n"),
       "velocita, 0, 60\r\nvelocita, 500, 75\r\nvelocita, 100, 80\r\n",
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.cella(9).pendenza, 102);
         EXPECT_EQ(m.cella(10).pendenza, 104);
         EXPECT_EQ(m.cella(11).pendenza, 106);
         EXPECT_EQ(m.cella(12).pendenza, 108);
         EXPECT_EQ(m.cella(197).pendenza, 108);
         EXPECT_EQ(m.cella(10).vel_limite, 15);
         EXPECT_EQ(m.cella(11).vel_limite, 16);
       }},
      {"abbattimento with and without a value", linea_minima(),
       "abbattimento, 1000, 7\r\nabbattimento, 2000, 0\r\n",
       [](const ModelloPercorso& m) {
         EXPECT_EQ(m.cella(20).tipo, kCodice);
         EXPECT_EQ(m.cella(20).dato1, 7);
         EXPECT_EQ(m.cella(40).tipo, kAbbattimento);
       }},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const Lettura r = leggi_sorgenti(c.linea, treno_minimo(c.treno));
    EXPECT_EQ(r.m.codice_errore, 0);
    c.verifica(r.m);
  }
}

TEST(MemorizzaDatiTest, TheLastFieldOfASourceIsNeverAKeyword) {
  // A service source that stops after an entry's numbers still records it.
  const Lettura senza_fine =
      leggi_sorgenti(linea_minima(), "[generale]\r\nvelocita, 0, 60\r\nvelocita, 500, 75");
  EXPECT_EQ(senza_fine.m.codice_errore, 0);
  EXPECT_EQ(senza_fine.m.cella(9).vel_limite, 12);
  EXPECT_EQ(senza_fine.m.cella(10).vel_limite, 15);

  // One that stops on a keyword does not read that entry.
  const Lettura parola = leggi_sorgenti(linea_minima(), "[generale]\r\nvelocita, 0, 60\r\nsabbia");
  EXPECT_EQ(parola.m.codice_errore, 0);
  EXPECT_EQ(parola.m.cella(10).vel_limite, 12);

  const Lettura linea = leggi_sorgenti(
      crlf({"[generale]", "lunghezza percorso, 3000", "[curve]", "pendenza, 100, 4"}) + "pendenza",
      treno_minimo());
  EXPECT_EQ(linea.m.codice_errore, 0);
  EXPECT_EQ(linea.m.cella(5).pendenza, 104);

  // Without "[generale]" the service source gives nothing, but the fills run.
  const Lettura senza_generale = leggi_sorgenti(linea_minima(), "sabbia, 120\r\n");
  EXPECT_EQ(senza_generale.m.codice_errore, 0);
  EXPECT_EQ(senza_generale.m.voce(86).opz7, 0);
  EXPECT_FALSE(senza_generale.resta_treno);
}

struct Osservato {
  std::string file;
  int riga, colonna;
  std::string campo;
  bool operator==(const Osservato&) const = default;
};

class Registro : public OsservatoreLettura {
 public:
  void campo_ignorato(const LuogoSorgente& l, const std::string& campo) override {
    visti.push_back({std::filesystem::path(l.file).filename().string(), l.riga, l.colonna, campo});
  }
  std::vector<Osservato> visti;
};

TEST(MemorizzaDatiTest, TellsTheObserverOfEveryFieldNoKeywordMatches) {
  const std::string linea = crlf({
      "[generale]",
      "lunghezza percorso,    3000",
      "sfondo, 1",
      "[curve]",
      "- commento",
      "  pendnza,  100, 3",
      "pendenza, 0, 1",
      "[fine]",
  });
  const std::string treno = crlf({"[generale]", "[stazioni]", "stazzione, 5", "[fine]"});
  Registro registro;
  const Lettura r = leggi_sorgenti(linea, treno, 1, true, &registro);
  EXPECT_EQ(r.m.codice_errore, 0);
  const std::string l = "MorvessaC_Tolvarre_linea.txt", t = "MorvessaC_Tolvarre_823-.txt";
  const std::vector<Osservato> attesi = {
      {l, 3, 1, "sfondo"}, {l, 3, 9, "1"},         {l, 6, 3, "pendnza"}, {l, 6, 13, "100"},
      {l, 6, 18, "3"},     {t, 3, 1, "stazzione"}, {t, 3, 12, "5"},
  };
  EXPECT_EQ(registro.visti, attesi);
}

TEST(MemorizzaDatiTest, UserSourcesAreNeverDeleted) {
  const std::string occupato =
      linea_minima("cartello_indicatore, 650, (A)\r\ncartello_indicatore, 650, (B)\r\n");
  const struct {
    std::string linea, treno;
    int32_t codice;
  } casi[] = {{testo_righe(righe_linea()), testo_righe(righe_treno()), 0},
              {occupato, treno_minimo(), 6},
              {linea_minima("pendenza, x"), treno_minimo(), 25},
              {linea_minima(), treno_minimo(segnale_a(100)), 25},
              {linea_minima(), treno_minimo(stazione(1000, 21, 350)), 9}};
  for (const auto& c : casi) {
    const Lettura r = leggi_sorgenti(c.linea, c.treno, 1, /*elimina=*/false);
    EXPECT_EQ(r.m.codice_errore, c.codice);
    EXPECT_TRUE(r.resta_linea) << c.codice;
    EXPECT_TRUE(r.resta_treno) << c.codice;
  }
}

// Sources held in memory read exactly as the same bytes on disk, and the files
// at their paths are never read or deleted, whatever `elimina` says.
TEST(MemorizzaDatiTest, SourcesInMemoryReadAsTheirFilesAndLeaveTheFilesAlone) {
  const struct {
    std::string linea, treno;
  } casi[] = {{testo_righe(righe_linea()), testo_righe(righe_treno())},
              {linea_minima("cartello_indicatore, 650, (A)\r\ncartello_indicatore, 650, (B)\r\n"),
               treno_minimo()},
              {linea_minima("pendenza, x"), treno_minimo()},
              {linea_minima(), treno_minimo(stazione(1000, 21, 350))},
              {"", treno_minimo()},
              {linea_minima(), ""}};
  for (const auto& c : casi) {
    const Lettura da_file = leggi_sorgenti(c.linea, c.treno, 1, /*elimina=*/false);
    CartellaTemporanea cartella;
    SorgentiScenario s = sorgenti_generatore(cartella.percorso(), "MorvessaC_Tolvarre", "823");
    const std::string altro = "[generale]\r\nlunghezza percorso, 1000\r\n[fine]\r\n";
    std::ofstream(s.linea, std::ios::binary) << altro;
    std::ofstream(s.treno, std::ios::binary) << altro;
    s.testo_linea = c.linea;
    s.testo_treno = c.treno;
    ModelloPercorso m = modello_iniziale();
    memorizza_dati(m, s);
    SCOPED_TRACE(da_file.m.codice_errore);
    EXPECT_EQ(m.codice_errore, da_file.m.codice_errore);
    EXPECT_EQ(m.posizione_errore, da_file.m.posizione_errore);
    // The two reads name files in different folders: the same file, line and column.
    EXPECT_EQ(std::filesystem::path(m.luogo_errore.file).filename(),
              std::filesystem::path(da_file.m.luogo_errore.file).filename());
    EXPECT_EQ(m.luogo_errore.riga, da_file.m.luogo_errore.riga);
    EXPECT_EQ(m.luogo_errore.colonna, da_file.m.luogo_errore.colonna);
    EXPECT_TRUE(m.celle == da_file.m.celle);
    EXPECT_TRUE(m.voci == da_file.m.voci);
    EXPECT_TRUE(m.tracciato.etichette() == da_file.m.tracciato.etichette());
    EXPECT_TRUE(m.tracciato.valori() == da_file.m.tracciato.valori());
    EXPECT_EQ(leggi_file(s.linea), altro);
    EXPECT_EQ(leggi_file(s.treno), altro);
  }
}

TEST(MemorizzaDatiTest, ErrorsPointAtTheEntryThatCausedThem) {
  const Lettura linea =
      leggi_sorgenti(linea_minima("pendenza, 0, 1\r\n  cartello_indicatore, 650, (A)\r\n"
                                  "cartello_indicatore, 650, (B)\r\n"),
                     treno_minimo());
  EXPECT_EQ(linea.m.codice_errore, 6);
  EXPECT_EQ(std::filesystem::path(linea.m.luogo_errore.file).filename(),
            "MorvessaC_Tolvarre_linea.txt");
  EXPECT_EQ(linea.m.luogo_errore.riga, 7);
  EXPECT_EQ(linea.m.luogo_errore.colonna, 1);

  const Lettura treno =
      leggi_sorgenti(linea_minima(), treno_minimo("sabbia, 1\r\n   stazione, 1000, 21, 300, x"));
  EXPECT_EQ(treno.m.codice_errore, 25);
  EXPECT_EQ(std::filesystem::path(treno.m.luogo_errore.file).filename(),
            "MorvessaC_Tolvarre_823-.txt");
  EXPECT_EQ(treno.m.luogo_errore.riga, 3);
  EXPECT_EQ(treno.m.luogo_errore.colonna, 4);

  const Lettura mancante = leggi_sorgenti(std::nullopt, treno_minimo());
  EXPECT_EQ(mancante.m.luogo_errore.riga, 0);
  EXPECT_NE(mancante.m.luogo_errore.file.find("_linea.txt"), std::string::npos);
}

// The longest route the model takes, with a curve every 300 m.
TEST(MemorizzaDatiTest, ReadsTheLongestRoute) {
  std::string elementi;
  for (int s = 300; s + 100 <= 990000; s += 300) {
    elementi += (s % 600 == 0 ? "curvad4, " : "curvas5, ") + std::to_string(s) + ", 100\r\n";
  }
  for (int p = 0; p <= 990000; p += 500) {
    elementi += "pendenza, " + std::to_string(p) + ", " + std::to_string(p % 7) + "\r\n";
  }
  const std::string linea =
      crlf({"[generale]", "lunghezza percorso, 1000000", "[curve]"}) + elementi + crlf({"[fine]"});
  const Lettura r = leggi_sorgenti(linea, treno_minimo("velocita, 0, 100\r\n"));
  ASSERT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.m.ultima_cella(), 20140);
  EXPECT_EQ(r.m.tracciato.etichetta(1006998, 0), Etichetta::kDoppio);
  EXPECT_EQ(r.m.tracciato.etichetta(1006999, 0), Etichetta::kVuoto);
  EXPECT_EQ(r.m.cella(20137).vel_limite, 20);

  // No row past 1000000 is computed for a curve: the reading stops with 103.
  const Lettura oltre = leggi_sorgenti(
      crlf({"[generale]", "lunghezza percorso, 1000000", "[curve]", "curvad4, 999900, 200"}),
      treno_minimo());
  EXPECT_EQ(oltre.m.codice_errore, 103);
  EXPECT_TRUE(oltre.resta_treno);
  EXPECT_EQ(oltre.m.tracciato.etichetta(1000000, 1), Etichetta::kDoppio);
  EXPECT_EQ(oltre.m.tracciato.etichetta(1000001, 1), Etichetta::kVuoto);
}

}  // namespace
}  // namespace scenario
