#include "output/posa_codici.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/prova_uscita_test.h"

namespace scenario {
namespace {

struct Segno {
  int32_t cella;
  uint8_t tipo;
  int16_t dato1 = 0;
};

// Cells 0..n, each with members the pass must never touch set to something
// recognisable, then the given features.
ModelloPercorso modello_con(int32_t n, const std::vector<Segno>& segni) {
  ModelloPercorso m;
  m.crea_celle(n);
  for (int32_t i = 0; i <= n; ++i) {
    m.cella(i).dato2 = static_cast<int16_t>(i);
    m.cella(i).pendenza = static_cast<uint8_t>(100 + i % 7);
  }
  for (const Segno& s : segni) {
    m.cella(s.cella).tipo = s.tipo;
    m.cella(s.cella).dato1 = s.dato1;
  }
  return m;
}

Segno codice(int32_t c) {
  return {c, kCodice, kCodicePosato};
}
Segno segnale(int32_t c) {
  return {c, kSegnale};
}
Segno occupata(int32_t c) {
  return {c, kCartello};
}
Segno avviso(int32_t c) {
  return {c, kAvvisoRallentamento};
}
Segno inizio(int32_t c, int16_t v) {
  return {c, kInizioRallentamento, v};
}
Segno fine(int32_t c) {
  return {c, kFineRallentamento};
}

struct CasoPassata {
  std::string nome;
  int32_t n;
  std::vector<Segno> prima;
  std::vector<Segno> cambiate;  // every cell the pass must change, as it must leave it
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
};

TEST(PosaCodiciTest, PlacesExactlyTheExpectedCodeCellsAndRecordsErrors) {
  const std::vector<CasoPassata> casi = {
      {"worked example: approach windows, repeat on the end's neighbour, signal after the end",
       200,
       {segnale(113), avviso(77), inizio(101, 30), fine(109)},
       {codice(96), codice(90), codice(83), codice(108), codice(112)}},
      {"no slowdown start or warning: nothing changes",
       60,
       {segnale(10), segnale(11), {30, kCodice, 270}, {40, kStazione, 1}, fine(50)},
       {}},
      {"signal behind a warning, both cells in front occupied, code 270 lowered",
       60,
       {avviso(40), segnale(30), {29, kCodice, 270}, occupata(28)},
       {{29, kCodice, 180}}},
      {"signal behind a warning, code 120 in front is not raised",
       60,
       {avviso(40), segnale(30), {29, kCodice, 120}, occupata(28)},
       {}},
      {"code cell in front of the signal but the next one free: a second code cell",
       60,
       {avviso(40), segnale(30), {29, kCodice, 270}},
       {codice(28)}},
      {"every signal of the 20-cell window is handled, montagna markers are free, 21st cell not",
       60,
       {avviso(40), segnale(20), segnale(35), {34, kSegnoMontagna}, segnale(19)},
       {codice(34), codice(18)}},
      {"signal 21 cells behind the warning is out of reach", 60, {avviso(41), segnale(20)}, {}},
      {"warning at 5 looks at cells 4 and 3 only",
       60,
       {avviso(5), segnale(4), segnale(2)},
       {codice(3)}},
      {"start at 7: no approach window applies", 60, {inizio(7, 120)}, {}},
      {"start at 8: only the first window, candidates 3, 2, 1",
       60,
       {inizio(8, 120), occupata(3), occupata(2)},
       {codice(1)}},
      {"start at 21: third window falls back to cell 1",
       60,
       {inizio(21, 120), occupata(3), occupata(2)},
       {codice(16), codice(10), codice(1)}},
      {"110 km/h: no repeated codes; the signal after the end still gets one",
       80,
       {inizio(30, 110), fine(50), segnale(55)},
       {codice(25), codice(19), codice(12), codice(54)}},
      {"100 km/h over 20 cells: repeats at the 8th and 16th cell",
       80,
       {inizio(30, 100), fine(50)},
       {codice(25), codice(19), codice(12), codice(38), codice(46)}},
      {"repeat falls on an occupied cell: one before it, the count goes on from there",
       80,
       {inizio(30, 100), fine(60), occupata(38)},
       {codice(25), codice(19), codice(12), codice(37), codice(45), codice(53)}},
      {"repeat falls on two occupied cells: one after it",
       80,
       {inizio(30, 100), fine(60), occupata(38), occupata(37)},
       {codice(25), codice(19), codice(12), codice(39), codice(47), codice(55)}},
      {"error 11: neither cell in front of the signal is free nor a code cell",
       60,
       {avviso(40), segnale(30), occupata(29), occupata(28)},
       {},
       11,
       1500},
      {"error 12: an approach window is full, the other windows still get theirs",
       60,
       {inizio(30, 120), occupata(25), occupata(24), occupata(23)},
       {codice(19), codice(12)},
       12,
       1500},
      {"error 13 along the slowdown: no further repeat after it",
       80,
       {inizio(30, 100), fine(60), occupata(37), occupata(38), occupata(39)},
       {codice(25), codice(19), codice(12)},
       13,
       1900},
      {"error 13 after the end: both cells in front of the signal occupied",
       80,
       {inizio(30, 120), fine(40), segnale(45), occupata(44), occupata(43)},
       {codice(25), codice(19), codice(12)},
       13,
       2000},
      {"signal 13 cells after the end is out of reach",
       80,
       {inizio(30, 120), fine(40), segnale(53)},
       {codice(25), codice(19), codice(12)}},
      {"fast slowdown without an end cell: no code in front of a later signal",
       80,
       {inizio(30, 120), segnale(35)},
       {codice(25), codice(19), codice(12)}},
      {"walk without an end cell stops at N and skips the signal rule",
       60,
       {inizio(45, 100), segnale(58)},
       {codice(40), codice(34), codice(27), codice(53)}},
      {"end on the last cell: the repeat goes in front of it",
       60,
       {inizio(52, 100), fine(60)},
       {codice(47), codice(41), codice(34), codice(59)}},
      {"end on the last cell, cell in front occupied: nothing past N, error 13",
       60,
       {inizio(52, 100), fine(60), occupata(59)},
       {codice(47), codice(41), codice(34)},
       13,
       3000},
      {"signal on the last cell after the end",
       60,
       {inizio(40, 120), fine(55), segnale(60)},
       {codice(35), codice(29), codice(22), codice(59)}},
      {"slowdown features on cells N - 1 and N are not handled",
       60,
       {avviso(59), segnale(50), inizio(60, 30)},
       {}},
  };
  for (const CasoPassata& caso : casi) {
    SCOPED_TRACE(caso.nome);
    ModelloPercorso m = modello_con(caso.n, caso.prima);
    ModelloPercorso atteso = modello_con(caso.n, caso.prima);
    for (const Segno& s : caso.cambiate) {
      atteso.cella(s.cella).tipo = s.tipo;
      atteso.cella(s.cella).dato1 = s.dato1;
    }
    posa_codici(m);
    ASSERT_EQ(m.celle.size(), atteso.celle.size());
    for (int32_t i = 0; i <= caso.n; ++i) {
      EXPECT_EQ(m.cella(i), atteso.cella(i))
          << "cell " << i << ": tipo " << int{m.cella(i).tipo} << " dato1 " << m.cella(i).dato1;
    }
    EXPECT_EQ(m.codice_errore, caso.codice_errore);
    EXPECT_EQ(m.posizione_errore, caso.posizione_errore);
  }
}

TEST(PosaCodiciTest, LaterErrorOverwritesEarlierOne) {
  ModelloPercorso m = modello_con(100, {avviso(40), segnale(30), occupata(29), occupata(28),
                                        inizio(70, 120), occupata(65), occupata(64), occupata(63)});
  posa_codici(m);
  EXPECT_EQ(m.codice_errore, 12);
  EXPECT_EQ(m.posizione_errore, 3500);
}

TEST(PosaCodiciTest, FailsWhenTheCellArrayWasNeverCreated) {
  ModelloPercorso m;
  EXPECT_THROW(posa_codici(m), GuastoEsecuzione);
}

TEST(MinimoTest, GivesTheSmallerAndTheFirstWhenEqual) {
  // Which argument came back, not only its value: equal values must give x.
  struct Caso {
    int16_t x, y;
    bool primo;
  };
  for (const Caso& c : {Caso{180, 270, true}, Caso{180, 120, false}, Caso{-5, -5, true},
                        Caso{180, 180, true}, Caso{-32768, 32767, true}}) {
    const int16_t& scelto = minimo(c.x, c.y);
    EXPECT_EQ(&scelto, c.primo ? &c.x : &c.y) << c.x << ", " << c.y;
    EXPECT_EQ(scelto, std::min(c.x, c.y));
  }
}

TEST(ControlliModelloTest, ReservedPlacesInUseFailWithTheirNumber) {
  struct Caso {
    std::string nome;
    int16_t opz7;
    int16_t dato1;
    int32_t orario;
    int16_t dato2;
    int16_t numero;  // 0: the checks pass
  } casi[] = {
      {"all free", 0, 0, 0, 0, 0},
      {"item 85 opz7 in use", 610, 0, 0, 0, 1250},
      {"cell 1 dato1 in use", 0, 5121, 0, 0, 1250},
      {"item 85 orario in use", 0, 0, 1, 0, 1251},
      {"cell 1 dato2 in use", 0, 0, 0, -1, 1251},
      {"both checks would fail: the first one ends it", 1, 0, 1, 0, 1250},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    ModelloPercorso m = modello_con(10, {});
    m.voce(kVoceScenario).opz7 = c.opz7;
    m.cella(1).dato1 = c.dato1;
    m.voce(kVoceScenario).orario = c.orario;
    m.cella(1).dato2 = c.dato2;
    if (c.numero == 0) {
      controlli_modello(m);
      EXPECT_EQ(m.voce(kVoceScenario).opz7, 610);
      EXPECT_EQ(m.cella(1).dato1, 5121);
      continue;
    }
    try {
      controlli_modello(m);
      ADD_FAILURE() << "the checks did not fail";
    } catch (const ErroreFatale& fatale) {
      EXPECT_EQ(fatale.numero, c.numero);
    }
    if (c.numero == 1251) {
      // The markers are set before the second check.
      EXPECT_EQ(m.voce(kVoceScenario).opz7, 610);
      EXPECT_EQ(m.cella(1).dato1, 5121);
    } else {
      EXPECT_EQ(m.voce(kVoceScenario).opz7, c.opz7);
      EXPECT_EQ(m.cella(1).dato1, c.dato1);
    }
  }
}

TEST(ControlliModelloTest, CodeCellPlacedIntoCellOneFails1250) {
  ModelloPercorso m = modello_con(60, {inizio(21, 120), occupata(3), occupata(2)});
  posa_codici(m);
  try {
    controlli_modello(m);
    ADD_FAILURE() << "the checks did not fail";
  } catch (const ErroreFatale& fatale) {
    EXPECT_EQ(fatale.numero, 1250);
  }
}

}  // namespace
}  // namespace scenario
