#include "toolkit/compila_sorgenti.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "compiler/controllo_sorgenti.h"
#include "model/codici_errore.h"
#include "output/file_compilati.h"
#include "output/memorizza_percorso.h"
#include "output/posa_codici.h"
#include "platform/file_atomico.h"
#include "platform/guasto.h"
#include "text/cp1252.h"
#include "text/nomi_file.h"
#include "toolkit/riga_comando.h"

namespace scenario {
namespace {

bool finisce_con(std::string_view s, std::string_view fine) {
  return s.size() >= fine.size() && s.substr(s.size() - fine.size()) == fine;
}

// A source's bytes: the text held in memory, else its file's.
std::string testo_sorgente(const RichiestaCompilazione& r, bool linea) {
  const std::optional<std::string>& testo = linea ? r.testo_linea : r.testo_treno;
  if (testo) return *testo;
  return leggi_file(linea ? r.linea : r.treno);
}

// Fills in the source line of every diagnostic that points into one of the
// two sources, for the caret.
void aggiungi_righe(std::vector<Diagnostica>& diagnostiche, const RichiestaCompilazione& r) {
  std::optional<std::string> testi[2];
  const std::filesystem::path* percorsi[2] = {&r.linea, &r.treno};
  for (Diagnostica& d : diagnostiche) {
    if (d.luogo.file.empty() || d.luogo.riga <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      const std::filesystem::path& p = *percorsi[i];
      if (d.luogo.file != utf8_di(p) && d.luogo.file != utf8_di(p.filename())) continue;
      if (!testi[i]) {
        try {
          testi[i] = testo_sorgente(r, i == 0);
        } catch (const GuastoEsecuzione&) {
          testi[i] = "";
        }
      }
      d.riga_sorgente = riga_del_testo(*testi[i], d.luogo.riga);
      break;
    }
  }
}

// The sentence that refuses a build whose compiled file would land on one of
// the user's sources (a source named like a compiled file, in the output
// folder): the source would be lost. Nothing when there is no such file.
std::optional<std::string> sorgente_sovrascritta(const RichiestaCompilazione& r) {
  const std::pair<FileScenario, const char*> compilati[] = {{FileScenario::kTracciato, "plan"},
                                                            {FileScenario::kVoci, "items"},
                                                            {FileScenario::kCelle, "cells"}};
  const std::pair<const std::filesystem::path*, const char*> sorgenti[] = {{&r.linea, "route"},
                                                                           {&r.treno, "service"}};
  for (const auto& [f, tipo] : compilati) {
    if (f == FileScenario::kTracciato && !r.con_tracciato) continue;
    const std::filesystem::path p = percorso_file(r.cartella, f, r.nome_scenario, r.numero_treno);
    for (const auto& [sorgente, ruolo] : sorgenti) {
      std::error_code ec;
      if (!std::filesystem::equivalent(p, *sorgente, ec)) continue;
      return std::string("the ") + tipo + " file " + utf8_di(p) + " would replace the " + ruolo +
             " source " + utf8_di(*sorgente) +
             ", which is never overwritten: choose another folder (-o) or name (--name, "
             "--train); no compiled file was written";
    }
  }
  return std::nullopt;
}

// The diagnostic of a source that cannot be read: missing, a folder, or
// refused by the system. The build would read it only halfway through, after
// the route half had already written compiled files from one source alone,
// so it is tried before anything. A missing route source keeps the code the
// reader records for it (101).
std::optional<Diagnostica> sorgente_illeggibile(const RichiestaCompilazione& r, bool linea) {
  if (linea ? r.testo_linea : r.testo_treno) return std::nullopt;
  const std::filesystem::path& p = linea ? r.linea : r.treno;
  const char* ruolo = linea ? "the route source" : "the service source";
  Diagnostica d;
  d.luogo.file = utf8_di(p);
  std::error_code ec;
  if (!std::filesystem::exists(p, ec)) {
    if (linea) {
      d.codice = 101;
      d.messaggio = descrizione_errore(101);
    } else {
      d.messaggio = std::string(ruolo) + " file is missing";
    }
  } else {
    try {
      leggi_file(p);
      return std::nullopt;
    } catch (const GuastoEsecuzione& g) {
      d.messaggio = std::string(ruolo) + " cannot be read: " + g.what();
    }
  }
  d.messaggio += "; nothing was compiled";
  return d;
}

bool stessa_riga(const LuogoSorgente& a, const LuogoSorgente& b) {
  return a.file == b.file && a.riga == b.riga && a.riga > 0;
}

// Adds what the checking pass found to the reader's diagnostics: a problem on
// a line the reader already reports on is that report (its notes join it);
// the others follow in source order, at most `massimo`.
void unisci_controllo(std::vector<Diagnostica>& tutte, const RichiestaCompilazione& r) {
  TestoSorgente sorgenti[2];
  const std::filesystem::path* percorsi[2] = {&r.linea, &r.treno};
  for (int i = 0; i < 2; ++i) {
    sorgenti[i].nome = utf8_di(*percorsi[i]);
    try {
      sorgenti[i].testo = testo_sorgente(r, i == 0);
    } catch (const GuastoEsecuzione&) {
      return;  // the reader's own diagnostics say why
    }
  }
  const EsitoControllo c = controlla_sorgenti(sorgenti[0], sorgenti[1], r.avvisi, r.con_tracciato);
  std::vector<Diagnostica> aggiunte;
  size_t mostrati = 0, taciuti = 0;
  constexpr size_t kNessuno = SIZE_MAX;
  size_t dove = kNessuno;  // after which diagnostic the notes of the last problem go
  bool tacere = false;
  for (const Diagnostica& d : c.problemi) {
    if (d.livello == Livello::kNota) {
      if (tacere) continue;
      if (dove != kNessuno) {
        tutte.insert(tutte.begin() + static_cast<std::ptrdiff_t>(++dove), d);
      } else {
        aggiunte.push_back(d);
      }
      continue;
    }
    dove = kNessuno;
    tacere = false;
    for (size_t i = 0; i < tutte.size(); ++i) {
      if (tutte[i].livello != Livello::kNota && stessa_riga(tutte[i].luogo, d.luogo)) dove = i;
    }
    if (dove != kNessuno) {
      while (dove + 1 < tutte.size() && tutte[dove + 1].livello == Livello::kNota) ++dove;
      continue;
    }
    if (mostrati >= r.massimo_problemi) {
      ++taciuti;
      tacere = true;
      continue;
    }
    ++mostrati;
    aggiunte.push_back(d);
  }
  // Error 102 points at the header that was meant as "[generale]".
  for (Diagnostica& d : tutte) {
    if (d.codice == 102 && c.come_generale) {
      d.luogo = *c.come_generale;
      d.larghezza = static_cast<int>(riga_del_testo(sorgenti[0].testo, d.luogo.riga).size()) -
                    d.luogo.colonna + 1;
      d.messaggio += "; this header looks like it, but the reader looks for \"[generale]\"";
    }
  }
  tutte.insert(tutte.end(), aggiunte.begin(), aggiunte.end());
  if (taciuti > 0) {
    Diagnostica d;
    d.livello = Livello::kNota;
    d.messaggio = std::to_string(taciuti) + " more problem" + (taciuti == 1 ? "" : "s") +
                  " not shown (--max-errors " + std::to_string(r.massimo_problemi) + ")";
    tutte.push_back(d);
  }
  // 1250 and 1251: the entry that took cell 1, where the check codes go.
  for (size_t i = 0; i < tutte.size(); ++i) {
    if ((tutte[i].codice == 1250 || tutte[i].codice == 1251) && c.in_cella_uno) {
      tutte.insert(tutte.begin() + static_cast<std::ptrdiff_t>(i) + 1, *c.in_cella_uno);
      break;
    }
  }
}

}  // namespace

EsitoCompilazione compila_sorgenti(const RichiestaCompilazione& r) {
  EsitoCompilazione e;
  if (const auto perche = r.in_memoria ? std::nullopt : sorgente_sovrascritta(r)) {
    e.stato = kUscitaGuasto;
    Diagnostica d;
    d.messaggio = *perche;
    e.diagnostiche.push_back(d);
    return e;
  }
  for (const bool linea : {true, false}) {
    if (auto d = sorgente_illeggibile(r, linea)) {
      e.stato = 1;
      if (e.codice_errore == 0) e.codice_errore = d->codice;
      e.diagnostiche.push_back(std::move(*d));
    }
  }
  if (e.stato != 0) return e;
  DiagnosticheLettura lettura(r.avvisi);
  SorgentiScenario sorgenti;
  sorgenti.linea = r.linea;
  sorgenti.treno = r.treno;
  sorgenti.elimina = false;  // the user's files: read, never deleted
  sorgenti.osservatore = &lettura;
  sorgenti.testo_linea = r.testo_linea;
  sorgenti.testo_treno = r.testo_treno;

  ModelloPercorso m;
  m.nome_scenario = r.nome_scenario;
  m.numero_treno = r.numero_treno;
  std::optional<Diagnostica> fine;
  try {
    if (r.in_memoria) {
      // Encoded as they would be written, so that a value the writers refuse
      // is reported as compile reports it.
      costruisci_modello(m, r.con_tracciato ? 1 : 0, sorgenti);
      if (m.con_tracciato != 0) byte_tracciato(m.tracciato);
      byte_voci(m);
      byte_celle(m);
    } else {
      std::filesystem::create_directories(r.cartella);
      memorizza_percorso(m, r.con_tracciato ? 1 : 0, sorgenti, r.cartella);
    }
  } catch (const ErroreFatale& f) {
    e.stato = kUscitaErrore;
    Diagnostica d;
    d.codice = f.numero;
    // Only cell 1 can be taken by the sources: the scenario's own item,
    // checked as well, receives nothing from them.
    d.messaggio = d.codice == 1251
                      ? "cell 1, where the scenario's check code goes, "
                        "already holds a value from an entry; no compiled file was written"
                      : "cell 1, where every scenario carries a marker, "
                        "already holds an entry or a code cell placed for a slowdown; no "
                        "compiled file was written";
    fine = d;
  } catch (const GuastoEsecuzione& g) {
    e.stato = kUscitaGuasto;
    Diagnostica d;
    d.messaggio =
        std::string(g.what()) +
        (m.celle_create ? "; the compiled files were not all written" : "; nothing was compiled");
    fine = d;
  } catch (const std::filesystem::filesystem_error& f) {
    e.stato = kUscitaGuasto;
    Diagnostica d;
    d.messaggio = std::string(f.what()) + "; the compiled files were not all written";
    fine = d;
  }

  e.codice_errore = m.codice_errore;
  e.posizione_errore = m.posizione_errore;
  e.diagnostiche = lettura.diagnostiche(m);
  if (fine) e.diagnostiche.push_back(*fine);
  unisci_controllo(e.diagnostiche, r);
  aggiungi_righe(e.diagnostiche, r);

  if (e.stato == kUscitaRiuscita) {
    bool errori = m.codice_errore != 0;
    for (const Diagnostica& d : e.diagnostiche) errori = errori || d.livello == Livello::kErrore;
    if (errori) e.stato = kUscitaErroreScenario;
    std::vector<FileScenario> scritti;
    if (r.con_tracciato) scritti.push_back(FileScenario::kTracciato);
    scritti.push_back(FileScenario::kVoci);
    scritti.push_back(FileScenario::kCelle);
    if (r.in_memoria) scritti.clear();
    for (FileScenario f : scritti) {
      e.file.push_back(cp1252_a_utf8(nome_file(f, m.nome_scenario, m.numero_treno)));
    }
  }
  if (r.modello != nullptr) *r.modello = std::move(m);
  return e;
}

NomiDaSorgenti nomi_da_sorgenti(const std::string& linea, const std::string& treno,
                                const std::string& nome_scenario_dato) {
  NomiDaSorgenti n;
  const std::string nome_linea = utf8_di(percorso_utf8(linea).filename());
  const std::string nome_treno = utf8_di(percorso_utf8(treno).filename());
  constexpr std::string_view kCodaLinea = "_linea.txt";
  constexpr std::string_view kCodaTreno = "-.txt";
  if (finisce_con(nome_linea, kCodaLinea) && nome_linea.size() > kCodaLinea.size()) {
    n.nome_scenario = nome_linea.substr(0, nome_linea.size() - kCodaLinea.size());
  }
  if (!finisce_con(nome_treno, kCodaTreno)) return n;
  const std::string base = nome_treno.substr(0, nome_treno.size() - kCodaTreno.size());
  const std::string& nome = nome_scenario_dato.empty() ? n.nome_scenario : nome_scenario_dato;
  if (!nome.empty()) {
    // The service source is NAME_TRAIN-.txt for the scenario's own name.
    if (base.size() > nome.size() + 1 && base.compare(0, nome.size(), nome) == 0 &&
        base[nome.size()] == '_') {
      n.numero_treno = base.substr(nome.size() + 1);
    }
    return n;
  }
  // Only the service source tells: the train number follows the last "_".
  const size_t u = base.rfind('_');
  if (u != std::string::npos && u > 0 && u + 1 < base.size()) {
    n.nome_scenario = base.substr(0, u);
    n.numero_treno = base.substr(u + 1);
  }
  return n;
}

}  // namespace scenario
