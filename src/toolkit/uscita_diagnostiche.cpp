#include "toolkit/uscita_diagnostiche.h"

#include <ostream>
#include <system_error>

#include "text/cp1252.h"
#include "toolkit/riga_comando.h"

namespace scenario {

void stampa_diagnostiche(std::ostream& err, const std::vector<Diagnostica>& diagnostiche) {
  for (const Diagnostica& d : diagnostiche) {
    err << utf8_mostrabile(formatta_diagnostica(d, kNomeStrumento));
  }
}

void stampa_errore_file(std::ostream& out, const std::string& file, const std::string& messaggio) {
  Diagnostica d;
  d.luogo.file = file;
  d.messaggio = messaggio;
  out << utf8_mostrabile(formatta_diagnostica(d, kNomeStrumento));
}

bool nomina_file_esistenti(std::ostream& err, std::string_view comando,
                           const std::vector<std::filesystem::path>& percorsi,
                           std::string (*mostrato)(const std::filesystem::path&)) {
  bool esiste = false;
  for (const std::filesystem::path& p : percorsi) {
    std::error_code ec;
    if (!std::filesystem::exists(p, ec)) continue;
    stampa_errore_file(err, mostrato(p),
                       "already exists and is never replaced; give --force to replace it");
    esiste = true;
  }
  if (esiste) err << kNomeStrumento << " " << comando << ": nothing was written\n";
  return esiste;
}

void diagnostiche_json(ScrittoreJson& json, const std::vector<Diagnostica>& diagnostiche) {
  json.apri_lista();
  for (const Diagnostica& d : diagnostiche) {
    json.apri_oggetto();
    json.campo("level", d.livello == Livello::kErrore   ? "error"
                        : d.livello == Livello::kAvviso ? "warning"
                                                        : "note");
    const bool ha_file = !d.luogo.file.empty();
    json.chiave("file");
    ha_file ? json.stringa(d.luogo.file) : json.nullo();
    json.chiave("line");
    ha_file&& d.luogo.riga > 0 ? json.intero(d.luogo.riga) : json.nullo();
    json.chiave("column");
    ha_file&& d.luogo.colonna > 0 ? json.intero(d.luogo.colonna) : json.nullo();
    // The characters of the field from that column on, as the ~ under it shows.
    json.chiave("width");
    ha_file&& d.luogo.colonna > 0 && d.larghezza > 0 ? json.intero(d.larghezza) : json.nullo();
    json.chiave("code");
    d.codice != 0 ? json.intero(d.codice) : json.nullo();
    json.chiave("warning");
    d.avviso.empty() ? json.nullo() : json.stringa(d.avviso);
    json.campo("message", d.messaggio);
    json.chiave("position");
    d.posizione ? json.intero(*d.posizione) : json.nullo();
    json.chiave("source_line");
    d.riga_sorgente.empty() ? json.nullo() : json.stringa(d.riga_sorgente);
    json.campo("text", prima_riga_diagnostica(d, kNomeStrumento));
    json.chiudi_oggetto();
  }
  json.chiudi_lista();
}

}  // namespace scenario
