#include "toolkit/spiegazione_lsp.h"

#include "compiler/celle_voce.h"
#include "compiler/posizioni.h"
#include "model/numeri.h"
#include "output/descrizione_compilati.h"
#include "text/cp1252.h"
#include "toolkit/protocollo_lsp.h"
#include "toolkit/righe_lsp.h"

namespace scenario {
namespace {

// The cell the place in field `k` (0-based) lands on, by its entry's rule;
// nothing for a place that marks no cell (a curve, a chainage reference).
std::optional<int32_t> cella_del_campo(std::string_view riga, const VoceInRiga& v, size_t k,
                                       int64_t p) {
  if (p < 0 || p > kLunghezzaMassima) return std::nullopt;
  const RegolaCella regola = regola_cella(v.voce->parola, v.voce->campi[k].nome);
  if (regola != RegolaCella::kStazione) return cella_per_regola(regola, p);
  const std::optional<int64_t> tipo = numero_del_campo(riga, v, 1);
  const std::optional<int64_t> lunghezza = numero_del_campo(riga, v, 2);
  const std::optional<int64_t> opz6 = numero_del_campo(riga, v, 5);
  if (!tipo || !lunghezza || !opz6 || *lunghezza < 0 || *lunghezza > kLunghezzaMassima)
    return std::nullopt;
  return cella_stazione(p, *tipo, *lunghezza, *opz6);
}

// The compiled model's word on a station (the item the n-th station of the
// source becomes) or a signal (its cell).
std::string nel_modello(const std::vector<RigaTesto>& righe, const RigaTesto& r,
                        const VoceInRiga& v, int64_t p, const ModelloCompilato& m) {
  const std::string fermata = m.codice_errore != 0 ? " (the reading stopped at error " +
                                                         std::to_string(m.codice_errore) + ", " +
                                                         std::to_string(m.posizione_errore) + " m)"
                                                   : "";
  if (m.riga_errore_treno == r.numero + 1) {
    return "\n\nNot in the compiled model: the reading stopped at this entry, error " +
           std::to_string(m.codice_errore);
  }
  if (v.voce->parola == "segnale") {
    const int32_t c = cella_punto(p);
    if (c < 0 || static_cast<size_t>(c) >= m.celle.size() || m.celle[c].tipo != kSegnale)
      return "\n\nNot in the compiled model: cell " + std::to_string(c) + " holds no signal" +
             fermata;
    const Cella& k = m.celle[c];
    return "\n\nIn the compiled model: cell " + std::to_string(c) + ", a signal (dato1 " +
           std::to_string(k.dato1) + ", dato2 " + std::to_string(k.dato2) + ", dato3 " +
           std::to_string(k.dato3) + ", dato4 " + std::to_string(k.dato4) + ")";
  }
  // Stations take items 1, 2, ... in the order they are read.
  int64_t n = 0;
  for (const RigaTesto& s : righe) {
    if (s.numero > r.numero) break;
    const std::optional<VoceInRiga> w = voce_in_riga(s.testo, SorgenteFormato::kTreno, s.sezione);
    if (w && w->voce->parola == "stazione") ++n;
  }
  if (n < 1 || n >= kPrimaVoceCartelli || m.voci[n].posizione != p || m.voci[n].nome.empty())
    return "\n\nNot in the compiled model as item " + std::to_string(n) + fermata;
  const Voce& i = m.voci[n];
  std::string s = "\n\nIn the compiled model: item " + std::to_string(n) + ", station " +
                  cp1252_a_utf8(i.nome) + ", its area " + std::to_string(i.inizio) + " to " +
                  std::to_string(i.fine) + " m";
  const int32_t c = *cella_per_regola(RegolaCella::kFineTratto, i.fine);
  if (c >= 0 && static_cast<size_t>(c) < m.celle.size() && m.celle[c].tipo == kStazione &&
      m.celle[c].dato1 == n) {
    s += ", marked in cell " + std::to_string(c);
  }
  return s;
}

}  // namespace

std::optional<Spiegazione> spiega_campo(const std::string& testo, SorgenteFormato sorgente,
                                        int64_t numero_riga, int64_t carattere,
                                        const ModelloCompilato* modello) {
  const std::optional<RigaTesto> r = riga_lsp(testo, numero_riga);
  if (!r || carattere < 0 || static_cast<uint64_t>(carattere) > r->testo.size())
    return std::nullopt;
  const std::optional<VoceInRiga> v = voce_in_riga(r->testo, sorgente, r->sezione);
  if (!v) return std::nullopt;
  const VoceFormato& vf = *v->voce;
  const size_t indice = campo_alla_colonna(*v, static_cast<size_t>(carattere));
  Spiegazione s;
  s.riga = numero_riga;
  const std::string voce = "**" + std::string(vf.parola) + "** (" +
                           std::string(nome_sorgente(vf.sorgente)) + ", " +
                           std::string(vf.sezione) + "): " + std::string(vf.significato);
  if (indice == 0) {
    s.da = v->parola_da;
    s.a = v->parola_a;
    s.testo = voce + "\n\nFields:";
    for (size_t i = 0; i < vf.campi.size(); ++i) {
      s.testo += (i == 0 ? " " : ", ") + std::string(vf.campi[i].nome);
    }
    return s;
  }
  if (indice > vf.campi.size()) {
    s.da = v->avanzo;
    s.a = r->testo.size();
    s.testo = voce + "\n\nField " + std::to_string(indice) + ": more fields than the " +
              std::to_string(vf.campi.size()) + " the entry has";
    return s;
  }
  const CampoInRiga& campo = v->campi[indice - 1];
  s.da = campo.da;
  s.a = campo.a;
  const CampoFormato& f = vf.campi[indice - 1];
  s.testo = voce + "\n\nField " + std::to_string(indice) + ", `" + std::string(f.nome) + "`";
  if (!f.unita.empty()) s.testo += " (" + std::string(f.unita) + ")";
  s.testo += ": " + std::string(f.significato);
  // A place on the route: its chainage, as km+m, and its cell.
  const bool luogo = f.unita == "m" && (f.nome == "posizione" || f.nome == "inizio" ||
                                        f.nome == "fine" || f.nome == "x");
  const std::optional<int64_t> metri =
      campo.a > campo.da ? numero_del_campo(r->testo, *v, indice - 1) : std::nullopt;
  if (!luogo || !metri || *metri < 0) return s;
  // The chainage needs the route's chainage records: those of the last
  // compiled model, when there is one.
  s.testo += "\n\nAt " + std::to_string(*metri) + " m";
  if (modello != nullptr) {
    s.testo += ", chainage km " + testo_progressiva(progressiva(modello->voci, *metri));
  }
  if (const auto c = cella_del_campo(r->testo, *v, indice - 1, *metri)) {
    s.testo += ", in cell " + std::to_string(*c);
  }
  if (modello != nullptr && sorgente == SorgenteFormato::kTreno && indice == 1 &&
      (vf.parola == "stazione" || vf.parola == "segnale")) {
    s.testo += nel_modello(righe_lsp(testo), *r, *v, *metri, *modello);
  }
  return s;
}

void scrivi_spiegazione(ScrittoreJson& j, const std::optional<Spiegazione>& s) {
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
  scrivi_intervallo(j, s->riga, static_cast<int64_t>(s->da), static_cast<int64_t>(s->a));
  j.chiudi_oggetto();
}

}  // namespace scenario
