// scenario dump FILE...: a compiled file as a readable table, as JSON, or as
// an annotated hex dump where every field's bytes carry their name.

#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "output/decodifica_compilati.h"
#include "output/descrizione_compilati.h"
#include "output/verifica_compilati.h"
#include "platform/file_atomico.h"
#include "platform/guasto.h"
#include "text/cp1252.h"
#include "toolkit/comandi.h"
#include "toolkit/json.h"
#include "toolkit/uscita_diagnostiche.h"

namespace scenario {
namespace {

constexpr const char* kAiuto =
    "Usage: scenario dump FILE... [--json [--text-diagnostics] | --hex]\n"
    "                             [--kind plan|items|cells]\n"
    "\n"
    "Decodes compiled files into a readable table: a plan file (NAME_linea.dat) by\n"
    "row, an items file (NAME_TRAIN.sim) by index and role, a cells file\n"
    "(NAME_TRAIN.dat) by cell with its position range, kind, values, gradient,\n"
    "speed, adhesion and montagna. The kind is told by the name, else by content.\n"
    "\n"
    "  --json         one JSON object per file (a list of them for several files);\n"
    "                 members keep the model's names; plan values are null (empty),\n"
    "                 an integer (Integer tag) or a number with a point (64-bit float)\n"
    "                 a file that cannot be read or decoded is an object with its\n"
    "                 \"error\" ({\"offset\", \"message\"}) in place of its contents\n"
    "  --text-diagnostics  with --json, also report errors as text on standard error\n"
    "  --hex          annotated hex dump: offset, bytes, and the field they hold\n"
    "  --kind KIND    read every FILE as that kind\n"
    "\n"
    "A file that is truncated, has bytes left over or holds a value its format\n"
    "cannot is reported with the offset of the problem; exit status 1.\n";

enum class Formato { kTabella, kJson, kHex };

std::string riempi(std::string s, size_t larghezza, bool a_destra = true) {
  if (s.size() >= larghezza) return s;
  return a_destra ? std::string(larghezza - s.size(), ' ') + s
                  : s + std::string(larghezza - s.size(), ' ');
}

std::string numero(int64_t v, size_t larghezza) {
  return riempi(std::to_string(v), larghezza);
}

std::string reale(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.4f", v);
  return buf;
}

// --- tables ---

void tabella_celle(std::ostream& out, const std::vector<Cella>& celle) {
  out << " cell      from-to m  kind               dato1  dato2  dato3  dato4 tempo marc"
         " mont gradient speed adhesion\n";
  for (size_t i = 0; i < celle.size(); ++i) {
    const Cella& c = celle[i];
    const int64_t da = static_cast<int64_t>(i) * 50;
    out << numero(static_cast<int64_t>(i), 5) << " "
        << riempi(std::to_string(da) + "-" + std::to_string(da + 50), 14) << "  "
        << riempi(nome_tipo_cella(c.tipo), 17, false) << numero(c.dato1, 7) << numero(c.dato2, 7)
        << numero(c.dato3, 7) << numero(c.dato4, 7) << numero(c.tempo, 6) << numero(c.marcatore, 5)
        << numero(c.montagna, 5)
        << riempi(c.pendenza == 0 ? "-" : std::to_string(pendenza_cella(c)), 9)
        << riempi(c.vel_limite == 0 ? "-" : std::to_string(velocita_cella(c)), 6)
        << numero(c.aderenza, 9) << "\n";
  }
}

void tabella_voci(std::ostream& out, const std::array<Voce, kNumeroVoci>& voci) {
  out << "item role         tipo    inizio      fine posizione opz4 opz5 opz6  opz7  opz8 opz9"
         "  opz10  opz11  opz12 opz13  orario  nome\n";
  for (int i = 0; i < kNumeroVoci; ++i) {
    const Voce& v = voci[static_cast<size_t>(i)];
    out << numero(i, 4) << " " << riempi(ruolo_voce(i, v), 12, false) << numero(v.tipo, 5)
        << numero(v.inizio, 10) << numero(v.fine, 10) << numero(v.posizione, 10)
        << numero(v.opz4, 5) << numero(v.opz5, 5) << numero(v.opz6, 5) << numero(v.opz7, 6)
        << numero(v.opz8, 6) << numero(v.opz9, 5) << numero(v.opz10, 7) << numero(v.opz11, 7)
        << numero(v.opz12, 7) << numero(v.opz13, 6) << numero(v.orario, 8) << "  ";
    if (!v.nome.empty()) out << '"' << cp1252_a_utf8(v.nome) << '"';
    out << "\n";
  }
}

std::string valore_tracciato(const Tracciato& t, int64_t riga, int coordinata) {
  switch (t.etichetta(riga, coordinata)) {
    case Etichetta::kVuoto:
      return "empty";
    case Etichetta::kIntero:
      return std::to_string(static_cast<int>(t.valore(riga, coordinata))) + " (Integer)";
    case Etichetta::kDoppio:
      return reale(t.valore(riga, coordinata));
  }
  return "";
}

void tabella_tracciato(std::ostream& out, const Tracciato& t) {
  out << "rows 0.." << t.ultima_riga() << " (route length " << t.ultima_riga() - 7000
      << " m by the rows)\n";
  out << "   row  coordinate 0       coordinate 1\n";
  for (int64_t r = 0; r <= t.ultima_riga(); ++r) {
    out << numero(r, 6) << "  " << riempi(valore_tracciato(t, r, 0), 17, false) << "  "
        << valore_tracciato(t, r, 1) << "\n";
  }
}

// --- JSON ---

void json_celle(ScrittoreJson& j, const std::vector<Cella>& celle) {
  j.chiave("cells");
  j.apri_lista();
  for (size_t i = 0; i < celle.size(); ++i) {
    const Cella& c = celle[i];
    j.apri_oggetto(true);
    j.campo("index", static_cast<int64_t>(i));
    j.campo("tipo", c.tipo);
    j.campo("dato1", c.dato1);
    j.campo("dato2", c.dato2);
    j.campo("dato3", c.dato3);
    j.campo("dato4", c.dato4);
    j.campo("tempo", c.tempo);
    j.campo("marcatore", c.marcatore);
    j.campo("montagna", c.montagna);
    j.campo("vel_limite", c.vel_limite);
    j.campo("pendenza", c.pendenza);
    j.campo("aderenza", c.aderenza);
    j.chiudi_oggetto();
  }
  j.chiudi_lista();
}

void json_voci(ScrittoreJson& j, const std::array<Voce, kNumeroVoci>& voci) {
  j.chiave("items");
  j.apri_lista();
  for (int i = 0; i < kNumeroVoci; ++i) {
    const Voce& v = voci[static_cast<size_t>(i)];
    j.apri_oggetto(true);
    j.campo("index", i);
    j.campo("role", ruolo_voce(i, v));
    j.campo("tipo", v.tipo);
    j.campo("inizio", v.inizio);
    j.campo("fine", v.fine);
    j.campo("posizione", v.posizione);
    j.campo("opz4", v.opz4);
    j.campo("nome", cp1252_a_utf8(v.nome));
    j.campo("opz7", v.opz7);
    j.campo("opz8", v.opz8);
    j.campo("opz10", v.opz10);
    j.campo("opz11", v.opz11);
    j.campo("opz12", v.opz12);
    j.campo("opz9", v.opz9);
    j.campo("opz13", v.opz13);
    j.campo("opz6", v.opz6);
    j.campo("opz5", v.opz5);
    j.campo("orario", v.orario);
    j.chiudi_oggetto();
  }
  j.chiudi_lista();
}

void json_tracciato(ScrittoreJson& j, const Tracciato& t) {
  j.campo("rows", static_cast<int64_t>(t.ultima_riga()) + 1);
  for (int c = 0; c < 2; ++c) {
    j.chiave(c == 0 ? "coordinata0" : "coordinata1");
    j.apri_lista(true);
    for (int64_t r = 0; r <= t.ultima_riga(); ++r) {
      switch (t.etichetta(r, c)) {
        case Etichetta::kVuoto:
          j.nullo();
          break;
        case Etichetta::kIntero:
          j.intero(static_cast<int64_t>(t.valore(r, c)));
          break;
        case Etichetta::kDoppio:
          j.reale(t.valore(r, c));
          break;
      }
    }
    j.chiudi_lista();
  }
}

// --- hex ---

constexpr size_t kByteRigaHex = 8;  // the widest number (a 64-bit float) fits one line

void riga_hex(std::ostream& out, size_t offset, std::string_view byte, const std::string& nota) {
  static const char* cifre = "0123456789abcdef";
  std::string off(8, '0');
  for (int i = 7; i >= 0 && offset != 0; --i, offset >>= 4)
    off[static_cast<size_t>(i)] = cifre[offset & 15];
  std::string h;
  for (unsigned char b : byte) {
    h += cifre[b >> 4];
    h += cifre[b & 15];
    h += ' ';
  }
  out << off << "  " << riempi(h, 3 * kByteRigaHex, false);
  if (!nota.empty()) out << " ; " << nota;
  out << "\n";
}

void hex(std::ostream& out, std::string_view byte, const std::vector<CampoBinario>& campi) {
  size_t fino = 0;
  for (const CampoBinario& c : campi) {
    for (size_t i = 0; i < c.lunghezza; i += kByteRigaHex) {
      const std::string nota = i == 0 ? c.nome + " = " + c.valore : "";
      riga_hex(out, c.offset + i,
               byte.substr(c.offset + i, std::min(kByteRigaHex, c.lunghezza - i)), nota);
    }
    fino = c.offset + c.lunghezza;
  }
  // Bytes no field took (a truncated field, or bytes left over).
  for (size_t i = fino; i < byte.size(); i += kByteRigaHex) {
    riga_hex(out, i, byte.substr(i, kByteRigaHex), i == fino ? "not part of any field" : "");
  }
}

// A file that cannot be shown: as text on the error stream, and with --json
// as the file's object carrying the error (its offset when there is one).
struct Fallimento {
  Formato formato;
  ScrittoreJson* json;
  bool testo;  // report as text too
  Uscite& u;

  bool operator()(const std::string& nome, const std::string& file_citato,
                  const std::string& messaggio, std::optional<size_t> offset,
                  std::optional<TipoCompilato> tipo = std::nullopt) const {
    if (testo) stampa_errore_file(u.err, file_citato, messaggio);
    if (formato == Formato::kJson) {
      json->apri_oggetto();
      json->campo("file", nome);
      json->chiave("kind");
      tipo ? json->stringa(nome_tipo_compilato(*tipo)) : json->nullo();
      json->chiave("error");
      json->apri_oggetto(true);
      json->chiave("offset");
      offset ? json->intero(static_cast<int64_t>(*offset)) : json->nullo();
      json->campo("message", messaggio);
      json->chiudi_oggetto();
      json->chiudi_oggetto();
    }
    return false;
  }
};

// Decodes one file and shows it; returns false (after reporting) when it
// cannot be decoded.
bool mostra(const std::string& nome, std::optional<TipoCompilato> tipo_dato, Formato formato,
            ScrittoreJson* json, bool testo, Uscite& u) {
  const Fallimento fallisci{formato, json, testo || formato != Formato::kJson, u};
  std::string byte;
  try {
    byte = leggi_file(percorso_utf8(nome));
  } catch (const GuastoEsecuzione& e) {
    return fallisci(nome, "", e.what(), std::nullopt);
  }
  const std::string base = utf8_di(percorso_utf8(nome).filename());
  const std::optional<TipoCompilato> tipo = tipo_dato ? tipo_dato : riconosci_compilato(base, byte);
  if (!tipo) {
    return fallisci(nome, nome,
                    "cannot tell a plan, items or cells file by its name or content; give --kind",
                    std::nullopt);
  }
  std::vector<CampoBinario> campi;
  std::optional<Tracciato> tracciato;
  std::optional<std::array<Voce, kNumeroVoci>> voci;
  std::vector<Cella> celle;
  try {
    std::vector<CampoBinario>* annota = formato == Formato::kHex ? &campi : nullptr;
    switch (*tipo) {
      case TipoCompilato::kTracciato:
        tracciato = decodifica_tracciato(byte, annota);
        break;
      case TipoCompilato::kVoci:
        voci = decodifica_voci(byte, annota);
        break;
      case TipoCompilato::kCelle:
        celle = decodifica_celle(byte, annota);
        break;
    }
  } catch (const ErroreDecodifica& e) {
    // A damaged name count makes the decoder stumble items later: name the count.
    std::string perche = e.what();
    size_t offset = e.offset();
    if (*tipo == TipoCompilato::kVoci) {
      if (const auto p = conteggio_nome_danneggiato(byte, nome)) {
        perche = p->testo;
        offset = p->offset.value_or(offset);
      }
    }
    if (formato == Formato::kHex) {
      u.out << "; " << nome << ": " << nome_tipo_compilato(*tipo) << " file, " << byte.size()
            << " bytes\n";
      hex(u.out, byte, campi);
    }
    return fallisci(nome, nome,
                    perche + (*tipo == TipoCompilato::kVoci ? " (read as an " : " (read as a ") +
                        nome_tipo_compilato(*tipo) + " file)",
                    offset, tipo);
  }

  if (formato == Formato::kHex) {
    u.out << "; " << nome << ": " << nome_tipo_compilato(*tipo) << " file, " << byte.size()
          << " bytes\n";
    hex(u.out, byte, campi);
    return true;
  }
  if (formato == Formato::kJson) {
    json->apri_oggetto();
    json->campo("file", nome);
    json->campo("kind", nome_tipo_compilato(*tipo));
    json->campo("bytes", static_cast<int64_t>(byte.size()));
    if (tracciato) json_tracciato(*json, *tracciato);
    if (voci) json_voci(*json, *voci);
    if (!celle.empty()) json_celle(*json, celle);
    json->chiudi_oggetto();
    return true;
  }
  u.out << nome << ": " << nome_tipo_compilato(*tipo) << " file, " << byte.size() << " bytes";
  if (!celle.empty()) u.out << ", cells 0.." << celle.size() - 1;
  u.out << "\n";
  if (tracciato) tabella_tracciato(u.out, *tracciato);
  if (voci) tabella_voci(u.out, *voci);
  if (!celle.empty()) tabella_celle(u.out, celle);
  return true;
}

}  // namespace

int comando_dump(Argomenti& a, Uscite& u) {
  Formato formato = Formato::kTabella;
  bool json_dato = false, hex_dato = false, testo = false;
  std::optional<TipoCompilato> tipo;
  std::vector<std::string> file;
  std::string parola;
  while (a.prossimo()) {
    if (a.bandiera("--help") || a.bandiera("-h")) {
      u.out << kAiuto;
      return kUscitaRiuscita;
    }
    if (a.bandiera("--json")) {
      json_dato = true;
    } else if (a.bandiera("--hex")) {
      hex_dato = true;
    } else if (a.bandiera("--text-diagnostics")) {
      testo = true;
    } else if (a.valore("--kind", parola)) {
      tipo = tipo_compilato_da_parola(parola);
      if (!tipo) throw ErroreUso("unknown kind '" + parola + "': plan, items or cells");
    } else if (a.e_opzione()) {
      a.sconosciuta();
    } else {
      file.push_back(a.prendi());
    }
  }
  if (json_dato && hex_dato) throw ErroreUso("--json and --hex cannot go together: choose one");
  if (testo && !json_dato) throw ErroreUso("--text-diagnostics goes with --json");
  if (json_dato) formato = Formato::kJson;
  if (hex_dato) formato = Formato::kHex;
  if (file.empty()) throw ErroreUso("no file to dump");
  bool tutti = true;
  std::optional<ScrittoreJson> json;
  if (formato == Formato::kJson) {
    json.emplace(u.out);
    if (file.size() > 1) json->apri_lista();
  }
  for (const std::string& f : file) {
    if (formato == Formato::kTabella && &f != &file.front()) u.out << "\n";
    tutti = mostra(f, tipo, formato, json ? &*json : nullptr, testo, u) && tutti;
  }
  if (json && file.size() > 1) json->chiudi_lista();
  return tutti ? kUscitaRiuscita : kUscitaGuasto;
}

}  // namespace scenario
