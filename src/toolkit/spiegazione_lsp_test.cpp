#include "toolkit/spiegazione_lsp.h"

#include <gtest/gtest.h>

#include <string>

#include "toolkit/prova_lsp_test.h"

namespace scenario {
namespace {

std::string testo_di(const Conversazione& c, int64_t id) {
  const ValoreJson* r = c.risposta(id);
  if (r == nullptr || (*r)["result"].tipo != ValoreJson::kOggetto) return "";
  return (*r)["result"]["contents"]["value"].stringa;
}

TEST_F(ServerLspScenarioTest, HoverTellsTheFieldAndWhatItBecomes) {
  const int segnale = riga_con("segnale,    4400,");
  const int orologio = riga_con("orologio,");
  // The second signal moved onto the first one's cell: the reading stops there.
  const std::string rotto = treno_con("segnale,    5600,", "segnale,    4400,");
  const Conversazione c = conversa(
      {kInizio, apri(uri_treno_, rotto), apri(uri_linea_, testo_linea_),
       richiesta(2, "textDocument/hover", al_punto(uri_treno_, segnale, 2)),
       richiesta(3, "textDocument/hover", al_punto(uri_treno_, orologio, 27)),
       richiesta(4, "textDocument/hover", al_punto(uri_treno_, riga_con("segnale,   17300,"), 13)),
       richiesta(5, "textDocument/hover",
                 al_punto(uri_linea_, riga_con(testo_linea_, "montagna,"), 20)),
       richiesta(6, "textDocument/hover", al_punto(uri_treno_, riga_con("[segnali]"), 2)),
       richiesta(7, "textDocument/hover", al_punto(uri_treno_, segnale + 1, 13))});
  // The keyword: the entry and its fields.
  EXPECT_NE(testo_di(c, 2).find("**segnale** (service source, [segnali]): a signal"),
            std::string::npos)
      << testo_di(c, 2);
  EXPECT_NE(testo_di(c, 2).find("Fields: posizione, sx, s1"), std::string::npos);
  // Numbers separated by blanks alone: the second is the minutes.
  EXPECT_NE(testo_di(c, 3).find("Field 2, `minuti` (min)"), std::string::npos) << testo_di(c, 3);
  // A signal after the one the reading stopped at.
  EXPECT_NE(testo_di(c, 4).find("Not in the compiled model: cell 347 holds no signal (the "
                                "reading stopped at error 16"),
            std::string::npos)
      << testo_di(c, 4);
  // The signal the reading stopped at.
  EXPECT_NE(testo_di(c, 7).find("Not in the compiled model: the reading stopped at this entry, "
                                "error 16"),
            std::string::npos)
      << testo_di(c, 7);
  // A route place: the montagna's end is the cell before it.
  EXPECT_NE(testo_di(c, 5).find("Field 2, `fine` (m)"), std::string::npos) << testo_di(c, 5);
  EXPECT_NE(testo_di(c, 5).find(", in cell "), std::string::npos) << testo_di(c, 5);
  // A header explains nothing.
  EXPECT_EQ((*c.risposta(6))["result"].tipo, ValoreJson::kNullo);
}

}  // namespace
}  // namespace scenario
