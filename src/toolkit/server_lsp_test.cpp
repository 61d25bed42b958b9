#include "toolkit/server_lsp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/prova_lsp_test.h"

namespace scenario {
namespace {

TEST(ServerLspTest, AnswersEveryRequestAsTheProtocolSays) {
  const std::string lontano = al_punto("file:///not/open/X_1-.txt", 0, 0);
  struct Caso {
    const char* nome;
    std::vector<std::string> messaggi;
    // The last message received: its error code, 0 for a result, 1 for a null result.
    int64_t codice;
  } casi[] = {
      {"a request before initialize", {richiesta(7, "shutdown")}, -32002},
      {"malformed JSON", {kInizio, incornicia(R"({"jsonrpc":"2.0","id":2,)")}, -32700},
      {"a header without a length", {kInizio, "X: 1\r\n\r\n"}, -32700},
      {"a length that is no number", {kInizio, "Content-Length: many\r\n\r\n"}, -32700},
      {"a header line without a colon", {kInizio, "Content-Length 12\r\n\r\n"}, -32700},
      {"not JSON-RPC 2.0", {kInizio, incornicia(R"({"id":2,"method":"shutdown"})")}, -32600},
      {"an id that is an object",
       {kInizio, incornicia(R"({"jsonrpc":"2.0","id":{},"method":"shutdown"})")},
       -32600},
      {"an unknown method", {kInizio, richiesta(2, "textDocument/frobnicate")}, -32601},
      {"an unknown notification is ignored",
       {kInizio, notifica("workspace/frobnicate"), richiesta(2, "shutdown")},
       1},
      {"initialize without an object", {richiesta(1, "initialize", "[]")}, -32602},
      {"hover without a position",
       {kInizio,
        richiesta(2, "textDocument/hover", R"({"textDocument":{"uri":"file:///a-.txt"}})")},
       -32602},
      {"initialize twice", {kInizio, kInizio}, -32600},
      {"a request after shutdown",
       {kInizio, richiesta(2, "shutdown"), richiesta(3, "shutdown")},
       -32600},
      {"initialize", {kInizio}, 0},
      {"shutdown", {kInizio, richiesta(2, "shutdown")}, 1},
      // A file not open: an empty answer.
      {"hover on a file not open", {kInizio, richiesta(2, "textDocument/hover", lontano)}, 1},
      {"completion on a file not open",
       {kInizio, richiesta(2, "textDocument/completion", lontano)},
       1},
      {"signature help on a file not open",
       {kInizio, richiesta(2, "textDocument/signatureHelp", lontano)},
       1},
      {"definition on a file not open",
       {kInizio, richiesta(2, "textDocument/definition", lontano)},
       1},
      {"symbols of a file not open",
       {kInizio, richiesta(2, "textDocument/documentSymbol",
                           R"({"textDocument":{"uri":"file:///not/open/X_1-.txt"}})")},
       1},
      {"inlay hints of a file not open",
       {kInizio, richiesta(2, "textDocument/inlayHint",
                           R"({"textDocument":{"uri":"file:///not/open/X_1-.txt"},)"
                           R"("range":{"start":{"line":0,"character":0},)"
                           R"("end":{"line":9,"character":0}}})")},
       1},
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
    if (c.codice >= 0) {
      ASSERT_TRUE(ultimo.ha("result")) << c.nome;
      if (c.codice == 1) {
        EXPECT_EQ(ultimo["result"].tipo, ValoreJson::kNullo) << c.nome;
      }
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
}

TEST(ServerLspTest, ExitEndsWithZeroOnlyAfterShutdown) {
  EXPECT_EQ(conversa({kInizio, richiesta(2, "shutdown"), notifica("exit"), kInizio}).stato, 0);
  EXPECT_EQ(conversa({kInizio, notifica("exit")}).stato, 1);
  EXPECT_EQ(conversa({notifica("exit")}).stato, 1);
  // Nothing after exit is read.
  EXPECT_EQ(conversa({kInizio, notifica("exit"), kInizio}).ricevuti.size(), 1u);
}

// A session as an editor holds it, one request after the other, each with
// the answer it must get.
TEST_F(ServerLspScenarioTest, ASessionGetsTheAnswerToEachRequest) {
  const int segnale = riga_con("segnale,    4400,");
  const int stazione = riga_con("stazione,    6600,");
  const int pendenza = riga_con(testo_linea_, "pendenza,  4200,");
  ASSERT_GE(segnale, 0);
  ASSERT_GE(pendenza, 0);
  const std::string rotto = treno_con("segnale,    5600,", "segnale,    4400,");
  struct Caso {
    const char* nome;
    std::string messaggio;
    std::function<void(const ValoreJson&)> prova;  // on the result
  } casi[] = {
      {"initialize", kInizio,
       [](const ValoreJson& r) {
         const ValoreJson& k = r["capabilities"];
         EXPECT_EQ(k["textDocumentSync"]["change"].intero, 1);
         EXPECT_TRUE(k["textDocumentSync"]["openClose"].booleano);
         EXPECT_EQ(k["signatureHelpProvider"]["triggerCharacters"][0].stringa, ",");
         EXPECT_TRUE(k["inlayHintProvider"].booleano);
         EXPECT_TRUE(k["definitionProvider"].booleano);
         EXPECT_TRUE(k["hoverProvider"].booleano);
         EXPECT_EQ(k["positionEncoding"].stringa, "utf-16");
       }},
      {"open", apri(uri_treno_, testo_treno_), nullptr},
      {"open the route", apri(uri_linea_, testo_linea_), nullptr},
      {"hover on a signal's position",
       richiesta(2, "textDocument/hover", al_punto(uri_treno_, segnale, 13)),
       [](const ValoreJson& r) {
         const std::string t = r["contents"]["value"].stringa;
         EXPECT_NE(t.find("Field 1, `posizione` (m)"), std::string::npos) << t;
         EXPECT_NE(t.find("At 4400 m, chainage km 136+500, in cell 89"), std::string::npos) << t;
         EXPECT_NE(t.find("In the compiled model: cell 89, a signal (dato1 40"), std::string::npos)
             << t;
         EXPECT_EQ(r["range"]["start"]["character"].intero, 12);
         EXPECT_EQ(r["range"]["end"]["character"].intero, 16);
       }},
      {"hover on a station", richiesta(3, "textDocument/hover", al_punto(uri_treno_, stazione, 13)),
       [](const ValoreJson& r) {
         const std::string t = r["contents"]["value"].stringa;
         EXPECT_NE(t.find("At 6600 m, chainage km 138+700"), std::string::npos) << t;
         EXPECT_NE(t.find("In the compiled model: item 2, station SAN CATALDO, its area 6450 to "
                          "6800 m, marked in cell 135"),
                   std::string::npos)
             << t;
       }},
      {"signature help after a signal's third comma",
       richiesta(4, "textDocument/signatureHelp", al_punto(uri_treno_, segnale, 22)),
       [](const ValoreJson& r) {
         const ValoreJson& s = r["signatures"][0];
         EXPECT_EQ(s["label"].stringa.rfind("segnale, posizione, sx, s1, s2,", 0), 0u)
             << s["label"].stringa;
         EXPECT_EQ(s["parameters"].lista.size(), 11u);
         EXPECT_EQ(r["activeParameter"].intero, 2);  // s1
         const ValoreJson& etichetta = s["parameters"][2]["label"];
         EXPECT_EQ(s["label"].stringa.substr(
                       static_cast<size_t>(etichetta[0].intero),
                       static_cast<size_t>(etichetta[1].intero - etichetta[0].intero)),
                   "s1");
         EXPECT_NE(s["parameters"][0]["documentation"].stringa.find("posizione (m)"),
                   std::string::npos);
       }},
      {"inlay hints on the signal's line",
       richiesta(5, "textDocument/inlayHint",
                 R"({"textDocument":{"uri":)" + stringa_json(uri_treno_) +
                     R"(},"range":{"start":{"line":)" + std::to_string(segnale) +
                     R"(,"character":0},"end":{"line":)" + std::to_string(segnale) +
                     R"(,"character":99}}})"),
       [](const ValoreJson& r) {
         ASSERT_EQ(r.lista.size(), 11u);
         EXPECT_EQ(r[0]["label"].stringa, "posizione:");
         EXPECT_EQ(r[0]["position"]["character"].intero, 12);
         EXPECT_EQ(r[0]["kind"].intero, 2);
         EXPECT_EQ(r[10]["label"].stringa, "tempo:");
       }},
      {"completion at a line's start",
       richiesta(6, "textDocument/completion", al_punto(uri_treno_, segnale, 0)),
       [](const ValoreJson& r) {
         bool segnale = false;
         for (const ValoreJson& v : r.lista) segnale = segnale || v["label"].stringa == "segnale";
         EXPECT_TRUE(segnale);
       }},
      {"symbols", richiesta(7, "textDocument/documentSymbol", documento(uri_treno_)),
       [](const ValoreJson& r) { EXPECT_FALSE(r.lista.empty()); }},
      {"definition of a signal: the gradient it stands on",
       richiesta(8, "textDocument/definition", al_punto(uri_treno_, segnale, 3)),
       [&](const ValoreJson& r) {
         ASSERT_FALSE(r.lista.empty());
         EXPECT_EQ(r[0]["uri"].stringa, uri_linea_);
         EXPECT_EQ(r[0]["range"]["start"]["line"].intero, pendenza);
       }},
      {"definition back from that gradient: the signal",
       richiesta(9, "textDocument/definition", al_punto(uri_linea_, pendenza, 3)),
       [&](const ValoreJson& r) {
         ASSERT_EQ(r.lista.size(), 1u);
         EXPECT_EQ(r[0]["uri"].stringa, uri_treno_);
         EXPECT_EQ(r[0]["range"]["start"]["line"].intero, segnale);
       }},
      {"change: the second signal onto the first one's cell", cambia(uri_treno_, 2, rotto),
       nullptr},
      {"shutdown publishes what waits, then answers", richiesta(10, "shutdown"),
       [](const ValoreJson& r) { EXPECT_EQ(r.tipo, ValoreJson::kNullo); }},
      {"exit", notifica("exit"), nullptr},
  };
  std::vector<std::string> messaggi;
  for (const Caso& c : casi) messaggi.push_back(c.messaggio);
  const Conversazione v = conversa(messaggi);
  EXPECT_EQ(v.stato, 0);
  for (const Caso& c : casi) {
    if (!c.prova) continue;
    const ValoreJson m = leggi_json(c.messaggio.substr(c.messaggio.find("\r\n\r\n") + 4));
    const ValoreJson* r = v.risposta(m["id"].intero);
    ASSERT_NE(r, nullptr) << c.nome;
    ASSERT_TRUE(r->ha("result")) << c.nome;
    SCOPED_TRACE(c.nome);
    c.prova((*r)["result"]);
  }
  // The change's diagnostics: error 16 on the moved signal, published
  // before the shutdown answer.
  const ValoreJson* d = v.diagnostiche(uri_treno_);
  ASSERT_NE(d, nullptr);
  ASSERT_FALSE(d->lista.empty());
  EXPECT_EQ((*d)[0]["code"].intero, 16);
  EXPECT_EQ((*d)[0]["range"]["start"]["line"].intero, riga_con(rotto, "segnale,    4400,") + 1);
}

TEST_F(ServerLspScenarioTest, OpenAndChangePublishBothFilesAndTouchNothingOnDisk) {
  const std::string prima = leggi_file(treno_);
  const std::string cambiato = treno_con("segnale,    5600,", "segnale,    4400,");
  const int riga = riga_con(cambiato, "segnale,    4400,") + 1;  // the second one

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
  const ValoreJson* d = c.diagnostiche(uri_treno_);
  ASSERT_NE(d, nullptr);
  ASSERT_FALSE(d->lista.empty());
  const ValoreJson& e = (*d)[0];
  EXPECT_EQ(e["code"].intero, 16);
  EXPECT_EQ(e["severity"].intero, 1);
  EXPECT_EQ(e["range"]["start"]["line"].intero, riga);
  EXPECT_EQ(e["source"].stringa, "scenario");
  EXPECT_NE(e["message"].stringa.find("4400"), std::string::npos) << e["message"].stringa;
  ASSERT_NE(c.diagnostiche(uri_linea_), nullptr);
  EXPECT_TRUE(c.diagnostiche(uri_linea_)->lista.empty());

  EXPECT_EQ(leggi_file(treno_), prima);
  EXPECT_EQ(cartella_.nomi(), nomi_);
}

TEST_F(ServerLspScenarioTest, QuickChangesArePublishedOnceWithTheLastText) {
  const std::string rotto = treno_con("segnale,    5600,", "segnale,    4400,");
  const std::string salva = notifica("textDocument/didSave", documento(uri_treno_));
  // Three changes, the last one breaking the source: one publication, the
  // last text's, when the changes stop (here: at shutdown).
  Conversazione c =
      conversa({kInizio, apri(uri_treno_, testo_treno_),
                cambia(uri_treno_, 2, testo_treno_ + "\r\n"), cambia(uri_treno_, 3, testo_treno_),
                cambia(uri_treno_, 4, rotto), richiesta(2, "shutdown")});
  std::vector<const ValoreJson*> p = c.pubblicazioni(uri_treno_);
  ASSERT_EQ(p.size(), 2u);  // open, then the changes
  EXPECT_TRUE(p[0]->lista.empty());
  ASSERT_FALSE(p[1]->lista.empty());
  EXPECT_EQ((*p[1])[0]["code"].intero, 16);
  EXPECT_EQ(c.ricevuti.back()["id"].intero, 2);

  // Saving publishes at once, and leaves nothing waiting.
  c = conversa({kInizio, apri(uri_treno_, testo_treno_), cambia(uri_treno_, 2, rotto), salva,
                richiesta(2, "shutdown")});
  p = c.pubblicazioni(uri_treno_);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ((*p[1])[0]["code"].intero, 16);

  // Exit and the end of the stream drop what waits, and end at once.
  c = conversa({kInizio, apri(uri_treno_, testo_treno_), cambia(uri_treno_, 2, rotto)});
  EXPECT_EQ(c.pubblicazioni(uri_treno_).size(), 1u);
  EXPECT_EQ(c.stato, 1);
  c = conversa(
      {kInizio, apri(uri_treno_, testo_treno_), cambia(uri_treno_, 2, rotto), notifica("exit")});
  EXPECT_EQ(c.pubblicazioni(uri_treno_).size(), 1u);
}

// A stream between two threads: what one writes the other reads, waiting
// for it as a pipe does.
class Tubo : public std::streambuf {
 public:
  void scrivi(const std::string& s) {
    std::lock_guard<std::mutex> l(m_);
    dati_ += s;
    cv_.notify_all();
  }
  void chiudi() {
    std::lock_guard<std::mutex> l(m_);
    chiuso_ = true;
    cv_.notify_all();
  }
  // Waits until `basta` holds of what was written, at most 20 s.
  bool attendi(const std::function<bool(const std::string&)>& basta) {
    std::unique_lock<std::mutex> l(m_);
    return cv_.wait_for(l, std::chrono::seconds(20), [&] { return basta(dati_); });
  }
  std::string dati() {
    std::lock_guard<std::mutex> l(m_);
    return dati_;
  }

 protected:
  int_type underflow() override {
    std::unique_lock<std::mutex> l(m_);
    cv_.wait(l, [&] { return letti_ < dati_.size() || chiuso_; });
    if (letti_ >= dati_.size()) return traits_type::eof();
    c_ = dati_[letti_++];
    setg(&c_, &c_, &c_ + 1);
    return traits_type::to_int_type(c_);
  }
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof()))
      scrivi(std::string(1, static_cast<char>(c)));
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    scrivi(std::string(s, static_cast<size_t>(n)));
    return n;
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  std::string dati_;
  size_t letti_ = 0;
  bool chiuso_ = false;
  char c_ = 0;
};

size_t pubblicati(const std::string& flusso, const std::string& uri, int64_t versione) {
  size_t n = 0;
  for (const ValoreJson& m : leggi_risposte(flusso)) {
    if (m.ha("method") && m["params"]["uri"].stringa == uri && m["params"].ha("version") &&
        m["params"]["version"].intero == versione)
      ++n;
  }
  return n;
}

TEST_F(ServerLspScenarioTest, AChangeIsPublishedWhenTheEditorFallsQuiet) {
  Tubo ingresso, uscita;
  std::istream in(&ingresso);
  std::ostream out(&uscita);
  OpzioniServerLsp o;
  o.ritardo = std::chrono::milliseconds(150);
  int stato = -1;
  std::thread server([&] { stato = esegui_server_lsp(in, out, o); });
  ingresso.scrivi(kInizio + apri(uri_treno_, testo_treno_));
  EXPECT_TRUE(
      uscita.attendi([&](const std::string& s) { return pubblicati(s, uri_treno_, 1) == 1; }));

  const auto scritto = std::chrono::steady_clock::now();
  const std::string rotto = treno_con("segnale,    5600,", "segnale,    4400,");
  ingresso.scrivi(cambia(uri_treno_, 2, testo_treno_ + "\r\n") + cambia(uri_treno_, 3, rotto));
  // Nothing more is sent: the quiet interval alone brings the diagnostics.
  ASSERT_TRUE(
      uscita.attendi([&](const std::string& s) { return pubblicati(s, uri_treno_, 3) == 1; }));
  EXPECT_GE(std::chrono::steady_clock::now() - scritto, o.ritardo);
  const std::vector<ValoreJson> r = leggi_risposte(uscita.dati());
  EXPECT_EQ(r.back()["params"]["diagnostics"][0]["code"].intero, 16);

  // A change still waiting does not keep exit from ending the server.
  ingresso.scrivi(cambia(uri_treno_, 4, testo_treno_) + richiesta(2, "shutdown") +
                  notifica("exit"));
  server.join();
  EXPECT_EQ(stato, 0);
  ingresso.chiudi();
}

TEST_F(ServerLspScenarioTest, AFiveMegabyteLineIsAnsweredInBoundedTime) {
  std::string lunga = testo_treno_;
  const size_t dove = lunga.find("segnale,");
  lunga.insert(dove, "segnale, " + std::string(5 << 20, '7') + "\r\n");
  const int riga = riga_con(lunga, "segnale, 777");
  const auto inizio = std::chrono::steady_clock::now();
  const Conversazione c = conversa(
      {kInizio, apri(uri_treno_, lunga),
       richiesta(2, "textDocument/hover", al_punto(uri_treno_, riga, 4 << 20)),
       richiesta(3, "textDocument/signatureHelp", al_punto(uri_treno_, riga, 5 << 20)),
       richiesta(
           4, "textDocument/inlayHint",
           R"({"textDocument":{"uri":)" + stringa_json(uri_treno_) +
               R"(},"range":{"start":{"line":0,"character":0},"end":{"line":999,"character":0}}})"),
       richiesta(5, "textDocument/definition", al_punto(uri_treno_, riga, 4 << 20)),
       richiesta(6, "shutdown")});
  EXPECT_LT(std::chrono::steady_clock::now() - inizio, std::chrono::seconds(60));
  ASSERT_FALSE(c.ricevuti.empty());
  EXPECT_TRUE(c.ricevuti.back().ha("result"));
  for (int id = 2; id <= 5; ++id) {
    ASSERT_NE(c.risposta(id), nullptr) << id;
    EXPECT_TRUE(c.risposta(id)->ha("result")) << id;
  }
  const ValoreJson* d = c.diagnostiche(uri_treno_);
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->lista.empty());
}

TEST_F(ServerLspScenarioTest, ClosingClearsTheFileAndTheOpenPartnerIsReadFromDiskAgain) {
  const std::string rotto = treno_con("segnale,    5600,", "segnale,    4400,");
  const Conversazione c =
      conversa({kInizio, apri(uri_linea_, testo_linea_), apri(uri_treno_, rotto),
                notifica("textDocument/didClose", documento(uri_treno_))});
  ASSERT_NE(c.diagnostiche(uri_treno_), nullptr);
  EXPECT_TRUE(c.diagnostiche(uri_treno_)->lista.empty());
  ASSERT_NE(c.diagnostiche(uri_linea_), nullptr);
  EXPECT_TRUE(c.diagnostiche(uri_linea_)->lista.empty());
}

TEST_F(ServerLspScenarioTest, AFileAloneGetsItsOwnChecksAndOneNoteNamingItsPartner) {
  std::filesystem::remove(linea_);
  // A field that holds no number, and a speed that is no multiple of 5.
  const std::string storto = treno_con("velocita,    6800,    75", "velocita,    6800,    77");
  const std::string testo = treno_con("segnale,    4400,   1,", "segnale,    4400,   x,");
  const Conversazione c = conversa(
      {kInizio, apri(uri_treno_, testo), cambia(uri_treno_, 2, storto), richiesta(2, "shutdown")});
  const std::vector<const ValoreJson*> p = c.pubblicazioni(uri_treno_);
  ASSERT_EQ(p.size(), 2u);
  for (const ValoreJson* d : p) {
    ASSERT_FALSE(d->lista.empty());
    const ValoreJson& nota = (*d)[0];
    EXPECT_EQ(nota["severity"].intero, 3);
    EXPECT_NE(nota["message"].stringa.find("MorvessaC_Tolvarre_linea.txt is expected"),
              std::string::npos)
        << nota["message"].stringa;
    for (const ValoreJson& e : d->lista) {
      EXPECT_EQ(e["message"].stringa.find("missing"), std::string::npos) << e["message"].stringa;
    }
  }
  ASSERT_EQ(p[0]->lista.size(), 2u);
  EXPECT_EQ((*p[0])[1]["range"]["start"]["line"].intero, riga_con("segnale,    4400,"));
  EXPECT_NE((*p[0])[1]["message"].stringa.find("whole number"), std::string::npos);
  ASSERT_EQ(p[1]->lista.size(), 2u);
  EXPECT_EQ((*p[1])[1]["code"].stringa, "out-of-range");
  // Nothing is published for the missing file.
  EXPECT_TRUE(c.pubblicazioni(uri_linea_).empty());
}

TEST_F(ServerLspScenarioTest, APartnerDeletedWhileTheOtherIsOpenIsSaidToBeMissing) {
  const std::string rotto = testo_linea_ + "\r\n";
  std::string primo;
  {
    Tubo ingresso, uscita;
    std::istream in(&ingresso);
    std::ostream out(&uscita);
    OpzioniServerLsp o;
    o.ritardo = std::chrono::milliseconds(0);
    int stato = -1;
    std::thread server([&] { stato = esegui_server_lsp(in, out, o); });
    ingresso.scrivi(kInizio + apri(uri_linea_, testo_linea_));
    ASSERT_TRUE(
        uscita.attendi([&](const std::string& s) { return pubblicati(s, uri_linea_, 1) == 1; }));
    std::filesystem::remove(treno_);
    ingresso.scrivi(cambia(uri_linea_, 2, rotto));
    ASSERT_TRUE(
        uscita.attendi([&](const std::string& s) { return pubblicati(s, uri_linea_, 2) == 1; }));
    // Requests that read the partner get empty answers.
    ingresso.scrivi(richiesta(2, "textDocument/definition",
                              al_punto(uri_linea_, riga_con(testo_linea_, "pendenza,  4200,"), 2)) +
                    richiesta(3, "shutdown") + notifica("exit"));
    server.join();
    EXPECT_EQ(stato, 0);
    ingresso.chiudi();
    primo = uscita.dati();
  }
  const std::vector<ValoreJson> r = leggi_risposte(primo);
  const ValoreJson* ultima = nullptr;
  const ValoreJson* definizione = nullptr;
  for (const ValoreJson& m : r) {
    if (m.ha("method") && m["params"]["uri"].stringa == uri_linea_) ultima = &m;
    if (m.ha("id") && m["id"].intero == 2) definizione = &m;
  }
  ASSERT_NE(ultima, nullptr);
  const ValoreJson& d = (*ultima)["params"]["diagnostics"];
  ASSERT_EQ(d.lista.size(), 1u);
  EXPECT_NE(d[0]["message"].stringa.find("no service source beside this route source"),
            std::string::npos)
      << d[0]["message"].stringa;
  ASSERT_NE(definizione, nullptr);
  EXPECT_EQ((*definizione)["result"].tipo, ValoreJson::kNullo);
}

}  // namespace
}  // namespace scenario
