#include "toolkit/suggerimenti_lsp.h"

#include <gtest/gtest.h>

#include <set>

#include "toolkit/prova_lsp_test.h"

namespace scenario {
namespace {

TEST_F(ServerLspScenarioTest, InlayHintsNameEachValueOfTheEntriesInRange) {
  const int orologio = riga_con("orologio,");
  const int stazione = riga_con("stazione,       0,");
  const auto suggerimenti = [&](int id, int prima, int ultima) {
    return richiesta(id, "textDocument/inlayHint",
                     R"({"textDocument":{"uri":)" + stringa_json(uri_treno_) +
                         R"(},"range":{"start":{"line":)" + std::to_string(prima) +
                         R"(,"character":0},"end":{"line":)" + std::to_string(ultima) +
                         R"(,"character":0}}})");
  };
  const Conversazione c =
      conversa({kInizio, apri(uri_treno_, testo_treno_), suggerimenti(2, orologio, orologio),
                suggerimenti(3, stazione - 1, stazione)});
  // Numbers separated by blanks alone: each gets its name, where it starts.
  const ValoreJson& o = (*c.risposta(2))["result"];
  ASSERT_EQ(o.lista.size(), 3u);
  EXPECT_EQ(o[1]["label"].stringa, "minuti:");
  EXPECT_EQ(o[1]["position"]["character"].intero,
            static_cast<int64_t>(testo_treno_.substr(testo_treno_.find("orologio,")).find("31")));
  // The header above holds none; the station all seventeen, its name last.
  const ValoreJson& s = (*c.risposta(3))["result"];
  ASSERT_EQ(s.lista.size(), 17u);
  std::set<int64_t> righe;
  for (const ValoreJson& h : s.lista) righe.insert(h["position"]["line"].intero);
  EXPECT_EQ(righe, std::set<int64_t>{stazione});
  EXPECT_EQ(s[16]["label"].stringa, "nome:");
}

}  // namespace
}  // namespace scenario
