#pragma once
// The language server's tests drive it through its message stream: framed
// requests in, framed answers read back as JSON. The fixture puts the carried
// scenario's two sources in a folder.

#include <gtest/gtest.h>

#include <filesystem>
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
#include "toolkit/documenti_lsp.h"
#include "toolkit/json.h"
#include "toolkit/messaggi_lsp.h"
#include "toolkit/server_lsp.h"

namespace scenario {

inline std::string incornicia(const std::string& corpo) {
  return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

struct Conversazione {
  int stato = -1;
  std::vector<ValoreJson> ricevuti;

  // The answer to request `id`, or nullptr.
  const ValoreJson* risposta(int64_t id) const {
    for (const ValoreJson& m : ricevuti) {
      if (m.ha("id") && m["id"].tipo == ValoreJson::kIntero && m["id"].intero == id) return &m;
    }
    return nullptr;
  }
  // The diagnostics published for `uri`, in order.
  std::vector<const ValoreJson*> pubblicazioni(const std::string& uri) const {
    std::vector<const ValoreJson*> r;
    for (const ValoreJson& m : ricevuti) {
      if (m.ha("method") && m["method"].stringa == "textDocument/publishDiagnostics" &&
          m["params"]["uri"].stringa == uri) {
        r.push_back(&m["params"]["diagnostics"]);
      }
    }
    return r;
  }
  // The diagnostics last published for `uri`, or nullptr.
  const ValoreJson* diagnostiche(const std::string& uri) const {
    const auto p = pubblicazioni(uri);
    return p.empty() ? nullptr : p.back();
  }
};

// Reads every framed answer of `flusso`.
inline std::vector<ValoreJson> leggi_risposte(const std::string& flusso) {
  std::istringstream risposte(flusso);
  std::vector<ValoreJson> r;
  while (true) {
    MessaggioLsp m = leggi_messaggio_lsp(risposte);
    if (m.esito != MessaggioLsp::kMessaggio) break;
    r.push_back(leggi_json(m.corpo));
  }
  return r;
}

// Runs the server on the framed messages (and whatever raw bytes are given
// in place of one, for a broken client) and reads back what it answered.
// The quiet interval after a change is long enough never to end by itself
// in a test: what a change publishes comes at shutdown, or on save.
inline Conversazione conversa(const std::vector<std::string>& grezzi,
                              std::chrono::milliseconds ritardo = std::chrono::hours(1)) {
  std::string tutto;
  for (const std::string& g : grezzi) tutto += g;
  std::istringstream in(tutto);
  std::ostringstream out;
  Conversazione c;
  OpzioniServerLsp o;
  o.ritardo = ritardo;
  c.stato = esegui_server_lsp(in, out, o);
  c.ricevuti = leggi_risposte(out.str());
  return c;
}

inline std::string richiesta(int id, const std::string& metodo,
                             const std::string& parametri = "{}") {
  return incornicia(R"({"jsonrpc":"2.0","id":)" + std::to_string(id) + R"(,"method":")" + metodo +
                    R"(","params":)" + parametri + "}");
}
inline std::string notifica(const std::string& metodo, const std::string& parametri = "{}") {
  return incornicia(R"({"jsonrpc":"2.0","method":")" + metodo + R"(","params":)" + parametri + "}");
}
inline const std::string kInizio = richiesta(1, "initialize", R"({"capabilities":{}})");

// {"textDocument":{"uri":...},"position":{...}}
inline std::string al_punto(const std::string& uri, int riga, int carattere) {
  return R"({"textDocument":{"uri":)" + stringa_json(uri) + R"(},"position":{"line":)" +
         std::to_string(riga) + R"(,"character":)" + std::to_string(carattere) + "}}";
}

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
    testo_linea_ = cp1252_a_utf8(leggi_file(linea_));
    testo_treno_ = cp1252_a_utf8(leggi_file(treno_));
    nomi_ = cartella_.nomi();
  }

  static std::string apri(const std::string& uri, const std::string& utf8) {
    return notifica("textDocument/didOpen", R"({"textDocument":{"uri":)" + stringa_json(uri) +
                                                R"(,"languageId":"scenario","version":1,"text":)" +
                                                stringa_json(utf8) + "}}");
  }
  static std::string cambia(const std::string& uri, int versione, const std::string& utf8) {
    return notifica("textDocument/didChange", R"({"textDocument":{"uri":)" + stringa_json(uri) +
                                                  R"(,"version":)" + std::to_string(versione) +
                                                  R"(},"contentChanges":[{"text":)" +
                                                  stringa_json(utf8) + "}]}");
  }
  static std::string documento(const std::string& uri) {
    return R"({"textDocument":{"uri":)" + stringa_json(uri) + "}}";
  }

  // The zero-based line of `testo` that starts with `inizio`; -1 when none.
  static int riga_con(const std::string& testo, const std::string& inizio) {
    std::istringstream s(testo);
    std::string r;
    for (int n = 0; std::getline(s, r); ++n) {
      if (r.rfind(inizio, 0) == 0) return n;
    }
    return -1;
  }
  int riga_con(const std::string& inizio) const { return riga_con(testo_treno_, inizio); }

  // The service source with the line starting `prima` so started with `dopo`.
  std::string treno_con(const std::string& prima, const std::string& dopo) const {
    std::string t = testo_treno_;
    const size_t i = t.find(prima);
    EXPECT_NE(i, std::string::npos) << prima;
    if (i != std::string::npos) t.replace(i, prima.size(), dopo);
    return t;
  }

  CartellaTemporanea cartella_;
  std::filesystem::path linea_, treno_;
  std::string uri_linea_, uri_treno_, testo_linea_, testo_treno_;
  std::vector<std::string> nomi_;
};

}  // namespace scenario
