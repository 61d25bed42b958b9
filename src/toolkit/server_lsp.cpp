#include "toolkit/server_lsp.h"

#include <exception>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "text/cp1252.h"
#include "toolkit/completamento_lsp.h"
#include "toolkit/definizione_lsp.h"
#include "toolkit/diagnostiche_lsp.h"
#include "toolkit/documenti_lsp.h"
#include "toolkit/firma_lsp.h"
#include "toolkit/ingresso_lsp.h"
#include "toolkit/json.h"
#include "toolkit/messaggi_lsp.h"
#include "toolkit/protocollo_lsp.h"
#include "toolkit/simboli_lsp.h"
#include "toolkit/spiegazione_lsp.h"
#include "toolkit/suggerimenti_lsp.h"

namespace scenario {
namespace {

constexpr int kErroreSintassi = -32700;
constexpr int kRichiestaInvalida = -32600;
constexpr int kMetodoIgnoto = -32601;
constexpr int kParametriInvalidi = -32602;
constexpr int kErroreInterno = -32603;
constexpr int kNonIniziato = -32002;

using Orologio = std::chrono::steady_clock;

void scrivi_valore(ScrittoreJson& j, const ValoreJson& v) {
  switch (v.tipo) {
    case ValoreJson::kIntero:
      j.intero(v.intero);
      break;
    case ValoreJson::kStringa:
      j.stringa(v.stringa);
      break;
    case ValoreJson::kReale:
      j.reale(v.reale);
      break;
    default:
      j.nullo();
  }
}

void scrivi_capacita(ScrittoreJson& j) {
  j.apri_oggetto();
  j.chiave("capabilities");
  j.apri_oggetto();
  // Columns are UTF-16 units, the protocol's default, named all the same.
  j.campo("positionEncoding", "utf-16");
  j.chiave("textDocumentSync");
  j.apri_oggetto();
  j.chiave("openClose");
  j.booleano(true);
  j.campo("change", int64_t{1});  // the whole text on every change
  j.chiave("save");
  j.apri_oggetto(true);
  j.chiave("includeText");
  j.booleano(false);
  j.chiudi_oggetto();
  j.chiudi_oggetto();
  j.chiave("hoverProvider");
  j.booleano(true);
  j.chiave("documentSymbolProvider");
  j.booleano(true);
  j.chiave("completionProvider");
  j.apri_oggetto(true);
  j.chiudi_oggetto();
  j.chiave("signatureHelpProvider");
  j.apri_oggetto(true);
  j.chiave("triggerCharacters");
  j.apri_lista(true);
  j.stringa(",");
  j.chiudi_lista();
  j.chiudi_oggetto();
  j.chiave("inlayHintProvider");
  j.booleano(true);
  j.chiave("definitionProvider");
  j.booleano(true);
  j.chiudi_oggetto();
  j.chiave("serverInfo");
  j.apri_oggetto(true);
  j.campo("name", "scenario");
  j.campo("version", GENERATORE_VERSIONE);
  j.chiudi_oggetto();
  j.chiudi_oggetto();
}

class ServerLsp {
 public:
  ServerLsp(std::istream& in, std::ostream& out, const OpzioniServerLsp& o)
      : ingresso_(in), out_(out), ritardo_(o.ritardo) {}

  int esegui() {
    while (true) {
      std::optional<Orologio::time_point> scadenza;
      for (const auto& [chiave, a] : in_attesa_) {
        if (!scadenza || a.quando < *scadenza) scadenza = a.quando;
      }
      const std::optional<MessaggioLsp> m = ingresso_.prossimo(scadenza);
      if (!m) {
        compila_scaduti(false);
        continue;
      }
      if (m->esito == MessaggioLsp::kFine) return 1;
      if (m->esito == MessaggioLsp::kIntestazione) {
        rispondi_errore(ValoreJson{}, kErroreSintassi, m->perche);
      } else if (const std::optional<int> fine = tratta(m->corpo)) {
        return *fine;
      }
      // Messages that keep coming do not hold back what is due.
      compila_scaduti(false);
    }
  }

 private:
  // A pair waiting for its quiet interval to end, by the document last changed.
  struct Attesa {
    std::string uri;
    Orologio::time_point quando;
  };

  // One message; the exit status once it is the exit notification.
  std::optional<int> tratta(const std::string& corpo) {
    ValoreJson v;
    try {
      v = leggi_json(corpo);
    } catch (const ErroreJson& e) {
      rispondi_errore(ValoreJson{}, kErroreSintassi, e.what());
      return std::nullopt;
    }
    const ValoreJson* id = v.trova("id");
    const bool id_buono =
        id != nullptr && (id->tipo == ValoreJson::kIntero || id->tipo == ValoreJson::kStringa);
    const ValoreJson* versione = v.trova("jsonrpc");
    const ValoreJson* metodo = v.trova("method");
    if (v.tipo != ValoreJson::kOggetto || versione == nullptr ||
        versione->tipo != ValoreJson::kStringa || versione->stringa != "2.0") {
      rispondi_errore(id_buono ? *id : ValoreJson{}, kRichiestaInvalida,
                      "not a JSON-RPC 2.0 message");
      return std::nullopt;
    }
    if (metodo == nullptr) {
      // A response to a request of ours: the server sends none that waits.
      if (id != nullptr && (v.ha("result") || v.ha("error"))) return std::nullopt;
      rispondi_errore(id_buono ? *id : ValoreJson{}, kRichiestaInvalida, "no method");
      return std::nullopt;
    }
    if (metodo->tipo != ValoreJson::kStringa || (id != nullptr && !id_buono)) {
      rispondi_errore(id_buono ? *id : ValoreJson{}, kRichiestaInvalida,
                      "the method must be a string and the id a number or a string");
      return std::nullopt;
    }
    static const ValoreJson kNessuno;
    const ValoreJson* parametri = v.trova("params");
    const ValoreJson& p = parametri ? *parametri : kNessuno;
    if (id == nullptr) return notifica(metodo->stringa, p);
    try {
      richiesta(*id, metodo->stringa, p);
    } catch (const ParametriErrati& e) {
      rispondi_errore(*id, kParametriInvalidi, metodo->stringa + ": " + e.perche);
    } catch (const std::exception& e) {
      rispondi_errore(*id, kErroreInterno, metodo->stringa + ": " + e.what());
    }
    return std::nullopt;
  }

  // The open document a request is about and which source it is; nothing for
  // a file not open or one the naming rule does not name.
  const Documento* documento(const std::string& uri, SorgenteFormato& sorgente) const {
    const auto it = documenti_.find(uri);
    const std::optional<SorgenteFormato> s = sorgente_di(uri);
    if (it == documenti_.end() || !s) return nullptr;
    sorgente = *s;
    return &it->second;
  }

  void richiesta(const ValoreJson& id, const std::string& metodo, const ValoreJson& p) {
    if (!iniziato_ && metodo != "initialize") {
      rispondi_errore(id, kNonIniziato, "the server has not been initialized");
      return;
    }
    if (chiuso_) {
      rispondi_errore(id, kRichiestaInvalida, "the server is shutting down");
      return;
    }
    SorgenteFormato sorgente = SorgenteFormato::kLinea;
    if (metodo == "initialize") {
      if (iniziato_) {
        rispondi_errore(id, kRichiestaInvalida, "the server is already initialized");
        return;
      }
      if (p.tipo != ValoreJson::kOggetto) throw ParametriErrati{"params must be an object"};
      iniziato_ = true;
      rispondi(id, scrivi_capacita);
    } else if (metodo == "shutdown") {
      compila_scaduti(true);  // what the editor last typed is still shown
      chiuso_ = true;
      rispondi(id, [](ScrittoreJson& j) { j.nullo(); });
    } else if (metodo == "textDocument/hover") {
      const PuntoRichiesta q = punto_richiesta(p);
      std::optional<Spiegazione> s;
      // A file not open has nothing to explain: the answer is empty.
      if (const Documento* d = documento(q.uri, sorgente)) {
        const std::optional<Coppia> c = coppia_di(documenti_, q.uri);
        const auto m = c ? modelli_.find(c->uri_treno) : modelli_.end();
        s = spiega_campo(d->testo, sorgente, q.riga, q.carattere,
                         m == modelli_.end() ? nullptr : &m->second);
      }
      rispondi(id, [&](ScrittoreJson& j) { scrivi_spiegazione(j, s); });
    } else if (metodo == "textDocument/completion") {
      const PuntoRichiesta q = punto_richiesta(p);
      const Documento* d = documento(q.uri, sorgente);
      rispondi(id, [&](ScrittoreJson& j) {
        if (d == nullptr) return j.nullo();
        scrivi_completamento(j, d->testo, sorgente, q.riga, q.carattere);
      });
    } else if (metodo == "textDocument/signatureHelp") {
      const PuntoRichiesta q = punto_richiesta(p);
      const Documento* d = documento(q.uri, sorgente);
      rispondi(id, [&](ScrittoreJson& j) {
        if (d == nullptr) return j.nullo();
        scrivi_firma(j, d->testo, sorgente, q.riga, q.carattere);
      });
    } else if (metodo == "textDocument/inlayHint") {
      const std::string& uri = uri_richiesta(p);
      const ValoreJson& intervallo = membro(p, "range", ValoreJson::kOggetto);
      const int64_t prima =
          membro(membro(intervallo, "start", ValoreJson::kOggetto), "line", ValoreJson::kIntero)
              .intero;
      const int64_t ultima =
          membro(membro(intervallo, "end", ValoreJson::kOggetto), "line", ValoreJson::kIntero)
              .intero;
      const Documento* d = documento(uri, sorgente);
      rispondi(id, [&](ScrittoreJson& j) {
        if (d == nullptr) return j.nullo();
        scrivi_suggerimenti(j, d->testo, sorgente, prima, ultima);
      });
    } else if (metodo == "textDocument/definition") {
      const PuntoRichiesta q = punto_richiesta(p);
      rispondi(id, [&](ScrittoreJson& j) { scrivi_definizione(j, documenti_, q); });
    } else if (metodo == "textDocument/documentSymbol") {
      const Documento* d = documento(uri_richiesta(p), sorgente);
      rispondi(id, [&](ScrittoreJson& j) {
        if (d == nullptr) return j.nullo();
        scrivi_simboli(j, d->testo, sorgente);
      });
    } else {
      rispondi_errore(id, kMetodoIgnoto, "unknown method " + metodo);
    }
  }

  std::optional<int> notifica(const std::string& metodo, const ValoreJson& p) {
    if (metodo == "exit") return chiuso_ ? 0 : 1;
    if (!iniziato_ || chiuso_) return std::nullopt;
    try {
      if (metodo == "textDocument/didOpen") {
        const ValoreJson& d = membro(p, "textDocument", ValoreJson::kOggetto);
        const std::string& uri = membro(d, "uri", ValoreJson::kStringa).stringa;
        Documento doc;
        doc.testo = testo_da_editore(membro(d, "text", ValoreJson::kStringa).stringa);
        if (const ValoreJson* v = d.trova("version"); v && v->tipo == ValoreJson::kIntero) {
          doc.versione = v->intero;
        }
        documenti_[uri] = std::move(doc);
        compila(uri);
      } else if (metodo == "textDocument/didChange") {
        const ValoreJson& d = membro(p, "textDocument", ValoreJson::kOggetto);
        const std::string& uri = membro(d, "uri", ValoreJson::kStringa).stringa;
        auto it = documenti_.find(uri);
        if (it == documenti_.end()) return std::nullopt;  // a file not open
        for (const ValoreJson& c : membro(p, "contentChanges", ValoreJson::kLista).lista) {
          applica_modifica(it->second.testo, c);
        }
        if (const ValoreJson* v = d.trova("version"); v && v->tipo == ValoreJson::kIntero) {
          it->second.versione = v->intero;
        }
        in_attesa_[chiave_coppia(uri)] = {uri, Orologio::now() + ritardo_};
      } else if (metodo == "textDocument/didSave") {
        const std::string& uri = uri_richiesta(p);
        if (documenti_.count(uri)) compila(uri);
      } else if (metodo == "textDocument/didClose") {
        const std::string& uri = uri_richiesta(p);
        const std::string chiave = chiave_coppia(uri);
        if (documenti_.erase(uri) == 0) return std::nullopt;
        in_attesa_.erase(chiave);
        pubblica(uri, {}, std::nullopt);
        // The partner, if open, is compiled again against the file on disk.
        if (const std::optional<Coppia> c = coppia_di(documenti_, uri)) {
          const std::string& altro = c->uri_linea == uri ? c->uri_treno : c->uri_linea;
          if (documenti_.count(altro)) {
            compila(altro);
          } else {
            modelli_.erase(c->uri_treno);
          }
        }
      }
    } catch (const ParametriErrati&) {
      // A notification gets no answer: one the server cannot read is dropped.
    }
    return std::nullopt;
  }

  // What names the pair of a document in the waiting list: both its sources.
  std::string chiave_coppia(const std::string& uri) const {
    const std::optional<Coppia> c = coppia_di(documenti_, uri);
    return c ? c->uri_linea + "\n" + c->uri_treno : uri;
  }

  // Compiles the pairs whose quiet interval has ended (all of them with `tutti`).
  void compila_scaduti(bool tutti) {
    const Orologio::time_point ora = Orologio::now();
    std::vector<std::string> dovuti;
    for (auto it = in_attesa_.begin(); it != in_attesa_.end();) {
      if (tutti || it->second.quando <= ora) {
        dovuti.push_back(it->second.uri);
        it = in_attesa_.erase(it);
      } else {
        ++it;
      }
    }
    for (const std::string& uri : dovuti) {
      if (documenti_.count(uri)) compila(uri);
    }
  }

  // Compiles the pair of the open document `uri` and publishes the
  // diagnostics of both files (of the open one alone when it has no partner).
  void compila(const std::string& uri) {
    in_attesa_.erase(chiave_coppia(uri));
    EsitoCoppiaLsp e = compila_coppia_lsp(documenti_, uri);
    if (e.coppia) {
      if (e.modello) {
        modelli_[e.coppia->uri_treno] = std::move(*e.modello);
      } else {
        modelli_.erase(e.coppia->uri_treno);
      }
    }
    for (const DiagnosticheFile& f : e.file) {
      // A partner gone from the disk keeps no diagnostics of its own.
      if (!f.esiste && !con_diagnostiche_.count(f.uri)) continue;
      pubblica(f.uri, f.diagnostiche, e.coppia);
    }
  }

  void pubblica(const std::string& uri, const std::vector<Diagnostica>& diagnostiche,
                const std::optional<Coppia>& c) {
    std::optional<int64_t> versione;
    if (auto it = documenti_.find(uri); it != documenti_.end()) versione = it->second.versione;
    if (diagnostiche.empty()) {
      con_diagnostiche_.erase(uri);
    } else {
      con_diagnostiche_.insert(uri);
    }
    scrivi_messaggio_lsp(out_, notifica_diagnostiche(uri, versione, diagnostiche, c));
  }

  template <typename Scrivi>
  void rispondi(const ValoreJson& id, Scrivi scrivi) {
    std::ostringstream corpo;
    {
      ScrittoreJson j(corpo);
      j.apri_oggetto();
      j.campo("jsonrpc", "2.0");
      j.chiave("id");
      scrivi_valore(j, id);
      j.chiave("result");
      scrivi(j);
      j.chiudi_oggetto();
    }
    scrivi_messaggio_lsp(out_, corpo.str());
  }

  void rispondi_errore(const ValoreJson& id, int codice, const std::string& messaggio) {
    std::ostringstream corpo;
    {
      ScrittoreJson j(corpo);
      j.apri_oggetto();
      j.campo("jsonrpc", "2.0");
      j.chiave("id");
      scrivi_valore(j, id);
      j.chiave("error");
      j.apri_oggetto(true);
      j.campo("code", int64_t{codice});
      j.campo("message", utf8_mostrabile(messaggio));
      j.chiudi_oggetto();
      j.chiudi_oggetto();
    }
    scrivi_messaggio_lsp(out_, corpo.str());
  }

  IngressoLsp ingresso_;
  std::ostream& out_;
  std::chrono::milliseconds ritardo_;
  bool iniziato_ = false;
  bool chiuso_ = false;
  Documenti documenti_;
  std::map<std::string, Attesa> in_attesa_;          // by chiave_coppia
  std::map<std::string, ModelloCompilato> modelli_;  // by the service source's URI
  std::set<std::string> con_diagnostiche_;           // URIs last published with some
};

}  // namespace

int esegui_server_lsp(std::istream& in, std::ostream& out, const OpzioniServerLsp& opzioni) {
  return ServerLsp(in, out, opzioni).esegui();
}

}  // namespace scenario
