#include "fuzz/controlli_fuzz.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <system_error>
#include <typeinfo>

#include "compiler/controllo_sorgenti.h"
#include "compiler/diagnostiche_lettura.h"
#include "compiler/lettore_campi.h"
#include "compiler/memorizza_dati.h"
#include "model/codici_errore.h"
#include "model/diagnostica.h"
#include "model/modello.h"
#include "output/decodifica_compilati.h"
#include "output/file_compilati.h"
#include "output/memorizza_percorso.h"
#include "output/posa_codici.h"
#include "output/verifica_compilati.h"
#include "platform/file_atomico.h"
#include "platform/guasto.h"
#include "text/cp1252.h"
#include "text/lettore_json.h"
#include "text/nomi_file.h"
#include "toolkit/compila_sorgenti.h"
#include "toolkit/grafico_svg.h"
#include "toolkit/json.h"
#include "toolkit/messaggi_lsp.h"
#include "toolkit/riga_comando.h"
#include "toolkit/server_lsp.h"
#include "toolkit/strumento.h"

namespace scenario {
namespace fs = std::filesystem;

namespace {

[[noreturn]] void viola(const std::string& cosa) {
  throw ViolazioneControllo(cosa);
}

// The message is built only when the check fails.
#define ATTESO(condizione, messaggio)    \
  do {                                   \
    if (!(condizione)) viola(messaggio); \
  } while (false)

// ---------------------------------------------------------------------------
// Field reader

bool spazio(char c) {
  return c == ' ' || c == '\t';
}
bool fine_riga(char c) {
  return c == '\r' || c == '\n';
}
bool cifra(char c) {
  return c >= '0' && c <= '9';
}

// The offsets where the lines of `t` begin: CR LF, a lone LF and a lone CR
// each end a line.
std::vector<size_t> inizi_riga(std::string_view t) {
  std::vector<size_t> inizi = {0};
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
    if (fine_riga(t[i])) inizi.push_back(i + 1);
  }
  return inizi;
}

size_t offset_di(const std::vector<size_t>& inizi, int riga, int colonna) {
  ATTESO(riga >= 1 && static_cast<size_t>(riga) <= inizi.size() && colonna >= 1,
         "a place outside the source: line " + std::to_string(riga) + ", column " +
             std::to_string(colonna));
  return inizi[static_cast<size_t>(riga) - 1] + static_cast<size_t>(colonna) - 1;
}

size_t dopo_spazi(std::string_view t, size_t i) {
  while (i < t.size() && spazio(t[i])) ++i;
  return i;
}

// Where the reader stands after consuming the line end at `i`.
size_t dopo_fine_riga(std::string_view t, size_t i) {
  return t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n' ? i + 2 : i + 1;
}

struct CampoAtteso {
  std::string testo;  // a text field
  int64_t numero = 0;
  size_t inizio = 0;  // its first byte
  size_t dopo = 0;    // where the reader stands afterwards
};

// The reading rules, as the sources' authors are told them.
std::optional<CampoAtteso> testo_ATTESO(std::string_view t, size_t da) {
  CampoAtteso c;
  c.inizio = dopo_spazi(t, da);
  if (c.inizio >= t.size()) return std::nullopt;
  size_t fine = c.inizio;
  while (fine < t.size() && t[fine] != ',' && !fine_riga(t[fine])) ++fine;
  size_t ultimo = fine;
  while (ultimo > c.inizio && spazio(t[ultimo - 1])) --ultimo;
  c.testo = std::string(t.substr(c.inizio, ultimo - c.inizio));
  c.dopo = fine == t.size() ? fine : t[fine] == ',' ? fine + 1 : dopo_fine_riga(t, fine);
  return c;
}

std::optional<CampoAtteso> numero_ATTESO(std::string_view t, size_t da) {
  CampoAtteso c;
  c.inizio = dopo_spazi(t, da);
  if (c.inizio >= t.size()) return std::nullopt;
  if (t[c.inizio] == ',') {
    c.dopo = c.inizio + 1;
    return c;
  }
  if (fine_riga(t[c.inizio])) {
    c.dopo = dopo_fine_riga(t, c.inizio);
    return c;
  }
  size_t i = c.inizio;
  const bool negativo = t[i] == '-';
  if (t[i] == '-' || t[i] == '+') ++i;
  const size_t cifre = i;
  int64_t v = 0;
  for (; i < t.size() && cifra(t[i]); ++i) v = std::min<int64_t>(v * 10 + (t[i] - '0'), 1LL << 40);
  if (i == cifre) return std::nullopt;
  if (i < t.size() && !spazio(t[i]) && t[i] != ',' && !fine_riga(t[i])) return std::nullopt;
  v = negativo ? -v : v;
  if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  c.numero = v;
  i = dopo_spazi(t, i);
  c.dopo = i < t.size() && t[i] == ','       ? i + 1
           : i < t.size() && fine_riga(t[i]) ? dopo_fine_riga(t, i)
                                             : i;
  return c;
}

// One pass: operation k reads a number when bit k % 8 of `maschera` is set,
// else a text field, until the source ends or a read fails.
void passata_lettore(std::string_view t, unsigned maschera) {
  const std::vector<size_t> inizi = inizi_riga(t);
  LettoreCampi l{std::string(t), "prova.txt"};
  size_t qui = 0;
  for (size_t k = 0; !l.alla_fine(); ++k) {
    ATTESO(k <= t.size(), "more reads than bytes: the reader does not advance");
    const bool numero = ((maschera >> (k % 8)) & 1) != 0;
    const auto cosa = [&] {
      return std::string(numero ? "number" : "text") + " read " + std::to_string(k) +
             " at offset " + std::to_string(qui);
    };
    const std::optional<CampoAtteso> a = numero ? numero_ATTESO(t, qui) : testo_ATTESO(t, qui);
    CampoAtteso letto;
    try {
      if (numero) {
        letto.numero = l.leggi_numero();
      } else {
        letto.testo = l.leggi_testo();
      }
    } catch (const ErroreLettura& e) {
      ATTESO(!a, cosa() + " failed (" + e.what() + ") where the rules read a field");
      const LuogoSorgente& dove = e.luogo();
      const size_t off = offset_di(inizi, dove.riga, dove.colonna);
      ATTESO(off >= qui && off <= t.size(), cosa() + ": the failure names offset " +
                                                std::to_string(off) + ", outside what it read");
      const std::string prefisso =
          "prova.txt:" + std::to_string(dove.riga) + ":" + std::to_string(dove.colonna) + ": ";
      ATTESO(std::string_view(e.what()).substr(0, prefisso.size()) == prefisso,
             cosa() + ": the failure does not begin with its place: " + e.what());
      return;
    }
    ATTESO(a.has_value(), cosa() + " succeeded where the rules fail");
    letto.inizio = offset_di(inizi, l.luogo_campo().riga, l.luogo_campo().colonna);
    const LuogoSorgente ora = l.luogo_corrente();
    letto.dopo = offset_di(inizi, ora.riga, ora.colonna);
    ATTESO(letto.inizio == a->inizio, cosa() + ": the field begins at " +
                                          std::to_string(letto.inizio) + ", the rules say " +
                                          std::to_string(a->inizio));
    ATTESO(letto.dopo == a->dopo, cosa() + ": the reader stands at " + std::to_string(letto.dopo) +
                                      ", the rules say " + std::to_string(a->dopo));
    ATTESO(letto.testo == a->testo, cosa() + ": the field reads \"" + letto.testo +
                                        "\", the rules say \"" + a->testo + "\"");
    ATTESO(letto.numero == a->numero, cosa() + ": the number reads " +
                                          std::to_string(letto.numero) + ", the rules say " +
                                          std::to_string(a->numero));
    ATTESO(letto.dopo > qui, cosa() + ": the reader did not advance");
    qui = letto.dopo;
  }
  ATTESO(qui == t.size(), "the reader is at its end before the last byte");
}

// ---------------------------------------------------------------------------
// Builder

constexpr const char* kNomeScenario = "Prova";
constexpr const char* kNumeroTreno = "7";

// Every file in a folder, by name.
std::map<std::string, std::string> contenuto(const fs::path& cartella) {
  std::map<std::string, std::string> file;
  std::error_code ec;
  if (!fs::exists(cartella, ec)) return file;
  for (const auto& e : fs::directory_iterator(cartella)) {
    const std::string nome = e.path().filename().string();
    file[nome] = e.is_regular_file() ? leggi_file(e.path()) : std::string("<folder>");
  }
  return file;
}

std::string nomi(const std::map<std::string, std::string>& file) {
  std::string s;
  for (const auto& [nome, byte] : file) s += (s.empty() ? "" : ", ") + nome;
  return "[" + s + "]";
}

void cartella_vuota(const fs::path& cartella) {
  fs::remove_all(cartella);
  fs::create_directories(cartella);
}

void codice_definito(int32_t codice, const std::string& dove) {
  ATTESO(codice == 0 || !descrizione_errore(codice).empty(),
         dove + " recorded " + std::to_string(codice) + ", a code the format does not define");
}

struct Costruzione {
  enum Esito { kScritto, kFine, kGuasto } esito = kScritto;
  std::string messaggio;
  ModelloPercorso m;
  std::map<std::string, std::string> file;
};

const std::string& nome_sorgente_linea() {
  static const std::string n = nome_file(FileScenario::kSorgenteLinea, kNomeScenario, kNumeroTreno);
  return n;
}
const std::string& nome_sorgente_treno() {
  static const std::string n = nome_file(FileScenario::kSorgenteTreno, kNomeScenario, kNumeroTreno);
  return n;
}

void controlla_diagnostiche(const DiagnosticheLettura& diagnostiche, const ModelloPercorso& m) {
  for (const Diagnostica& d : diagnostiche.diagnostiche(m)) {
    codice_definito(d.codice, "a diagnostic");
    formatta_diagnostica(d, "scenario");
  }
}

// Runs the builder's steps `passi` on the sources `s` into `c`, with the
// readers' diagnostics observed and checked: a failed model check ends the
// build (only 1250 and 1251 may), a run-time failure is kept as one.
template <class Passi>
void costruisci(Costruzione& c, SorgentiScenario s, Passi&& passi) {
  DiagnosticheLettura diagnostiche{OpzioniAvvisi{}};
  s.osservatore = &diagnostiche;
  try {
    passi(s);
  } catch (const ErroreFatale& f) {
    c.esito = Costruzione::kFine;
    ATTESO(f.numero == 1250 || f.numero == 1251,
           "the model checks failed with " + std::to_string(f.numero));
  } catch (const GuastoEsecuzione& g) {
    c.esito = Costruzione::kGuasto;
    c.messaggio = g.what();
  }
  controlla_diagnostiche(diagnostiche, c.m);
}

// The builder's steps on sources held in memory, the compiled files as the
// bytes their writers would put in them: nothing is opened on the disk.
std::unique_ptr<Costruzione> costruisci_in_memoria(const std::string& linea,
                                                   const std::string& treno, int32_t j) {
  auto c = std::make_unique<Costruzione>();
  c->m.nome_scenario = kNomeScenario;
  c->m.numero_treno = kNumeroTreno;
  c->m.con_tracciato = j;
  SorgentiScenario s;
  s.linea = nome_sorgente_linea();
  s.treno = nome_sorgente_treno();
  s.elimina = false;
  s.testo_linea = linea;
  s.testo_treno = treno;
  costruisci(*c, s, [&](const SorgentiScenario& sorgenti) {
    memorizza_dati(c->m, sorgenti);
    completa_modello(c->m);
    // In the writers' order: the plan file, the items file, the cells file.
    std::map<std::string, std::string> file;
    if (j != 0) {
      file[nome_file(FileScenario::kTracciato, kNomeScenario, kNumeroTreno)] =
          byte_tracciato(c->m.tracciato);
    }
    file[nome_file(FileScenario::kVoci, kNomeScenario, kNumeroTreno)] = byte_voci(c->m);
    file[nome_file(FileScenario::kCelle, kNomeScenario, kNumeroTreno)] = byte_celle(c->m);
    c->file = std::move(file);
  });
  return c;
}

// The longest route the in-memory check builds with the plan table.
constexpr int32_t kMetriInMemoria = 2000;

// The route source with every route length above `massimo` metres lowered to
// it: the entries whose keyword holds "lunghezza" and "percorso" in any case,
// as the reader recognises them, their number rewritten in place.
std::string percorso_limitato(const std::string& linea, int32_t massimo) {
  std::string r;
  r.reserve(linea.size());
  size_t inizio = 0;
  while (inizio < linea.size()) {
    size_t fine = linea.find_first_of("\r\n", inizio);
    fine = fine == std::string::npos ? linea.size() : fine;
    std::string riga = linea.substr(inizio, fine - inizio);
    const size_t virgola = riga.find(',');
    std::string parola = riga.substr(0, std::min(virgola, riga.size()));
    for (char& ch : parola) ch = ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
    if (virgola != std::string::npos && parola.find("lunghezza") != std::string::npos &&
        parola.find("percorso") != std::string::npos) {
      size_t i = dopo_spazi(riga, virgola + 1);
      if (i < riga.size() && riga[i] == '+') ++i;
      size_t cifre = i;
      while (cifre < riga.size() && cifra(riga[cifre])) ++cifre;
      if (cifre > i && (cifre - i > 9 || std::stol(riga.substr(i, cifre - i)) > massimo)) {
        riga.replace(i, cifre - i, std::to_string(massimo));
      }
    }
    r += riga;
    inizio = fine;
    while (inizio < linea.size() && fine_riga(linea[inizio])) r += linea[inizio++];
  }
  return r;
}

// The builder as the generator calls it, but on sources it must not delete.
std::unique_ptr<Costruzione> costruisci_su_disco(const SorgentiScenario& s, int32_t j,
                                                 const fs::path& uscita) {
  cartella_vuota(uscita);
  auto c = std::make_unique<Costruzione>();
  c->m.nome_scenario = kNomeScenario;
  c->m.numero_treno = kNumeroTreno;
  costruisci(*c, s, [&](const SorgentiScenario& sorgenti) {
    memorizza_percorso(c->m, j, sorgenti, uscita);
  });
  c->file = contenuto(uscita);
  return c;
}

// `su_disco`: the files were read from the folder the builder wrote into, so
// their names and bytes are tested against the model's.
void controlla_costruzione(const Costruzione& c, int32_t j, bool su_disco) {
  const std::string chi = "the build with j = " + std::to_string(j);
  codice_definito(c.m.codice_errore, chi);
  if (c.esito != Costruzione::kScritto) {
    // A run-time failure after reading is only the missing cell array.
    ATTESO(c.esito != Costruzione::kGuasto || !c.m.celle_create,
           chi + " failed after reading a cell array: " + c.messaggio);
    ATTESO(c.file.empty(), chi + " failed, yet left " + nomi(c.file));
    return;
  }
  const std::string voci = nome_file(FileScenario::kVoci, kNomeScenario, kNumeroTreno);
  const std::string celle = nome_file(FileScenario::kCelle, kNomeScenario, kNumeroTreno);
  if (su_disco) {
    const std::string tracciato = nome_file(FileScenario::kTracciato, kNomeScenario, kNumeroTreno);
    std::map<std::string, std::string> attesi = {{voci, byte_voci(c.m)}, {celle, byte_celle(c.m)}};
    if (j != 0) attesi[tracciato] = byte_tracciato(c.m.tracciato);
    ATTESO(nomi(c.file) == nomi(attesi), chi + " left " + nomi(c.file) + ", not " + nomi(attesi));
    for (const auto& [nome, byte] : attesi) {
      ATTESO(c.file.at(nome) == byte, chi + ": " + nome + " is not the model's bytes");
    }
  }
  // What was written reads back into the very model it came from.
  ATTESO(decodifica_voci(c.file.at(voci)) == c.m.voci, chi + ": the items file reads back wrong");
  ATTESO(decodifica_celle(c.file.at(celle)) == c.m.celle,
         chi + ": the cells file reads back wrong");
}

// An error-free build's files pass verify. `consuma`: the build's files are
// handed to verify rather than copied (a plan file is large), and are gone
// afterwards.
void verificati(Costruzione& a, bool consuma = false) {
  if (a.esito != Costruzione::kScritto || a.m.codice_errore != 0) return;
  // The format compiles a negative route length (only one above 1000000 is
  // refused), so such a build records no error; verify rightly flags its
  // files, and the checking pass warns the author of the length.
  if (a.m.voce(kVoceTreno).fine < 0) return;
  CompilatiDaVerificare v;
  v.nome_scenario = kNomeScenario;
  v.numero_treno = kNumeroTreno;
  v.nome_tracciato = nome_file(FileScenario::kTracciato, kNomeScenario, kNumeroTreno);
  v.nome_voci = nome_file(FileScenario::kVoci, kNomeScenario, kNumeroTreno);
  v.nome_celle = nome_file(FileScenario::kCelle, kNomeScenario, kNumeroTreno);
  const auto prendi = [&](const std::string& nome) {
    return consuma ? std::move(a.file.at(nome)) : a.file.at(nome);
  };
  v.tracciato = prendi(v.nome_tracciato);
  v.voci = prendi(v.nome_voci);
  v.celle = prendi(v.nome_celle);
  const std::vector<ProblemaCompilato> problemi = verifica_compilati(v);
  ATTESO(problemi.empty(),
         "an error-free build fails verify: " +
             (problemi.empty() ? "" : problemi[0].file + ": " + problemi[0].testo));
}

// ---------------------------------------------------------------------------
// Decoders

struct Decodificato {
  bool riuscito = false;
  std::optional<Tracciato> tracciato;
  std::optional<std::array<Voce, kNumeroVoci>> voci;
  std::optional<std::vector<Cella>> celle;
};

std::string ricodifica(TipoCompilato tipo, const Decodificato& d) {
  switch (tipo) {
    case TipoCompilato::kTracciato:
      return byte_tracciato(*d.tracciato);
    case TipoCompilato::kVoci: {
      ModelloPercorso m;
      m.voci = *d.voci;
      return byte_voci(m);
    }
    case TipoCompilato::kCelle: {
      ModelloPercorso m;
      m.celle = *d.celle;
      m.celle_create = true;
      return byte_celle(m);
    }
  }
  return "";
}

Decodificato decodifica(TipoCompilato tipo, std::string_view byte,
                        std::vector<CampoBinario>* campi) {
  Decodificato d;
  switch (tipo) {
    case TipoCompilato::kTracciato:
      d.tracciato = decodifica_tracciato(byte, campi);
      break;
    case TipoCompilato::kVoci:
      d.voci = decodifica_voci(byte, campi);
      break;
    case TipoCompilato::kCelle:
      d.celle = decodifica_celle(byte, campi);
      break;
  }
  d.riuscito = true;
  return d;
}

// The field list is checked on at most this many bytes of an input: it names
// every field, and on a large input the names would cost most of the time,
// while a field's name and place follow from its place in the structure alone:
// the first 8 cells, 12 plan values or 3 items show every kind of field, and
// an input cut anywhere in them.
constexpr size_t kByteConCampi = 128;

// One decoder on the bytes: either it reads them all and writing the result
// gives them back, or it names an offset within them. With the field list, on
// its first kByteConCampi bytes, it reads as without and lists contiguous
// fields from offset 0.
Decodificato controlla_decoder(TipoCompilato tipo, std::string_view byte) {
  const std::string chi = std::string("the ") + nome_tipo_compilato(tipo) + " decoder on " +
                          std::to_string(byte.size()) + " bytes";
  const auto senza_campi = [&](std::string_view b, std::optional<size_t>& offset) {
    Decodificato d;
    try {
      d = decodifica(tipo, b, nullptr);
    } catch (const ErroreDecodifica& e) {
      offset = e.offset();
      ATTESO(e.offset() <= b.size(), chi + " names offset " + std::to_string(e.offset()));
      const std::string prefisso = "offset " + std::to_string(e.offset()) + ": ";
      ATTESO(std::string_view(e.what()).substr(0, prefisso.size()) == prefisso,
             chi + ": the failure does not begin with its offset: " + e.what());
    }
    return d;
  };
  std::optional<size_t> offset;
  const Decodificato d = senza_campi(byte, offset);
  if (d.riuscito) {
    ATTESO(ricodifica(tipo, d) == byte, chi + ": writing what it read gives other bytes");
  }

  const std::string_view pezzo = byte.substr(0, kByteConCampi);
  std::optional<size_t> offset_pezzo = offset;
  const bool riuscito_pezzo =
      pezzo.size() == byte.size() ? d.riuscito : senza_campi(pezzo, offset_pezzo).riuscito;
  std::vector<CampoBinario> campi;
  bool riuscito_con_campi = true;
  try {
    decodifica(tipo, pezzo, &campi);
  } catch (const ErroreDecodifica& e) {
    riuscito_con_campi = false;
    ATTESO(offset_pezzo == e.offset(), chi + ": with the field list it fails elsewhere");
  }
  ATTESO(riuscito_con_campi == riuscito_pezzo, chi + ": the field list changes the outcome");
  size_t fine = 0;
  for (const CampoBinario& c : campi) {
    ATTESO(c.offset == fine && c.lunghezza > 0 && c.offset + c.lunghezza <= pezzo.size(),
           chi + ": field \"" + c.nome + "\" at " + std::to_string(c.offset) + " is not next");
    fine = c.offset + c.lunghezza;
  }
  if (riuscito_pezzo) ATTESO(fine == pezzo.size(), chi + ": its fields leave bytes out");
  return d;
}

const TipoCompilato kTipi[] = {TipoCompilato::kTracciato, TipoCompilato::kVoci,
                               TipoCompilato::kCelle};

// The dump command on a file holding the bytes: every kind, every form.
void controlla_dump(const fs::path& file, const std::map<TipoCompilato, bool>& riusciti) {
  for (TipoCompilato tipo : kTipi) {
    for (const char* forma : {"--hex", "--json", ""}) {
      std::vector<std::string> a = {"dump", file.string(), "--kind", nome_tipo_compilato(tipo)};
      if (*forma != '\0') a.push_back(forma);
      std::ostringstream out, err;
      const int stato = esegui_strumento(a, out, err);
      const std::string chi = std::string("dump --kind ") + nome_tipo_compilato(tipo) + " " + forma;
      const bool json = std::string_view(forma) == "--json";
      if (!riusciti.at(tipo)) {
        // With --json the refusal is the file's object, with the offset, and
        // standard error stays empty.
        const std::string& detto = json ? out.str() : err.str();
        ATTESO(
            stato == 1 && detto.find(json ? "\"offset\": " : ": offset ") != std::string::npos,
            chi + " on bytes its decoder refuses: status " + std::to_string(stato) + ", " + detto);
        if (json) ATTESO(err.str().empty(), chi + " writes on standard error: " + err.str());
      } else {
        ATTESO(stato == 0, chi + ": status " + std::to_string(stato) + ", " + err.str());
      }
      if (json) {
        try {
          leggi_json(out.str());
        } catch (const std::runtime_error& e) {
          viola(chi + " is not JSON: " + e.what());
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------
// JSON reader

void scrivi_valore(ScrittoreJson& w, const ValoreJson& v) {
  switch (v.tipo) {
    case ValoreJson::kNullo:
      w.nullo();
      break;
    case ValoreJson::kBooleano:
      w.booleano(v.booleano);
      break;
    case ValoreJson::kIntero:
      w.intero(v.intero);
      break;
    case ValoreJson::kReale:
      w.reale(v.reale);
      break;
    case ValoreJson::kStringa:
      w.stringa(v.stringa);
      break;
    case ValoreJson::kLista:
      w.apri_lista();
      for (const ValoreJson& e : v.lista) scrivi_valore(w, e);
      w.chiudi_lista();
      break;
    case ValoreJson::kOggetto:
      w.apri_oggetto();
      for (const auto& [k, m] : v.oggetto) {
        w.chiave(k);
        scrivi_valore(w, m);
      }
      w.chiudi_oggetto();
      break;
  }
}

// What the writer makes of `v`: texts as UTF-8 (a byte outside a well-formed
// sequence read as Windows-1252), a value with no JSON literal as its name in
// a string. False when two keys of one object become the same text.
bool come_scritto(const ValoreJson& v, ValoreJson& r) {
  r = ValoreJson{};
  r.tipo = v.tipo;
  switch (v.tipo) {
    case ValoreJson::kNullo:
      break;
    case ValoreJson::kBooleano:
      r.booleano = v.booleano;
      break;
    case ValoreJson::kIntero:
      r.intero = v.intero;
      break;
    case ValoreJson::kReale:
      r.reale = v.reale;
      if (!std::isfinite(v.reale)) {
        r.tipo = ValoreJson::kStringa;
        r.stringa = std::isnan(v.reale) ? "nan" : v.reale > 0 ? "inf" : "-inf";
      }
      break;
    case ValoreJson::kStringa:
      r.stringa = utf8_mostrabile(v.stringa);
      break;
    case ValoreJson::kLista:
      r.lista.resize(v.lista.size());
      for (size_t i = 0; i < v.lista.size(); ++i) {
        if (!come_scritto(v.lista[i], r.lista[i])) return false;
      }
      break;
    case ValoreJson::kOggetto:
      for (const auto& [k, m] : v.oggetto) {
        ValoreJson membro;
        if (!come_scritto(m, membro)) return false;
        if (!r.oggetto.emplace(utf8_mostrabile(k), std::move(membro)).second) return false;
      }
      break;
  }
  return true;
}

// The same value, a real to the bit (-0 is not 0).
bool uguali(const ValoreJson& a, const ValoreJson& b) {
  if (a.tipo != b.tipo) return false;
  switch (a.tipo) {
    case ValoreJson::kNullo:
      return true;
    case ValoreJson::kBooleano:
      return a.booleano == b.booleano;
    case ValoreJson::kIntero:
      return a.intero == b.intero;
    case ValoreJson::kReale:
      return a.reale == b.reale && std::signbit(a.reale) == std::signbit(b.reale);
    case ValoreJson::kStringa:
      return a.stringa == b.stringa;
    case ValoreJson::kLista:
      return std::equal(a.lista.begin(), a.lista.end(), b.lista.begin(), b.lista.end(), uguali);
    case ValoreJson::kOggetto:
      return std::equal(a.oggetto.begin(), a.oggetto.end(), b.oggetto.begin(), b.oggetto.end(),
                        [](const auto& x, const auto& y) {
                          return x.first == y.first && uguali(x.second, y.second);
                        });
  }
  return false;
}

// ---------------------------------------------------------------------------
// The language server's message stream

struct EventoLsp {
  MessaggioLsp::Esito esito;
  std::string corpo;
};

std::string_view senza_blank(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool uguale_senza_maiuscole(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char c = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    if (c != b[i]) return false;
  }
  return true;
}

// The framing rules as a client's author reads them: header lines end with
// LF (a CR before it dropped), a line is kept to its first 4096 bytes, empty
// lines before a block are skipped, an empty line ends it; the last
// Content-Length of a block holds, one that is not a number voids those
// before it; a block without a usable length is refused and reading goes on;
// a body that the stream does not hold whole ends it.
std::vector<EventoLsp> messaggi_attesi(std::string_view t) {
  constexpr size_t kMassimoRiga = 4096;
  std::vector<EventoLsp> eventi;
  size_t i = 0;
  while (true) {
    bool righe = false, con_lunghezza = false;
    size_t lunghezza = 0;
    while (true) {
      const size_t a_capo = t.find('\n', i);
      if (a_capo == std::string_view::npos) {
        eventi.push_back({MessaggioLsp::kFine, ""});
        return eventi;
      }
      std::string_view riga = t.substr(i, std::min(a_capo - i, kMassimoRiga));
      i = a_capo + 1;
      if (!riga.empty() && riga.back() == '\r') riga.remove_suffix(1);
      if (riga.empty()) {
        if (righe) break;
        continue;
      }
      righe = true;
      const size_t due_punti = riga.find(':');
      if (due_punti == std::string_view::npos ||
          !uguale_senza_maiuscole(senza_blank(riga.substr(0, due_punti)), "content-length")) {
        continue;
      }
      const std::string_view valore = senza_blank(riga.substr(due_punti + 1));
      con_lunghezza = !valore.empty() && valore.find_first_not_of("0123456789") == valore.npos;
      if (con_lunghezza) {
        lunghezza = 0;
        for (char c : valore) lunghezza = std::min<size_t>(lunghezza * 10 + (c - '0'), 1ULL << 40);
      }
    }
    if (!con_lunghezza) {
      eventi.push_back({MessaggioLsp::kIntestazione, ""});
      continue;
    }
    if (lunghezza > t.size() - i) {
      eventi.push_back({MessaggioLsp::kFine, ""});
      return eventi;
    }
    if (lunghezza > kMassimoCorpoLsp) {
      eventi.push_back({MessaggioLsp::kIntestazione, ""});
    } else {
      eventi.push_back({MessaggioLsp::kMessaggio, std::string(t.substr(i, lunghezza))});
    }
    i += lunghezza;
  }
}

const char* nome_esito(MessaggioLsp::Esito e) {
  return e == MessaggioLsp::kMessaggio      ? "a message"
         : e == MessaggioLsp::kIntestazione ? "a refused header"
                                            : "the end";
}

// ---------------------------------------------------------------------------
// The toolkit's command line

// The tool's own scenario, its sources and compiled files, made once per
// folder; every command line starts from a copy of it.
const fs::path& scenario_di_partenza(const fs::path& cartella) {
  static std::map<fs::path, fs::path> fatti;
  auto it = fatti.find(cartella);
  if (it != fatti.end()) return it->second;
  const fs::path modello = cartella / "partenza";
  cartella_vuota(modello);
  std::ostringstream out, err;
  const std::string m = modello.string();
  if (esegui_strumento({"new", kNomeScenario, kNumeroTreno, m}, out, err) != 0 ||
      esegui_strumento(
          {"compile",
           (modello / nome_file(FileScenario::kSorgenteLinea, kNomeScenario, kNumeroTreno))
               .string(),
           (modello / nome_file(FileScenario::kSorgenteTreno, kNomeScenario, kNumeroTreno))
               .string(),
           "-o", m},
          out, err) != 0) {
    viola("the starting scenario does not compile: " + err.str());
  }
  return fatti.emplace(cartella, modello).first->second;
}

// Runs with the folder as the current one, and puts the old one back.
class InCartella {
 public:
  explicit InCartella(const fs::path& p) : prima_(fs::current_path()) { fs::current_path(p); }
  ~InCartella() {
    std::error_code ignorato;
    fs::current_path(prima_, ignorato);
  }
  InCartella(const InCartella&) = delete;
  InCartella& operator=(const InCartella&) = delete;

 private:
  fs::path prima_;
};

// Standard input with nothing in it, for the language server, while alive.
class IngressoVuoto {
 public:
  IngressoVuoto() : prima_(std::cin.rdbuf(&vuoto_)) {}
  ~IngressoVuoto() { std::cin.rdbuf(prima_); }
  IngressoVuoto(const IngressoVuoto&) = delete;
  IngressoVuoto& operator=(const IngressoVuoto&) = delete;

 private:
  std::stringbuf vuoto_;
  std::streambuf* prima_;
};

}  // namespace

std::vector<std::string_view> dividi(std::string_view byte, std::string_view separatore,
                                     size_t parti_massime) {
  std::vector<std::string_view> parti;
  while (parti.size() + 1 < parti_massime) {
    const size_t i = byte.find(separatore);
    if (i == std::string_view::npos) break;
    parti.push_back(byte.substr(0, i));
    byte.remove_prefix(i + separatore.size());
  }
  parti.push_back(byte);
  return parti;
}

fs::path cartella_di_lavoro(std::string_view nome) {
  // Removed with everything in it when the process ends normally.
  struct Cartella {
    fs::path p;
    ~Cartella() {
      std::error_code ignorato;
      fs::remove_all(p, ignorato);
    }
  };
  std::random_device rd;
  static Cartella c{fs::temp_directory_path() / ("scenario-fuzz-" + std::string(nome) + "-" +
                                                 std::to_string(rd()) + std::to_string(rd()))};
  fs::create_directories(c.p);
  return c.p;
}

void controlla_lettore_campi(std::string_view byte) {
  for (unsigned maschera : {0x00u, 0xFFu, 0xAAu, 0x0Eu}) passata_lettore(byte, maschera);
}

void controlla_compilazione(std::string_view byte) {
  const std::vector<std::string_view> parti = dividi(byte, kSeparatoreSorgenti, 2);
  const std::string linea(parti[0]), treno(parti.size() > 1 ? parti[1] : "");

  // With the plan table, on a route of at most kMetriInMemoria: the table has
  // a row for every metre of the route and 7,000 more, and building, writing
  // and verifying a table of up to a million rows under the sanitizers would
  // take most of the time on a few inputs. A route cut short is built as it
  // stands too, without the table, and on the disk, table and all; a route
  // within the limit is built once here, since without the table the reader
  // only passes over the curves (the on-disk check builds it both ways). That the
  // same sources give the same bytes every time is the on-disk check's too:
  // it builds them again through the toolkit and the generator's writers.
  const std::string limitata = percorso_limitato(linea, kMetriInMemoria);
  {
    auto a = costruisci_in_memoria(limitata, treno, 1);
    controlla_costruzione(*a, 1, false);
    verificati(*a, true);
  }
  if (limitata != linea) {
    const auto c = costruisci_in_memoria(linea, treno, 0);
    controlla_costruzione(*c, 0, false);
  }

  // The checking pass the toolkit's compile adds to the reader's diagnostics.
  const EsitoControllo e =
      controlla_sorgenti(TestoSorgente{nome_sorgente_linea(), linea},
                         TestoSorgente{nome_sorgente_treno(), treno}, OpzioniAvvisi{}, true);
  for (const Diagnostica& d : e.problemi) {
    if (d.codice != 1250 && d.codice != 1251) codice_definito(d.codice, "the checking pass");
    formatta_diagnostica(d, "scenario");
  }
}

void controlla_decodifica(std::string_view byte) {
  std::map<TipoCompilato, Decodificato> interi;
  std::map<TipoCompilato, bool> riusciti;
  for (TipoCompilato tipo : kTipi) {
    interi[tipo] = controlla_decoder(tipo, byte);
    riusciti[tipo] = interi[tipo].riuscito;
  }
  // A part that is the whole input (no marker in it) was checked above.
  const auto controllato = [&](TipoCompilato tipo, std::string_view parte) {
    return parte == byte ? interi.at(tipo) : controlla_decoder(tipo, parte);
  };

  // Told by content alone, a kind is one whose decoder reads the bytes.
  const std::optional<TipoCompilato> riconosciuto = riconosci_compilato("compilato.bin", byte);
  ATTESO(!riconosciuto || riusciti.at(*riconosciuto),
         std::string("the content is told as a ") +
             (riconosciuto ? nome_tipo_compilato(*riconosciuto) : "") +
             " file that its decoder refuses");

  // The three files of one scenario: verify and plot.
  const std::vector<std::string_view> parti = dividi(byte, kSeparatoreCompilati, 3);
  CompilatiDaVerificare v;
  v.nome_scenario = kNomeScenario;
  v.numero_treno = kNumeroTreno;
  v.nome_tracciato = "plan";
  v.nome_voci = "items";
  v.nome_celle = "cells";
  if (parti.size() == 3) v.tracciato = std::string(parti[0]);
  v.voci = std::string(parti[parti.size() == 3 ? 1 : 0]);
  v.celle = std::string(parti.size() >= 2 ? parti.back() : "");
  const Decodificato voci = controllato(TipoCompilato::kVoci, v.voci);
  const Decodificato celle = controllato(TipoCompilato::kCelle, v.celle);
  const Decodificato tracciato =
      v.tracciato ? controllato(TipoCompilato::kTracciato, *v.tracciato) : Decodificato{};
  const std::vector<ProblemaCompilato> problemi = verifica_compilati(v);
  for (const ProblemaCompilato& p : problemi) {
    ATTESO(p.file == "plan" || p.file == "items" || p.file == "cells",
           "verify names a file it was not given: " + p.file);
    ATTESO(!p.testo.empty(), "verify reports an empty problem");
  }
  const auto segnalato = [&](const std::string& f) {
    return std::any_of(problemi.begin(), problemi.end(),
                       [&](const ProblemaCompilato& p) { return p.file == f; });
  };
  ATTESO(voci.riuscito || segnalato("items"), "verify passes an items file that does not decode");
  ATTESO(celle.riuscito || segnalato("cells"), "verify passes a cells file that does not decode");
  ATTESO(!v.tracciato || tracciato.riuscito || segnalato("plan"),
         "verify passes a plan file that does not decode");
  if (voci.riuscito && celle.riuscito) {
    DatiGrafico d;
    d.titolo = "prova";
    d.voci = *voci.voci;
    d.celle = *celle.celle;
    if (tracciato.riuscito) d.tracciato = &*tracciato.tracciato;
    const std::string svg = grafico_svg(d);
    ATTESO(svg.find("<svg") != std::string::npos && svg.find("</svg>") != std::string::npos,
           "the plot is not an SVG document");
  }
}

void controlla_su_disco(std::string_view byte, const fs::path& cartella) {
  // The bytes as compiled files: the dump command reads them from a file.
  {
    std::map<TipoCompilato, bool> riusciti;
    for (TipoCompilato tipo : kTipi) riusciti[tipo] = controlla_decoder(tipo, byte).riuscito;
    const fs::path compilati = cartella / "compilati";
    cartella_vuota(compilati);
    const fs::path file = compilati / "compilato.bin";
    scrivi_file_atomico(file, byte);
    controlla_dump(file, riusciti);
  }

  // The bytes as the two sources, in files of their own.
  const std::vector<std::string_view> parti = dividi(byte, kSeparatoreSorgenti, 2);
  const std::string linea(parti[0]), treno(parti.size() > 1 ? parti[1] : "");
  const fs::path sorgenti_dir = cartella / "sorgenti";
  cartella_vuota(sorgenti_dir);
  SorgentiScenario s;
  s.linea = percorso_file(sorgenti_dir, FileScenario::kSorgenteLinea, kNomeScenario, kNumeroTreno);
  s.treno = percorso_file(sorgenti_dir, FileScenario::kSorgenteTreno, kNomeScenario, kNumeroTreno);
  s.elimina = false;
  scrivi_file_atomico(s.linea, linea);
  scrivi_file_atomico(s.treno, treno);
  const auto sorgenti_intatte = [&](const std::string& dopo) {
    const auto c = contenuto(sorgenti_dir);
    ATTESO(c.size() == 2 && c.count(s.linea.filename().string()) &&
               c.at(s.linea.filename().string()) == linea && c.count(s.treno.filename().string()) &&
               c.at(s.treno.filename().string()) == treno,
           "the sources were changed or deleted by " + dopo);
  };

  // The toolkit's compile.
  RichiestaCompilazione r;
  r.linea = s.linea;
  r.treno = s.treno;
  r.cartella = cartella / "strumento";
  r.nome_scenario = kNomeScenario;
  r.numero_treno = kNumeroTreno;
  cartella_vuota(r.cartella);
  const EsitoCompilazione e = compila_sorgenti(r);
  sorgenti_intatte("the toolkit's compile");
  codice_definito(e.codice_errore, "the toolkit's compile");
  for (const Diagnostica& d : e.diagnostiche) {
    // Besides the recorded codes, the model checks' fatal 1250 and 1251.
    if (d.codice != 1250 && d.codice != 1251) codice_definito(d.codice, "a compile diagnostic");
    formatta_diagnostica(d, "scenario");
  }
  const auto file_strumento = contenuto(r.cartella);

  // The builder itself, with the plan table and without. Its files are the
  // toolkit's, byte for byte: the same sources give the same bytes twice.
  const auto a = costruisci_su_disco(s, 1, cartella / "a");
  sorgenti_intatte("the build");
  controlla_costruzione(*a, 1, true);
  ATTESO(file_strumento == a->file, "two builds of the same sources give different files: " +
                                        nomi(file_strumento) + " and " + nomi(a->file));
  ATTESO(e.codice_errore == a->m.codice_errore && e.posizione_errore == a->m.posizione_errore,
         "the toolkit's compile records another error than the builder");
  const int stato_atteso = a->esito == Costruzione::kGuasto ? 1
                           : a->esito == Costruzione::kFine ? 2
                           : e.stato == 3                   ? 3
                                                            : 0;
  ATTESO(e.stato == stato_atteso, "the toolkit's compile ended with status " +
                                      std::to_string(e.stato) + ", not " +
                                      std::to_string(stato_atteso));
  ATTESO(e.stato != 0 || a->m.codice_errore == 0, "a recorded error reported as success");
  verificati(*a);
  // The files on the disk are the bytes the builder gives in memory.
  const auto in_memoria = costruisci_in_memoria(linea, treno, 1);
  ATTESO(in_memoria->file == a->file && in_memoria->m.codice_errore == a->m.codice_errore,
         "the build in memory gives other files than on the disk: " + nomi(in_memoria->file) +
             " and " + nomi(a->file));

  const auto c = costruisci_su_disco(s, 0, cartella / "c");
  controlla_costruzione(*c, 0, true);
  sorgenti_intatte("the build without the plan table");
}

void controlla_json(std::string_view byte) {
  ValoreJson v;
  try {
    v = leggi_json(byte);
  } catch (const ErroreJson& e) {
    ATTESO(e.scostamento <= byte.size(),
           "the refusal names offset " + std::to_string(e.scostamento) + " past the document");
    const std::string prefisso = "JSON at " + std::to_string(e.scostamento) + ": ";
    ATTESO(std::string_view(e.what()).substr(0, prefisso.size()) == prefisso,
           std::string("the refusal does not begin with its offset: ") + e.what());
    return;
  }
  // Blanks around a document change nothing; anything after it is refused.
  const std::string tra_blank = " \t\r\n" + std::string(byte) + "\n ";
  ATTESO(uguali(leggi_json(tra_blank), v), "blanks around the document change its value");
  try {
    leggi_json(std::string(byte) + " 0");
    viola("a second value after the document is read");
  } catch (const ErroreJson& e) {
    ATTESO(e.scostamento >= byte.find_last_not_of(" \t\r\n"),
           "a second value after the document is refused inside it, at " +
               std::to_string(e.scostamento));
  }
  // The tool's writer writes the value back as a document that reads as it.
  ValoreJson atteso;
  if (!come_scritto(v, atteso)) return;
  std::ostringstream scritto;
  ScrittoreJson w(scritto);
  scrivi_valore(w, v);
  ValoreJson riletto;
  try {
    riletto = leggi_json(scritto.str());
  } catch (const ErroreJson& e) {
    viola(std::string("the value written back does not read: ") + e.what());
  }
  ATTESO(uguali(riletto, atteso), "the value written back reads as another value");
}

void controlla_messaggi_lsp(std::string_view byte) {
  const std::vector<EventoLsp> attesi = messaggi_attesi(byte);
  std::istringstream in{std::string(byte)};
  for (size_t k = 0; k < attesi.size(); ++k) {
    const MessaggioLsp m = leggi_messaggio_lsp(in);
    const std::string chi = "read " + std::to_string(k);
    ATTESO(m.esito == attesi[k].esito, chi + " gives " + nome_esito(m.esito) +
                                           ", the framing rules " + nome_esito(attesi[k].esito));
    switch (m.esito) {
      case MessaggioLsp::kMessaggio: {
        ATTESO(m.corpo == attesi[k].corpo, chi + ": a body of " + std::to_string(m.corpo.size()) +
                                               " bytes, the rules give " +
                                               std::to_string(attesi[k].corpo.size()));
        // Written and read back, the body is the same.
        std::ostringstream out;
        scrivi_messaggio_lsp(out, m.corpo);
        std::istringstream di_nuovo(out.str());
        const MessaggioLsp r = leggi_messaggio_lsp(di_nuovo);
        ATTESO(r.esito == MessaggioLsp::kMessaggio && r.corpo == m.corpo,
               chi + ": the body written out does not read back");
        break;
      }
      case MessaggioLsp::kIntestazione:
        ATTESO(!m.perche.empty(), chi + ": a refused header without a reason");
        break;
      case MessaggioLsp::kFine:
        ATTESO(leggi_messaggio_lsp(in).esito == MessaggioLsp::kFine,
               chi + ": the stream ended, yet the reader reads on");
        break;
    }
  }
}

void controlla_server_lsp(std::string_view byte) {
  std::string flusso;
  for (std::string_view corpo : dividi(byte, kSeparatoreMessaggi, byte.size() + 1)) {
    flusso += "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n";
    flusso += corpo;
  }
  std::istringstream in(flusso);
  std::ostringstream out;
  const int stato = esegui_server_lsp(in, out);
  ATTESO(stato == 0 || stato == 1, "the server ended with status " + std::to_string(stato));
  std::istringstream risposte(out.str());
  for (size_t k = 0;; ++k) {
    const std::string chi = "the server's message " + std::to_string(k);
    const MessaggioLsp m = leggi_messaggio_lsp(risposte);
    if (m.esito == MessaggioLsp::kFine) {
      ATTESO(risposte.peek() == std::char_traits<char>::eof(), chi + " is cut off before its end");
      break;
    }
    ATTESO(m.esito == MessaggioLsp::kMessaggio, chi + " has a broken header: " + m.perche);
    ValoreJson v;
    try {
      v = leggi_json(m.corpo);
    } catch (const ErroreJson& e) {
      viola(chi + " is not JSON: " + e.what());
    }
    const ValoreJson* versione = v.trova("jsonrpc");
    ATTESO(
        versione != nullptr && versione->tipo == ValoreJson::kStringa && versione->stringa == "2.0",
        chi + " is no JSON-RPC 2.0 message: " + m.corpo.substr(0, 200));
    if (v.ha("method")) continue;
    const ValoreJson* id = v.trova("id");
    ATTESO(id != nullptr && (id->tipo == ValoreJson::kIntero || id->tipo == ValoreJson::kStringa ||
                             id->tipo == ValoreJson::kNullo),
           chi + " answers without an id: " + m.corpo.substr(0, 200));
    ATTESO(v.ha("result") != v.ha("error"),
           chi + " is no answer (a result or an error): " + m.corpo.substr(0, 200));
  }
}

void controlla_riga_comando(std::string_view byte, const fs::path& cartella) {
  std::vector<std::string> argomenti;
  for (std::string_view a : dividi(byte, "\n", byte.size() + 1)) {
    // Only names inside the working folder: nothing is read or written
    // outside it.
    if (a.find_first_of("/\\") != a.npos || a.find("..") != a.npos) return;
    argomenti.emplace_back(a);
  }
  const fs::path& partenza = scenario_di_partenza(cartella);
  const fs::path qui = cartella / "qui";
  // A fresh copy for every command line (copying into a folder that exists
  // fails with some standard libraries).
  fs::remove_all(qui);
  fs::copy(partenza, qui, fs::copy_options::recursive);
  const std::map<std::string, std::string> prima = contenuto(qui);

  std::ostringstream out, err;
  int stato = 0;
  {
    const InCartella in_cartella(qui);
    const IngressoVuoto ingresso;
    stato = esegui_strumento(argomenti, out, err);
  }
  const std::string chi = "the command line [" + std::string(byte.substr(0, 200)) + "]";
  ATTESO(stato >= 0 && stato <= 3, chi + " ended with status " + std::to_string(stato));
  const std::string e = err.str(), o = out.str();
  // A usage error ends with its hint line; the same words inside a file name
  // quoted by another message are no usage error.
  const std::string_view suggerimento = "--help' for more information.\n";
  const size_t ultima_riga = e.rfind('\n', e.size() >= 2 ? e.size() - 2 : 0);
  const bool uso =
      e.ends_with(suggerimento) &&
      std::string_view(e).substr(ultima_riga == e.npos ? 0 : ultima_riga + 1).starts_with("Try '");
  ATTESO(!uso || (stato == 2 && e.rfind(std::string(kNomeStrumento) + " ", 0) == 0) ||
             (stato == 2 && e.rfind(std::string(kNomeStrumento) + ":", 0) == 0),
         chi + ": a usage error with status " + std::to_string(stato) + ": " + e.substr(0, 200));
  // JSON comes only with --json: without it, standard output names files,
  // which may begin with "{" as any name may.
  const bool con_json = std::find(argomenti.begin(), argomenti.end(), "--json") != argomenti.end();
  if (con_json && o.find_first_not_of(" \t\r\n") != o.npos &&
      o[o.find_first_not_of(" \t\r\n")] == '{') {
    try {
      leggi_json(o);
    } catch (const ErroreJson& j) {
      viola(chi + " prints broken JSON: " + j.what());
    }
  }
  // The sources it was given are still there as they were, unless --force
  // asked to replace them.
  if (std::find(argomenti.begin(), argomenti.end(), "--force") != argomenti.end()) return;
  const std::map<std::string, std::string> dopo = contenuto(qui);
  for (const auto& [nome, byte_file] : prima) {
    if (nome.size() < 4 || nome.compare(nome.size() - 4, 4, ".txt") != 0) continue;
    ATTESO(dopo.count(nome) && dopo.at(nome) == byte_file,
           chi + " changed or deleted the source " + nome);
  }
}

}  // namespace scenario
