#include "toolkit/simboli_lsp.h"

#include <gtest/gtest.h>

#include <map>

#include "toolkit/prova_lsp_test.h"

namespace scenario {
namespace {

TEST_F(ServerLspScenarioTest, TheOutlineHoldsEachSectionWithItsEntries) {
  const Conversazione c =
      conversa({kInizio, apri(uri_treno_, testo_treno_),
                richiesta(2, "textDocument/documentSymbol", documento(uri_treno_))});
  const ValoreJson& sezioni = c.ricevuti.back()["result"];
  std::map<std::string, const ValoreJson*> per_nome;
  for (const ValoreJson& s : sezioni.lista) per_nome[s["name"].stringa] = &s;
  ASSERT_TRUE(per_nome.count("[stazioni]"));
  ASSERT_TRUE(per_nome.count("[segnali]"));
  const ValoreJson& stazione = (*per_nome["[stazioni]"])["children"][1];
  EXPECT_EQ(stazione["name"].stringa, "stazione SAN CATALDO");
  EXPECT_EQ(stazione["detail"].stringa, "6600 m");
  const ValoreJson& segnale = (*per_nome["[segnali]"])["children"][0];
  EXPECT_EQ(segnale["name"].stringa, "segnale");
  EXPECT_EQ(segnale["detail"].stringa, "4400 m");
  EXPECT_EQ(segnale["range"]["start"]["line"].intero, riga_con("segnale,    4400,"));
}

}  // namespace
}  // namespace scenario
