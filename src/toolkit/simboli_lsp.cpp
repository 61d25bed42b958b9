#include "toolkit/simboli_lsp.h"

#include <optional>
#include <string_view>
#include <vector>

#include "text/cp1252.h"
#include "toolkit/protocollo_lsp.h"
#include "toolkit/righe_lsp.h"

namespace scenario {
namespace {

struct Simbolo {
  std::string nome, dettaglio;
  int64_t riga = 0, fine = 0;
  int64_t kind = 0;
  std::vector<Simbolo> figli;
};

void scrivi(ScrittoreJson& j, const Simbolo& s) {
  j.apri_oggetto();
  j.campo("name", s.nome);
  if (!s.dettaglio.empty()) j.campo("detail", s.dettaglio);
  j.campo("kind", s.kind);
  scrivi_intervallo(j, "range", s.riga, 0, s.fine + 1, 0);
  scrivi_intervallo(j, "selectionRange", s.riga, 0, s.riga + 1, 0);
  if (!s.figli.empty()) {
    j.chiave("children");
    j.apri_lista();
    for (const Simbolo& f : s.figli) scrivi(j, f);
    j.chiudi_lista();
  }
  j.chiudi_oggetto();
}

}  // namespace

void scrivi_simboli(ScrittoreJson& j, const std::string& testo, SorgenteFormato sorgente) {
  std::vector<Simbolo> sezioni;
  for (const RigaTesto& r : righe_lsp(testo)) {
    const std::string_view t = senza_blank(r.testo);
    if (!t.empty() && t[0] == '[') {
      const size_t chiusa = t.find(']');
      Simbolo s;
      s.nome = cp1252_a_utf8(t.substr(0, chiusa == std::string_view::npos ? t.size() : chiusa + 1));
      s.riga = s.fine = r.numero;
      s.kind = 3;  // namespace
      sezioni.push_back(std::move(s));
    } else if (!sezioni.empty()) {
      if (const std::optional<VoceInRiga> v = voce_in_riga(r.testo, sorgente, r.sezione)) {
        Simbolo s;
        s.nome = std::string(v->voce->parola);
        const bool stazione = v->voce->parola == "stazione";
        if (stazione && v->campi.size() == v->voce->campi.size()) {
          const CampoInRiga& nome = v->campi.back();
          s.nome += " " + cp1252_a_utf8(r.testo.substr(nome.da, nome.a - nome.da));
        }
        if (!v->voce->campi.empty() && v->voce->campi[0].unita == "m" && !v->campi.empty()) {
          const CampoInRiga& p = v->campi[0];
          s.dettaglio = cp1252_a_utf8(r.testo.substr(p.da, p.a - p.da)) + " m";
        }
        s.riga = s.fine = r.numero;
        s.kind = stazione ? 19 : 14;  // object, constant
        sezioni.back().figli.push_back(std::move(s));
      }
    }
    if (!sezioni.empty()) sezioni.back().fine = r.numero;
  }
  j.apri_lista();
  for (const Simbolo& s : sezioni) scrivi(j, s);
  j.chiudi_lista();
}

}  // namespace scenario
