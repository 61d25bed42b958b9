#include "compiler/diagnostiche_lettura.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "compiler/formato.h"

namespace scenario {
namespace {

// An entry the observer is told about by its place alone.
VoceLetta voce_a(LuogoSorgente luogo) {
  VoceLetta v;
  v.luogo = std::move(luogo);
  return v;
}

TEST(DiagnosticheLetturaTest, SuggestsTheNearestKeywordOnlyForLikelyTypingMistakes) {
  const struct {
    const char* campo;
    const char* attesa;
  } casi[] = {
      {"pendnza", "pendenza"},
      {"  PENDEZNA ", "pendenza"},
      {"stazioni", "stazione"},
      {"segnal", "segnale"},
      {"velocit\xE0", "velocita"},  // "velocità" in Windows-1252
      {"numero vettue", "numero vetture"},
      {"cartello_indicatre", "cartello_indicatore"},
      {"xyz", ""},
      {"ORIGINE", ""},
      {"(Sottovia)", ""},
  };
  for (const auto& c : casi) EXPECT_EQ(parola_chiave_vicina(c.campo), c.attesa) << c.campo;
}

// The nearest keyword by a plain, unbounded edit distance: the first of the
// nearest, kept when within a third of its letters (one for the shortest).
std::string vicina_per_ricerca_intera(const std::string& campo) {
  const auto distanza = [](std::string_view a, std::string_view b) {
    std::vector<std::vector<size_t>> t(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) t[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) t[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
      for (size_t j = 1; j <= b.size(); ++j) {
        t[i][j] = std::min(
            {t[i - 1][j] + 1, t[i][j - 1] + 1, t[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      }
    }
    return t[a.size()][b.size()];
  };
  std::string migliore;
  size_t d_migliore = SIZE_MAX;
  for (const VoceFormato& v : voci_formato()) {
    const size_t d = distanza(campo, v.parola);
    if (d < d_migliore) {
      d_migliore = d;
      migliore = v.parola;
    }
  }
  return d_migliore <= std::max<size_t>(1, migliore.size() / 3) ? migliore : "";
}

TEST(DiagnosticheLetturaTest, TheNearestKeywordIsTheOneAFullSearchFinds) {
  // Every keyword with up to two letters dropped, changed or doubled, and
  // words near none: the search that gives up early agrees on each.
  std::vector<std::string> campi = {"", "a", "zz", "xyzxyzxyzxyz", "segnalesegnale"};
  for (const VoceFormato& v : voci_formato()) {
    const std::string p(v.parola);
    campi.push_back(p);
    for (size_t i = 0; i < p.size(); ++i) {
      std::string tolta = p, cambiata = p, doppia = p;
      tolta.erase(i, 1);
      cambiata[i] = cambiata[i] == 'q' ? 'w' : 'q';
      doppia.insert(i, 1, p[i]);
      campi.insert(campi.end(), {tolta, cambiata, doppia});
      if (i + 2 < p.size()) campi.push_back(tolta.erase(i + 1, 1));
    }
  }
  for (const std::string& c : campi) {
    if (c.empty()) continue;
    EXPECT_EQ(parola_chiave_vicina(c), vicina_per_ricerca_intera(c)) << '"' << c << '"';
  }
}

TEST(DiagnosticheLetturaTest, WarnsOncePerLineAboutAWordThatIsNoKeyword) {
  DiagnosticheLettura avvisi({});
  // An unrecognised entry: its keyword, then its numbers read one by one in keyword position.
  avvisi.campo_ignorato({"l.txt", 15, 1}, "pendnza");
  avvisi.campo_ignorato({"l.txt", 15, 10}, "1000");
  avvisi.campo_ignorato({"l.txt", 15, 16}, "5");
  // Numbers and empty fields that reach keyword position alone, and a curve
  // skipped on purpose without a plan table, are no mistakes worth a word.
  avvisi.campo_ignorato({"l.txt", 16, 1}, "  25 ");
  avvisi.campo_ignorato({"l.txt", 17, 1}, "curvad4");
  avvisi.campo_ignorato({"t.txt", 15, 1}, "stazioni");
  ASSERT_EQ(avvisi.osservate().size(), 2u);
  const Diagnostica& d = avvisi.osservate()[0];
  EXPECT_EQ(d.livello, Livello::kAvviso);
  EXPECT_EQ(d.avviso, "unknown-keyword");
  EXPECT_EQ(d.luogo, (LuogoSorgente{"l.txt", 15, 1}));
  EXPECT_EQ(d.codice, 0);
  EXPECT_EQ(d.messaggio,
            "\"pendnza\" is not a keyword; it is ignored with the rest of its line; did you mean "
            "\"pendenza\"?");
  EXPECT_EQ(avvisi.osservate()[1].luogo, (LuogoSorgente{"t.txt", 15, 1}));
}

TEST(DiagnosticheLetturaTest, AKeywordOutOfItsSectionIsNamedSo) {
  DiagnosticheLettura avvisi({});
  avvisi.campo_ignorato({"l.txt", 30, 1}, "sfondo uno");
  ASSERT_EQ(avvisi.osservate().size(), 1u);
  EXPECT_EQ(avvisi.osservate()[0].messaggio,
            "\"sfondo uno\" is a keyword of another section or source; it is ignored here with "
            "the rest of its line");
}

TEST(DiagnosticheLetturaTest, NoNameTurnsAWarningOffAndWerrorMakesItAnError) {
  OpzioniAvvisi spento;
  spento.spenti.insert("unknown-keyword");
  DiagnosticheLettura zitto(spento);
  zitto.campo_ignorato({"l.txt", 15, 1}, "pendnza");
  EXPECT_TRUE(zitto.osservate().empty());

  OpzioniAvvisi errori;
  errori.come_errori = true;
  DiagnosticheLettura severo(errori);
  severo.campo_ignorato({"l.txt", 15, 1}, "pendnza");
  ASSERT_EQ(severo.osservate().size(), 1u);
  EXPECT_EQ(severo.osservate()[0].livello, Livello::kErrore);
  EXPECT_EQ(severo.osservate()[0].avviso, "unknown-keyword");
}

TEST(DiagnosticheLetturaTest, RecordedErrorsStayAtTheirCauseAndTheModelAddsWhatNoRecordingTold) {
  DiagnosticheLettura lettura({});
  ModelloPercorso m;
  // A gradient beyond the route ends the route source's reading with 15; the
  // code still stands when the service source reaches its first signal.
  lettura.errore_registrato(voce_a({"l.txt", 9, 1}), 15, 20000, "");
  lettura.errore_registrato(voce_a({"t.txt", 6, 1}), 15, 1400, "");
  m.codice_errore = 15;
  m.posizione_errore = 1400;
  std::vector<Diagnostica> d = lettura.diagnostiche(m);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(prima_riga_diagnostica(d[0]),
            "l.txt:9:1: error 15: a feature lies beyond the end of the route (position 20000 m)");
  EXPECT_EQ(prima_riga_diagnostica(d[1]),
            "t.txt:6:1: note: reading of this source stops here with error 15 still standing "
            "(position 1400 m)");

  // The chainage check at the end replaces 15 with 2, which no entry records.
  m.codice_errore = 2;
  m.luogo_errore = {"l.txt", 0, 0};
  d = lettura.diagnostiche(m);
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[2].codice, 2);
  EXPECT_EQ(prima_riga_diagnostica(d[2]).rfind("l.txt: error 2: ", 0), 0u);

  // A read failure says what failed.
  DiagnosticheLettura guasto({});
  guasto.errore_registrato(voce_a({"l.txt", 9, 1}), 25, 0, "column 17: a number field holds 'a'");
  m.codice_errore = 25;
  m.posizione_errore = 0;
  d = guasto.diagnostiche(m);
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0].messaggio,
            "an entry is malformed, incomplete or outside the limits of the route model: column "
            "17: a number field holds 'a'");
  EXPECT_EQ(d[0].posizione, std::nullopt);
}

}  // namespace
}  // namespace scenario
