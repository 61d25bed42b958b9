#include "toolkit/completamento_lsp.h"

#include <gtest/gtest.h>

#include "toolkit/prova_lsp_test.h"

namespace scenario {
namespace {

TEST_F(ServerLspScenarioTest, CompletionOffersTheSectionsKeywordsWithTheirFields) {
  const int riga = riga_con("segnale,    4400,");
  ASSERT_GE(riga, 0);
  const Conversazione c =
      conversa({kInizio, apri(uri_treno_, testo_treno_),
                richiesta(2, "textDocument/completion", al_punto(uri_treno_, riga, 0)),
                richiesta(3, "textDocument/completion", al_punto(uri_treno_, riga, 12))});
  const ValoreJson& inizio = (*c.risposta(2))["result"];
  bool segnale = false, intestazione = false, stazione = false;
  for (const ValoreJson& v : inizio.lista) {
    if (v["label"].stringa == "segnale") {
      segnale = true;
      EXPECT_EQ(v["insertText"].stringa.rfind("segnale, ${1:posizione}, ${2:", 0), 0u)
          << v["insertText"].stringa;
      EXPECT_EQ(v["insertTextFormat"].intero, 2);
    }
    stazione = stazione || v["label"].stringa == "stazione";  // another section's entry
    intestazione = intestazione || v["label"].stringa == "[segnali]";
  }
  EXPECT_TRUE(segnale);
  EXPECT_FALSE(stazione);
  EXPECT_TRUE(intestazione);
  // After the keyword, inside the entry: nothing.
  EXPECT_TRUE((*c.risposta(3))["result"].lista.empty());
}

}  // namespace
}  // namespace scenario
