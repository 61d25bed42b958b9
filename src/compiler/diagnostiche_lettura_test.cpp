#include "compiler/avvisi_lettura.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

TEST(AvvisiLetturaTest, SuggestsTheNearestKeywordOnlyForLikelyTypingMistakes) {
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

TEST(AvvisiLetturaTest, WarnsOncePerLineAboutAWordThatIsNoKeyword) {
  AvvisiLettura avvisi({});
  // An unrecognised entry: its keyword, then its numbers read one by one in keyword position.
  avvisi.campo_ignorato({"l.txt", 15, 1}, "pendnza");
  avvisi.campo_ignorato({"l.txt", 15, 10}, "1000");
  avvisi.campo_ignorato({"l.txt", 15, 16}, "5");
  // Numbers and empty fields that reach keyword position alone, and a curve
  // skipped on purpose without a plan table, are no mistakes worth a word.
  avvisi.campo_ignorato({"l.txt", 16, 1}, "  25 ");
  avvisi.campo_ignorato({"l.txt", 17, 1}, "curvad4");
  avvisi.campo_ignorato({"t.txt", 15, 1}, "stazioni");
  ASSERT_EQ(avvisi.diagnostiche().size(), 2u);
  const Diagnostica& d = avvisi.diagnostiche()[0];
  EXPECT_EQ(d.livello, Livello::kAvviso);
  EXPECT_EQ(d.avviso, "unknown-keyword");
  EXPECT_EQ(d.luogo, (LuogoSorgente{"l.txt", 15, 1}));
  EXPECT_EQ(d.codice, 0);
  EXPECT_EQ(d.messaggio,
            "\"pendnza\" is not a keyword; it is ignored with the rest of its line; did you mean "
            "\"pendenza\"?");
  EXPECT_EQ(avvisi.diagnostiche()[1].luogo, (LuogoSorgente{"t.txt", 15, 1}));
}

TEST(AvvisiLetturaTest, AKeywordOutOfItsSectionIsNamedSo) {
  AvvisiLettura avvisi({});
  avvisi.campo_ignorato({"l.txt", 30, 1}, "sfondo uno");
  ASSERT_EQ(avvisi.diagnostiche().size(), 1u);
  EXPECT_EQ(avvisi.diagnostiche()[0].messaggio,
            "\"sfondo uno\" is a keyword of another section or source; it is ignored here with "
            "the rest of its line");
}

TEST(AvvisiLetturaTest, NoNameTurnsAWarningOffAndWerrorMakesItAnError) {
  OpzioniAvvisi spento;
  spento.spenti.insert("unknown-keyword");
  AvvisiLettura zitto(spento);
  zitto.campo_ignorato({"l.txt", 15, 1}, "pendnza");
  EXPECT_TRUE(zitto.diagnostiche().empty());

  OpzioniAvvisi errori;
  errori.come_errori = true;
  AvvisiLettura severo(errori);
  severo.campo_ignorato({"l.txt", 15, 1}, "pendnza");
  ASSERT_EQ(severo.diagnostiche().size(), 1u);
  EXPECT_EQ(severo.diagnostiche()[0].livello, Livello::kErrore);
  EXPECT_EQ(severo.diagnostiche()[0].avviso, "unknown-keyword");
}

}  // namespace
}  // namespace scenario
