#include "model/diagnostica.h"

#include <algorithm>

#include "model/codici_errore.h"
#include "text/cp1252.h"

namespace scenario {

bool errore_con_posizione(int32_t codice) {
  switch (codice) {
    case 6:
    case 7:
    case 8:
    case 9:
    case 11:
    case 12:
    case 13:
    case 15:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
    case 22:
      return true;
    default:
      return false;
  }
}

Diagnostica diagnostica_errore(const ModelloPercorso& m) {
  Diagnostica d;
  d.livello = Livello::kErrore;
  d.luogo = m.luogo_errore;
  d.codice = m.codice_errore;
  d.messaggio = descrizione_errore(m.codice_errore);
  if (errore_con_posizione(m.codice_errore)) d.posizione = m.posizione_errore;
  return d;
}

std::string prima_riga_diagnostica(const Diagnostica& d, std::string_view senza_luogo) {
  std::string s;
  if (!d.luogo.file.empty()) {
    s += d.luogo.file + ":";
    if (d.luogo.riga > 0) s += std::to_string(d.luogo.riga) + ":";
    if (d.luogo.riga > 0 && d.luogo.colonna > 0) s += std::to_string(d.luogo.colonna) + ":";
    s += " ";
  } else if (!senza_luogo.empty()) {
    s += std::string(senza_luogo) + ": ";
  }
  s += d.livello == Livello::kErrore ? "error" : d.livello == Livello::kAvviso ? "warning" : "note";
  if (d.codice != 0) s += " " + std::to_string(d.codice);
  if (!d.messaggio.empty()) s += ": " + d.messaggio;
  if (d.posizione) s += " (position " + std::to_string(*d.posizione) + " m)";
  if (!d.avviso.empty()) {
    s += d.livello == Livello::kErrore ? " [-Werror=" : " [-W";
    s += d.avviso + "]";
  }
  return s;
}

std::string formatta_diagnostica(const Diagnostica& d, std::string_view senza_luogo) {
  std::string s = prima_riga_diagnostica(d, senza_luogo) + "\n";
  if (d.riga_sorgente.empty() || d.luogo.colonna <= 0) return s;
  // The column counts Windows-1252 bytes, one per character: split the UTF-8
  // line into characters.
  std::vector<std::string_view> caratteri;
  const std::string_view riga = d.riga_sorgente;
  for (size_t i = 0; i < riga.size();) {
    size_t j = i + 1;
    while (j < riga.size() && (static_cast<unsigned char>(riga[j]) & 0xC0) == 0x80) ++j;
    caratteri.push_back(riga.substr(i, j - i));
    i = j;
  }
  const size_t colonna = static_cast<size_t>(d.luogo.colonna - 1);
  const size_t larghezza = static_cast<size_t>(std::max(d.larghezza, 1));
  // A long line is shown from a little before the field to a little after it.
  constexpr size_t kLarga = 100, kPrima = 30;
  size_t da = 0, a = caratteri.size();
  if (caratteri.size() > kLarga) {
    da = colonna > kPrima ? colonna - kPrima : 0;
    a = std::min(caratteri.size(), std::max(da + kLarga, colonna + std::min(larghezza, kLarga)));
  }
  std::string mostrata = da > 0 ? "..." : "";
  std::string caret = da > 0 ? "   " : "";
  for (size_t i = da; i < a; ++i) {
    mostrata += caratteri[i];
    if (i < colonna) caret += caratteri[i] == "\t" ? '\t' : ' ';
  }
  if (a < caratteri.size()) mostrata += "...";
  caret += '^';
  const size_t fine = std::min(colonna + larghezza, a + (a < caratteri.size() ? 0 : 1));
  for (size_t i = colonna + 1; i < fine; ++i) caret += '~';
  return s + mostrata + "\n" + caret + "\n";
}

std::string riga_del_testo(std::string_view cp1252, int riga) {
  if (riga <= 0) return "";
  size_t inizio = 0;
  for (int r = 1; r < riga; ++r) {
    size_t fine = cp1252.find_first_of("\r\n", inizio);
    if (fine == std::string_view::npos) return "";
    inizio =
        fine +
        ((cp1252[fine] == '\r' && fine + 1 < cp1252.size() && cp1252[fine + 1] == '\n') ? 2 : 1);
  }
  if (inizio >= cp1252.size()) return "";
  size_t fine = cp1252.find_first_of("\r\n", inizio);
  return cp1252_a_utf8(cp1252.substr(
      inizio, fine == std::string_view::npos ? std::string_view::npos : fine - inizio));
}

}  // namespace scenario
