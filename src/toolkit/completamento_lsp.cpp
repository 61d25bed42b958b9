#include "toolkit/completamento_lsp.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "text/cp1252.h"
#include "toolkit/documenti_lsp.h"
#include "toolkit/righe_lsp.h"

namespace scenario {

void scrivi_completamento(ScrittoreJson& j, const std::string& testo, SorgenteFormato sorgente,
                          int64_t riga, int64_t carattere) {
  j.apri_lista();
  const std::optional<RigaTesto> r = riga_lsp(testo, riga);
  // Inside an entry, after its keyword, no keyword is offered.
  if (!r || carattere < 0) {
    j.chiudi_lista();
    return;
  }
  const std::string_view prima =
      r->testo.substr(0, std::min<size_t>(static_cast<size_t>(carattere), r->testo.size()));
  if (prima.find(',') != std::string_view::npos) {
    j.chiudi_lista();
    return;
  }
  // The section the line is in: the header on the line itself is what is
  // being written, so it is the one above that counts.
  std::string sezione;
  if (riga > 0) {
    if (const std::optional<RigaTesto> sopra = riga_lsp(testo, riga - 1)) sezione = sopra->sezione;
  }
  for (const VoceFormato& v : voci_formato()) {
    if (v.sorgente != sorgente || minuscolo_cp1252(v.sezione) != sezione) continue;
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
  const std::string_view scritto = senza_blank(prima);
  if (scritto.empty() || scritto[0] == '[') {
    for (const std::string_view h : sezioni_formato(sorgente)) {
      j.apri_oggetto(true);
      j.campo("label", h);
      j.campo("kind", int64_t{9});  // module: a section
      j.chiudi_oggetto();
    }
  }
  j.chiudi_lista();
}

}  // namespace scenario
