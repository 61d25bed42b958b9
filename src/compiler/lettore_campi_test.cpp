#include "compiler/lettore_campi.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace scenario {
namespace {

// One read: 't' a text field, 'n' a number field. The expected result is the
// text, the number, or a failure.
struct Lettura {
  char tipo;
  std::variant<std::string, int32_t, std::monostate> atteso;  // monostate: read failure
};

struct Caso {
  const char* nome;
  std::string ingresso;
  std::vector<Lettura> letture;
  bool alla_fine_dopo;  // "at its end" after the last read that succeeded
};

const Lettura kFallisce_n{'n', std::monostate{}};
const Lettura kFallisce_t{'t', std::monostate{}};
Lettura t(const char* s) {
  return {'t', std::string(s)};
}
Lettura n(int32_t v) {
  return {'n', v};
}

TEST(LettoreCampiTest, ReadsFieldsAsTheSourcesAreWritten) {
  const Caso casi[] = {
      {"text then numbers",
       "lunghezza percorso,    31000\r\n",
       {t("lunghezza percorso"), n(31000)},
       true},
      {"spaces before a comma",
       "ripetizione segnali 4 codici,    0    ,0\r\n",
       {t("ripetizione segnali 4 codici"), n(0), n(0)},
       true},
      {"empty number fields read 0",
       "x,  75,  ,  ,  0\r\n",
       {t("x"), n(75), n(0), n(0), n(0)},
       true},
      {"empty field at the line end", "x, 5,\r\ny", {t("x"), n(5), n(0), t("y")}, true},
      {"numbers parted by spaces alone",
       "orologio,    10              31            0 \r\n",
       {t("orologio"), n(10), n(31), n(0)},
       true},
      {"text keeps inner and trailing-in-brackets spaces",
       "cartello_indicatore,  650,   (Cavalcavia)(ex P.L.   )  \r\n",
       {t("cartello_indicatore"), n(650), t("(Cavalcavia)(ex P.L.   )")},
       true},
      {"text ends at the line end", "SAN CATALDO\r\n[fine]", {t("SAN CATALDO"), t("[fine]")}, true},
      {"lone LF and lone CR end lines", "a\nb\rc\r\n", {t("a"), t("b"), t("c")}, true},
      {"a blank line is an empty text", "a\r\n\r\nb", {t("a"), t(""), t("b")}, true},
      {"tabs are blanks", "\tx,\t-12\t,+7", {t("x"), n(-12), n(7)}, true},
      {"a double quote is an ordinary character", "\"a\" b,1", {t("\"a\" b"), n(1)}, true},
      {"the 32-bit limits", "2147483647,-2147483648", {n(2147483647), n(-2147483648)}, true},
      {"last line without a line end", "pendenza, 0, -3", {t("pendenza"), n(0), n(-3)}, true},
      {"a number leaves a following non-comma byte", "1 x", {n(1), t("x")}, true},
      {"letters in a number", "12a", {kFallisce_n}, false},
      {"a point in a number", "3.5,", {kFallisce_n}, false},
      {"a second sign", "+-3", {kFallisce_n}, false},
      {"a sign alone", "- ,", {kFallisce_n}, false},
      {"above the 32-bit range", "2147483648", {kFallisce_n}, false},
      {"below the 32-bit range", "-2147483649", {kFallisce_n}, false},
      {"far above the 32-bit range", "99999999999999999999999", {kFallisce_n}, false},
      {"a text read past the end", "a\r\n", {t("a"), kFallisce_t}, true},
      {"a number read past the end", "a,", {t("a"), kFallisce_n}, true},
      {"only blanks left where a number must start", "a, 1   ", {t("a"), n(1), kFallisce_n}, true},
      {"only blanks left where a text must start", "a\r\n   ", {t("a"), kFallisce_t}, false},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    LettoreCampi in(c.ingresso, "prova.txt");
    bool fallito = false;
    for (const Lettura& l : c.letture) {
      if (std::holds_alternative<std::monostate>(l.atteso)) {
        if (l.tipo == 'n') {
          EXPECT_THROW(in.leggi_numero(), ErroreLettura);
        } else {
          EXPECT_THROW(in.leggi_testo(), ErroreLettura);
        }
        fallito = true;
        break;
      }
      if (l.tipo == 'n') {
        EXPECT_EQ(in.leggi_numero(), std::get<int32_t>(l.atteso));
      } else {
        EXPECT_EQ(in.leggi_testo(), std::get<std::string>(l.atteso));
      }
    }
    if (!fallito) {
      EXPECT_EQ(in.alla_fine(), c.alla_fine_dopo);
    }
  }
}

TEST(LettoreCampiTest, CountsLinesAndColumnsOfEveryField) {
  LettoreCampi in("[generale]\r\n  lunghezza percorso,   31000\nsfondo uno, 1\rx,\r\n\r\n  y",
                  "l.txt");
  struct Atteso {
    char tipo;
    int riga, colonna;
  } attesi[] = {{'t', 1, 1}, {'t', 2, 3}, {'n', 2, 25}, {'t', 3, 1}, {'n', 3, 13},
                {'t', 4, 1}, {'t', 4, 3}, {'t', 5, 1},  {'t', 6, 3}};
  for (const Atteso& a : attesi) {
    if (a.tipo == 'n') {
      in.leggi_numero();
    } else {
      in.leggi_testo();
    }
    EXPECT_EQ(in.luogo_campo(), (LuogoSorgente{"l.txt", a.riga, a.colonna}))
        << a.riga << ":" << a.colonna;
  }
  EXPECT_TRUE(in.alla_fine());
}

TEST(LettoreCampiTest, AFailureNamesWhereTheReaderStands) {
  LettoreCampi in("a, 1\r\npendenza, 1O0", "l.txt");
  in.leggi_testo();
  in.leggi_numero();
  in.leggi_testo();
  try {
    in.leggi_numero();
    FAIL() << "letters in a number field were read";
  } catch (const ErroreLettura& e) {
    EXPECT_EQ(e.luogo().riga, 2);
    EXPECT_EQ(e.luogo().colonna, 12);
    EXPECT_NE(std::string(e.what()).find("l.txt:2:12"), std::string::npos);
  }
}

}  // namespace
}  // namespace scenario
