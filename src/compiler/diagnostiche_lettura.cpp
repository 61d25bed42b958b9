#include "compiler/diagnostiche_lettura.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "compiler/formato.h"
#include "model/codici_errore.h"
#include "text/cp1252.h"

namespace scenario {
namespace {

// The edit distance between a and b when it is at most `limite`, otherwise
// limite + 1: one row of the table, kept on the stack for a keyword's length,
// given up as soon as every entry of a row exceeds the limit. The reader asks
// this for every unknown keyword against every keyword of the format.
size_t distanza(std::string_view a, std::string_view b, size_t limite) {
  constexpr size_t kRigaBreve = 64;
  std::array<size_t, kRigaBreve> breve;
  std::vector<size_t> lunga;
  size_t* riga = breve.data();
  if (b.size() + 1 > kRigaBreve) {
    lunga.resize(b.size() + 1);
    riga = lunga.data();
  }
  // Each letter one word has more often than the other takes an edit of its
  // own: a bound that, for most pairs, spares the table.
  std::array<int, 256> conti{};
  for (char c : a) ++conti[static_cast<unsigned char>(c)];
  for (char c : b) --conti[static_cast<unsigned char>(c)];
  size_t in_piu = 0, in_meno = 0;
  for (std::string_view w : {a, b}) {
    for (char c : w) {
      int& n = conti[static_cast<unsigned char>(c)];
      if (n > 0) in_piu += static_cast<size_t>(n);
      if (n < 0) in_meno += static_cast<size_t>(-n);
      n = 0;
    }
  }
  if (std::max(in_piu, in_meno) > limite) return limite + 1;

  for (size_t j = 0; j <= b.size(); ++j) riga[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonale = riga[0];
    riga[0] = i;
    size_t minimo = riga[0];
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t sopra = riga[j];
      const size_t cambio = diagonale + (a[i - 1] == b[j - 1] ? 0 : 1);
      riga[j] = std::min(std::min(riga[j], riga[j - 1]) + 1, cambio);
      diagonale = sopra;
      minimo = std::min(minimo, riga[j]);
    }
    // A row's smallest entry never falls in the rows after it.
    if (minimo > limite) return limite + 1;
  }
  return std::min(riga[b.size()], limite + 1);
}

std::string ripulito(std::string_view campo) {
  std::string s = minuscolo_cp1252(campo);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  size_t i = s.find_first_not_of(" \t");
  return i == std::string::npos ? "" : s.substr(i);
}

bool ha_lettere(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalpha(u) != 0 || u >= 0xC0;
  });
}

// What an entry is, in the words of a warning.
std::string cosa_e(const std::string& voce) {
  if (voce == "pendenza") return "gradient";
  if (voce == "velocita") return "speed limit";
  if (voce == "aderenza") return "adhesion";
  if (voce == "stazione") return "station";
  return voce;
}

// A likely typing mistake: a third of the keyword's letters or fewer wrong
// (one for the shortest).
size_t tolleranza(std::string_view parola) {
  return std::max<size_t>(1, parola.size() / 3);
}

}  // namespace

std::string parola_chiave_vicina(std::string_view campo) {
  const std::string c = ripulito(campo);
  if (c.empty()) return "";
  size_t massima = 0;
  for (const VoceFormato& v : voci_formato()) massima = std::max(massima, tolleranza(v.parola));
  std::string migliore;
  size_t d_migliore = SIZE_MAX;
  for (const VoceFormato& v : voci_formato()) {
    if (d_migliore == 0) break;
    const std::string_view p = v.parola;
    // The distance is at least the difference in length. Past the widest
    // tolerance its exact value cannot change the answer, so it is not
    // computed: for a field of megabytes that would take minutes.
    const size_t divario = c.size() > p.size() ? c.size() - p.size() : p.size() - c.size();
    // Only a distance below the best so far can change the answer, and none
    // past the widest tolerance can be one.
    const size_t limite = d_migliore == SIZE_MAX ? massima : std::min(massima, d_migliore - 1);
    const size_t d = divario > limite ? limite + 1 : distanza(c, p, limite);
    if (d < d_migliore) {
      d_migliore = d;
      migliore = p;
    }
  }
  return d_migliore <= tolleranza(migliore) ? migliore : "";
}

void DiagnosticheLettura::aggiungi(const LuogoSorgente& luogo, std::string_view nome,
                                   std::string messaggio) {
  if (!opzioni_.attivo(nome)) return;
  Diagnostica d;
  d.livello = opzioni_.come_errori ? Livello::kErrore : Livello::kAvviso;
  d.luogo = luogo;
  d.avviso = nome;
  d.messaggio = std::move(messaggio);
  diagnostiche_.push_back(std::move(d));
}

void DiagnosticheLettura::campo_ignorato(const LuogoSorgente& luogo, const std::string& campo) {
  // The reader hands over, one by one, every field of a line it does not
  // recognise: the first names the mistake, the rest follow from it.
  const bool stessa_riga =
      luogo.file == ultima_riga_ignorata_.file && luogo.riga == ultima_riga_ignorata_.riga;
  ultima_riga_ignorata_ = luogo;
  if (stessa_riga) return;
  const std::string c = ripulito(campo);
  // Numbers, empty fields and section headers are meant to be passed over;
  // a curve keyword is skipped on purpose when no plan table is built.
  if (!ha_lettere(c)) return;
  if (c.find('[') != std::string::npos && c.find(']') != std::string::npos) return;
  if (c.find("curva") != std::string::npos) return;
  // A field of a whole long line is quoted by its start and its length.
  constexpr size_t kCitazione = 60;
  const std::string testo = campo.size() <= kCitazione
                                ? "\"" + cp1252_a_utf8(campo) + "\""
                                : "\"" +
                                      cp1252_a_utf8(std::string_view(campo).substr(0, kCitazione)) +
                                      "...\" (" + std::to_string(campo.size()) + " characters)";
  const std::string vicina = parola_chiave_vicina(campo);
  std::string messaggio;
  if (vicina == c) {
    messaggio = testo +
                " is a keyword of another section or source; it is ignored here with "
                "the rest of its line";
  } else {
    messaggio = testo + " is not a keyword; it is ignored with the rest of its line";
    if (!vicina.empty()) messaggio += "; did you mean \"" + vicina + "\"?";
  }
  const size_t prima = diagnostiche_.size();
  aggiungi(luogo, "unknown-keyword", std::move(messaggio));
  // The whole keyword field is underlined.
  if (diagnostiche_.size() > prima) diagnostiche_.back().larghezza = static_cast<int>(campo.size());
}

void DiagnosticheLettura::valore_avvolto(const LuogoSorgente& luogo, const std::string& voce,
                                         int64_t letto, int64_t memorizzato) {
  std::string messaggio = cosa_e(voce) + " " + std::to_string(letto) +
                          " does not fit its cell, which keeps " + std::to_string(memorizzato);
  // The gradient is kept offset by 100: the simulator reads the byte less 100.
  if (voce == "pendenza") {
    messaggio = cosa_e(voce) + " " + std::to_string(letto) +
                " does not fit its cell: it is kept as " + std::to_string(memorizzato - 100);
  }
  aggiungi(luogo, "wrapped-value", std::move(messaggio));
}

void DiagnosticheLettura::fuori_ordine(const LuogoSorgente& luogo, const std::string& voce,
                                       int32_t posizione, int32_t raggiunta) {
  std::string messaggio;
  if (voce == "stazione") {
    messaggio = "the station at " + std::to_string(posizione) + " m comes after the station at " +
                std::to_string(raggiunta) + " m; stations must be listed in route order";
  } else {
    messaggio = "the " + cosa_e(voce) + " from " + std::to_string(posizione) +
                " m does not come after the previous one: the cells are already filled up to " +
                std::to_string(raggiunta) + " m, so one more cell gets the previous value; " +
                "entries must be listed in route order";
  }
  aggiungi(luogo, "route-order", std::move(messaggio));
}

namespace {

// The field of an entry that a recorded code is about: 0 for the keyword,
// else its number after the keyword.
size_t campo_del_codice(int32_t codice) {
  switch (codice) {
    case 4:
      return 2;
    case 9:
      return 3;
    case 5:
    case 10:
    case 24:
    case 103:
      return 0;
    default:
      return 1;
  }
}

std::string citato(std::string_view testo) {
  return "\"" + cp1252_a_utf8(testo) + "\"";
}

// "segnale: field 4 (s2)": a field by its entry, number and name.
std::string nome_campo(const VoceFormato* v, std::string_view parola, size_t k) {
  std::string s = std::string(v != nullptr ? v->parola : parola) + ": field " + std::to_string(k);
  if (v != nullptr && k >= 1 && k <= v->campi.size())
    s += " (" + std::string(v->campi[k - 1].nome) + ")";
  return s;
}

// What a field that could not be read should have held.
std::string atteso(const std::string& perche) {
  if (perche.find("32-bit") != std::string::npos) {
    return "a whole number from -2147483648 to 2147483647 is expected";
  }
  if (perche.rfind("from ", 0) == 0) {
    return "a whole number " + perche.substr(0, perche.find(':')) + " is expected";
  }
  return "a whole number is expected";
}

}  // namespace

void DiagnosticheLettura::errore_registrato(const VoceLetta& voce, int32_t codice,
                                            int32_t posizione, const std::string& perche) {
  const LuogoSorgente& luogo = voce.luogo;
  const VoceFormato* vf = voce_riconosciuta(
      voce.parola, voce.linea ? SorgenteFormato::kLinea : SorgenteFormato::kTreno, voce.generale);
  Diagnostica d;
  d.livello = Livello::kErrore;
  d.luogo = luogo;
  d.larghezza = static_cast<int>(voce.parola.size());
  d.codice = codice;
  d.messaggio = descrizione_errore(codice);
  if (codice == 25 && voce.fallito && vf != nullptr) {
    const CampoLetto& f = *voce.fallito;
    size_t sulla_riga = 0;
    for (const CampoLetto& c : voce.campi) sulla_riga += c.riga == luogo.riga;
    if (f.fine_sorgente || f.riga != luogo.riga) {
      // Too few fields on the entry's line: the reader went on into the
      // next line (or the end of the source) for the rest.
      d.messaggio = std::string(vf->parola) + " takes " + std::to_string(vf->campi.size()) +
                    (vf->campi.size() == 1 ? " field" : " fields") + " after its keyword, found " +
                    std::to_string(sulla_riga) + " on its line";
      d.messaggio += f.fine_sorgente ? "; the source ends there"
                                     : "; the reader took line " + std::to_string(f.riga) + "'s " +
                                           citato(f.testo) + " for field " +
                                           std::to_string(voce.campi.size() + 1);
    } else {
      d.luogo.colonna = f.colonna;
      d.larghezza = f.larghezza;
      // A field read whole but too large for its member is the last one read;
      // a field that could not be read comes after them.
      const bool letto = !voce.campi.empty() && voce.campi.back().riga == f.riga &&
                         voce.campi.back().colonna == f.colonna;
      const size_t k = voce.campi.size() + (letto ? 0 : 1);
      d.messaggio = nome_campo(vf, voce.parola, k) + " holds " + citato(f.testo) + ": " +
                    atteso(voce.perche_fallito);
    }
  } else if (codice == 25) {
    if (!perche.empty()) d.messaggio += ": " + perche;
  } else if (vf != nullptr) {
    const size_t k = campo_del_codice(codice);
    if (k >= 1 && k <= voce.campi.size()) {
      const CampoLetto& c = voce.campi[k - 1];
      d.luogo.riga = c.riga;
      d.luogo.colonna = c.colonna;
      d.larghezza = c.larghezza;
      d.messaggio =
          nome_campo(vf, voce.parola, k) + " holds " + citato(c.testo) + ": " + d.messaggio;
    } else {
      d.messaggio = citato(voce.parola) + ": " + d.messaggio;
    }
  }
  if (errore_con_posizione(codice)) d.posizione = posizione;
  // A code still standing from the route source stops the service source's
  // reading again at its next signal or slowdown, which records its own
  // position: the cause stays where it was found; this is where reading stopped.
  if (!registrati_.empty() && registrati_.back().codice == codice &&
      registrati_.back().luogo.file != luogo.file) {
    d.livello = Livello::kNota;
    d.codice = 0;
    d.luogo = luogo;
    d.larghezza = static_cast<int>(voce.parola.size());
    d.messaggio = "reading of this source stops here with error " + std::to_string(codice) +
                  " still standing";
  }
  registrati_.push_back({luogo, codice, posizione});
  diagnostiche_.push_back(std::move(d));
}

std::vector<Diagnostica> DiagnosticheLettura::diagnostiche(const ModelloPercorso& m) const {
  std::vector<Diagnostica> tutte = diagnostiche_;
  if (m.codice_errore == 0) return tutte;
  const bool spiegato = !registrati_.empty() && registrati_.back().codice == m.codice_errore &&
                        registrati_.back().posizione == m.posizione_errore;
  if (!spiegato) tutte.push_back(diagnostica_errore(m));
  return tutte;
}

}  // namespace scenario
