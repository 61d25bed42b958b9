#include "toolkit/messaggi_lsp.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace scenario {
namespace {

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
