#include "toolkit/firma_lsp.h"

#include <gtest/gtest.h>

#include "toolkit/prova_lsp_test.h"

namespace scenario {
namespace {

TEST_F(ServerLspScenarioTest, SignatureHelpFollowsTheFieldBeingTyped) {
  // What an author has typed so far on a new line of the signals.
  const std::string fine = "[codici]";
  struct Caso {
    const char* scritto;
    int64_t attivo;  // -1: no signature
  } casi[] = {
      {"segnale", 0},                                // on the keyword: the first field is next
      {"segnale,", 0},                               // posizione
      {"segnale, 4400", 0},                          //
      {"segnale, 4400,", 1},                         // sx
      {"segnale, 4400, 1 4", 2},                     // a blank alone ends a number
      {"segnale, 4400,1,4,1,0,0,0,0,0,0,", 10},      // tempo, the last
      {"segnale, 4400,1,4,1,0,0,0,0,0,0,0, 9", -1},  // past the entry's fields
      {"bobina, 3", -1},                             // no entry
  };
  std::vector<std::string> messaggi = {kInizio};
  const int riga = riga_con(fine);
  ASSERT_GE(riga, 0);
  int id = 2;
  for (const Caso& c : casi) {
    std::string testo = testo_treno_;
    testo.insert(testo.find(fine), std::string(c.scritto) + "\r\n");
    messaggi.push_back(apri(uri_treno_, testo));
    messaggi.push_back(
        richiesta(id++, "textDocument/signatureHelp",
                  al_punto(uri_treno_, riga, static_cast<int>(std::string(c.scritto).size()))));
  }
  const Conversazione v = conversa(messaggi);
  id = 2;
  for (const Caso& c : casi) {
    const ValoreJson* r = v.risposta(id++);
    ASSERT_NE(r, nullptr) << c.scritto;
    if (c.attivo < 0) {
      EXPECT_EQ((*r)["result"].tipo, ValoreJson::kNullo) << c.scritto;
    } else {
      ASSERT_EQ((*r)["result"].tipo, ValoreJson::kOggetto) << c.scritto;
      EXPECT_EQ((*r)["result"]["activeParameter"].intero, c.attivo) << c.scritto;
    }
  }
}

}  // namespace
}  // namespace scenario
