#include "toolkit/messaggi_lsp.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "text/cp1252.h"

namespace scenario {
namespace {

// No header a client sends is near this long; a longer line is read to its
// end and kept only in part, so that a stream of garbage costs no memory.
constexpr size_t kMassimoRigaIntestazione = 4096;

// One header line without its line end (CR LF, or a lone LF); false at the
// end of the stream.
bool riga_intestazione(std::istream& in, std::string& riga) {
  riga.clear();
  for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
    if (c == '\n') {
      if (!riga.empty() && riga.back() == '\r') riga.pop_back();
      return true;
    }
    if (riga.size() < kMassimoRigaIntestazione) riga += static_cast<char>(c);
  }
  return false;  // a line cut off by the end is no header
}

std::string_view senza_blank(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

MessaggioLsp leggi_messaggio_lsp(std::istream& in) {
  MessaggioLsp m;
  std::string riga;
  bool con_lunghezza = false;
  size_t lunghezza = 0;
  std::string perche;
  bool righe = false;
  while (true) {
    if (!riga_intestazione(in, riga)) return m;  // kFine
    if (riga.empty()) {
      // Empty lines between messages are no header block.
      if (!righe) continue;
      break;
    }
    righe = true;
    const size_t due_punti = riga.find(':');
    if (due_punti == std::string::npos) {
      if (perche.empty()) perche = "a header line without ':'";
      continue;
    }
    const std::string nome =
        minuscolo_cp1252(senza_blank(std::string_view(riga).substr(0, due_punti)));
    if (nome != "content-length") continue;
    const std::string_view valore = senza_blank(std::string_view(riga).substr(due_punti + 1));
    size_t n = 0;
    bool buono = !valore.empty();
    for (char c : valore) {
      if (c < '0' || c > '9') {
        buono = false;
        break;
      }
      // Past the bound the exact figure no longer matters: the body is skipped.
      if (n <= kMassimoCorpoLsp) n = n * 10 + static_cast<size_t>(c - '0');
    }
    if (!buono) {
      perche = "Content-Length is not a number: " + utf8_mostrabile(valore.substr(0, 40));
      con_lunghezza = false;
      continue;
    }
    con_lunghezza = true;
    lunghezza = n;
  }
  if (!con_lunghezza) {
    m.esito = MessaggioLsp::kIntestazione;
    m.perche = perche.empty() ? "a header block without Content-Length" : perche;
    return m;
  }
  if (lunghezza > kMassimoCorpoLsp) {
    // Running into the end sets only eofbit: what was skipped tells whether
    // the whole body was there.
    in.ignore(static_cast<std::streamsize>(lunghezza));
    if (static_cast<size_t>(in.gcount()) != lunghezza) return m;  // kFine
    m.esito = MessaggioLsp::kIntestazione;
    m.perche = "a message of " + std::to_string(lunghezza) + " bytes, more than the " +
               std::to_string(kMassimoCorpoLsp) + " read";
    return m;
  }
  // The body grows as its bytes arrive, so that a length the stream does not
  // hold costs no more memory than what came.
  constexpr size_t kPezzo = 64u << 10;
  while (m.corpo.size() < lunghezza) {
    const size_t letti = m.corpo.size();
    const size_t n = std::min(kPezzo, lunghezza - letti);
    m.corpo.resize(letti + n);
    in.read(m.corpo.data() + letti, static_cast<std::streamsize>(n));
    if (static_cast<size_t>(in.gcount()) != n) {
      m.corpo.clear();
      return m;  // kFine
    }
  }
  m.esito = MessaggioLsp::kMessaggio;
  return m;
}

void scrivi_messaggio_lsp(std::ostream& out, std::string_view corpo) {
  out << "Content-Length: " << corpo.size() << "\r\n\r\n" << corpo;
  out.flush();
}

}  // namespace scenario
