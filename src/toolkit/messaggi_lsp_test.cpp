#include "toolkit/messaggi_lsp.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace scenario {
namespace {

// What a stream reads as, one read after the other up to its end.
std::vector<MessaggioLsp::Esito> esiti(const std::string& flusso) {
  std::istringstream in(flusso);
  std::vector<MessaggioLsp::Esito> e;
  while (e.empty() || e.back() != MessaggioLsp::kFine) e.push_back(leggi_messaggio_lsp(in).esito);
  return e;
}

TEST(MessaggiLspTest, ABodyTheStreamDoesNotHoldWholeEndsIt) {
  using E = MessaggioLsp::Esito;
  struct Caso {
    const char* nome;
    std::string flusso;
    std::vector<E> attesi;
  };
  const std::string piu_del_massimo = std::to_string(kMassimoCorpoLsp + 1);
  const Caso casi[] = {
      {"a length within the bound, cut off", "Content-Length: 200000000\r\n\r\n{}", {E::kFine}},
      {"a length past the bound, cut off",
       "Content-Length: " + piu_del_massimo + "\r\n\r\n{}",
       {E::kFine}},
      {"a length past the bound, beyond the figures kept",
       "Content-Length: 99999999999999999999\r\n\r\n{}",
       {E::kFine}},
      {"a whole body, then one cut off",
       "Content-Length: 2\r\n\r\n{}Content-Length: 3\r\n\r\n[]",
       {E::kMessaggio, E::kFine}},
  };
  for (const Caso& c : casi) EXPECT_EQ(esiti(c.flusso), c.attesi) << c.nome;
}

TEST(MessaggiLspTest, ALongBodyReadsWholeAcrossTheReadersPieces) {
  const std::string corpo(200000, 'x');
  std::istringstream in("Content-Length: 200000\r\n\r\n" + corpo);
  const MessaggioLsp m = leggi_messaggio_lsp(in);
  EXPECT_EQ(m.esito, MessaggioLsp::kMessaggio);
  EXPECT_EQ(m.corpo, corpo);
}

TEST(MessaggiLspTest, FramingSurvivesMalformedHeaders) {
  struct Caso {
    const char* nome;
    std::string flusso;
    std::vector<MessaggioLsp::Esito> esiti;  // until the end
    std::string primo_corpo;
  } casi[] = {
      {"plain", "Content-Length: 2\r\n\r\n{}", {MessaggioLsp::kMessaggio}, "{}"},
      {"other headers, any case, a lone LF",
       "content-type: application/vscode-jsonrpc\ncontent-LENGTH:  3 \n\n[1]",
       {MessaggioLsp::kMessaggio},
       "[1]"},
      {"blank lines between messages",
       "\r\n\r\nContent-Length: 1\r\n\r\n1",
       {MessaggioLsp::kMessaggio},
       "1"},
      {"no length, then a good message",
       "Content-Type: x\r\n\r\nContent-Length: 1\r\n\r\n1",
       {MessaggioLsp::kIntestazione, MessaggioLsp::kMessaggio},
       ""},
      {"a length that is no number",
       "Content-Length: 1x\r\n\r\n",
       {MessaggioLsp::kIntestazione},
       ""},
      {"a line with no colon", "garbage\r\n\r\n", {MessaggioLsp::kIntestazione}, ""},
      {"a body cut off by the end", "Content-Length: 10\r\n\r\n{}", {}, ""},
      {"a header cut off by the end", "Content-Len", {}, ""},
  };
  for (const Caso& c : casi) {
    std::istringstream in(c.flusso);
    std::vector<MessaggioLsp::Esito> esiti;
    std::string primo;
    for (MessaggioLsp m = leggi_messaggio_lsp(in); m.esito != MessaggioLsp::kFine;
         m = leggi_messaggio_lsp(in)) {
      if (esiti.empty()) primo = m.corpo;
      esiti.push_back(m.esito);
      if (m.esito == MessaggioLsp::kIntestazione) {
        EXPECT_FALSE(m.perche.empty()) << c.nome;
      }
    }
    EXPECT_EQ(esiti, c.esiti) << c.nome;
    EXPECT_EQ(primo, c.primo_corpo) << c.nome;
  }
}

}  // namespace
}  // namespace scenario
