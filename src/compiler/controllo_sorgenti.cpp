#include "compiler/controllo_sorgenti.h"

#include <map>
#include <string_view>

#include "compiler/celle_voce.h"
#include "compiler/formato.h"
#include "compiler/lettore_campi.h"
#include "model/numeri.h"
#include "text/cp1252.h"

namespace scenario {
namespace {

bool blank(char c) {
  return c == ' ' || c == '\t';
}

std::string citato(std::string_view s) {
  return "\"" + cp1252_a_utf8(s.substr(0, kCitazioneCampo)) + "\"";
}

// One line of a source, split as the readers split it: the keyword field to
// the first comma, then fields by the format table's kinds.
struct Riga {
  int numero = 0;
  std::string_view testo;  // without its line end
};

std::vector<Riga> righe(std::string_view t) {
  std::vector<Riga> r;
  size_t i = 0;
  int n = 1;
  while (i < t.size()) {
    size_t f = t.find_first_of("\r\n", i);
    if (f == std::string_view::npos) f = t.size();
    r.push_back({n++, t.substr(i, f - i)});
    if (f < t.size() && t[f] == '\r' && f + 1 < t.size() && t[f + 1] == '\n') ++f;
    i = f + 1;
  }
  return r;
}

struct Occupante {
  std::string parola;
  LuogoSorgente luogo;  // its position field
  int larghezza = 0;    // that field's characters
};

class Controllo {
 public:
  Controllo(const OpzioniAvvisi& avvisi, bool con_tracciato)
      : avvisi_(avvisi), con_tracciato_(con_tracciato) {}

  void sorgente(const TestoSorgente& s, SorgenteFormato quale);
  EsitoControllo esito() { return std::move(esito_); }

 private:
  void voce(const VoceFormato& v, const Riga& r, size_t dopo_parola, const std::string& nome);
  void avviso(const std::string& nome, const LuogoSorgente& l, int larghezza, std::string m);
  void errore(const LuogoSorgente& l, int larghezza, std::string m);
  void nota(const LuogoSorgente& l, int larghezza, std::string m);
  void cella(int32_t c, const VoceFormato& v, const LuogoSorgente& l, int larghezza, int32_t p);

  const OpzioniAvvisi& avvisi_;
  bool con_tracciato_;
  EsitoControllo esito_;
  std::optional<int64_t> lunghezza_;
  std::map<std::string_view, std::pair<int64_t, int>> ultime_;  // keyword: position, line
  std::map<int32_t, Occupante> celle_;
  std::optional<int64_t> orario_;
  bool encoding_detto_ = false;
};

void Controllo::avviso(const std::string& nome, const LuogoSorgente& l, int larghezza,
                       std::string m) {
  if (!avvisi_.attivo(nome)) return;
  Diagnostica d;
  d.livello = avvisi_.come_errori ? Livello::kErrore : Livello::kAvviso;
  d.luogo = l;
  d.larghezza = larghezza;
  d.avviso = nome;
  d.messaggio = std::move(m);
  esito_.problemi.push_back(std::move(d));
}

void Controllo::errore(const LuogoSorgente& l, int larghezza, std::string m) {
  Diagnostica d;
  d.luogo = l;
  d.larghezza = larghezza;
  d.messaggio = std::move(m);
  esito_.problemi.push_back(std::move(d));
}

void Controllo::nota(const LuogoSorgente& l, int larghezza, std::string m) {
  Diagnostica d;
  d.livello = Livello::kNota;
  d.luogo = l;
  d.larghezza = larghezza;
  d.messaggio = std::move(m);
  esito_.problemi.push_back(std::move(d));
}

// Text that is not Windows-1252 as the format wants it: a UTF-8 sequence
// (two or more bytes for one character) or a byte Windows-1252 leaves undefined.
std::optional<size_t> non_cp1252(std::string_view t, bool& utf8) {
  for (size_t i = 0; i < t.size(); ++i) {
    const auto c = static_cast<unsigned char>(t[i]);
    if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) {
      utf8 = false;
      return i;
    }
    if (c >= 0xC2 && c <= 0xF4 && i + 1 < t.size() &&
        (static_cast<unsigned char>(t[i + 1]) & 0xC0) == 0x80) {
      utf8 = true;
      return i;
    }
  }
  return std::nullopt;
}

void Controllo::sorgente(const TestoSorgente& s, SorgenteFormato quale) {
  bool iniziata = false;
  bool generale = quale == SorgenteFormato::kLinea;
  for (const Riga& r : righe(s.testo)) {
    bool utf8 = false;
    if (!encoding_detto_) {
      if (const auto i = non_cp1252(r.testo, utf8)) {
        encoding_detto_ = true;
        avviso("encoding", {s.nome, r.numero, static_cast<int>(*i) + 1}, utf8 ? 2 : 1,
               utf8 ? "this line holds UTF-8 text; sources are Windows-1252, so the simulator "
                      "shows each such character as two"
                    : "this line holds a byte that Windows-1252 does not define");
      }
    }
    const size_t v = r.testo.find(',');
    const std::string_view grezzo = r.testo.substr(0, v);
    const size_t da = grezzo.find_first_not_of(" \t");
    if (da == std::string_view::npos) continue;
    size_t a = grezzo.size();
    while (a > da && blank(grezzo[a - 1])) --a;
    const std::string campo(grezzo.substr(da, a - da));
    const std::string minuscolo = minuscole(campo);
    const LuogoSorgente luogo{s.nome, r.numero, static_cast<int>(da) + 1};
    const int larghezza = static_cast<int>(campo.size());
    if (!iniziata) {
      if (contiene(minuscolo, "[generale]")) {
        iniziata = true;
      } else if (quale == SorgenteFormato::kLinea && !esito_.come_generale &&
                 (contiene(minuscolo, "general") || contiene(minuscolo, "[gen"))) {
        esito_.come_generale = luogo;
      }
      continue;
    }
    const bool intestazione = contiene(campo, "[") && contiene(campo, "]");
    if (intestazione) {
      if (generale && campo.front() != '-') generale = false;
      continue;
    }
    if (contiene(campo, "-")) {
      // Passed over as a comment; a keyword written with a hyphen inside it
      // is lost so.
      if (campo.front() == '-') continue;
      std::string senza = campo;
      for (char& c : senza) {
        if (c == '-') c = '_';
      }
      const VoceFormato* voluta = voce_riconosciuta(senza, quale, generale);
      const std::string vicina = parola_chiave_vicina(campo);
      if (voluta != nullptr || !vicina.empty()) {
        avviso("unknown-keyword", luogo, larghezza,
               citato(campo) +
                   " holds \"-\", so the line is passed over as a comment; did you "
                   "mean \"" +
                   std::string(voluta != nullptr ? voluta->parola : vicina) + "\"?");
      }
      continue;
    }
    const VoceFormato* vf = voce_riconosciuta(campo, quale, generale);
    if (vf == nullptr) continue;
    if (vf->parola == "curva" && !con_tracciato_) continue;
    voce(*vf, r, v == std::string_view::npos ? r.testo.size() : v + 1, s.nome);
  }
}

void Controllo::cella(int32_t c, const VoceFormato& v, const LuogoSorgente& l, int larghezza,
                      int32_t p) {
  const auto it = celle_.find(c);
  if (it != celle_.end()) {
    const Occupante& o = it->second;
    const std::string chi = o.parola + " at line " + std::to_string(o.luogo.riga);
    if (v.parola == "stazione") {
      avviso("overwritten", l, larghezza,
             "the station's cell " + std::to_string(c) + " is already held by the " + chi +
                 "; the station takes it and that entry is lost");
    } else {
      errore(l, larghezza,
             std::string(v.parola) + " at " + std::to_string(p) + " m falls on cell " +
                 std::to_string(c) + ", already held by the " + chi);
    }
    nota(o.luogo, o.larghezza, "the " + o.parola + " that holds cell " + std::to_string(c));
  }
  celle_[c] = {std::string(v.parola), l, larghezza};
  if (c == 1 && !esito_.in_cella_uno) {
    Diagnostica d;
    d.livello = Livello::kNota;
    d.luogo = l;
    d.larghezza = larghezza;
    d.messaggio = "the " + std::string(v.parola) + " here takes cell 1";
    esito_.in_cella_uno = d;
  }
}

void Controllo::voce(const VoceFormato& v, const Riga& r, size_t i, const std::string& nome) {
  const std::string_view t = r.testo;
  const LuogoSorgente luogo_voce{nome, r.numero, static_cast<int>(t.find_first_not_of(" \t")) + 1};
  std::vector<CampoLetto> campi;
  std::vector<int64_t> valori;
  bool dopo_virgola = i > 0 && i <= t.size() && t[i - 1] == ',';
  for (size_t k = 0; k < v.campi.size(); ++k) {
    const CampoFormato& c = v.campi[k];
    while (i < t.size() && blank(t[i])) ++i;
    if (i >= t.size() && !dopo_virgola) {
      // The line ends before the entry does: the reader reads on into the
      // next line.
      const std::string_view parola = v.parola;
      avviso("missing-field", luogo_voce, static_cast<int>(parola.size()),
             std::string(parola) + " takes " + std::to_string(v.campi.size()) +
                 " fields after its keyword, found " + std::to_string(k) +
                 " on its line: the reader takes field " + std::to_string(k + 1) + " (" +
                 std::string(c.nome) + ") from the next line, whose entry is lost");
      return;
    }
    const int colonna = static_cast<int>(i) + 1;
    if (c.genere == GenereCampo::kTesto) {
      size_t f = t.find(',', i);
      if (f == std::string_view::npos) f = t.size();
      size_t e = f;
      while (e > i && blank(t[e - 1])) --e;
      campi.push_back(
          {r.numero, colonna, static_cast<int>(e - i), std::string(t.substr(i, e - i))});
      valori.push_back(0);
      i = f < t.size() ? f + 1 : f;
      dopo_virgola = f < t.size();
      continue;
    }
    if (i >= t.size() || t[i] == ',') {  // an empty field reads as 0
      campi.push_back({r.numero, colonna, 0, ""});
      valori.push_back(0);
      dopo_virgola = i < t.size();
      if (i < t.size()) ++i;
      continue;
    }
    size_t f = i;
    while (f < t.size() && !blank(t[f]) && t[f] != ',') ++f;
    const std::string testo(t.substr(i, f - i));
    campi.push_back({r.numero, colonna, static_cast<int>(f - i), testo});
    size_t cifre = testo[0] == '-' || testo[0] == '+' ? 1 : 0;
    bool numero = cifre < testo.size();
    int64_t valore = 0;
    for (size_t j = cifre; j < testo.size() && numero; ++j) {
      numero = testo[j] >= '0' && testo[j] <= '9';
      if (numero && valore < (int64_t{1} << 33)) valore = valore * 10 + (testo[j] - '0');
    }
    if (testo[0] == '-') valore = -valore;
    const std::string nome_campo = std::string(v.parola) + ": field " + std::to_string(k + 1) +
                                   " (" + std::string(c.nome) + ")";
    if (!numero || valore < INT32_MIN || valore > INT32_MAX) {
      errore({nome, r.numero, colonna}, static_cast<int>(testo.size()),
             nome_campo + " holds " + citato(testo) +
                 (numero ? ": a whole number from -2147483648 to 2147483647 is expected"
                         : ": a whole number is expected"));
      return;
    }
    valori.push_back(valore);
    if (valore < c.minimo || valore > c.massimo || valore % c.multiplo != 0) {
      avviso("out-of-range", {nome, r.numero, colonna}, static_cast<int>(testo.size()),
             nome_campo + " holds " + testo + ": keep it " +
                 (c.minimo <= INT32_MIN
                      ? "at most " + std::to_string(c.massimo)
                      : "in " + std::to_string(c.minimo) + ".." + std::to_string(c.massimo)) +
                 (c.multiplo > 1 ? ", a multiple of " + std::to_string(c.multiplo) : ""));
    }
    i = f;
    while (i < t.size() && blank(t[i])) ++i;
    dopo_virgola = i < t.size() && t[i] == ',';
    if (dopo_virgola) ++i;
  }
  while (i < t.size() && blank(t[i])) ++i;
  if (i < t.size()) {
    size_t f = t.find(',', i);
    if (f == std::string_view::npos) f = t.size();
    size_t e = f;
    while (e > i && blank(t[e - 1])) --e;
    avviso("extra-field", {nome, r.numero, static_cast<int>(i) + 1}, static_cast<int>(e - i),
           std::string(v.parola) + " takes " + std::to_string(v.campi.size()) +
               " fields after its keyword; " + citato(t.substr(i, e - i)) +
               " is left over and "
               "read as the next entry's keyword (a decimal comma?)");
  }

  // What the entries mean along the route.
  const std::string_view parola = v.parola;
  const LuogoSorgente campo1 =
      campi.empty() ? luogo_voce : LuogoSorgente{nome, campi[0].riga, campi[0].colonna};
  const int largo1 = campi.empty() ? 0 : campi[0].larghezza;
  if (parola == "lunghezza percorso") lunghezza_ = valori[0];
  const bool posizionata = !v.campi.empty() && (v.campi[0].nome == "posizione" ||
                                                parola == "rallentamento" || parola == "montagna");
  if (!posizionata) return;
  const int64_t p = valori[0];
  const bool punto_lungo = parola == "stazione" || parola == "segnale" ||
                           parola == "rallentamento" || parola == "abbattimento" ||
                           parola == "cartello_indicatore" || parola == "indicatori_vmax";
  if (lunghezza_ && punto_lungo && p > *lunghezza_) {
    avviso("beyond-route", campo1, largo1,
           std::string(parola) + " at " + std::to_string(p) + " m lies beyond the route's end at " +
               std::to_string(*lunghezza_) + " m");
  }
  if (parola == "pendenza" || parola == "velocita" || parola == "aderenza" ||
      parola == "stazione" || parola == "curva") {
    const auto it = ultime_.find(parola);
    if (it == ultime_.end()) {
      if ((parola == "velocita" || parola == "aderenza") && p != 0) {
        avviso("profile-start", campo1, largo1,
               "the first " + std::string(parola) + " entry is at " + std::to_string(p) +
                   " m: the profile must start at 0, the cells before it get 0");
      }
    } else if (p <= it->second.first) {
      avviso("route-order", campo1, largo1,
             std::string(parola) + " at " + std::to_string(p) +
                 " m does not come after the one at " + std::to_string(it->second.first) +
                 " m (line " + std::to_string(it->second.second) +
                 "): entries must be listed in increasing position order");
    }
    ultime_[parola] = {p, r.numero};
  }
  if (parola == "montagna" && valori[1] < valori[0]) {
    avviso("reversed-extent", {nome, campi[1].riga, campi[1].colonna}, campi[1].larghezza,
           "montagna: field 2 (fine) " + std::to_string(valori[1]) +
               " m ends before field 1 (inizio) " + std::to_string(valori[0]) + " m");
  }
  const int32_t q = static_cast<int32_t>(p);
  const RegolaCella regola = regola_cella(parola, v.campi[0].nome);
  if (parola == "rallentamento") {
    // The warning point 1200 m before the start, the start and the end.
    auto punto = [](int64_t x) { return *cella_per_regola(RegolaCella::kPunto, x); };
    if (p > 1500) cella(punto(p - 1200), v, campo1, largo1, q);
    cella(punto(p), v, campo1, largo1, q);
    if (valori[2] != 0) cella(punto(p + valori[2]), v, campo1, largo1, q);
  } else if (regola == RegolaCella::kPunto || parola == "abbattimento") {
    // A feature that holds its cell: a signal, a board, a mark.
    cella(*cella_per_regola(regola, p), v, campo1, largo1, q);
  } else if (regola == RegolaCella::kStazione && valori.size() >= 16) {
    if (const auto c = cella_stazione(p, valori[1], valori[2], valori[5])) {
      cella(*c, v, campo1, largo1, q);
    }
    const int64_t orario = (valori[13] * 60 + valori[14]) * 60 + valori[15];
    if (orario != 0) {
      if (orario_ && orario < *orario_) {
        avviso("time-order", {nome, campi[13].riga, campi[13].colonna}, campi[13].larghezza,
               "stazione: the scheduled time is earlier than the previous station's");
      }
      orario_ = orario;
    }
  }
}

}  // namespace

EsitoControllo controlla_sorgenti(const TestoSorgente& linea, const TestoSorgente& treno,
                                  const OpzioniAvvisi& avvisi, bool con_tracciato) {
  Controllo c(avvisi, con_tracciato);
  c.sorgente(linea, SorgenteFormato::kLinea);
  c.sorgente(treno, SorgenteFormato::kTreno);
  return c.esito();
}

}  // namespace scenario
