#include "toolkit/suggerimenti_lsp.h"

#include <optional>

#include "toolkit/protocollo_lsp.h"
#include "toolkit/righe_lsp.h"

namespace scenario {

void scrivi_suggerimenti(ScrittoreJson& j, const std::string& testo, SorgenteFormato sorgente,
                         int64_t prima, int64_t ultima) {
  j.apri_lista();
  for (const RigaTesto& r : righe_lsp(testo)) {
    if (r.numero < prima) continue;
    if (r.numero > ultima) break;
    const std::optional<VoceInRiga> v = voce_in_riga(r.testo, sorgente, r.sezione);
    if (!v) continue;
    for (size_t k = 0; k < v->campi.size(); ++k) {
      j.apri_oggetto(true);
      j.chiave("position");
      scrivi_posizione(j, r.numero, static_cast<int64_t>(v->campi[k].da));
      j.campo("label", std::string(v->voce->campi[k].nome) + ":");
      j.campo("kind", int64_t{2});  // parameter
      j.chiave("paddingRight");
      j.booleano(true);
      j.chiudi_oggetto();
    }
  }
  j.chiudi_lista();
}

}  // namespace scenario
