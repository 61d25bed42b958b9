#include "toolkit/firma_lsp.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <utility>
#include <vector>

#include "toolkit/righe_lsp.h"

namespace scenario {
namespace {

// What a field holds and the range it keeps to, in one line.
std::string documentazione(const CampoFormato& c) {
  std::string s(c.nome);
  if (!c.unita.empty()) s += " (" + std::string(c.unita) + ")";
  s += ": " + std::string(c.significato);
  if (c.genere == GenereCampo::kNumero) {
    s += c.minimo <= INT32_MIN
             ? "; at most " + std::to_string(c.massimo)
             : "; " + std::to_string(c.minimo) + " to " + std::to_string(c.massimo);
    if (c.multiplo > 1) s += ", a multiple of " + std::to_string(c.multiplo);
  }
  return s;
}

}  // namespace

void scrivi_firma(ScrittoreJson& j, const std::string& testo, SorgenteFormato sorgente,
                  int64_t riga, int64_t carattere) {
  const std::optional<RigaTesto> r = riga_lsp(testo, riga);
  std::optional<VoceInRiga> v;
  if (r && carattere >= 0) v = voce_in_riga(r->testo, sorgente, r->sezione);
  const size_t indice = v ? campo_alla_colonna(*v, std::min(static_cast<size_t>(carattere),
                                                            static_cast<size_t>(r->testo.size())))
                          : 0;
  if (!v || v->voce->campi.empty() || indice > v->voce->campi.size()) {
    j.nullo();
    return;
  }
  const VoceFormato& vf = *v->voce;
  std::string etichetta(vf.parola);
  std::vector<std::pair<size_t, size_t>> parametri;
  for (const CampoFormato& c : vf.campi) {
    etichetta += ", ";
    parametri.emplace_back(etichetta.size(), etichetta.size() + c.nome.size());
    etichetta += c.nome;
  }
  j.apri_oggetto();
  j.chiave("signatures");
  j.apri_lista();
  j.apri_oggetto();
  j.campo("label", etichetta);
  j.campo("documentation", vf.significato);
  j.chiave("parameters");
  j.apri_lista();
  for (size_t i = 0; i < vf.campi.size(); ++i) {
    j.apri_oggetto(true);
    j.chiave("label");
    j.apri_lista(true);
    j.intero(static_cast<int64_t>(parametri[i].first));
    j.intero(static_cast<int64_t>(parametri[i].second));
    j.chiudi_lista();
    j.campo("documentation", documentazione(vf.campi[i]));
    j.chiudi_oggetto();
  }
  j.chiudi_lista();
  j.chiudi_oggetto();
  j.chiudi_lista();
  j.campo("activeSignature", int64_t{0});
  // On the keyword the first field is next.
  j.campo("activeParameter", static_cast<int64_t>(indice == 0 ? 0 : indice - 1));
  j.chiudi_oggetto();
}

}  // namespace scenario
