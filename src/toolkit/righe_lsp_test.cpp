#include "toolkit/righe_lsp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

// Each field as the reader splits it, and the field a cursor is on.
TEST(RigheLspTest, AnEntrysFieldsAreSplitAsTheReaderReadsThem) {
  struct Caso {
    const char* riga;
    SorgenteFormato sorgente;
    const char* sezione;
    std::vector<std::string> valori;  // the values found on the line, in order
  } casi[] = {
      {"segnale,    4400,   1, 4", SorgenteFormato::kTreno, "[segnali]", {"4400", "1", "4"}},
      // Numbers separated by blanks alone are fields of their own.
      {"orologio,    10              31            0 ",
       SorgenteFormato::kTreno,
       "[generale]",
       {"10", "31", "0"}},
      // Empty fields read as 0; a text field keeps its inner blanks.
      {"indicatori_vmax,  6850,  75,  80,  80,  0,  ,  ,  ,  0",
       SorgenteFormato::kLinea,
       "[cartelli]",
       {"6850", "75", "80", "80", "0", "", "", "", "0"}},
      {"cartello_indicatore,  3250,   (Sotto via)  ",
       SorgenteFormato::kLinea,
       "[indicazioni]",
       {"3250", "(Sotto via)"}},
      // The line ends after a comma: the next field is there, empty.
      {"segnale, 4400,", SorgenteFormato::kTreno, "[segnali]", {"4400", ""}},
  };
  for (const Caso& c : casi) {
    const auto v = voce_in_riga(c.riga, c.sorgente, c.sezione);
    ASSERT_TRUE(v) << c.riga;
    std::vector<std::string> valori;
    for (const CampoInRiga& f : v->campi) {
      valori.push_back(std::string(std::string_view(c.riga).substr(f.da, f.a - f.da)));
    }
    EXPECT_EQ(valori, c.valori) << c.riga;
  }
  EXPECT_FALSE(voce_in_riga("[segnali]", SorgenteFormato::kTreno, ""));
  EXPECT_FALSE(voce_in_riga("  -segnale, 4400", SorgenteFormato::kTreno, "[segnali]"));
  // The route's general entries only in its general section.
  EXPECT_FALSE(voce_in_riga("lunghezza percorso, 31000", SorgenteFormato::kLinea, "[curve]"));
}

TEST(RigheLspTest, TheCursorIsOnTheFieldWhoseReadingItFollows) {
  const std::string riga = "orologio,  10 31,   0, 9";
  const auto v = voce_in_riga(riga, SorgenteFormato::kTreno, "[generale]");
  ASSERT_TRUE(v);
  struct Caso {
    size_t colonna;
    size_t campo;
  } casi[] = {
      {0, 0},  {8, 0},  {9, 1},  {12, 1}, {13, 1},  // up to the blank after 10
      {14, 2}, {16, 2}, {17, 3}, {21, 3},           // after a comma
      {22, 4}, {24, 4},                             // left over: the entry has three fields
  };
  for (const Caso& c : casi) EXPECT_EQ(campo_alla_colonna(*v, c.colonna), c.campo) << c.colonna;
  EXPECT_EQ(numero_del_campo(riga, *v, 1), 31);
  EXPECT_EQ(numero_del_campo(riga, *v, 5), std::nullopt);
}

TEST(RigheLspTest, LinesKnowTheirSectionWhateverEndsThem) {
  const std::string testo = "[generale]\r\nsabbia, 1\n  [segnali]  \rsegnale, 1";
  const std::vector<RigaTesto> righe = righe_lsp(testo);
  ASSERT_EQ(righe.size(), 4u);
  EXPECT_EQ(righe[1].testo, "sabbia, 1");
  EXPECT_EQ(righe[1].sezione, "[generale]");
  EXPECT_EQ(righe[3].sezione, "[segnali]");
  ASSERT_TRUE(riga_lsp(testo, 3));
  EXPECT_EQ(riga_lsp(testo, 3)->testo, "segnale, 1");
  EXPECT_FALSE(riga_lsp(testo, 4));
}

}  // namespace
}  // namespace scenario
