#include "toolkit/server_lsp.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <system_error>
#include <utility>
#include <vector>

#include "compiler/formato.h"
#include "model/diagnostica.h"
#include "platform/percorsi_utf8.h"
#include "text/cp1252.h"
#include "text/lettore_json.h"
#include "toolkit/compila_sorgenti.h"
#include "toolkit/json.h"
#include "toolkit/messaggi_lsp.h"

namespace scenario {

std::string testo_da_editore(std::string_view utf8) {
  std::string r;
  r.reserve(utf8.size());
  size_t inizio = 0;  // of the run not yet converted
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const bool quattro = c >= 0xF0 && c <= 0xF4 && i + 3 < utf8.size() &&
                         (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80 &&
                         (static_cast<unsigned char>(utf8[i + 2]) & 0xC0) == 0x80 &&
                         (static_cast<unsigned char>(utf8[i + 3]) & 0xC0) == 0x80;
    if (!quattro) {
      ++i;
      continue;
    }
    r += utf8_a_cp1252(utf8.substr(inizio, i - inizio));
    r += "??";
    i += 4;
    inizio = i;
  }
  r += utf8_a_cp1252(utf8.substr(inizio));
  return r;
}

namespace {

int cifra_esadecimale(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool lettera_unita(std::string_view s) {
  return s.size() >= 2 && s[1] == ':' &&
         ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
}

}  // namespace

std::string percorso_da_uri(std::string_view uri) {
  constexpr std::string_view kSchema = "file://";
  if (uri.substr(0, kSchema.size()) != kSchema) return "";
  uri.remove_prefix(kSchema.size());
  std::string p;
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && cifra_esadecimale(uri[i + 1]) >= 0 &&
        cifra_esadecimale(uri[i + 2]) >= 0) {
      p += static_cast<char>(cifra_esadecimale(uri[i + 1]) * 16 + cifra_esadecimale(uri[i + 2]));
      i += 2;
    } else {
      p += uri[i];
    }
  }
  if (p.empty() || p[0] != '/') return "";  // a host other than this machine
  if (lettera_unita(std::string_view(p).substr(1))) p.erase(0, 1);
  return p;
}

std::string uri_da_percorso(std::string_view utf8) {
  std::string s(utf8);
  std::replace(s.begin(), s.end(), '\\', '/');
  if (lettera_unita(s)) s.insert(0, "/");
  std::string r = "file://";
  constexpr char kCifre[] = "0123456789ABCDEF";
  for (const char c : s) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
        std::string_view("-._~/:").find(c) != std::string_view::npos) {
      r += c;
    } else {
      r += '%';
      r += kCifre[u >> 4];
      r += kCifre[u & 15];
    }
  }
  return r;
}

namespace {

constexpr int kErroreSintassi = -32700;
constexpr int kRichiestaInvalida = -32600;
constexpr int kMetodoIgnoto = -32601;
constexpr int kParametriInvalidi = -32602;
constexpr int kErroreInterno = -32603;
constexpr int kNonIniziato = -32002;

bool finisce_con(std::string_view s, std::string_view fine) {
  return s.size() >= fine.size() && s.substr(s.size() - fine.size()) == fine;
}

struct Documento {
  std::string testo;  // Windows-1252, as the reader reads it
  int64_t versione = 0;
};

// The two sources of one scenario, by path (UTF-8) and URI.
struct Coppia {
  std::string linea, treno;
  std::string uri_linea, uri_treno;
};

// A request's parameters that do not have the form the method needs.
struct ParametriErrati {
  std::string perche;
};

const ValoreJson& membro(const ValoreJson& v, const std::string& k, ValoreJson::Tipo tipo) {
  const ValoreJson* m = v.trova(k);
  if (m == nullptr) throw ParametriErrati{"missing \"" + k + "\""};
  if (m->tipo != tipo) throw ParametriErrati{"\"" + k + "\" has the wrong type"};
  return *m;
}

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

void scrivi_posizione(ScrittoreJson& j, int riga, int carattere) {
  j.apri_oggetto(true);
  j.campo("line", static_cast<int64_t>(std::max(riga, 0)));
  j.campo("character", static_cast<int64_t>(std::max(carattere, 0)));
  j.chiudi_oggetto();
}

// The range of a diagnostic's field, in the protocol's zero-based lines and
// UTF-16 columns (a Windows-1252 byte is one unit).
void scrivi_intervallo(ScrittoreJson& j, const LuogoSorgente& l, int larghezza) {
  const int riga = l.riga > 0 ? l.riga - 1 : 0;
  const int colonna = l.riga > 0 && l.colonna > 0 ? l.colonna - 1 : 0;
  const int fine = l.riga > 0 ? colonna + std::max(larghezza, 1) : 0;
  j.chiave("range");
  j.apri_oggetto(true);
  j.chiave("start");
  scrivi_posizione(j, riga, colonna);
  j.chiave("end");
  scrivi_posizione(j, riga, fine);
  j.chiudi_oggetto();
}

std::string testo_diagnostica(const Diagnostica& d) {
  std::string s = d.messaggio;
  if (d.posizione) s += " (position " + std::to_string(*d.posizione) + " m)";
  return s;
}

class ServerLsp {
 public:
  ServerLsp(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  int esegui() {
    while (true) {
      MessaggioLsp m = leggi_messaggio_lsp(in_);
      if (m.esito == MessaggioLsp::kFine) return 1;
      if (m.esito == MessaggioLsp::kIntestazione) {
        rispondi_errore(ValoreJson{}, kErroreSintassi, m.perche);
        continue;
      }
      if (const std::optional<int> fine = tratta(m.corpo)) return *fine;
    }
  }

 private:
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

  void richiesta(const ValoreJson& id, const std::string& metodo, const ValoreJson& p) {
    if (!iniziato_ && metodo != "initialize") {
      rispondi_errore(id, kNonIniziato, "the server has not been initialized");
      return;
    }
    if (chiuso_) {
      rispondi_errore(id, kRichiestaInvalida, "the server is shutting down");
      return;
    }
    if (metodo == "initialize") {
      if (iniziato_) {
        rispondi_errore(id, kRichiestaInvalida, "the server is already initialized");
        return;
      }
      if (p.tipo != ValoreJson::kOggetto) throw ParametriErrati{"params must be an object"};
      iniziato_ = true;
      rispondi(id, [](ScrittoreJson& j) {
        j.apri_oggetto();
        j.chiave("capabilities");
        j.apri_oggetto();
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
        j.chiudi_oggetto();
        j.chiave("serverInfo");
        j.apri_oggetto(true);
        j.campo("name", "scenario");
        j.campo("version", GENERATORE_VERSIONE);
        j.chiudi_oggetto();
        j.chiudi_oggetto();
      });
      return;
    }
    if (metodo == "shutdown") {
      chiuso_ = true;
      rispondi(id, [](ScrittoreJson& j) { j.nullo(); });
      return;
    }
    if (metodo == "textDocument/hover") {
      const std::string& uri =
          membro(membro(p, "textDocument", ValoreJson::kOggetto), "uri", ValoreJson::kStringa)
              .stringa;
      const ValoreJson& posizione = membro(p, "position", ValoreJson::kOggetto);
      membro(posizione, "line", ValoreJson::kIntero);
      membro(posizione, "character", ValoreJson::kIntero);
      std::optional<Spiegazione> s;
      // A file not open has nothing to explain: the answer is empty.
      if (auto it = documenti_.find(uri); it != documenti_.end()) {
        s = spiega(it->second.testo, posizione, uri);
      }
      rispondi(id, [&](ScrittoreJson& j) {
        if (!s) {
          j.nullo();
          return;
        }
        j.apri_oggetto();
        j.chiave("contents");
        j.apri_oggetto();
        j.campo("kind", "markdown");
        j.campo("value", s->testo);
        j.chiudi_oggetto();
        LuogoSorgente l;
        l.riga = s->riga + 1;
        l.colonna = static_cast<int>(s->colonna) + 1;
        scrivi_intervallo(j, l, static_cast<int>(s->larghezza));
        j.chiudi_oggetto();
      });
      return;
    }
    if (metodo == "textDocument/completion") {
      const std::string& uri =
          membro(membro(p, "textDocument", ValoreJson::kOggetto), "uri", ValoreJson::kStringa)
              .stringa;
      const ValoreJson& posizione = membro(p, "position", ValoreJson::kOggetto);
      const int64_t riga = membro(posizione, "line", ValoreJson::kIntero).intero;
      const int64_t carattere = membro(posizione, "character", ValoreJson::kIntero).intero;
      auto it = documenti_.find(uri);
      const std::optional<SorgenteFormato> sorgente = sorgente_di(uri);
      if (it == documenti_.end() || !sorgente) {
        rispondi(id, [](ScrittoreJson& j) { j.nullo(); });
        return;
      }
      const std::string& testo = it->second.testo;
      const std::string sezione = sezione_sopra(testo, riga);
      const size_t inizio = scostamento_riga(testo, riga);
      const std::string_view prima(testo.data() + inizio,
                                   std::min(scostamento(testo, posizione), testo.size()) - inizio);
      rispondi(id, [&](ScrittoreJson& j) {
        j.apri_lista();
        // Inside an entry, after its keyword, no keyword is offered.
        if (prima.find(',') != std::string_view::npos || carattere < 0) {
          j.chiudi_lista();
          return;
        }
        for (const VoceFormato& v : voci_formato()) {
          if (v.sorgente != *sorgente || minuscolo_cp1252(v.sezione) != sezione) continue;
          std::string frammento(v.parola);
          for (size_t i = 0; i < v.campi.size(); ++i) {
            frammento += ", ${" + std::to_string(i + 1) + ":" + std::string(v.campi[i].nome) + "}";
          }
          j.apri_oggetto(true);
          j.campo("label", v.parola);
          j.campo("kind", int64_t{14});  // keyword
          j.campo("detail", v.significato);
          j.campo("insertTextFormat", int64_t{2});  // a snippet
          j.campo("insertText", frammento);
          j.chiudi_oggetto();
        }
        // Section headers at a line's start.
        if (senza_blank_iniziali(prima).empty() || senza_blank_iniziali(prima)[0] == '[') {
          for (const std::string_view h : sezioni_formato(*sorgente)) {
            j.apri_oggetto(true);
            j.campo("label", h);
            j.campo("kind", int64_t{9});  // module: a section
            j.chiudi_oggetto();
          }
        }
        j.chiudi_lista();
      });
      return;
    }
    if (metodo == "textDocument/documentSymbol") {
      const std::string& uri =
          membro(membro(p, "textDocument", ValoreJson::kOggetto), "uri", ValoreJson::kStringa)
              .stringa;
      auto it = documenti_.find(uri);
      const std::optional<SorgenteFormato> sorgente = sorgente_di(uri);
      if (it == documenti_.end() || !sorgente) {
        rispondi(id, [](ScrittoreJson& j) { j.nullo(); });
        return;
      }
      rispondi(id, [&](ScrittoreJson& j) { scrivi_simboli(j, it->second.testo, *sorgente); });
      return;
    }
    rispondi_errore(id, kMetodoIgnoto, "unknown method " + metodo);
  }

  // The outline: each section, holding its entries by keyword (a station
  // also by its name) and position.
  static void scrivi_simboli(ScrittoreJson& j, const std::string& testo, SorgenteFormato sorgente) {
    struct Simbolo {
      std::string nome, dettaglio;
      int riga = 0, fine = 0;
      int kind = 0;
      std::vector<Simbolo> figli;
    };
    std::vector<Simbolo> sezioni;
    std::string sezione;
    size_t inizio = 0;
    for (int n = 0; inizio < testo.size(); ++n) {
      size_t fine = std::min(testo.find_first_of("\r\n", inizio), testo.size());
      const std::string_view riga(testo.data() + inizio, fine - inizio);
      const std::string_view r = senza_blank_iniziali(riga);
      if (!r.empty() && r[0] == '[') {
        const size_t chiusa = r.find(']');
        sezione =
            minuscolo_cp1252(r.substr(0, chiusa == std::string_view::npos ? r.size() : chiusa + 1));
        Simbolo s;
        s.nome =
            cp1252_a_utf8(r.substr(0, chiusa == std::string_view::npos ? r.size() : chiusa + 1));
        s.riga = s.fine = n;
        s.kind = 3;  // namespace
        sezioni.push_back(std::move(s));
      } else if (!r.empty() && !sezioni.empty()) {
        std::vector<std::string_view> campi;
        for (size_t da = 0;;) {
          const size_t v = r.find(',', da);
          std::string_view c =
              r.substr(da, v == std::string_view::npos ? std::string_view::npos : v - da);
          while (!c.empty() && (c.front() == ' ' || c.front() == '\t')) c.remove_prefix(1);
          while (!c.empty() && (c.back() == ' ' || c.back() == '\t')) c.remove_suffix(1);
          campi.push_back(c);
          if (v == std::string_view::npos) break;
          da = v + 1;
        }
        const VoceFormato* v = voce_riconosciuta(campi[0], sorgente, sezione == "[generale]");
        if (v != nullptr) {
          Simbolo s;
          s.nome = std::string(v->parola);
          if (v->parola == "stazione" && campi.size() > 1)
            s.nome += " " + cp1252_a_utf8(campi.back());
          if (!v->campi.empty() && v->campi[0].unita == "m" && campi.size() > 1) {
            s.dettaglio = cp1252_a_utf8(campi[1]) + " m";
          }
          s.riga = s.fine = n;
          s.kind = v->parola == "stazione" ? 19 : 14;  // object, constant
          sezioni.back().figli.push_back(std::move(s));
        }
      }
      if (!sezioni.empty()) sezioni.back().fine = n;
      if (fine < testo.size() && testo[fine] == '\r' && fine + 1 < testo.size() &&
          testo[fine + 1] == '\n')
        ++fine;
      inizio = fine + 1;
    }
    const auto scrivi = [&](const Simbolo& s, auto& se_stesso) -> void {
      j.apri_oggetto();
      j.campo("name", s.nome);
      if (!s.dettaglio.empty()) j.campo("detail", s.dettaglio);
      j.campo("kind", int64_t{s.kind});
      j.chiave("range");
      j.apri_oggetto(true);
      j.chiave("start");
      scrivi_posizione(j, s.riga, 0);
      j.chiave("end");
      scrivi_posizione(j, s.fine + 1, 0);
      j.chiudi_oggetto();
      j.chiave("selectionRange");
      j.apri_oggetto(true);
      j.chiave("start");
      scrivi_posizione(j, s.riga, 0);
      j.chiave("end");
      scrivi_posizione(j, s.riga + 1, 0);
      j.chiudi_oggetto();
      if (!s.figli.empty()) {
        j.chiave("children");
        j.apri_lista();
        for (const Simbolo& f : s.figli) se_stesso(f, se_stesso);
        j.chiudi_lista();
      }
      j.chiudi_oggetto();
    };
    j.apri_lista();
    for (const Simbolo& s : sezioni) scrivi(s, scrivi);
    j.chiudi_lista();
  }

  static std::string_view senza_blank_iniziali(std::string_view v) {
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
    return v;
  }

  static std::optional<SorgenteFormato> sorgente_di(const std::string& uri) {
    const std::string nome = utf8_di(percorso_utf8(percorso_da_uri(uri)).filename());
    if (finisce_con(nome, "_linea.txt")) return SorgenteFormato::kLinea;
    if (finisce_con(nome, "-.txt")) return SorgenteFormato::kTreno;
    return std::nullopt;
  }

  // The byte offset where zero-based line `riga` starts (the text's end past the last).
  static size_t scostamento_riga(const std::string& testo, int64_t riga) {
    ValoreJson p;
    p.tipo = ValoreJson::kOggetto;
    p.oggetto["line"].tipo = ValoreJson::kIntero;
    p.oggetto["line"].intero = riga;
    p.oggetto["character"].tipo = ValoreJson::kIntero;
    return scostamento(testo, p);
  }

  // The last section header above line `riga` (zero-based), lower case; the
  // first section when there is none above.
  static std::string sezione_sopra(const std::string& testo, int64_t riga) {
    std::string sezione;
    size_t inizio = 0;
    for (int64_t n = 0; n < riga && inizio < testo.size(); ++n) {
      size_t fine = std::min(testo.find_first_of("\r\n", inizio), testo.size());
      const std::string_view r =
          senza_blank_iniziali(std::string_view(testo).substr(inizio, fine - inizio));
      if (!r.empty() && r[0] == '[') {
        const size_t chiusa = r.find(']');
        sezione =
            minuscolo_cp1252(r.substr(0, chiusa == std::string_view::npos ? r.size() : chiusa + 1));
      }
      if (fine < testo.size() && testo[fine] == '\r' && fine + 1 < testo.size() &&
          testo[fine + 1] == '\n')
        ++fine;
      inizio = fine + 1;
    }
    return sezione;
  }

  struct Spiegazione {
    std::string testo;  // markdown, UTF-8
    int riga = 0;       // zero-based, and the field's columns on it
    size_t colonna = 0;
    size_t larghezza = 0;
  };

  // What the field under a position is: its entry, its name, unit and
  // meaning from the format table, and for a route position its chainage.
  static std::optional<Spiegazione> spiega(const std::string& testo, const ValoreJson& posizione,
                                           const std::string& uri) {
    const std::optional<SorgenteFormato> sorgente = sorgente_di(uri);
    if (!sorgente) return std::nullopt;
    const int64_t numero_riga = posizione["line"].intero;
    if (numero_riga < 0) return std::nullopt;
    const size_t inizio = scostamento_riga(testo, numero_riga);
    const std::string sezione = sezione_sopra(testo, numero_riga);
    const size_t fine_riga = std::min(testo.find_first_of("\r\n", inizio), testo.size());
    const std::string_view riga(testo.data() + inizio, fine_riga - inizio);
    const int64_t carattere = posizione["character"].intero;
    if (carattere < 0 || static_cast<uint64_t>(carattere) > riga.size()) return std::nullopt;
    const size_t c = static_cast<size_t>(carattere);
    // The field: between the commas around the position.
    const size_t da = c == 0 ? 0 : [&] {
      const size_t v = riga.rfind(',', c - 1);
      return v == std::string_view::npos ? size_t{0} : v + 1;
    }();
    const size_t a = std::min(riga.find(',', c), riga.size());
    size_t indice = 0;
    for (size_t i = 0; i < da; ++i) indice += riga[i] == ',';
    const auto senza_blank = [](std::string_view v) {
      while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
      while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
      return v;
    };
    const std::string_view parola = senza_blank(riga.substr(0, riga.find(',')));
    if (parola.empty() || parola[0] == '[') return std::nullopt;
    const VoceFormato* v = voce_riconosciuta(parola, *sorgente, sezione == "[generale]");
    if (v == nullptr) return std::nullopt;
    Spiegazione s;
    s.riga = static_cast<int>(numero_riga);
    const std::string_view campo = senza_blank(riga.substr(da, a - da));
    s.colonna = campo.empty() ? da : static_cast<size_t>(campo.data() - riga.data());
    s.larghezza = campo.size();
    const std::string voce = "**" + std::string(v->parola) + "** (" +
                             std::string(nome_sorgente(v->sorgente)) + ", " +
                             std::string(v->sezione) + "): " + std::string(v->significato);
    if (indice == 0) {
      s.testo = voce + "\n\nFields:";
      for (size_t i = 0; i < v->campi.size(); ++i) {
        s.testo += (i == 0 ? " " : ", ") + std::string(v->campi[i].nome);
      }
      return s;
    }
    if (indice > v->campi.size()) {
      s.testo = voce + "\n\nField " + std::to_string(indice) + ": more fields than the " +
                std::to_string(v->campi.size()) + " the entry has";
      return s;
    }
    const CampoFormato& f = v->campi[indice - 1];
    s.testo = voce + "\n\nField " + std::to_string(indice) + ", `" + std::string(f.nome) + "`";
    if (!f.unita.empty()) s.testo += " (" + std::string(f.unita) + ")";
    s.testo += ": " + std::string(f.significato);
    // A place on the route: its chainage, as km+m.
    const bool luogo = f.unita == "m" && (f.nome == "posizione" || f.nome == "inizio" ||
                                          f.nome == "fine" || f.nome == "x");
    if (luogo && !campo.empty()) {
      int64_t metri = 0;
      bool numero = campo.size() <= 9;
      for (const char ch : campo) {
        if (ch < '0' || ch > '9') numero = false;
        if (numero) metri = metri * 10 + (ch - '0');
      }
      if (numero) {
        const std::string resto = std::to_string(metri % 1000);
        s.testo += "\n\nAt km " + std::to_string(metri / 1000) + "+" +
                   std::string(3 - resto.size(), '0') + resto;
      }
    }
    return s;
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
          applica(it->second.testo, c);
        }
        if (const ValoreJson* v = d.trova("version"); v && v->tipo == ValoreJson::kIntero) {
          it->second.versione = v->intero;
        }
        compila(uri);
      } else if (metodo == "textDocument/didSave") {
        const std::string& uri =
            membro(membro(p, "textDocument", ValoreJson::kOggetto), "uri", ValoreJson::kStringa)
                .stringa;
        if (documenti_.count(uri)) compila(uri);
      } else if (metodo == "textDocument/didClose") {
        const std::string& uri =
            membro(membro(p, "textDocument", ValoreJson::kOggetto), "uri", ValoreJson::kStringa)
                .stringa;
        if (documenti_.erase(uri) == 0) return std::nullopt;
        pubblica(uri, {});
        // The partner, if open, is compiled again against the file on disk.
        if (const std::optional<Coppia> c = coppia(uri)) {
          const std::string& altro = c->uri_linea == uri ? c->uri_treno : c->uri_linea;
          if (documenti_.count(altro)) compila(altro);
        }
      }
    } catch (const ParametriErrati&) {
      // A notification gets no answer: one the server cannot read is dropped.
    }
    return std::nullopt;
  }

  // One entry of contentChanges: the whole text, or a range replaced.
  static void applica(std::string& testo, const ValoreJson& c) {
    const std::string nuovo = testo_da_editore(membro(c, "text", ValoreJson::kStringa).stringa);
    const ValoreJson* r = c.trova("range");
    if (r == nullptr) {
      testo = nuovo;
      return;
    }
    const size_t da = scostamento(testo, membro(*r, "start", ValoreJson::kOggetto));
    const size_t a = std::max(da, scostamento(testo, membro(*r, "end", ValoreJson::kOggetto)));
    testo.replace(da, a - da, nuovo);
  }

  // The byte offset of a protocol position in a Windows-1252 text; a position
  // past a line's end is its end, past the last line the text's end.
  static size_t scostamento(const std::string& testo, const ValoreJson& posizione) {
    const int64_t riga = membro(posizione, "line", ValoreJson::kIntero).intero;
    const int64_t carattere = membro(posizione, "character", ValoreJson::kIntero).intero;
    size_t i = 0;
    for (int64_t n = 0; n < riga; ++n) {
      while (i < testo.size() && testo[i] != '\n' && testo[i] != '\r') ++i;
      if (i >= testo.size()) return testo.size();
      if (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') ++i;
      ++i;
    }
    for (int64_t n = 0; n < carattere && i < testo.size() && testo[i] != '\n' && testo[i] != '\r';
         ++n) {
      ++i;
    }
    return i;
  }

  // The URI a path is known by: the one an open document came with, else its own.
  std::string uri_di(const std::string& percorso) const {
    for (const auto& [uri, doc] : documenti_) {
      if (percorso_da_uri(uri) == percorso) return uri;
    }
    return uri_da_percorso(percorso);
  }

  // The files of `cartella` (UTF-8 names) and the open documents in it.
  std::set<std::string> nomi_in(const std::filesystem::path& cartella) const {
    std::set<std::string> nomi;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(cartella, ec), fine; !ec && it != fine;
         it.increment(ec)) {
      nomi.insert(utf8_di(it->path().filename()));
    }
    for (const auto& [uri, doc] : documenti_) {
      const std::filesystem::path p = percorso_utf8(percorso_da_uri(uri));
      if (p.parent_path() == cartella) nomi.insert(utf8_di(p.filename()));
    }
    return nomi;
  }

  // The pair an open document belongs to: the partner is the open document or
  // file in its folder that the naming rule gives; with several service
  // sources for one route, the first by name. Nothing for a file the naming
  // rule does not name. A partner found nowhere keeps the name it would have.
  std::optional<Coppia> coppia(const std::string& uri) const {
    const std::string percorso = percorso_da_uri(uri);
    if (percorso.empty()) return std::nullopt;
    const std::filesystem::path p = percorso_utf8(percorso);
    const std::filesystem::path cartella = p.parent_path();
    const std::string nome = utf8_di(p.filename());
    constexpr std::string_view kCodaLinea = "_linea.txt";
    constexpr std::string_view kCodaTreno = "-.txt";
    Coppia c;
    if (finisce_con(nome, kCodaLinea) && nome.size() > kCodaLinea.size()) {
      const std::string scenario = nome.substr(0, nome.size() - kCodaLinea.size());
      std::string treno;
      for (const std::string& n : nomi_in(cartella)) {
        if (n.size() > scenario.size() + 1 + kCodaTreno.size() &&
            n.compare(0, scenario.size() + 1, scenario + "_") == 0 && finisce_con(n, kCodaTreno)) {
          treno = n;
          break;
        }
      }
      if (treno.empty()) treno = scenario + "_" + std::string(kCodaTreno);
      c.linea = percorso;
      c.treno = utf8_di(cartella / percorso_utf8(treno));
    } else if (finisce_con(nome, kCodaTreno)) {
      const std::string base = nome.substr(0, nome.size() - kCodaTreno.size());
      std::string linea;
      for (const std::string& n : nomi_in(cartella)) {
        if (!finisce_con(n, kCodaLinea) || n.size() <= kCodaLinea.size()) continue;
        const std::string scenario = n.substr(0, n.size() - kCodaLinea.size());
        if (base.size() > scenario.size() + 1 &&
            base.compare(0, scenario.size() + 1, scenario + "_") == 0 && n.size() > linea.size()) {
          linea = n;  // the longest scenario name that fits
        }
      }
      if (linea.empty()) {
        const size_t u = base.rfind('_');
        if (u == std::string::npos || u == 0) return std::nullopt;
        linea = base.substr(0, u) + std::string(kCodaLinea);
      }
      c.linea = utf8_di(cartella / percorso_utf8(linea));
      c.treno = percorso;
    } else {
      return std::nullopt;
    }
    c.uri_linea = uri_di(c.linea);
    c.uri_treno = uri_di(c.treno);
    return c;
  }

  // Compiles the pair of the open document `uri` and publishes the
  // diagnostics of both files (of the open one alone when it has no partner).
  void compila(const std::string& uri) {
    const std::optional<Coppia> c = coppia(uri);
    if (!c) {
      pubblica(uri, {});
      return;
    }
    RichiestaCompilazione r;
    r.linea = percorso_utf8(c->linea);
    r.treno = percorso_utf8(c->treno);
    r.in_memoria = true;
    const NomiDaSorgenti nomi = nomi_da_sorgenti(c->linea, c->treno, "");
    r.nome_scenario = utf8_a_cp1252(nomi.nome_scenario);
    r.numero_treno = utf8_a_cp1252(nomi.numero_treno);
    if (auto it = documenti_.find(c->uri_linea); it != documenti_.end()) {
      r.testo_linea = it->second.testo;
    }
    if (auto it = documenti_.find(c->uri_treno); it != documenti_.end()) {
      r.testo_treno = it->second.testo;
    }
    const EsitoCompilazione e = compila_sorgenti(r);
    // Each diagnostic goes to its file; one tied to neither source (a partner
    // missing, a model check) to the document being edited.
    std::vector<Diagnostica> per_linea, per_treno;
    const std::string nome_linea = utf8_di(r.linea.filename());
    const std::string nome_treno = utf8_di(r.treno.filename());
    const bool modifica_linea = uri == c->uri_linea;
    std::vector<Diagnostica>* ultimo = nullptr;
    for (Diagnostica d : e.diagnostiche) {
      std::vector<Diagnostica>* dove;
      if (d.luogo.file == c->linea || (!d.luogo.file.empty() && d.luogo.file == nome_linea)) {
        dove = &per_linea;
      } else if (d.luogo.file == c->treno ||
                 (!d.luogo.file.empty() && d.luogo.file == nome_treno)) {
        dove = &per_treno;
      } else {
        d.luogo = LuogoSorgente{};
        dove = modifica_linea ? &per_linea : &per_treno;
      }
      // A note stays with the problem it adds to.
      if (d.livello == Livello::kNota && ultimo != nullptr) dove = ultimo;
      if (d.livello != Livello::kNota) ultimo = dove;
      dove->push_back(std::move(d));
    }
    const bool linea_aperta = documenti_.count(c->uri_linea) > 0;
    const bool treno_aperto = documenti_.count(c->uri_treno) > 0;
    std::error_code ec;
    if (linea_aperta || std::filesystem::exists(r.linea, ec)) pubblica(c->uri_linea, per_linea, c);
    if (treno_aperto || std::filesystem::exists(r.treno, ec)) pubblica(c->uri_treno, per_treno, c);
  }

  void pubblica(const std::string& uri, const std::vector<Diagnostica>& diagnostiche,
                const std::optional<Coppia>& c = std::nullopt) {
    std::ostringstream corpo;
    {
      ScrittoreJson j(corpo);
      j.apri_oggetto();
      j.campo("jsonrpc", "2.0");
      j.campo("method", "textDocument/publishDiagnostics");
      j.chiave("params");
      j.apri_oggetto();
      j.campo("uri", uri);
      if (auto it = documenti_.find(uri); it != documenti_.end()) {
        j.campo("version", it->second.versione);
      }
      j.chiave("diagnostics");
      j.apri_lista();
      for (size_t i = 0; i < diagnostiche.size(); ++i) {
        const Diagnostica& d = diagnostiche[i];
        const bool nota = d.livello == Livello::kNota;
        j.apri_oggetto();
        scrivi_intervallo(j, d.luogo, d.larghezza);
        j.campo("severity", int64_t{d.livello == Livello::kErrore ? 1 : nota ? 3 : 2});
        if (d.codice != 0) {
          j.campo("code", int64_t{d.codice});
        } else if (!d.avviso.empty()) {
          j.campo("code", d.avviso);
        }
        j.campo("source", "scenario");
        j.campo("message", testo_diagnostica(d));
        // The notes that follow a problem are its related information.
        size_t k = i + 1;
        if (!nota && k < diagnostiche.size() && diagnostiche[k].livello == Livello::kNota) {
          j.chiave("relatedInformation");
          j.apri_lista();
          for (; k < diagnostiche.size() && diagnostiche[k].livello == Livello::kNota; ++k) {
            const Diagnostica& n = diagnostiche[k];
            j.apri_oggetto();
            j.chiave("location");
            j.apri_oggetto();
            std::string dove = uri;
            if (c && !n.luogo.file.empty()) {
              const std::filesystem::path f = percorso_utf8(n.luogo.file);
              if (f.filename() == percorso_utf8(c->linea).filename()) dove = c->uri_linea;
              if (f.filename() == percorso_utf8(c->treno).filename()) dove = c->uri_treno;
            }
            j.campo("uri", dove);
            scrivi_intervallo(j, n.luogo.file.empty() ? d.luogo : n.luogo,
                              n.luogo.file.empty() ? d.larghezza : n.larghezza);
            j.chiudi_oggetto();
            j.campo("message", testo_diagnostica(n));
            j.chiudi_oggetto();
          }
          j.chiudi_lista();
          i = k - 1;
        }
        j.chiudi_oggetto();
      }
      j.chiudi_lista();
      j.chiudi_oggetto();
      j.chiudi_oggetto();
    }
    scrivi_messaggio_lsp(out_, corpo.str());
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

  std::istream& in_;
  std::ostream& out_;
  bool iniziato_ = false;
  bool chiuso_ = false;
  std::map<std::string, Documento> documenti_;
};

}  // namespace

int esegui_server_lsp(std::istream& in, std::ostream& out) {
  return ServerLsp(in, out).esegui();
}

}  // namespace scenario
