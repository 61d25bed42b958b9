#include "model/diagnostica.h"

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
  s += d.riga_sorgente + "\n";
  // The column counts Windows-1252 bytes, one per character; walk as many
  // UTF-8 characters, keeping tabs so that the caret lines up under them.
  std::string caret;
  int caratteri = 0;
  for (unsigned char c : d.riga_sorgente) {
    if (caratteri >= d.luogo.colonna - 1) break;
    if ((c & 0xC0) == 0x80) continue;  // continuation byte of the same character
    caret += c == '\t' ? '\t' : ' ';
    ++caratteri;
  }
  return s + caret + "^\n";
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
