#include "toolkit/righe_lsp.h"

#include "text/cp1252.h"

namespace scenario {
namespace {

bool blank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::string_view senza_blank(std::string_view s) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::string intestazione_di(std::string_view riga) {
  const std::string_view r = senza_blank(riga);
  if (r.empty() || r[0] != '[') return "";
  const size_t chiusa = r.find(']');
  return minuscolo_cp1252(r.substr(0, chiusa == std::string_view::npos ? r.size() : chiusa + 1));
}

std::vector<RigaTesto> righe_lsp(std::string_view testo) {
  std::vector<RigaTesto> righe;
  std::string sezione;
  size_t inizio = 0;
  for (int64_t n = 0; inizio < testo.size() || (n == 0 && testo.empty()); ++n) {
    size_t fine = testo.find_first_of("\r\n", inizio);
    if (fine == std::string_view::npos) fine = testo.size();
    RigaTesto r;
    r.numero = n;
    r.testo = testo.substr(inizio, fine - inizio);
    if (std::string h = intestazione_di(r.testo); !h.empty()) sezione = std::move(h);
    r.sezione = sezione;
    righe.push_back(std::move(r));
    if (fine < testo.size() && testo[fine] == '\r' && fine + 1 < testo.size() &&
        testo[fine + 1] == '\n')
      ++fine;
    inizio = fine + 1;
    if (testo.empty()) break;
  }
  return righe;
}

std::optional<RigaTesto> riga_lsp(std::string_view testo, int64_t numero) {
  if (numero < 0) return std::nullopt;
  std::string sezione;
  size_t inizio = 0;
  for (int64_t n = 0;; ++n) {
    size_t fine = testo.find_first_of("\r\n", inizio);
    if (fine == std::string_view::npos) fine = testo.size();
    const std::string_view riga = testo.substr(inizio, fine - inizio);
    if (std::string h = intestazione_di(riga); !h.empty()) sezione = std::move(h);
    if (n == numero) return RigaTesto{n, riga, sezione};
    if (fine >= testo.size()) return std::nullopt;
    if (testo[fine] == '\r' && fine + 1 < testo.size() && testo[fine + 1] == '\n') ++fine;
    inizio = fine + 1;
  }
}

std::optional<VoceInRiga> voce_in_riga(std::string_view t, SorgenteFormato sorgente,
                                       const std::string& sezione) {
  const size_t v = t.find(',');
  const std::string_view grezza = t.substr(0, v);
  const size_t da = grezza.find_first_not_of(" \t");
  if (da == std::string_view::npos || grezza[da] == '[') return std::nullopt;
  size_t a = grezza.size();
  while (a > da && blank(grezza[a - 1])) --a;
  VoceInRiga r;
  r.voce = voce_riconosciuta(grezza.substr(da, a - da), sorgente, sezione == "[generale]");
  if (r.voce == nullptr) return std::nullopt;
  r.parola_da = da;
  r.parola_a = a;
  size_t i = v == std::string_view::npos ? t.size() : v + 1;
  bool dopo_virgola = v != std::string_view::npos;
  size_t zona = i;
  for (const CampoFormato& c : r.voce->campi) {
    while (i < t.size() && blank(t[i])) ++i;
    // The line ends before the entry does: the reader reads on into the next.
    if (i >= t.size() && !dopo_virgola) return r;
    CampoInRiga f;
    f.zona = zona;
    f.da = i;
    if (c.genere == GenereCampo::kTesto) {
      size_t fine = t.find(',', i);
      if (fine == std::string_view::npos) fine = t.size();
      size_t e = fine;
      while (e > i && blank(t[e - 1])) --e;
      f.a = e;
      i = fine < t.size() ? fine + 1 : fine;
      dopo_virgola = fine < t.size();
      zona = i;
    } else if (i >= t.size() || t[i] == ',') {
      f.a = i;  // an empty field, read as 0
      dopo_virgola = i < t.size();
      if (i < t.size()) ++i;
      zona = i;
    } else {
      size_t fine = i;
      while (fine < t.size() && !blank(t[fine]) && t[fine] != ',') ++fine;
      f.a = fine;
      i = fine;
      while (i < t.size() && blank(t[i])) ++i;
      dopo_virgola = i < t.size() && t[i] == ',';
      if (dopo_virgola) {
        ++i;
        zona = i;
      } else {
        // Numbers separated by blanks alone: past the first blank is the next.
        zona = fine < t.size() ? fine + 1 : fine;
      }
    }
    r.campi.push_back(f);
  }
  while (i < t.size() && blank(t[i])) ++i;
  if (i < t.size()) r.avanzo = zona;
  return r;
}

size_t campo_alla_colonna(const VoceInRiga& v, size_t colonna) {
  if (v.avanzo != std::string_view::npos && colonna >= v.avanzo && colonna > v.parola_a)
    return v.campi.size() + 1;
  size_t k = 0;
  for (size_t i = 0; i < v.campi.size(); ++i) {
    if (colonna >= v.campi[i].zona) k = i + 1;
  }
  return k;
}

std::optional<int64_t> numero_del_campo(std::string_view riga, const VoceInRiga& v, size_t k) {
  if (k >= v.campi.size()) return std::nullopt;
  const std::string_view s = riga.substr(v.campi[k].da, v.campi[k].a - v.campi[k].da);
  if (s.empty()) return 0;
  size_t i = s[0] == '-' || s[0] == '+' ? 1 : 0;
  if (i >= s.size() || s.size() - i > 10) return std::nullopt;
  int64_t n = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    n = n * 10 + (s[i] - '0');
  }
  return s[0] == '-' ? -n : n;
}

std::optional<int64_t> posizione_della_voce(std::string_view riga, const VoceInRiga& v) {
  if (v.voce->campi.empty()) return std::nullopt;
  const CampoFormato& c = v.voce->campi[0];
  if (c.unita != "m" || (c.nome != "posizione" && c.nome != "x" && c.nome != "inizio"))
    return std::nullopt;
  return numero_del_campo(riga, v, 0);
}

}  // namespace scenario
