#include "toolkit/definizione_lsp.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "toolkit/righe_lsp.h"

namespace scenario {
namespace {

struct Luogo {
  int64_t riga = 0;
  size_t da = 0, a = 0;
};

// The entry's line from its keyword to its last character.
Luogo luogo_voce(const RigaTesto& r, const VoceInRiga& v) {
  size_t a = r.testo.size();
  while (a > v.parola_da && (r.testo[a - 1] == ' ' || r.testo[a - 1] == '\t')) --a;
  return {r.numero, v.parola_da, a};
}

struct Tratto {
  int64_t da = 0, a = 0;  // [da, a)
  Luogo luogo;
};

// The stretches of the route source's gradients (each to the next gradient's
// position, the last to the route's end) and curves (start to start plus arc).
void tratti(const std::string& linea, std::vector<Tratto>& pendenze, std::vector<Tratto>& curve) {
  for (const RigaTesto& r : righe_lsp(linea)) {
    const std::optional<VoceInRiga> v = voce_in_riga(r.testo, SorgenteFormato::kLinea, r.sezione);
    if (!v) continue;
    const std::optional<int64_t> p = numero_del_campo(r.testo, *v, 0);
    if (!p) continue;
    if (v->voce->parola == "pendenza") {
      pendenze.push_back({*p, std::numeric_limits<int64_t>::max(), luogo_voce(r, *v)});
    } else if (v->voce->parola == "curva") {
      const int64_t l = numero_del_campo(r.testo, *v, 1).value_or(0);
      curve.push_back({*p, *p + std::max<int64_t>(l, 0) + 1, luogo_voce(r, *v)});
    }
  }
  // A gradient holds from its position to the next greater one.
  for (Tratto& t : pendenze) {
    for (const Tratto& u : pendenze) {
      if (u.da > t.da && u.da < t.a) t.a = u.da;
    }
  }
}

}  // namespace

void scrivi_definizione(ScrittoreJson& j, const Documenti& documenti, const PuntoRichiesta& p) {
  const auto it = documenti.find(p.uri);
  const std::optional<SorgenteFormato> sorgente = sorgente_di(p.uri);
  const std::optional<Coppia> c = coppia_di(documenti, p.uri);
  if (it == documenti.end() || !sorgente || !c) {
    j.nullo();
    return;
  }
  const std::optional<RigaTesto> r = riga_lsp(it->second.testo, p.riga);
  const std::optional<VoceInRiga> v =
      r ? voce_in_riga(r->testo, *sorgente, r->sezione) : std::nullopt;
  if (!v) {
    j.nullo();
    return;
  }
  const bool da_treno = *sorgente == SorgenteFormato::kTreno;
  const std::optional<std::string> linea =
      da_treno ? testo_sorgente_lsp(documenti, c->uri_linea, c->linea) : it->second.testo;
  if (!linea) {
    j.nullo();
    return;
  }
  std::vector<Tratto> pendenze, curve;
  tratti(*linea, pendenze, curve);
  if (da_treno) {
    const std::optional<int64_t> q = posizione_della_voce(r->testo, *v);
    if (!q) {
      j.nullo();
      return;
    }
    j.apri_lista();
    // The gradient in force: of those whose stretch holds the place, the
    // last written (the one the reader leaves in the cells).
    const Tratto* in_vigore = nullptr;
    for (const Tratto& t : pendenze) {
      if (*q >= t.da && *q < t.a) in_vigore = &t;
    }
    if (in_vigore != nullptr) {
      scrivi_luogo(j, c->uri_linea, in_vigore->luogo.riga,
                   static_cast<int64_t>(in_vigore->luogo.da),
                   static_cast<int64_t>(in_vigore->luogo.a));
    }
    for (const Tratto& t : curve) {
      if (*q >= t.da && *q < t.a) {
        scrivi_luogo(j, c->uri_linea, t.luogo.riga, static_cast<int64_t>(t.luogo.da),
                     static_cast<int64_t>(t.luogo.a));
      }
    }
    j.chiudi_lista();
    return;
  }
  // From the route: the stretch of the gradient or curve on this line.
  const Tratto* tratto = nullptr;
  for (const std::vector<Tratto>* lista : {&pendenze, &curve}) {
    for (const Tratto& t : *lista) {
      if (t.luogo.riga == p.riga) tratto = &t;
    }
  }
  const std::optional<std::string> treno = testo_sorgente_lsp(documenti, c->uri_treno, c->treno);
  if (tratto == nullptr || !treno) {
    j.nullo();
    return;
  }
  j.apri_lista();
  for (const RigaTesto& s : righe_lsp(*treno)) {
    const std::optional<VoceInRiga> w = voce_in_riga(s.testo, SorgenteFormato::kTreno, s.sezione);
    if (!w) continue;
    const std::optional<int64_t> q = posizione_della_voce(s.testo, *w);
    if (!q || *q < tratto->da || *q >= tratto->a) continue;
    const Luogo l = luogo_voce(s, *w);
    scrivi_luogo(j, c->uri_treno, l.riga, static_cast<int64_t>(l.da), static_cast<int64_t>(l.a));
  }
  j.chiudi_lista();
}

}  // namespace scenario
