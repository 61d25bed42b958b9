#include "toolkit/diagnostiche_lsp.h"

#include <filesystem>
#include <sstream>
#include <system_error>
#include <utility>

#include "compiler/controllo_sorgenti.h"
#include "platform/percorsi_utf8.h"
#include "text/cp1252.h"
#include "toolkit/compila_sorgenti.h"
#include "toolkit/json.h"
#include "toolkit/protocollo_lsp.h"

namespace scenario {
namespace {

std::string testo_diagnostica(const Diagnostica& d) {
  std::string s = d.messaggio;
  if (d.posizione) s += " (position " + std::to_string(*d.posizione) + " m)";
  return s;
}

bool presente(const Documenti& documenti, const std::string& uri, const std::string& percorso) {
  std::error_code ec;
  return documenti.count(uri) > 0 || std::filesystem::exists(percorso_utf8(percorso), ec);
}

// A source whose partner is neither open nor on disk: the checking pass over
// it alone, and a note naming the file it waits for.
EsitoCoppiaLsp da_solo(const Documenti& documenti, const Coppia& c, bool linea) {
  EsitoCoppiaLsp e;
  e.coppia = c;
  const std::string& percorso = linea ? c.linea : c.treno;
  const std::string& uri = linea ? c.uri_linea : c.uri_treno;
  TestoSorgente questa, altra;
  questa.nome = percorso;
  questa.testo = testo_sorgente_lsp(documenti, uri, percorso).value_or("");
  altra.nome = linea ? c.treno : c.linea;
  const EsitoControllo k = linea ? controlla_sorgenti(questa, altra, OpzioniAvvisi{})
                                 : controlla_sorgenti(altra, questa, OpzioniAvvisi{});
  Diagnostica d;
  d.livello = Livello::kNota;
  const std::string nome_linea = utf8_di(percorso_utf8(c.linea).filename());
  if (linea) {
    const std::string scenario = nome_linea.substr(0, nome_linea.size() - 10);  // "_linea.txt"
    d.messaggio = "no service source beside this route source: " + scenario +
                  "_TRAIN-.txt is expected in the same folder; until it is there only this "
                  "file's own entries are checked";
  } else {
    d.messaggio = "no route source beside this service source: " + nome_linea +
                  " is expected in the same folder; until it is there only this file's own "
                  "entries are checked";
  }
  DiagnosticheFile f{uri, true, {d}};
  bool tenuto = false;  // a note goes with the problem before it
  for (const Diagnostica& p : k.problemi) {
    if (p.livello != Livello::kNota) tenuto = p.luogo.file == percorso;
    if (tenuto) f.diagnostiche.push_back(p);
  }
  e.file.push_back(std::move(f));
  e.file.push_back({linea ? c.uri_treno : c.uri_linea, false, {}});
  return e;
}

}  // namespace

EsitoCoppiaLsp compila_coppia_lsp(const Documenti& documenti, const std::string& uri) {
  EsitoCoppiaLsp e;
  e.coppia = coppia_di(documenti, uri);
  if (!e.coppia) {
    e.file.push_back({uri, true, {}});
    return e;
  }
  const Coppia& c = *e.coppia;
  const bool linea_presente = presente(documenti, c.uri_linea, c.linea);
  const bool treno_presente = presente(documenti, c.uri_treno, c.treno);
  if (!linea_presente || !treno_presente) return da_solo(documenti, c, linea_presente);

  RichiestaCompilazione r;
  r.linea = percorso_utf8(c.linea);
  r.treno = percorso_utf8(c.treno);
  r.in_memoria = true;
  const NomiDaSorgenti nomi = nomi_da_sorgenti(c.linea, c.treno, "");
  r.nome_scenario = utf8_a_cp1252(nomi.nome_scenario);
  r.numero_treno = utf8_a_cp1252(nomi.numero_treno);
  if (auto it = documenti.find(c.uri_linea); it != documenti.end())
    r.testo_linea = it->second.testo;
  if (auto it = documenti.find(c.uri_treno); it != documenti.end())
    r.testo_treno = it->second.testo;
  ModelloPercorso m;
  r.modello = &m;
  const EsitoCompilazione esito = compila_sorgenti(r);
  if (m.celle_create) {
    ModelloCompilato mc;
    mc.celle = std::move(m.celle);
    mc.voci = m.voci;
    mc.codice_errore = m.codice_errore;
    mc.posizione_errore = m.posizione_errore;
    e.modello = std::move(mc);
  }
  // Each diagnostic goes to its file; one tied to neither source (a model
  // check) to the document being edited.
  DiagnosticheFile per_linea{c.uri_linea, true, {}}, per_treno{c.uri_treno, true, {}};
  const std::string nome_linea = utf8_di(r.linea.filename());
  const std::string nome_treno = utf8_di(r.treno.filename());
  const bool modifica_linea = uri == c.uri_linea;
  std::vector<Diagnostica>* ultimo = nullptr;
  for (Diagnostica d : esito.diagnostiche) {
    std::vector<Diagnostica>* dove;
    if (d.luogo.file == c.linea || (!d.luogo.file.empty() && d.luogo.file == nome_linea)) {
      dove = &per_linea.diagnostiche;
    } else if (d.luogo.file == c.treno || (!d.luogo.file.empty() && d.luogo.file == nome_treno)) {
      dove = &per_treno.diagnostiche;
    } else {
      d.luogo = LuogoSorgente{};
      dove = modifica_linea ? &per_linea.diagnostiche : &per_treno.diagnostiche;
    }
    // A note stays with the problem it adds to.
    if (d.livello == Livello::kNota && ultimo != nullptr) dove = ultimo;
    if (d.livello != Livello::kNota) ultimo = dove;
    dove->push_back(std::move(d));
  }
  if (e.modello && e.modello->codice_errore != 0) {
    for (const Diagnostica& d : per_treno.diagnostiche) {
      if (d.codice == e.modello->codice_errore && d.livello == Livello::kErrore) {
        e.modello->riga_errore_treno = d.luogo.riga;
        break;
      }
    }
  }
  e.file.push_back(std::move(per_linea));
  e.file.push_back(std::move(per_treno));
  return e;
}

std::string notifica_diagnostiche(const std::string& uri, std::optional<int64_t> versione,
                                  const std::vector<Diagnostica>& diagnostiche,
                                  const std::optional<Coppia>& c) {
  std::ostringstream corpo;
  ScrittoreJson j(corpo);
  j.apri_oggetto();
  j.campo("jsonrpc", "2.0");
  j.campo("method", "textDocument/publishDiagnostics");
  j.chiave("params");
  j.apri_oggetto();
  j.campo("uri", uri);
  if (versione) j.campo("version", *versione);
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
  return corpo.str();
}

}  // namespace scenario
