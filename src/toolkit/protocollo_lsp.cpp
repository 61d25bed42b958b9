#include "toolkit/protocollo_lsp.h"

#include <algorithm>

namespace scenario {

const ValoreJson& membro(const ValoreJson& v, const std::string& k, ValoreJson::Tipo tipo) {
  const ValoreJson* m = v.trova(k);
  if (m == nullptr) throw ParametriErrati{"missing \"" + k + "\""};
  if (m->tipo != tipo) throw ParametriErrati{"\"" + k + "\" has the wrong type"};
  return *m;
}

const std::string& uri_richiesta(const ValoreJson& p) {
  return membro(membro(p, "textDocument", ValoreJson::kOggetto), "uri", ValoreJson::kStringa)
      .stringa;
}

PuntoRichiesta punto_richiesta(const ValoreJson& p) {
  PuntoRichiesta r;
  r.uri = uri_richiesta(p);
  const ValoreJson& posizione = membro(p, "position", ValoreJson::kOggetto);
  r.riga = membro(posizione, "line", ValoreJson::kIntero).intero;
  r.carattere = membro(posizione, "character", ValoreJson::kIntero).intero;
  return r;
}

void scrivi_posizione(ScrittoreJson& j, int64_t riga, int64_t carattere) {
  j.apri_oggetto(true);
  j.campo("line", std::max<int64_t>(riga, 0));
  j.campo("character", std::max<int64_t>(carattere, 0));
  j.chiudi_oggetto();
}

void scrivi_intervallo(ScrittoreJson& j, std::string_view chiave, int64_t riga_da, int64_t da,
                       int64_t riga_a, int64_t a) {
  j.chiave(chiave);
  j.apri_oggetto(true);
  j.chiave("start");
  scrivi_posizione(j, riga_da, da);
  j.chiave("end");
  scrivi_posizione(j, riga_a, a);
  j.chiudi_oggetto();
}

void scrivi_intervallo(ScrittoreJson& j, int64_t riga, int64_t da, int64_t a) {
  scrivi_intervallo(j, "range", riga, da, riga, a);
}

void scrivi_intervallo(ScrittoreJson& j, const LuogoSorgente& l, int larghezza) {
  const int riga = l.riga > 0 ? l.riga - 1 : 0;
  const int colonna = l.riga > 0 && l.colonna > 0 ? l.colonna - 1 : 0;
  const int fine = l.riga > 0 ? colonna + std::max(larghezza, 1) : 0;
  scrivi_intervallo(j, riga, colonna, fine);
}

void scrivi_luogo(ScrittoreJson& j, const std::string& uri, int64_t riga, int64_t da, int64_t a) {
  j.apri_oggetto(true);
  j.campo("uri", uri);
  scrivi_intervallo(j, riga, da, a);
  j.chiudi_oggetto();
}

}  // namespace scenario
