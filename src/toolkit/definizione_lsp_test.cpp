#include "toolkit/definizione_lsp.h"

#include <gtest/gtest.h>

#include <string>

#include "toolkit/prova_lsp_test.h"

namespace scenario {
namespace {

TEST_F(ServerLspScenarioTest, DefinitionLinksAServiceEntryAndTheRouteStretchItStandsOn) {
  // A curve over the first signal, at 4400 m.
  std::string linea = testo_linea_;
  const std::string dopo = "curvas5,  3800,  200";
  ASSERT_NE(linea.find(dopo), std::string::npos);
  linea.insert(linea.find(dopo) + dopo.size(), "\r\ncurvad4,  4350,  100");
  const int curva = riga_con(linea, "curvad4,  4350,");
  const int pendenza = riga_con(linea, "pendenza,  4200,");
  const int segnale = riga_con("segnale,    4400,");
  const Conversazione c = conversa(
      {kInizio, apri(uri_linea_, linea), apri(uri_treno_, testo_treno_),
       richiesta(2, "textDocument/definition", al_punto(uri_treno_, segnale, 0)),
       richiesta(3, "textDocument/definition", al_punto(uri_linea_, curva, 0)),
       richiesta(4, "textDocument/definition", al_punto(uri_treno_, riga_con("sabbia,"), 0)),
       richiesta(5, "textDocument/definition", al_punto(uri_linea_, 0, 0))});
  const ValoreJson& avanti = (*c.risposta(2))["result"];
  ASSERT_EQ(avanti.lista.size(), 2u);
  EXPECT_EQ(avanti[0]["uri"].stringa, uri_linea_);
  EXPECT_EQ(avanti[0]["range"]["start"]["line"].intero, pendenza);
  EXPECT_EQ(avanti[1]["range"]["start"]["line"].intero, curva);
  EXPECT_EQ(avanti[1]["range"]["end"]["character"].intero, 20);  // the entry, not the line end
  const ValoreJson& indietro = (*c.risposta(3))["result"];
  ASSERT_EQ(indietro.lista.size(), 1u);
  EXPECT_EQ(indietro[0]["uri"].stringa, uri_treno_);
  EXPECT_EQ(indietro[0]["range"]["start"]["line"].intero, segnale);
  // An entry with no place on the route, and a line with no entry: nothing.
  EXPECT_EQ((*c.risposta(4))["result"].tipo, ValoreJson::kNullo);
  EXPECT_EQ((*c.risposta(5))["result"].tipo, ValoreJson::kNullo);
}

}  // namespace
}  // namespace scenario
