#include "model/diagnostica.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

Diagnostica errore_15() {
  Diagnostica d;
  d.luogo = {"percorso/Prova_linea.txt", 12, 3};
  d.codice = 15;
  d.messaggio = "a feature lies beyond the end of the route";
  d.posizione = 40000;
  d.riga_sorgente = "  pendenza,  40000,   1";
  return d;
}

TEST(DiagnosticaTest, AnErrorShowsPlaceCodeSentencePositionThenTheLineAndACaret) {
  EXPECT_EQ(formatta_diagnostica(errore_15()),
            "percorso/Prova_linea.txt:12:3: error 15: a feature lies beyond the end of the route "
            "(position 40000 m)\n"
            "  pendenza,  40000,   1\n"
            "  ^\n");
}

TEST(DiagnosticaTest, TheCaretCountsCharactersAndKeepsTabs) {
  Diagnostica d = errore_15();
  // Column 5 in Windows-1252 bytes: a tab, "è" (one byte there, two in UTF-8), two more.
  d.riga_sorgente = "\t\u00e8x,pendenza";
  d.luogo.colonna = 5;
  EXPECT_EQ(formatta_diagnostica(d).substr(formatta_diagnostica(d).find('\n') + 1),
            "\t\u00e8x,pendenza\n\t   ^\n");
}

TEST(DiagnosticaTest, WarningsCarryTheirNameAndTheirErrorFormUnderWerror) {
  Diagnostica d;
  d.livello = Livello::kAvviso;
  d.luogo = {"a.txt", 4, 1};
  d.avviso = "unknown-keyword";
  d.messaggio = "\"pendnza\" is not a keyword";
  EXPECT_EQ(prima_riga_diagnostica(d),
            "a.txt:4:1: warning: \"pendnza\" is not a keyword [-Wunknown-keyword]");
  d.livello = Livello::kErrore;
  EXPECT_EQ(prima_riga_diagnostica(d),
            "a.txt:4:1: error: \"pendnza\" is not a keyword [-Werror=unknown-keyword]");
}

TEST(DiagnosticaTest, WithoutAPlaceTheProgramNameLeadsAndNoSourceLineFollows) {
  Diagnostica d;
  d.codice = 12;
  d.messaggio = "no room";
  d.posizione = 5000;
  EXPECT_EQ(formatta_diagnostica(d, "scenario"), "scenario: error 12: no room (position 5000 m)\n");
  EXPECT_EQ(formatta_diagnostica(d), "error 12: no room (position 5000 m)\n");
  d.luogo = {"a.txt", 0, 0};  // a file but no line: its name alone
  EXPECT_EQ(formatta_diagnostica(d), "a.txt: error 12: no room (position 5000 m)\n");
}

TEST(DiagnosticaTest, TheModelsErrorShowsAPositionOnlyForCodesThatRecordOne) {
  ModelloPercorso m;
  m.codice_errore = 16;
  m.posizione_errore = 4400;
  m.luogo_errore = {"t.txt", 7, 1};
  Diagnostica d = diagnostica_errore(m);
  EXPECT_EQ(d.codice, 16);
  EXPECT_EQ(d.posizione, 4400);
  EXPECT_EQ(d.luogo, m.luogo_errore);
  EXPECT_FALSE(d.messaggio.empty());
  // 10 records no position: whatever posizione_errore holds says nothing about it.
  m.codice_errore = 10;
  EXPECT_EQ(diagnostica_errore(m).posizione, std::nullopt);
  EXPECT_EQ(prima_riga_diagnostica(diagnostica_errore(m)).find("position"), std::string::npos);
}

TEST(DiagnosticaTest, FindsALineWhateverEndsTheLinesBeforeIt) {
  const std::string testo = "uno\r\ndue\nCitt\xE0\rquattro\r\n\r\nsei";
  EXPECT_EQ(riga_del_testo(testo, 1), "uno");
  EXPECT_EQ(riga_del_testo(testo, 2), "due");
  EXPECT_EQ(riga_del_testo(testo, 3), "Citt\u00e0");
  EXPECT_EQ(riga_del_testo(testo, 4), "quattro");
  EXPECT_EQ(riga_del_testo(testo, 5), "");
  EXPECT_EQ(riga_del_testo(testo, 6), "sei");
  EXPECT_EQ(riga_del_testo(testo, 7), "");
  EXPECT_EQ(riga_del_testo(testo, 0), "");
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

TEST(DiagnosticaTest, TheCaretUnderlinesTheFieldAndALongLineIsCutAroundIt) {
  Diagnostica d;
  d.luogo = {"t.txt", 3, 10};
  d.larghezza = 4;
  d.messaggio = "m";
  d.riga_sorgente = "segnale, 12.5, 1";
  EXPECT_EQ(formatta_diagnostica(d), "t.txt:3:10: error: m\nsegnale, 12.5, 1\n         ^~~~\n");

  // A field past the end of a short line still gets its caret.
  d.luogo.colonna = 17;
  d.larghezza = 0;
  EXPECT_EQ(formatta_diagnostica(d), "t.txt:3:17: error: m\nsegnale, 12.5, 1\n                ^\n");

  // 300 characters, the field at column 201: shown from 30 before it, 100 wide.
  d.riga_sorgente = std::string(200, 'a') + "XYZ" + std::string(97, 'b');
  d.luogo.colonna = 201;
  d.larghezza = 3;
  const std::string atteso = "t.txt:3:201: error: m\n..." + std::string(30, 'a') + "XYZ" +
                             std::string(67, 'b') + "...\n" + std::string(33, ' ') + "^~~\n";
  EXPECT_EQ(formatta_diagnostica(d), atteso);
}

}  // namespace
}  // namespace scenario
