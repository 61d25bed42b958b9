#include "compiler/registratori.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "platform/guasto.h"

namespace scenario {
namespace {

ModelloPercorso celle_fino_a(int32_t n) {
  ModelloPercorso m;
  m.crea_celle(n);
  return m;
}

struct Terna {
  int32_t posizione, chilometrica, segno;
  bool operator==(const Terna&) const = default;
};

std::vector<Terna> ordina(Terna tre, Terna due, Terna uno) {
  ModelloPercorso m;
  const Terna lette[] = {tre, due, uno};
  for (int i = 0; i < 3; ++i) {
    Voce& v = m.voce(kVoceProgressivaTre + i);
    v.inizio = lette[i].posizione;
    v.fine = lette[i].chilometrica;
    v.posizione = lette[i].segno;
  }
  progressive_ordina(m);
  std::vector<Terna> r;
  for (int i = 0; i < 3; ++i) {
    const Voce& v = m.voce(kVoceProgressivaTre + i);
    r.push_back({v.inizio, v.fine, v.posizione});
  }
  return r;
}

TEST(ProgressiveOrdinaTest, OrdersTheChainageRecordsLargestPositionFirst) {
  const Terna a{100, 1, 0}, b{300, 2, 0}, c{200, 3, 0}, zero{0, 0, 0};
  struct Caso {
    const char* nome;
    Terna tre, due, uno;
    std::vector<Terna> attese;
  } casi[] = {
      {"B, C, A by position", a, b, c, {b, c, a}},
      {"A largest, B and C tied: C before B",
       {500, 1, 0},
       {200, 2, 0},
       {200, 3, 0},
       {{500, 1, 0}, {200, 3, 0}, {200, 2, 0}}},
      {"B largest, A and C tied: C before A",
       {200, 1, 0},
       {500, 2, 0},
       {200, 3, 0},
       {{500, 2, 0}, {200, 3, 0}, {200, 1, 0}}},
      {"C largest, A and B tied: B before A",
       {200, 1, 0},
       {200, 2, 0},
       {500, 3, 0},
       {{500, 3, 0}, {200, 2, 0}, {200, 1, 0}}},
      {"no strictly largest position clears all",
       {0, 1, 0},
       {5000, 2, 0},
       {5000, 3, 0},
       {zero, zero, zero}},
      {"all at 0: only the uno chainage set (the scenario)",
       zero,
       zero,
       {0, 132100, 0},
       {{0, 132100, 0}, zero, zero}},
      {"all at 0: tre set", {0, 7, 0}, zero, zero, {{0, 7, 0}, zero, zero}},
      {"all at 0: due set, tre and due swap",
       {0, 0, 1},
       {0, 9, 0},
       zero,
       {{0, 9, 0}, {0, 100, 1}, zero}},
      {"all at 0: the later match wins",
       {0, 7, 0},
       {0, 8, 0},
       {0, 9, 0},
       {{0, 9, 0}, {0, 8, 0}, {0, 7, 0}}},
      {"all at 0, no chainage set: all cleared, flags too",
       {0, 0, 1},
       zero,
       zero,
       {zero, zero, zero}},
      {"flag 1 adds 100 to the chainage",
       {1000, 132100, 1},
       zero,
       zero,
       {{1000, 132200, 1}, zero, zero}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    EXPECT_EQ(ordina(c.tre, c.due, c.uno), c.attese);
  }
}

TEST(MemoMontagnaTest, WritesTypeAndLitMarkersAsTheScenarioNeeds) {
  ModelloPercorso m = celle_fino_a(760);
  m.cella(161).tipo = kCartello;  // a marker goes only where nothing is
  const std::tuple<int32_t, int32_t, int32_t> righe[] = {
      {8000, 8300, 11}, {11350, 11400, 2}, {11450, 11700, 11}, {25700, 25750, 2}};
  for (auto [inizio, fine, tipo] : righe) memo_montagna(m, inizio, fine, tipo);

  std::vector<int> tipo_montagna(761);
  for (int i = 0; i <= 760; ++i) tipo_montagna[i] = m.cella(i).montagna;
  for (int i = 160; i <= 165; ++i) EXPECT_EQ(tipo_montagna[i], 1) << i;
  EXPECT_EQ(tipo_montagna[159], 0);
  EXPECT_EQ(tipo_montagna[166], 0);
  EXPECT_EQ(tipo_montagna[227], 2);
  EXPECT_EQ(tipo_montagna[228], 0);
  for (int i = 229; i <= 233; ++i) EXPECT_EQ(tipo_montagna[i], 3) << i;  // 50 m after the last
  EXPECT_EQ(tipo_montagna[514], 2);
  EXPECT_EQ(m.cella(163).tipo, kSegnoMontagna);
  EXPECT_EQ(m.cella(232).tipo, kSegnoMontagna);
  EXPECT_EQ(m.cella(161).tipo, kCartello);
  EXPECT_EQ(m.num_montagne, 4);
  EXPECT_EQ(m.fine_montagna[4], 25750);
  EXPECT_EQ(m.codice_errore, 0);
}

TEST(MemoMontagnaTest, JoinsAMontagnaCloseBehindThePreviousOne) {
  struct Caso {
    int32_t distacco;  // from the previous montagna's end to this one's start
    int32_t tipo_atteso;
  } casi[] = {{150, 3}, {200, 2}, {-100, 3}};
  for (const Caso& c : casi) {
    ModelloPercorso m = celle_fino_a(200);
    int32_t primo = 1, secondo = 12;
    memo_montagna(m, 1000, 1500, primo);
    memo_montagna(m, 1500 + c.distacco, 3000, secondo);
    EXPECT_EQ(m.cella(55).montagna, c.tipo_atteso) << c.distacco;
    EXPECT_EQ(secondo, c.tipo_atteso) << c.distacco;  // the reader's own variable
    // Lit either way: every fourth cell of the second montagna is marked.
    const int32_t prima = (1500 + c.distacco) / 50;
    EXPECT_EQ(m.cella(prima + 3).tipo, kSegnoMontagna) << c.distacco;
    EXPECT_EQ(m.cella(prima + 2).tipo, kNessuno) << c.distacco;
  }
}

TEST(MemoMontagnaTest, RefusesAnEntryOutsideItsArraysWritingNothing) {
  ModelloPercorso m = celle_fino_a(200);
  int32_t tipo = 11;
  EXPECT_THROW(memo_montagna(m, 9900, 10100, tipo), GuastoEsecuzione);  // cells 198..201
  EXPECT_THROW(memo_montagna(m, -100, 200, tipo), GuastoEsecuzione);    // cells -2..3
  EXPECT_EQ(m.num_montagne, 0);
  for (int i = 0; i <= 200; ++i) ASSERT_EQ(m.cella(i), Cella{}) << i;

  for (int i = 0; i < kMassimoMontagne; ++i) {
    int32_t t = 1;
    memo_montagna(m, 100 * i, 100 * i + 50, t);
  }
  int32_t t = 2;
  EXPECT_THROW(memo_montagna(m, 9000, 9050, t), GuastoEsecuzione);  // the 81st
  EXPECT_EQ(m.num_montagne, kMassimoMontagne);
  EXPECT_EQ(m.cella(180).montagna, 0);
}

TEST(MemoIndicatoriVMaxTest, PacksBothSidesIntoTheCellAfterThePosition) {
  ModelloPercorso m = celle_fino_a(760);
  memo_indicatori_v_max(m, 6850, 75, 80, 80, 0, 0, 0, 0, 0);
  EXPECT_EQ(
      m.cella(138),
      (Cella{.tipo = kIndicatoriVMax, .dato1 = 1500, .dato2 = 1600, .dato3 = 1600, .dato4 = 0}));
  m.cella(201).tipo = kSegnoMontagna;  // a montagna marker gives way
  memo_indicatori_v_max(m, 10000, 60, 65, 70, 2, 100, 12, 7, 3);
  EXPECT_EQ(
      m.cella(201),
      (Cella{.tipo = kIndicatoriVMax, .dato1 = 1220, .dato2 = 1302, .dato3 = 1401, .dato4 = 23}));
  EXPECT_EQ(m.codice_errore, 0);
}

TEST(MemoIndicatoriVMaxTest, RefusesATakenCellAndValuesThatDoNotFit) {
  ModelloPercorso m = celle_fino_a(760);
  m.cella(138).tipo = kCartello;
  memo_indicatori_v_max(m, 6850, 75, 80, 80, 0, 0, 0, 0, 0);
  EXPECT_EQ(m.codice_errore, 21);
  EXPECT_EQ(m.cella(138), Cella{.tipo = kCartello});

  m.codice_errore = 0;
  EXPECT_THROW(memo_indicatori_v_max(m, 5000, 75, 2000, 80, 0, 0, 0, 0, 0), GuastoEsecuzione);
  EXPECT_THROW(memo_indicatori_v_max(m, -50, 75, 80, 80, 0, 0, 0, 0, 0), GuastoEsecuzione);
  EXPECT_EQ(m.cella(101), Cella{});
  EXPECT_EQ(m.cella(0), Cella{});
}

TEST(MemoSegnaleTest, RecordsTheScenarioSignalsWithTheirApproachMarks) {
  ModelloPercorso m = celle_fino_a(760);
  int32_t tempo = 0;
  memo_segnale(m, 26500, 1, 3, 4, 0, 0, 1, 3, 1, 0, tempo);
  EXPECT_EQ(
      m.cella(531),
      (Cella{.tipo = kSegnale, .dato1 = 33, .dato2 = 41, .dato3 = 0, .dato4 = 4, .tempo = 0}));
  const int celle_41[] = {529, 527, 525, 523};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(m.cella(celle_41[k]).marcatore, 41 + k);
  EXPECT_EQ(m.cella(530).marcatore, 0);
  EXPECT_EQ(m.cella(521).marcatore, 0);

  memo_segnale(m, 5600, 2, 4, 1, 0, 0, 0, 0, 0, 0, tempo);
  EXPECT_EQ(m.cella(113), (Cella{.tipo = kSegnale, .dato1 = 40, .dato2 = 10, .dato4 = 6}));
  const int celle_61[] = {111, 109, 107, 105};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(m.cella(celle_61[k]).marcatore, 61 + k);
  EXPECT_EQ(m.codice_errore, 0);
}

TEST(MemoSegnaleTest, KeepsTheTimeOnlyForKindTwoLeftSignals) {
  struct Caso {
    int32_t sx, tempo;
    uint8_t cella;
    int32_t variabile;  // the caller's variable afterwards
  } casi[] = {{2, 50, 101, 101},  {2, 1, 101, 101},  {2, 100, 101, 101}, {2, 0, 0, 0},
              {2, 150, 150, 150}, {2, 300, 44, 300}, {1, 50, 0, 101},    {0, 150, 0, 150}};
  for (const Caso& c : casi) {
    ModelloPercorso m = celle_fino_a(100);
    int32_t tempo = c.tempo;
    memo_segnale(m, 2000, c.sx, 0, 0, 0, 0, 0, 0, 0, 0, tempo);
    EXPECT_EQ(m.cella(41).tempo, c.cella) << c.sx << " " << c.tempo;
    EXPECT_EQ(tempo, c.variabile) << c.sx << " " << c.tempo;
  }
}

TEST(MemoSegnaleTest, RefusesATakenCellAndEntriesOutsideTheModel) {
  ModelloPercorso m = celle_fino_a(760);
  int32_t tempo = 0;
  memo_segnale(m, 4400, 1, 4, 1, 0, 0, 0, 0, 0, 0, tempo);
  const ModelloPercorso prima = m;
  memo_segnale(m, 4400, 2, 9, 9, 9, 9, 0, 9, 9, 9, tempo);
  EXPECT_EQ(m.codice_errore, 16);
  EXPECT_EQ(m.celle, prima.celle);

  m.codice_errore = 0;
  m.cella(300).tipo = kSegnoMontagna;
  memo_segnale(m, 14950, 1, 4, 1, 0, 0, 0, 0, 0, 0, tempo);
  EXPECT_EQ(m.cella(300).tipo, kSegnale);
  EXPECT_EQ(m.codice_errore, 0);

  // Approach marks before cell 0, a value outside its member: nothing written.
  const ModelloPercorso valido = m;
  EXPECT_THROW(memo_segnale(m, 300, 1, 4, 1, 0, 0, 0, 0, 0, 0, tempo), GuastoEsecuzione);
  EXPECT_THROW(memo_segnale(m, 10000, 1, 4000, 1, 0, 0, 0, 0, 0, 0, tempo), GuastoEsecuzione);
  EXPECT_THROW(memo_segnale(m, 10000, 90, 4, 1, 0, 0, 0, 0, 0, 0, tempo), GuastoEsecuzione);
  EXPECT_EQ(m.celle, valido.celle);
}

TEST(MemoRallentamentoTest, RecordsTheWorkedSlowdown) {
  ModelloPercorso m = celle_fino_a(760);
  memo_rallentamento(m, 5000, 30, 400, 1, 1, 0);
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.cella(77), (Cella{.tipo = kAvvisoRallentamento, .dato1 = 30}));
  EXPECT_EQ(m.cella(101), (Cella{.tipo = kInizioRallentamento, .dato1 = 30, .dato3 = 1}));
  EXPECT_EQ(m.cella(109), (Cella{.tipo = kFineRallentamento, .dato1 = 30, .dato3 = 1}));
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(m.cella(76 - k),
              (Cella{.tipo = kPreavvisoRallentamento, .dato1 = static_cast<int16_t>(k + 1)}));
  }
  EXPECT_EQ(m.cella(72), Cella{});
  EXPECT_EQ(m.cella(78), Cella{});
}

TEST(MemoRallentamentoTest, WarningPointOnlyBeyond1500Metres) {
  ModelloPercorso m = celle_fino_a(200);
  memo_rallentamento(m, 1500, 30, 200, 1, 1, 0);  // f_ta asks, but no warning point
  EXPECT_EQ(m.cella(31).tipo, kInizioRallentamento);
  EXPECT_EQ(m.cella(35).tipo, kFineRallentamento);
  for (int i = 0; i <= 30; ++i) ASSERT_EQ(m.cella(i), Cella{}) << i;

  ModelloPercorso n = celle_fino_a(200);
  memo_rallentamento(n, 1550, 40, 0, 2, 0, 7);  // start and end on one cell
  EXPECT_EQ(n.cella(8), (Cella{.tipo = kAvvisoRallentamento, .dato1 = 40, .dato2 = 7}));
  EXPECT_EQ(n.cella(32),
            (Cella{.tipo = kInizioRallentamento, .dato1 = 40, .dato2 = 7, .dato3 = 2}));
  for (int i = 4; i <= 7; ++i) EXPECT_EQ(n.cella(i), Cella{}) << i;  // f_ta 0
}

TEST(MemoRallentamentoTest, RefusalsWriteNothingExceptAfterTheWarningMarks) {
  struct Caso {
    int32_t occupata;
    int32_t codice;
  } casi[] = {{77, 17}, {101, 18}, {109, 19}};
  for (const Caso& c : casi) {
    ModelloPercorso m = celle_fino_a(760);
    m.cella(c.occupata).tipo = kStazione;
    const ModelloPercorso prima = m;
    memo_rallentamento(m, 5000, 30, 400, 1, 1, 0);
    EXPECT_EQ(m.codice_errore, c.codice);
    EXPECT_EQ(m.celle, prima.celle) << c.codice;
  }

  ModelloPercorso m = celle_fino_a(760);
  m.cella(74).tipo = kSegnale;
  memo_rallentamento(m, 5000, 30, 400, 1, 1, 5);
  EXPECT_EQ(m.codice_errore, 20);
  EXPECT_EQ(m.cella(77).tipo, kAvvisoRallentamento);
  EXPECT_EQ(m.cella(101).tipo, kInizioRallentamento);
  EXPECT_EQ(m.cella(109).tipo, kFineRallentamento);
  EXPECT_EQ(m.cella(76).tipo, kNessuno);

  ModelloPercorso f = celle_fino_a(200);
  EXPECT_THROW(memo_rallentamento(f, 9500, 30, 800, 1, 1, 0), GuastoEsecuzione);  // end at 207
  EXPECT_THROW(memo_rallentamento(f, 5000, 40000, 100, 1, 1, 0), GuastoEsecuzione);
  for (int i = 0; i <= 200; ++i) ASSERT_EQ(f.cella(i), Cella{}) << i;
}

}  // namespace
}  // namespace scenario
