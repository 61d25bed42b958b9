#include "toolkit/server_lsp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file_atomico.h"
#include "platform/percorsi_utf8.h"
#include "prove/cartella_temporanea_test.h"
#include "text/cp1252.h"
#include "text/lettore_json.h"
#include "text/nomi_file.h"
#include "text/scenario_testi.h"
#include "toolkit/json.h"
#include "toolkit/messaggi_lsp.h"

namespace scenario {
namespace {

std::string incornicia(const std::string& corpo) {
  return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

struct Conversazione {
  int stato = -1;
  std::vector<ValoreJson> ricevuti;
};

// Runs the server on the framed messages (and whatever raw bytes are given
// in place of one, for a broken client) and reads back what it answered.
Conversazione conversa(const std::vector<std::string>& grezzi) {
  std::string tutto;
  for (const std::string& g : grezzi) tutto += g;
  std::istringstream in(tutto);
  std::ostringstream out;
  Conversazione c;
  c.stato = esegui_server_lsp(in, out);
  std::istringstream risposte(out.str());
  while (true) {
    MessaggioLsp m = leggi_messaggio_lsp(risposte);
    if (m.esito != MessaggioLsp::kMessaggio) break;
    c.ricevuti.push_back(leggi_json(m.corpo));
  }
  return c;
}

std::string richiesta(int id, const std::string& metodo, const std::string& parametri = "{}") {
  return incornicia(R"({"jsonrpc":"2.0","id":)" + std::to_string(id) + R"(,"method":")" + metodo +
                    R"(","params":)" + parametri + "}");
}
std::string notifica(const std::string& metodo, const std::string& parametri = "{}") {
  return incornicia(R"({"jsonrpc":"2.0","method":")" + metodo + R"(","params":)" + parametri + "}");
}
const std::string kInizio = richiesta(1, "initialize", R"({"capabilities":{}})");

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

TEST(ServerLspTest, AnswersEveryRequestAsTheProtocolSays) {
  struct Caso {
    const char* nome;
    std::vector<std::string> messaggi;
    // The last message received: its error code, or 0 for a result.
    int64_t codice;
  } casi[] = {
      {"a request before initialize", {richiesta(7, "shutdown")}, -32002},
      {"malformed JSON", {kInizio, incornicia(R"({"jsonrpc":"2.0","id":2,)")}, -32700},
      {"a header without a length", {kInizio, "X: 1\r\n\r\n"}, -32700},
      {"not JSON-RPC 2.0", {kInizio, incornicia(R"({"id":2,"method":"shutdown"})")}, -32600},
      {"an id that is an object",
       {kInizio, incornicia(R"({"jsonrpc":"2.0","id":{},"method":"shutdown"})")},
       -32600},
      {"an unknown method", {kInizio, richiesta(2, "textDocument/frobnicate")}, -32601},
      {"initialize without an object", {richiesta(1, "initialize", "[]")}, -32602},
      {"initialize twice", {kInizio, kInizio}, -32600},
      {"a request after shutdown",
       {kInizio, richiesta(2, "shutdown"), richiesta(3, "shutdown")},
       -32600},
      {"initialize", {kInizio}, 0},
      {"shutdown", {kInizio, richiesta(2, "shutdown")}, 0},
      {"notifications get no answer",
       {kInizio, notifica("initialized"), notifica("$/cancelRequest", R"({"id":1})"),
        notifica("textDocument/didChange",
                 R"({"textDocument":{"uri":"file:///not/open_linea.txt","version":2},)"
                 R"("contentChanges":[{"text":"x"}]})"),
        notifica("textDocument/didClose", R"({"textDocument":{"uri":"file:///not/open.txt"}})"),
        notifica("textDocument/didOpen", R"({"textDocument":7})")},
       0},
  };
  for (const Caso& c : casi) {
    const Conversazione v = conversa(c.messaggi);
    ASSERT_FALSE(v.ricevuti.empty()) << c.nome;
    const ValoreJson& ultimo = v.ricevuti.back();
    EXPECT_EQ(ultimo["jsonrpc"].stringa, "2.0") << c.nome;
    if (c.codice == 0) {
      EXPECT_TRUE(ultimo.ha("result")) << c.nome;
    } else {
      ASSERT_TRUE(ultimo.ha("error")) << c.nome;
      EXPECT_EQ(ultimo["error"]["code"].intero, c.codice) << c.nome;
      EXPECT_FALSE(ultimo["error"]["message"].stringa.empty()) << c.nome;
    }
    EXPECT_EQ(v.stato, 1) << c.nome;  // the stream ended without exit
  }
  // Parse errors are answered with a null id; the others with the request's.
  EXPECT_EQ(conversa({kInizio, incornicia("{")}).ricevuti.back()["id"].tipo, ValoreJson::kNullo);
  EXPECT_EQ(conversa({incornicia(R"({"jsonrpc":"2.0","id":"a","method":"x"})")})
                .ricevuti.back()["id"]
                .stringa,
            "a");
  const ValoreJson capacita = conversa({kInizio}).ricevuti[0]["result"]["capabilities"];
  EXPECT_EQ(capacita["textDocumentSync"]["change"].intero, 1);
  EXPECT_TRUE(capacita["textDocumentSync"]["openClose"].booleano);
}

TEST(ServerLspTest, ExitEndsWithZeroOnlyAfterShutdown) {
  EXPECT_EQ(conversa({kInizio, richiesta(2, "shutdown"), notifica("exit"), kInizio}).stato, 0);
  EXPECT_EQ(conversa({kInizio, notifica("exit")}).stato, 1);
  EXPECT_EQ(conversa({notifica("exit")}).stato, 1);
  // Nothing after exit is read.
  EXPECT_EQ(conversa({kInizio, notifica("exit"), kInizio}).ricevuti.size(), 1u);
}

// The carried scenario's two sources in a folder, and the messages that open
// and change them.
class ServerLspScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scrivi_testi_scenario(cartella_.percorso(), kNomeScenario, kNumeroTreno);
    linea_ = percorso_file(cartella_.percorso(), FileScenario::kSorgenteLinea, kNomeScenario,
                           kNumeroTreno);
    treno_ = percorso_file(cartella_.percorso(), FileScenario::kSorgenteTreno, kNomeScenario,
                           kNumeroTreno);
    uri_linea_ = uri_da_percorso(utf8_di(linea_));
    uri_treno_ = uri_da_percorso(utf8_di(treno_));
    testo_treno_ = cp1252_a_utf8(leggi_file(treno_));
    nomi_ = cartella_.nomi();
  }

  std::string apri(const std::string& uri, const std::string& utf8) const {
    return notifica("textDocument/didOpen", R"({"textDocument":{"uri":)" + stringa_json(uri) +
                                                R"(,"languageId":"scenario","version":1,"text":)" +
                                                stringa_json(utf8) + "}}");
  }
  std::string cambia(const std::string& uri, int versione, const std::string& utf8) const {
    return notifica("textDocument/didChange", R"({"textDocument":{"uri":)" + stringa_json(uri) +
                                                  R"(,"version":)" + std::to_string(versione) +
                                                  R"(},"contentChanges":[{"text":)" +
                                                  stringa_json(utf8) + "}]}");
  }

  // The diagnostics last published for `uri`, or nullptr.
  static const ValoreJson* diagnostiche(const Conversazione& c, const std::string& uri) {
    const ValoreJson* ultimo = nullptr;
    for (const ValoreJson& m : c.ricevuti) {
      if (m.ha("method") && m["method"].stringa == "textDocument/publishDiagnostics" &&
          m["params"]["uri"].stringa == uri) {
        ultimo = &m["params"]["diagnostics"];
      }
    }
    return ultimo;
  }

  // The 1-based line of the service source that starts with `inizio`.
  int riga_con(const std::string& inizio) const {
    std::istringstream s(testo_treno_);
    std::string r;
    for (int n = 1; std::getline(s, r); ++n) {
      if (r.rfind(inizio, 0) == 0) return n;
    }
    return 0;
  }

  CartellaTemporanea cartella_;
  std::filesystem::path linea_, treno_;
  std::string uri_linea_, uri_treno_, testo_treno_;
  std::vector<std::string> nomi_;
};

TEST_F(ServerLspScenarioTest, OpenAndChangePublishBothFilesAndTouchNothingOnDisk) {
  const std::string prima = leggi_file(treno_);
  const std::string segnale = "segnale,    5600,";
  const int riga = riga_con(segnale);
  ASSERT_GT(riga, 0);
  // The second signal moved onto the first one's cell.
  std::string cambiato = testo_treno_;
  cambiato.replace(cambiato.find(segnale), segnale.size(), "segnale,    4400,");

  const Conversazione c =
      conversa({kInizio, notifica("initialized"), apri(uri_treno_, testo_treno_),
                cambia(uri_treno_, 2, cambiato), richiesta(2, "shutdown"), notifica("exit")});
  EXPECT_EQ(c.stato, 0);
  // On open both files are published, and clean.
  ASSERT_GE(c.ricevuti.size(), 4u);
  EXPECT_EQ(c.ricevuti[1]["params"]["uri"].stringa, uri_linea_);
  EXPECT_TRUE(c.ricevuti[1]["params"]["diagnostics"].lista.empty());
  EXPECT_EQ(c.ricevuti[2]["params"]["uri"].stringa, uri_treno_);
  EXPECT_TRUE(c.ricevuti[2]["params"]["diagnostics"].lista.empty());
  EXPECT_EQ(c.ricevuti[2]["params"]["version"].intero, 1);

  // After the change the service source holds error 16 at the moved signal.
  const ValoreJson* d = diagnostiche(c, uri_treno_);
  ASSERT_NE(d, nullptr);
  ASSERT_FALSE(d->lista.empty());
  const ValoreJson& e = (*d)[0];
  EXPECT_EQ(e["code"].intero, 16);
  EXPECT_EQ(e["severity"].intero, 1);
  EXPECT_EQ(e["range"]["start"]["line"].intero, riga - 1);
  EXPECT_EQ(e["source"].stringa, "scenario");
  EXPECT_NE(e["message"].stringa.find("4400"), std::string::npos) << e["message"].stringa;
  ASSERT_NE(diagnostiche(c, uri_linea_), nullptr);
  EXPECT_TRUE(diagnostiche(c, uri_linea_)->lista.empty());

  EXPECT_EQ(leggi_file(treno_), prima);
  EXPECT_EQ(cartella_.nomi(), nomi_);
}

TEST_F(ServerLspScenarioTest, AFiveMegabyteLineIsReportedAndTheServerGoesOn) {
  std::string lunga = testo_treno_;
  lunga.insert(lunga.find("segnale,"), "segnale, " + std::string(5 << 20, '7') + "\r\n");
  const Conversazione c = conversa({kInizio, apri(uri_treno_, lunga), richiesta(2, "shutdown")});
  ASSERT_FALSE(c.ricevuti.empty());
  EXPECT_TRUE(c.ricevuti.back().ha("result"));
  const ValoreJson* d = diagnostiche(c, uri_treno_);
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->lista.empty());
}

TEST_F(ServerLspScenarioTest, ClosingClearsTheFileAndTheOpenPartnerIsReadFromDiskAgain) {
  std::string rotto = testo_treno_;
  rotto.replace(rotto.find("segnale,    5600,"), 17, "segnale,    4400,");
  const Conversazione c = conversa(
      {kInizio, apri(uri_linea_, cp1252_a_utf8(leggi_file(linea_))), apri(uri_treno_, rotto),
       notifica("textDocument/didClose",
                R"({"textDocument":{"uri":)" + stringa_json(uri_treno_) + "}}")});
  ASSERT_NE(diagnostiche(c, uri_treno_), nullptr);
  EXPECT_TRUE(diagnostiche(c, uri_treno_)->lista.empty());
  ASSERT_NE(diagnostiche(c, uri_linea_), nullptr);
  EXPECT_TRUE(diagnostiche(c, uri_linea_)->lista.empty());
}

TEST(ServerLspTest, AnEditorsTextBecomesOneWindows1252BytePerUtf16Unit) {
  struct Caso {
    std::string utf8;
    std::string atteso;
  } casi[] = {
      {"stazione, 0, SAN CATALDO", "stazione, 0, SAN CATALDO"},
      {"è°€’Ÿ", "\xE8\xB0\x80\x92\x9F"},  // one byte each, as they are on disk
      {"ł中", "??"},                      // in the plane, not in the code page: one unit, one byte
      {"a😀b", "a??b"},                    // two UTF-16 units, two bytes
      {"\xF0\x9F", "??"},                 // a cut sequence is two broken bytes
  };
  for (const Caso& c : casi) EXPECT_EQ(testo_da_editore(c.utf8), c.atteso) << c.utf8;
}

TEST(ServerLspTest, FileUrisAndPathsRoundTrip) {
  struct Caso {
    const char* uri;
    const char* percorso;
  } casi[] = {
      {"file:///home/a/MorvessaC_Tolvarre_linea.txt", "/home/a/MorvessaC_Tolvarre_linea.txt"},
      {"file:///home/a%20b/Citt%C3%A0_linea.txt", "/home/a b/Città_linea.txt"},
      {"file:///C:/scenari/x-.txt", "C:/scenari/x-.txt"},
  };
  for (const Caso& c : casi) {
    EXPECT_EQ(percorso_da_uri(c.uri), c.percorso) << c.uri;
    EXPECT_EQ(uri_da_percorso(c.percorso), c.uri) << c.percorso;
  }
  EXPECT_EQ(percorso_da_uri("untitled:1"), "");
  EXPECT_EQ(percorso_da_uri("file://host/share/a.txt"), "");
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

TEST_F(ServerLspScenarioTest, HoverTellsTheEntryTheFieldAndWhereAPositionLies) {
  const int riga = riga_con("segnale,    4400,") - 1;
  ASSERT_GE(riga, 0);
  const auto al = [&](int id, const std::string& uri, int r, int c) {
    return richiesta(id, "textDocument/hover",
                     R"({"textDocument":{"uri":)" + stringa_json(uri) + R"(},"position":{"line":)" +
                         std::to_string(r) + R"(,"character":)" + std::to_string(c) + "}}");
  };
  const Conversazione c =
      conversa({kInizio, apri(uri_treno_, testo_treno_), al(2, uri_treno_, riga, 2),
                al(3, uri_treno_, riga, 13), al(4, uri_linea_, 0, 0),
                richiesta(5, "textDocument/hover",
                          R"({"textDocument":{"uri":)" + stringa_json(uri_treno_) + "}}")});
  std::map<int64_t, const ValoreJson*> risposte;
  for (const ValoreJson& m : c.ricevuti) {
    if (m.ha("id") && m["id"].tipo == ValoreJson::kIntero) risposte[m["id"].intero] = &m;
  }
  ASSERT_EQ(risposte.size(), 5u);
  const std::string parola = (*risposte[2])["result"]["contents"]["value"].stringa;
  EXPECT_NE(parola.find("**segnale**"), std::string::npos) << parola;
  EXPECT_NE(parola.find("posizione"), std::string::npos) << parola;
  const ValoreJson& campo = (*risposte[3])["result"];
  const std::string testo = campo["contents"]["value"].stringa;
  EXPECT_NE(testo.find("Field 1, `posizione` (m)"), std::string::npos) << testo;
  EXPECT_NE(testo.find("At km 4+400"), std::string::npos) << testo;
  EXPECT_EQ(campo["range"]["start"]["character"].intero, 12);
  EXPECT_EQ(campo["range"]["end"]["character"].intero, 16);
  // The route source is not open: nothing to tell.
  EXPECT_EQ((*risposte[4])["result"].tipo, ValoreJson::kNullo);
  EXPECT_EQ((*risposte[5])["error"]["code"].intero, -32602);
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

TEST_F(ServerLspScenarioTest, CompletionOffersTheSectionsKeywordsWithTheirFields) {
  const int riga = riga_con("segnale,    4400,") - 1;
  ASSERT_GE(riga, 0);
  const auto al = [&](int id, int r, int c) {
    return richiesta(id, "textDocument/completion",
                     R"({"textDocument":{"uri":)" + stringa_json(uri_treno_) +
                         R"(},"position":{"line":)" + std::to_string(r) + R"(,"character":)" +
                         std::to_string(c) + "}}");
  };
  const Conversazione c =
      conversa({kInizio, apri(uri_treno_, testo_treno_), al(2, riga, 0), al(3, riga, 12)});
  const ValoreJson& inizio = c.ricevuti[c.ricevuti.size() - 2]["result"];
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
  EXPECT_TRUE(c.ricevuti.back()["result"].lista.empty());
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

TEST_F(ServerLspScenarioTest, TheOutlineHoldsEachSectionWithItsEntries) {
  const Conversazione c =
      conversa({kInizio, apri(uri_treno_, testo_treno_),
                richiesta(2, "textDocument/documentSymbol",
                          R"({"textDocument":{"uri":)" + stringa_json(uri_treno_) + "}}")});
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
  EXPECT_EQ(segnale["range"]["start"]["line"].intero, riga_con("segnale,    4400,") - 1);
}

}  // namespace
}  // namespace scenario
